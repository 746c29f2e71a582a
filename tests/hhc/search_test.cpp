// Full-text search end to end: hhc.exe compiles a project with Full-text search=Yes, and
// python3-chm's own search (chmlib) must find each word in exactly the topics that hold it:
// words of the text and of titles, words written with character references, words above 127 in
// the file's code page (Windows-1252 or UTF-8), a word in a thousand topics and a thousand words
// that begin alike (many leaf nodes and an index node); stop words are not found. How a page
// splits into words is the topic reader's own test.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/hhc/mspack_reader.h"
#include "tests/hhc/test_support.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

namespace hhc::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kManyTopics = 1000;

struct Query {
    const char* id;
    std::string word;  // bytes as the reader is asked, in the file's code page (Windows-1252)
    bool whole;
    bool titlesOnly;
    // "many" stands for t0.htm .. t999.htm, "first128" for t0.htm .. t127.htm
    std::vector<std::string> topics;
};

const Query kQueries[] = {
    {"TextWord", "brown", true, false, {"a.htm", "b.htm"}},
    {"TitleWordInTextSearch", "alpha", true, false, {"a.htm", "b.htm"}},
    {"TitleWordInTitleSearch", "alpha", true, true, {"a.htm"}},
    {"TextWordNotInTitles", "brown", true, true, {}},
    {"UpperCaseFolded", "guide", true, true, {"a.htm"}},
    {"NamedReference", "caf\xE9", true, false, {"a.htm", "b.htm"}},
    {"NumericReferenceUpperCase",
     "\xFC"
     "ber",
     true,
     false,
     {"a.htm"}},
    {"Utf8PageLetterAbove127",
     "stra\xDF"
     "e",
     true,
     false,
     {"sub/c.htm"}},
    {"StopWord", "the", true, false, {}},
    {"StopWordInTitle", "and", true, true, {}},
    {"Partial", "bro", false, false, {"a.htm", "b.htm"}},
    {"PartialAbove127", "caf", false, false, {"a.htm", "b.htm"}},
    {"PartialTitlesOnly", "gui", false, true, {"a.htm"}},
    {"WholeWordIsNotAPrefix", "bro", true, false, {}},
    {"InAThousandTopics", "common", true, false, {"many"}},
    {"In128Topics", "edge", true, false, {"first128"}},
    {"AThousandWordsAlike", "numbered", false, false, {"many"}},
    {"LastOfThoseWords", "numbered999", true, false, {"t999.htm"}},
    {"AfterEveryWord", "zzz", false, false, {}},
};

// The expected line of pychm_search.py: 1 and the topics, or 0 when nothing is found.
std::string Expected(const Query& q) {
    std::vector<std::string> topics = q.topics;
    if (topics.size() == 1 && (topics[0] == "many" || topics[0] == "first128")) {
        const int count = topics[0] == "many" ? kManyTopics : 128;
        topics.clear();
        for (int i = 0; i < count; ++i) {
            topics.push_back("t" + std::to_string(i) + ".htm");
        }
        std::sort(topics.begin(), topics.end());
    }
    std::string line = topics.empty() ? "0" : "1";
    for (const std::string& topic : topics) {
        line += " " + topic;
    }
    return line;
}

// One reader run for all the queries.
void ExpectFound(const fs::path& chm, std::span<const Query> queries) {
    std::vector<std::string> argv{SYSTEM_PYTHON, PYCHM_SEARCH, chm.string()};
    for (const Query& q : queries) {
        argv.insert(argv.end(), {q.word, q.whole ? "1" : "0", q.titlesOnly ? "1" : "0"});
    }
    const support::ProgramResult searched = support::RunProgram(argv);
    ASSERT_EQ(searched.exitCode, 0) << searched.standardError;
    std::istringstream lines(searched.standardOutput);
    for (const Query& q : queries) {
        SCOPED_TRACE(q.id);
        std::string line;
        std::getline(lines, line);
        EXPECT_EQ(line, Expected(q));
    }
}

struct Header {
    std::uint32_t topics, leaves, depth, lcid, codePage;  // leaves: at least
};

