// Character references and page titles. Expected bytes come from the HTML 4 entity lists and
// the Windows-1252 code chart, not from our tables.
#include <cctype>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "common/html/charset.h"
#include "common/html/entities.h"
#include "common/html/title.h"
#include "tests/support/run_program.h"

namespace common::html {
namespace {

struct EntityCase {
    const char* id;
    std::string_view text;
    Encoding encoding;
    std::string_view decoded;
};

constexpr Encoding kUtf8 = Encoding::kUtf8;
constexpr Encoding k1252 = Encoding::kWindows1252;
constexpr Encoding kOther = Encoding::kOtherCodePage;

const EntityCase kEntityCases[] = {
    {"Latin1InUtf8", "caf&eacute; &Eacute;&yuml;&nbsp;", kUtf8,
     "caf\xC3\xA9 \xC3\x89\xC3\xBF\xC2\xA0"},
    {"Latin1In1252", "caf&eacute; &Eacute;&yuml;&nbsp;", k1252, "caf\xE9 \xC9\xFF\xA0"},
    {"SpecialsIn1252", "&euro;&ndash;&Yuml;&trade;&oelig;&bdquo;", k1252,
     "\x80\x96\x9F\x99\x9C\x84"},
    {"SymbolsInUtf8", "&alpha;&Omega;&hearts;&rArr;&thetasym;&lang;&apos;", kUtf8,
     "\xCE\xB1\xCE\xA9\xE2\x99\xA5\xE2\x87\x92\xCF\x91\xE2\x8C\xA9'"},
    {"SymbolsNotIn1252LeftAsWritten", "&alpha;&hearts; &eacute;", k1252, "&alpha;&hearts; \xE9"},
    {"OtherCodePageGetsAsciiOnly", "&lt;b&gt; &amp; &quot;&eacute;&#65;&#233;", kOther,
     "<b> & \"&eacute;A&#233;"},
    {"DecimalAndHex", "&#65;&#x42;&#X43;&#0000068;&#x000045;", kUtf8, "ABCDE"},
    {"HexDigitsEitherCase", "&#xe9;&#XE9;", kUtf8, "\xC3\xA9\xC3\xA9"},
    {"NumericC1MeansWindows1252", "&#128;&#150;&#159;", kUtf8, "\xE2\x82\xAC\xE2\x80\x93\xC5\xB8"},
    {"NumericC1In1252", "&#150;&#x2013;", k1252, "\x96\x96"},
    {"UndefinedC1LeftIn1252", "&#129;", k1252, "&#129;"},
    {"BeyondTheBasicPlane", "&#x1F600;&#128512;", kUtf8, "\xF0\x9F\x98\x80\xF0\x9F\x98\x80"},
    {"BeyondTheBasicPlaneNotIn1252", "&#x1F600;", k1252, "&#x1F600;"},
    {"InvalidCodePoints", "&#0;&#xD800;&#xDFFF;&#x110000;&#99999999999999999999;", kUtf8,
     "&#0;&#xD800;&#xDFFF;&#x110000;&#99999999999999999999;"},
    {"MissingSemicolon", "AT&T &copy 2024 &#65 &amp", kUtf8, "AT&T &copy 2024 &#65 &amp"},
    {"Malformed", "&; &#; &#x; &#12a; &#x1G; & amp; &&amp;", kUtf8,
     "&; &#; &#x; &#12a; &#x1G; & amp; &&"},
    {"UnknownAndWrongCase", "&ampx; &EACUTE; &Amp; &nosuchentity;", kUtf8,
     "&ampx; &EACUTE; &Amp; &nosuchentity;"},
    {"DecodedOnce", "&amp;lt; &amp;#65;", kUtf8, "&lt; &#65;"},
    {"BytesAbove127Untouched", "\xE9\xC3\xA9&amp;\xFF", k1252, "\xE9\xC3\xA9&\xFF"},
    {"TrailingAmpersand", "x&", kUtf8, "x&"},
};

class Entities : public ::testing::TestWithParam<EntityCase> {};

TEST_P(Entities, Decode) {
    EXPECT_EQ(DecodeEntities(GetParam().text, GetParam().encoding), GetParam().decoded);
}

INSTANTIATE_TEST_SUITE_P(Table, Entities, ::testing::ValuesIn(kEntityCases),
                         [](const auto& param) { return std::string(param.param.id); });

// Python's html.entities and cp1252 codec are the independent tables ours must match: every
// name of HTML 4, plus apos, and no more.
TEST(Entities, TablesAgreeWithPython) {
    const support::ProgramResult r = support::RunProgram(
        {SYSTEM_PYTHON, "-c",
         "import html.entities as h\n"
         "for n, c in h.name2codepoint.items(): print(n, c)\n"
         "for b in range(0x80, 0xA0): print(b, ord(bytes([b]).decode('cp1252', 'replace')))"});
    ASSERT_EQ(r.exitCode, 0) << r.standardError;
    std::istringstream lines(r.standardOutput);
    int names = 0;
    for (std::string key; lines >> key;) {
        std::uint32_t codePoint = 0;
        lines >> codePoint;
        if (std::isdigit(static_cast<unsigned char>(key[0])) != 0) {
            const char32_t expected = codePoint == 0xFFFD ? 0 : codePoint;
            EXPECT_EQ(Windows1252Character(static_cast<std::uint8_t>(std::stoi(key))), expected)
                << key;
        } else {
            ++names;
            EXPECT_EQ(NamedEntity(key), char32_t{codePoint}) << key;
        }
    }
    EXPECT_EQ(names, 252);
    EXPECT_EQ(NamedEntity("apos"), U'\'');
    for (const char* absent : {"", "Sigmaf", "hellip2", "ldquor", "nbs", "NBSP"}) {
        EXPECT_EQ(NamedEntity(absent), std::nullopt) << absent;
    }
}

TEST(Encoding, AppendCharacterAtTheEdges) {
    struct Case {
        char32_t codePoint;
        Encoding encoding;
        bool held;
    };

    const Case cases[] = {
        {0x7F, kOther, true},  {0x80, kOther, false},   {0x7F, k1252, true},
        {0x81, k1252, false},  {0xA0, k1252, true},     {0x100, k1252, false},
        {0xD7FF, kUtf8, true}, {0xD800, kUtf8, false},  {0xDFFF, kUtf8, false},
        {0xE000, kUtf8, true}, {0x10FFFF, kUtf8, true}, {0x110000, kUtf8, false},
    };
    for (const Case& c : cases) {
        std::string out;
        EXPECT_EQ(AppendCharacter(c.codePoint, c.encoding, out), c.held)
            << std::hex << static_cast<std::uint32_t>(c.codePoint);
        EXPECT_EQ(out.empty(), !c.held);
    }
}

struct TitleCase {
    const char* id;
    std::string_view page;
    Encoding encoding;
    std::optional<std::string_view> title;
};

const TitleCase kTitleCases[] = {
    {"Plain", "<html><head><title>Hello</title></head></html>", kUtf8, "Hello"},
    {"None", "<html><head></head><body>Hello</body></html>", kUtf8, std::nullopt},
    {"Empty", "<title></title>", kUtf8, ""},
    {"CaseAndAttributes", "<HTML><TiTlE lang=\"en\">Hi</TITLE ></HTML>", kUtf8, "Hi"},
    {"WhiteSpaceCollapsed", "<title>\n  A \t\r\n\f B  </title>", kUtf8, "A B"},
    {"EntitiesAndBytesAbove127", "<title>Caf&eacute; &amp; cr\xC3\xA8me&#x2014;&#8482;</title>",
     kUtf8, "Caf\xC3\xA9 & cr\xC3\xA8me\xE2\x80\x94\xE2\x84\xA2"},
    {"EntitiesIn1252", "<title>Caf&eacute; &alpha; \xE8&euro;</title>", k1252,
     "Caf\xE9 &alpha; \xE8\x80"},
    {"NoBreakSpaceKept", "<title>&nbsp;x&#32;</title>", kUtf8, "\xC2\xA0x"},
    {"ReferencedSpaceCollapsed", "<title>a&#10;&#9; b</title>", kUtf8, "a b"},
    {"InsideCommentPassedOver", "<!-- <title>No</title> --><title>Yes</title>", kUtf8, "Yes"},
    {"CommentDashesInside", "<!-- a -- b <title>No</title> -- --><title>Yes</title>", kUtf8, "Yes"},
    {"LongerTagNamesAreNotTitles", "<titlebar>x</titlebar><title/>T</title>", kUtf8, "T"},
    {"FirstOfTwo", "<title>A</title><title>B</title>", kUtf8, "A"},
    {"UnclosedRunsToTheEnd", "<title>Open </titl", kUtf8, "Open </titl"},
    {"MarkupInsideIsText", "<title>a < b </titles> <b>c</b></title>", kUtf8,
     "a < b </titles> <b>c</b>"},
    {"EndTagWithSpace", "<title>x</title\n>", kUtf8, "x"},
};

class Titles : public ::testing::TestWithParam<TitleCase> {};

TEST_P(Titles, WholePage) {
    EXPECT_EQ(PageTitle(GetParam().page, GetParam().encoding), GetParam().title);
}

// A page arrives in pieces; a tag or a comment end may be cut anywhere.
TEST_P(Titles, InPiecesOfEverySize) {
    const std::string_view page = GetParam().page;
    for (std::size_t size = 1; size <= page.size(); ++size) {
        TitleFinder finder;
        for (std::size_t at = 0; at < page.size(); at += size) {
            finder.Feed(page.substr(at, size));
        }
        const auto raw = finder.RawTitle();
        const std::optional<std::string> title =
            raw ? std::optional(CleanTitle(*raw, GetParam().encoding)) : std::nullopt;
        EXPECT_EQ(title, GetParam().title) << "pieces of " << size;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Titles, ::testing::ValuesIn(kTitleCases),
                         [](const auto& param) { return std::string(param.param.id); });

TEST(Titles, CutAtTheLengthCapOnACharacterBoundary) {
    const std::string body(TitleFinder::kMaxRawTitle - 1, 'a');
    const auto title = PageTitle("<title>" + body + "\xC3\xA9" + "tail</title>", kUtf8);
    EXPECT_EQ(title, body);
}

struct CharsetCase {
    const char* id;
    std::string page;
    std::optional<Encoding> encoding;
};

const CharsetCase kCharsetCases[] = {
    {"ByteOrderMark", "\xEF\xBB\xBF<title>x</title>", kUtf8},
    {"MetaCharsetQuoted", "<head><meta charset=\"UTF-8\">\xE9", kUtf8},
    {"MetaCharsetUnquotedSelfClosed", "<META CHARSET=utf8 />", kUtf8},
    {"TabsAndSlashAsSeparators", "<meta/charset=latin1><meta\tcharset=utf-8>", k1252},
    {"TabAfterMeta", "<meta\tcharset=utf-8>", kUtf8},
    {"LongerTagNameIsNotMeta", "<metadata charset=utf-8>", std::nullopt},
    {"CharsetWithoutValue", "<meta http-equiv=content-type content='text/html; charset'>",
     std::nullopt},
    {"CharsetWordWithoutEquals",
     "<meta http-equiv=content-type content='charsets x; charset=utf-8'>", kUtf8},
    {"HttpEquiv", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-1\">",
     k1252},
    {"HttpEquivAttributesReversed",
     "<meta content='text/html;charset = \"utf-8\"' http-equiv=content-type>", kUtf8},
    {"ContentWithoutHttpEquivIgnored", "<meta content=\"text/html; charset=utf-8\">\xE9", k1252},
    {"OtherLabel", "<meta charset=\" Shift_JIS \">", kOther},
    {"Utf16LabelMeansUtf8", "<meta charset=utf-16le>", kUtf8},
    {"FirstDeclarationWins", "<meta charset=windows-1252><meta charset=utf-8>", k1252},
    {"CommentPassedOver", "<!-- <meta charset=windows-1252> --><meta charset=utf-8>", kUtf8},
    {"MetaPastThePrescanIgnored", std::string(1100, ' ') + "<meta charset=windows-1252>",
     std::nullopt},
    {"UndeclaredUtf8", "<p>caf\xC3\xA9 \xE2\x82\xAC \xEF\xBC\xA1 \xF0\x9F\x98\x80</p>", kUtf8},
    {"UndeclaredOverlongIsNotUtf8", "<p>\xC0\xAF</p>", k1252},
    {"UndeclaredSurrogateIsNotUtf8", "<p>\xED\xA0\x80</p>", k1252},
    {"UndeclaredTruncatedAtTheEnd", "<p>caf\xC3", k1252},
    {"UndeclaredLatin1", "<p>caf\xE9 cr\xE8me</p>", k1252},
    {"AsciiOnly", "<html><body>plain</body></html>", std::nullopt},
};

class Charsets : public ::testing::TestWithParam<CharsetCase> {};

TEST_P(Charsets, InPiecesOfEverySize) {
    const std::string& page = GetParam().page;
    for (const std::size_t size : {std::size_t{1}, std::size_t{3}, std::size_t{7}, page.size()}) {
        CharsetSniffer sniffer;
        for (std::size_t at = 0; at < page.size(); at += size) {
            sniffer.Feed(std::string_view(page).substr(at, size));
        }
        EXPECT_EQ(sniffer.Result(), GetParam().encoding) << "pieces of " << size;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Charsets, ::testing::ValuesIn(kCharsetCases),
                         [](const auto& param) { return std::string(param.param.id); });

TEST(Transcode, BetweenUtf8AndWindows1252) {
    struct Case {
        std::string_view text;
        Encoding from, to;
        std::string_view out;
    };

    const Case cases[] = {
        {"caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x94", kUtf8, k1252, "caf\xE9 \x80 \x97"},
        {"\xE6\x97\xA5 \xF0\x9F\x98\x80 x", kUtf8, k1252, "? ? x"},
        {"a\xFF"
         "b\xC3(\xE2\x82",
         kUtf8, k1252, "a?b?(?"},
        {"\xE2\xC0\x80 \xED\xA0\x80", kUtf8, k1252, "??? ???"},
        {"caf\xE9 \x80\x9F \x81", k1252, kUtf8, "caf\xC3\xA9 \xE2\x82\xAC\xC5\xB8 ?"},
        {"\xE9\xFF", kOther, kUtf8, "\xE9\xFF"},
        {"\xC3\xA9", kUtf8, kOther, "\xC3\xA9"},
        {"\xC3\xA9\xFF", kUtf8, kUtf8, "\xC3\xA9\xFF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Transcode(c.text, c.from, c.to), c.out) << c.text;
    }
}

}  // namespace
}  // namespace common::html
