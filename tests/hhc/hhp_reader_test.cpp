// The project reader, the mapping of project entries and windows onto stored files, and the
// system files made from them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hhc/compiler.h"
#include "hhc/hhp/project.h"
#include "hhc/sysfiles/code_page.h"
#include "hhc/sysfiles/string_pool.h"
#include "hhc/sysfiles/topic_tables.h"
#include "hhc/sysfiles/windows_file.h"
#include "tests/hhc/test_support.h"

namespace hhc::hhp {
namespace {

const char kRunWindow[] =
    "\"Created with KORVA\",,,\"chmindex.htm\",\"chmindex.htm\",,,,,0x42020,,0x207c,"
    "[30,30,600,400],,,,,,,0";
const char kSampleWindow[] =
    ",\"7-Zip.hhc\",\"7-Zip.hhk\",\"start.htm\",\"start.htm\",,,,,0x2120,222,0x1046,"
    "[274,335,1019,875],0xB0000,,,,,,0";

TEST(ProjectReader, KeysIgnoreCaseLineEndsVaryOtherSectionsArePassedOver) {
    const Project p = ParseProject(
        "\xEF\xBB\xBF; a comment\n[options]\nCOMPILED FILE = out.chm \ncompiled File=second.chm\n"
        "Title=Some Title\r\nLANGUAGE=0x407 German (Germany)\nContents file=toc.hhc\n"
        "Index File=idx.hhk\nFull-text search=Yes\nDefault topic=hlp\\start.htm\n"
        "Default font=Arial, 9, 0\n[ALIAS]\nIDH_X=x.htm\n[MAP]\n#define IDH_X 1\n[INFOTYPES]\n"
        "[Files]\n a.htm \n\nsub\\b.htm\n;skipped.htm\n[TEXT POPUPS]\nc.txt\n");
    EXPECT_EQ(p, (Project{.compiledFile = "second.chm",
                          .defaultTopic = "hlp\\start.htm",
                          .title = "Some Title",
                          .language = "0x407 German (Germany)",
                          .contentsFile = "toc.hhc",
                          .indexFile = "idx.hhk",
                          .defaultFont = "Arial, 9, 0",
                          .fullTextSearch = true,
                          .files = {"a.htm", "sub\\b.htm"}}));
}

// Found by fuzzing: a CR inside a line used to end up in a file name.
TEST(ProjectReader, LoneCarriageReturnEndsALine) {
    const Project p = ParseProject("[FILES]\ra.htm\rb.htm\r\n\rc.htm");
    EXPECT_EQ(p.files, (std::vector<std::string>{"a.htm", "b.htm", "c.htm"}));
}

TEST(ProjectReader, WindowFields) {
    EXPECT_EQ(ParseWindow("main", kSampleWindow), (Window{.name = "main",
                                                          .contentsFile = "7-Zip.hhc",
                                                          .indexFile = "7-Zip.hhk",
                                                          .defaultTopic = "start.htm",
                                                          .homeTopic = "start.htm",
                                                          .navStyle = 0x2120,
                                                          .navWidth = 222,
                                                          .buttons = 0x1046,
                                                          .style = 0xB0000,
                                                          .notifyId = 0,
                                                          .position = {{274, 335, 1019, 875}}}));
    // Commas inside quotes, jump fields (URL before text), the numbers after the position.
    EXPECT_EQ(ParseWindow(" w ",
                          "\"A, B\",,,d.htm,h.htm,\"http://x/\",\"Jump, one\",u2,t2,,,,"
                          "[1,2,3],,,3,1,2,1,7"),
              (Window{.name = "w",
                      .caption = "A, B",
                      .defaultTopic = "d.htm",
                      .homeTopic = "h.htm",
                      .jump1Url = "http://x/",
                      .jump1Text = "Jump, one",
                      .jump2Url = "u2",
                      .jump2Text = "t2",
                      .showState = 3,
                      .navClosed = 1,
                      .defaultTab = 2,
                      .tabPosition = 1,
                      .notifyId = 7}));
    EXPECT_EQ(ParseWindow("s", "\"Only caption\""),
              (Window{.name = "s", .caption = "Only caption"}));
}

// fsValidMembers and the string offsets of the #WINDOWS entry, for the run's window line and
// the one window seen in a reference file (0x512 and 0x536).
TEST(WindowsFile, ValidMembersAndStringOffsets) {
    for (const auto& [definition, validMembers] :
         {std::pair<const char*, std::uint32_t>{kRunWindow, 0x512}, {kSampleWindow, 0x536}}) {
        sysfiles::StringPool strings;
        const std::vector<std::uint8_t> file =
            sysfiles::WindowsFile({ParseWindow("main", definition)}, strings);
        ASSERT_EQ(file.size(), 8u + 196u);
        const auto u32 = [&](std::size_t at) { return testing::U32(file, at); };
        const auto str = [&](std::size_t at) {
            return std::string(reinterpret_cast<const char*>(strings.Bytes().data() + u32(8 + at)));
        };
        EXPECT_EQ(u32(0), 1u);
        EXPECT_EQ(u32(4), 196u);
        EXPECT_EQ(u32(8 + 0x0C), validMembers);
        EXPECT_EQ(str(0x08), "main");
        EXPECT_EQ(str(0x68), validMembers == 0x512 ? "chmindex.htm" : "start.htm");
        EXPECT_EQ(u32(8 + 0x68), u32(8 + 0x6C)) << "equal strings share one offset";
        EXPECT_EQ(strings.Bytes().front(), 0) << "offset 0 is the empty string";
    }
    sysfiles::StringPool strings;
    for (int i = 0; i < 500; ++i) {
        const std::string s = "string number " + std::to_string(i * 7919);
        const std::uint32_t off = strings.Add(s);
        EXPECT_EQ(off / 4096, (off + s.size()) / 4096) << "no string straddles a block: " << s;
    }
    EXPECT_LT(strings.Bytes().size(), 4 * 4096u) << "padded only where needed";
}

// Each topic leads through #TOPICS and #URLTBL to its path in #URLSTR. No #URLTBL record crosses
// a 4096-byte block (341 records of 12 bytes, then 4 spare bytes), and no #URLSTR record a
// 16 KiB one: after the leading byte, 255 records of 64 bytes leave a block one byte short.
TEST(TopicTables, RecordsStayInsideTheirBlocks) {
    std::vector<sysfiles::Topic> topics;
    for (std::size_t i = 0; i < 700; ++i) {
        topics.push_back({"p" + std::to_string(1000 + i) + std::string(46, 'x') + ".htm", ""});
    }
    sysfiles::StringPool strings;
    const sysfiles::TopicTables t = sysfiles::BuildTopicTables(topics, strings);
    ASSERT_EQ(t.topics.size(), 16 * topics.size());
    for (std::size_t i = 0; i < topics.size(); ++i) {
        EXPECT_EQ(testing::U32(t.topics, 16 * i + 4), 0xFFFFFFFFu) << "no title";
        EXPECT_EQ(testing::U16(t.topics, 16 * i + 12), 2u) << "not in a contents tree";
        const std::uint32_t url = testing::U32(t.topics, 16 * i + 8);
        EXPECT_EQ(url / 4096, (url + 11) / 4096) << i;
        EXPECT_EQ(testing::U32(t.urlTable, url + 4), i);
        const std::uint32_t path = testing::U32(t.urlTable, url + 8) + 8;
        EXPECT_EQ(path / 0x4000, (path + topics[i].path.size()) / 0x4000) << i;
        EXPECT_EQ(reinterpret_cast<const char*>(t.urlStrings.data() + path), topics[i].path);
    }
    EXPECT_EQ(testing::U32(t.urlTable, 341 * 12), 0u);
    EXPECT_EQ(testing::U32(t.urlTable, 4096 + 4), 341u);
    EXPECT_EQ(t.urlStrings.size(), 0x4000 + (700 - 255) * 64) << "padded only where needed";
}

TEST(ProjectReader, LanguageIds) {
    const std::pair<const char*, std::optional<std::uint32_t>> cases[] = {
        {"", std::nullopt},    {"0x409 English (United States)", 0x0409},
        {"0x407", 0x0407},     {"0x0", std::nullopt},
        {"1031 German", 1031}, {"nonsense", std::nullopt}};
    for (const auto& [text, id] : cases) {
        EXPECT_EQ(LanguageId(text), id) << text;
    }
}

TEST(StoredNames, RelativeAbsoluteAndOutside) {
    const std::pair<const char*, const char*> cases[] = {
        {"chmindex.htm", "/chmindex.htm"},
        {"hlp\\License.htm", "/hlp/License.htm"},
        {"./a.htm", "/a.htm"},
        {"sub/../b.htm", "/b.htm"},
        {"/proj/sub/c.gif", "/sub/c.gif"},
        {"/elsewhere/p.htm", "/p.htm"},
        {"../up.htm", "/up.htm"},
        {"/project2/e.htm", "/e.htm"},
        {"my page.htm", "/my page.htm"},
    };
    for (const auto& [entry, stored] : cases) {
        EXPECT_EQ(StoredName(entry, "/proj"), stored) << entry;
    }
}

TEST(CodePage, TheProjectsLanguageElseOneTheReadersTakeForThePages) {
    using common::html::Encoding;

    struct Case {
        std::optional<std::uint32_t> given;
        bool utf8Pages;
        sysfiles::CodePage chosen;
    };

    const Case cases[] = {
        {std::nullopt, false, {0x0409, Encoding::kWindows1252}},
        {std::nullopt, true, {0x0400, Encoding::kUtf8}},
        {0x0407, true, {0x0407, Encoding::kWindows1252}},
        {0x0C0A, false, {0x0C0A, Encoding::kWindows1252}},  // Spanish (Spain)
        {0x0419, false, {0x0419, Encoding::kOtherCodePage}},
        {0x041A, false, {0x041A, Encoding::kOtherCodePage}},  // Croatian: 1250
        {0x0400, false, {0x0400, Encoding::kUtf8}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sysfiles::ProjectCodePage(c.given, c.utf8Pages), c.chosen) << c.given.value_or(0);
    }
}

}  // namespace
}  // namespace hhc::hhp