// The header fields no reader here looks at, read through libmspack.
void ExpectHeader(const fs::path& chm, const Header& expected) {
    const ChmRead read = MspackReadChm(chm.string());
    ASSERT_EQ(read.files.count("/$FIftiMain"), 1u);
    const Bytes& f = read.files.at("/$FIftiMain");
    ASSERT_GE(f.size(), 1024u + 4096u);
    EXPECT_EQ(U32(f, 0x00), 0x00280000u);                         // signature
    EXPECT_EQ(U32(f, 0x04), expected.topics);                     // topics indexed
    EXPECT_EQ(U32(f, 0x08), f.size() - 4096);                     // the root is the last node
    EXPECT_GE(U32(f, 0x10), expected.leaves);                     // leaf nodes
    EXPECT_EQ(U32(f, 0x14), f.size() - 4096);                     // the root again
    EXPECT_EQ(U16(f, 0x18), expected.depth);                      // tree depth
    EXPECT_EQ(U32(f, 0x1A), 7u);                                  // constant
    EXPECT_EQ(f[0x1E] * 10000 + f[0x20] * 100 + f[0x22], 20202);  // scale 2 for all three
    EXPECT_EQ(U32(f, 0x2E), 4096u);                               // node size
    EXPECT_EQ(U32(f, 0x5E), expected.topics - 1);                 // topics - 1
    EXPECT_EQ(U32(f, 0x7A), expected.codePage);                   // code page
    EXPECT_EQ(U32(f, 0x7E), expected.lcid);                       // language
}

// One compile and one reader run for the whole table: the project is a thousand pages.
TEST(Search, FindsEachWordInExactlyItsTopics) {
    support::TempFolder dir;
    const fs::path p = dir.path();
    WriteFile(p / "a.htm",
              "<html><head><title>Alpha GUIDE and more</title></head><body><p>The quick brown fox. "
              "Caf&eacute; &#xDC;ber.</p></body></html>");
    WriteFile(p / "b.htm",
              "<html><head><title>Beta</title></head><body>brown dog alpha CAF\xC9 the\n"
              "</body></html>");
    WriteFile(p / "sub" / "c.htm",
              "<html><head><meta charset=utf-8><title>C</title></head>"
              "<body>Stra\xC3\x9F"
              "e</body></html>");
    std::string files = "a.htm\r\nb.htm\r\nsub\\c.htm\r\n";
    for (int i = 0; i < kManyTopics; ++i) {
        const std::string name = "t" + std::to_string(i) + ".htm";
        // "edge" is in 128 topics: a count that takes two 7-bit groups.
        WriteFile(p / name, "<html><body>common numbered" + std::to_string(i) +
                                (i < 128 ? " edge" : "") + "</body></html>");
        files += name + "\r\n";
    }
    WriteFile(p / "stop.stp", "the\r\nand\r\n");
    WriteFile(p / "proj.hhp",
              "[OPTIONS]\r\nFull-text search=Yes\r\nFull text search stop list file=stop.stp\r\n"
              "Language=0x409 English (United States)\r\n[FILES]\r\n" +
                  files);
    const support::ProgramResult compiled =
        support::RunProgram({HHC_EXE, (p / "proj.hhp").string()});
    ASSERT_EQ(compiled.exitCode, 1) << compiled.standardError;
    EXPECT_EQ(compiled.standardError, "");

    ExpectFound(p / "proj.chm", kQueries);
    ExpectHeader(p / "proj.chm",
                 {.topics = 1003, .leaves = 2, .depth = 2, .lcid = 0x0409, .codePage = 1252});
}

// Pages in UTF-8 and no language: the file is in UTF-8, and so are the words of its index.
TEST(Search, WordsOfAUtf8FileAreUtf8) {
    support::TempFolder dir;
    const fs::path p = dir.path();
    WriteFile(p / "a.htm",
              "<html><meta charset=utf-8><body>GR\xC3\x9C\xC3\x9F "
              "Stra&szlig;e</body></html>");
    WriteFile(p / "b.htm",
              "<html><body>\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0</body></html>");
    WriteFile(p / "proj.hhp", "[OPTIONS]\r\nFull-text search=Yes\r\n[FILES]\r\na.htm\r\nb.htm\r\n");
    ASSERT_EQ(support::RunProgram({HHC_EXE, (p / "proj.hhp").string()}).exitCode, 1);
    const Query queries[] = {
        {"LatinLetters", "gr\xC3\xBC\xC3\x9F", true, false, {"a.htm"}},
        {"Reference",
         "stra\xC3\x9F"
         "e",
         true,
         false,
         {"a.htm"}},
        {"CyrillicPrefix", "\xD0\xBC\xD0\xBE\xD1\x81", false, false, {"b.htm"}},
    };
    ExpectFound(p / "proj.chm", queries);
    ExpectHeader(p / "proj.chm",
                 {.topics = 2, .leaves = 1, .depth = 1, .lcid = 0x0400, .codePage = 65001});
}

}  // namespace
}  // namespace hhc::testing
