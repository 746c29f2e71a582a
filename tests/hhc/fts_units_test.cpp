// The search index's own units: how a page becomes words and positions (what the readers will
// be asked for), and the scale-and-root codes, bit for bit, from the format's rule.
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hhc/fts/sr_code.h"
#include "hhc/fts/topic_reader.h"

namespace hhc::fts {
namespace {

// "word:position,position word:..." in byte order of the words.
std::string Listing(const std::vector<WordPositions>& words) {
    std::map<std::string, std::vector<std::uint32_t>> sorted;
    for (const WordPositions& w : words) {
        sorted[w.word] = w.positions;
    }
    std::string out;
    for (const auto& [word, positions] : sorted) {
        out += (out.empty() ? "" : " ") + word + ":";
        for (std::size_t i = 0; i < positions.size(); ++i) {
            out += (i == 0 ? "" : ",") + std::to_string(positions[i]);
        }
    }
    return out;
}

struct PageCase {
    const char* id;
    std::string page;
    std::string text;   // Listing of the text's words
    std::string title;  // Listing of the title's words
};

const PageCase kPages[] = {
    {"Apostrophes", "don't rock 'n' roll it\xE2\x80\x99s", "dont:0 its:4 n:2 rock:1 roll:3", ""},
    {"PointsBetweenDigitsOnly", "3.14 e.g. v1.2 end.", "3.14:0 e:1 end:4 g:2 v1.2:3", ""},
    {"UnderscoresAndDigits", "snake_case x86_64", "snake_case:0 x86_64:1", ""},
    {"LettersBeyondAsciiFolded",
     "\xCE\x91\xCE\x98\xCE\x97\xCE\x9D\xCE\x91 \xD0\x9C\xD0\xBE\xD1\x81",
     "\xCE\xB1\xCE\xB8\xCE\xB7\xCE\xBD\xCE\xB1:0 \xD0\xBC\xD0\xBE\xD1\x81:1", ""},
    // No-break space, em dash, superscript two, a C1 control.
    {"SeparatorsBeyondAscii",
     "a\xC2\xA0"
     "b\xE2\x80\x94"
     "c\xC2\xB2"
     "d\xC2\x80"
     "e",
     "a:0 b:1 c:2 d:3 e:4", ""},
    {"AsciiFolded", "AZaz09_@[`{", "azaz09_:0", ""},
    {"LettersWithoutCase", "5\xC2\xB5m \xC2\xAA", "5\xC2\xB5m:0 \xC2\xAA:1", ""},  // micro, ordinal
    {"LoneBytesAreWindows1252", "GR\xDC\xDF \x80uro", "gr\xC3\xBC\xC3\x9F:0 uro:1", ""},
    {"BrokenUtf8Sequence", "x\xC3(y", "x\xC3\xA3:0 y:1", ""},
    {"References", "&eacute;t&Eacute; &amp; &#65;B &bogus; &lt;tag&gt; &#x3A3;",
     "ab:1 bogus:2 tag:3 \xC3\xA9t\xC3\xA9:0 \xCF\x83:4", ""},
    {"ReferenceCutShortByTheEnd", "x &eacute", "eacute:1 x:0", ""},
    {"Markup",
     "<p>one</p><script>two</script><style>three</style><!-- four -->five<x y='a>six'>seven</x>"
     "<SCRIPT type=x></scriptx>eight</SCRIPT >nine<!>ten</>eleven<?pi x?>twelve",
     "eleven:5 five:1 nine:3 one:0 seven:2 ten:4 twelve:6", ""},
    {"CommentsEndOnlyAtTheirEnd", "<!-- a > b -->c<!-x>d", "c:0 d:1", ""},
    {"LessThanThatStartsNoTag", "a < b <3", "3:2 a:0 b:1", ""},
    {"FirstTitleOnly", "<TITLE>One two</title>x<title>Three one</title>",
     "one:0,4 three:3 two:1 x:2", "one:0 two:1"},
    {"StopWordsKeepTheirPlaces", "a the b AND c", "a:0 b:2 c:4", ""},
};

class Pages : public ::testing::TestWithParam<PageCase> {};

TEST_P(Pages, WordsAndPositions) {
    const StopWords stop = ReadStopWords("The\r\nand, OR");
    TopicReader reader(stop);
    // Byte by byte: every character and reference straddles a piece boundary.
    for (const char c : GetParam().page) {
        reader.Feed(std::string_view(&c, 1));
    }
    const TopicWords words = reader.Finish();
    EXPECT_EQ(Listing(words.text), GetParam().text);
    EXPECT_EQ(Listing(words.title), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(Split, Pages, ::testing::ValuesIn(kPages),
                         [](const auto& param) { return std::string(param.param.id); });

TEST(ScaleRootCode, BitsFromTheFormatsRule) {
    struct Case {
        std::vector<std::uint32_t> values;
        unsigned root;
        std::vector<std::uint8_t> bytes;
    };

    const Case cases[] = {
        {{0}, 2, {0x00}},          // 0 00
        {{3}, 2, {0x60}},          // 0 11
        {{4}, 2, {0x80}},          // 1 0 00: the leading one is implied
        {{5, 0}, 2, {0x90}},       // 1 0 01, 0 00
        {{8}, 2, {0xC0}},          // 11 0 000
        {{1, 2, 3}, 1, {0x65}},    // 0 1, 1 0 0, 1 0 1
        {{300}, 4, {0xF8, 0xB0}},  // 11111 0 00101100
        {{0xFFFFFFFF}, 16, {0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF}},  // 16 ones, 0, 31 ones
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> out;
        CodeWriter writer(out);
        unsigned bits = 0;
        for (const std::uint32_t v : c.values) {
            writer.Put(v, c.root);
            bits += CodeLength(v, c.root);
        }
        EXPECT_EQ(out, c.bytes) << c.values.front();
        EXPECT_EQ((bits + 7) / 8, c.bytes.size());
    }
}

TEST(ScaleRootCode, BestRootCountsTheBits) {
    LengthCounts zeros{};
    zeros[0] = 100;
    EXPECT_EQ(BestRoot(zeros), 1u);  // 2 bits each
    LengthCounts fiveBits{};
    fiveBits[5] = 10;
    EXPECT_EQ(BestRoot(fiveBits), 4u);  // 6 bits each with root 4 and with 5: the smaller
    LengthCounts mixed{};
    mixed[1] = 10;
    mixed[9] = 20;
    EXPECT_EQ(BestRoot(mixed), 8u);  // 10 * 9 + 20 * 10 bits, 10 fewer than roots 7 and 9
}

}  // namespace
}  // namespace hhc::fts
