#include "engine/tag_parser.h"

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/fake_ports.h"

namespace {

using Attributes = std::vector<std::pair<std::string, std::string>>;

struct TagCase {
    const char* id;
    std::string tagData;
    std::string tname;
    Attributes attributes;
    std::string rebuilt;
};

Attributes AttributesOf(const engine::TagRecord& tag) {
    Attributes attributes;
    for (const auto& a : tag.tTags) {
        attributes.emplace_back(a.name, a.value);
    }
    return attributes;
}

class GetTagInfoTest : public ::testing::TestWithParam<TagCase> {};

TEST_P(GetTagInfoTest, ParsesAndRebuilds) {
    const TagCase& c = GetParam();
    support::FakeHost host;
    engine::TagRecord tag;
    tag.tTags.push_back({"LEFT", "over"});  // nothing of an earlier tag may survive
    engine::GetTagInfo(c.tagData, tag, host);
    EXPECT_EQ(tag.tname, c.tname);
    EXPECT_EQ(AttributesOf(tag), c.attributes);
    EXPECT_EQ(engine::RecompileTag(tag), c.rebuilt);
    EXPECT_TRUE(host.messages.empty());
}

const TagCase kTagCases[] = {
    {"Plain", "<BR>", "BR", {}, "<BR>"},
    {"Closing", "</A>", "/A", {}, "</A>"},
    {"Unquoted",
     "<img src=a.gif width=10>",
     "img",
     {{"src", "a.gif"}, {"width", "10"}},
     "<img src='a.gif' width='10'>"},
    {"DoubleQuoted", R"(<A HREF="x.htm">)", "A", {{"HREF", "x.htm"}}, "<A HREF='x.htm'>"},
    {"SingleQuoted",
     "<a href='x.htm' target=_top>",
     "a",
     {{"href", "x.htm"}, {"target", "_top"}},
     "<a href='x.htm' target='_top'>"},
    {"BareAfterValue",
     "<INPUT TYPE=checkbox CHECKED>",
     "INPUT",
     {{"TYPE", "checkbox"}, {"CHECKED", ""}},
     "<INPUT TYPE='checkbox' CHECKED>"},
    {"ShortAttrAtEnd", "<A B>", "A", {}, "<A>"},  // within the last three characters
    {"SpacesAroundEquals", "<P ALIGN = center>", "P", {{"ALIGN", "center"}}, "<P ALIGN='center'>"},
    {"LineBreaksAroundEquals",
     "<LINK REL\r\n=\n\"stylesheet\" HREF =a.css>",
     "LINK",
     {{"REL", "stylesheet"}, {"HREF", "a.css"}},
     "<LINK REL='stylesheet' HREF='a.css'>"},
    {"EmptyQuotedValue", R"(<IMG ALT="">)", "IMG", {{"ALT", ""}}, "<IMG ALT>"},
    {"QuoteInsideUnquoted", "<IMG ALT=it's>", "IMG", {{"ALT", "it's"}}, R"(<IMG ALT="it's">)"},
    {"HandlerWithQuotes",
     R"x(<A onclick="f('a')">)x",
     "A",
     {{"onclick", "f('a')"}},
     R"x(<A onclick="f('a')">)x"},
    {"BothQuoteKinds",
     R"(<A TITLE=it's"x">)",
     "A",
     {{"TITLE", R"(it's"x")"}},
     R"(<A TITLE="it's&quot;x&quot;">)"},
    {"EqualsInsideValue", "<A HREF=a=b>", "A", {{"HREF", "a=b"}}, "<A HREF='a=b'>"},
    {"EmptyUnquotedValue", "<A HREF=>", "A", {{"HREF", ""}}, "<A HREF>"},
    {"DashBeforeName", "<A -X=1>", "A", {{"X", "1"}}, "<A X='1'>"},
    {"DigitsPassedOver", "<TD 100 WIDTH=5>", "TD", {{"WIDTH", "5"}}, "<TD WIDTH='5'>"},
    {"SlashStaysInUnquotedValue",
     "<IMG SRC=a.gif/>",
     "IMG",
     {{"SRC", "a.gif/"}},
     "<IMG SRC='a.gif/'>"},
    {"SelfClosingName", "<BR/>", "BR/", {}, "<BR/>"},
    {"SelfClosingAfterQuote", R"(<path d="M0 0"/>)", "path", {{"d", "M0 0"}}, "<path d='M0 0'/>"},
    {"SelfClosingAfterBlank", "<circle cx=1 />", "circle", {{"cx", "1"}}, "<circle cx='1'/>"},
    {"SelfClosingBare", "<br />", "br", {}, "<br/>"},
    {"Empty", "<>", "", {}, "<>"},
    {"LineBreakAfterName", "<A\r\nHREF=x.htm>", "A", {{"HREF", "x.htm"}}, "<A HREF='x.htm'>"},
    {"OtherQuoteInside",
     R"(<A TITLE='say "hi"'>)",
     "A",
     {{"TITLE", R"(say "hi")"}},
     R"(<A TITLE='say "hi"'>)"},
    {"CaseKept", "<Img Src=A.GIF>", "Img", {{"Src", "A.GIF"}}, "<Img Src='A.GIF'>"},
    {"BytesAbove127",
     "<IMG ALT=\xE9t\xE9>",
     "IMG",
     {{"ALT", "\xE9t\xE9"}},
     "<IMG ALT='\xE9t\xE9'>"},
    // Inputs that must end cleanly.
    {"BlanksBeforeEnd", R"(<IMG SRC="a.gif"   >)", "IMG", {{"SRC", "a.gif"}}, "<IMG SRC='a.gif'>"},
    {"LineBreaksBeforeEnd",
     "<IMG SRC=a.gif\r\n  >",
     "IMG",
     {{"SRC", "a.gif"}},
     "<IMG SRC='a.gif'>"},
    {"TwoLetterBareAtEnd", "<TD XY>", "TD", {}, "<TD>"},
    {"UnclosedQuote", R"(<A HREF="x.htm>)", "A", {{"HREF", "x.htm"}}, "<A HREF='x.htm'>"},
    {"UnclosedQuoteThenMore", R"(<A HREF='x y=1>)", "A", {{"HREF", "x y=1"}}, "<A HREF='x y=1'>"},
};

INSTANTIATE_TEST_SUITE_P(Tags, GetTagInfoTest, ::testing::ValuesIn(kTagCases),
                         [](const auto& testCase) { return testCase.param.id; });

TEST(GetTagInfoTest, KeepsEveryAttribute) {
    for (const int count : {16, 17, 40}) {
        std::string text = "<IMG";
        std::string rebuilt = "<IMG";
        for (int i = 0; i < count; ++i) {
            text += " A" + std::to_string(i) + "=\"v" + std::to_string(i) + "\"";
            rebuilt += " A" + std::to_string(i) + "='v" + std::to_string(i) + "'";
        }
        text += ">";
        rebuilt += ">";
        support::FakeHost host;
        engine::TagRecord tag;
        engine::GetTagInfo(text, tag, host);
        EXPECT_EQ(tag.ntags(), static_cast<std::size_t>(count));
        EXPECT_EQ(engine::RecompileTag(tag), rebuilt);
    }
}

TEST(GetTagInfoTest, ReadsPastTheThousandthCharacter) {
    const std::string longValue(5000, 'v');
    const std::string text = "<IMG ALT=\"" + longValue + "\" SRC=a.gif>";
    support::FakeHost host;
    engine::TagRecord tag;
    engine::GetTagInfo(text, tag, host);
    EXPECT_EQ(AttributesOf(tag), (Attributes{{"ALT", longValue}, {"SRC", "a.gif"}}));
    EXPECT_TRUE(host.messages.empty());
}

TEST(GetTagInfoTest, TextWithoutSeparatorShowsErrorOnSmallest) {
    support::FakeHost host;
    engine::TagRecord tag;
    engine::GetTagInfo("<ABC", tag, host);
    EXPECT_EQ(tag.tname, "ABC");
    EXPECT_EQ(tag.ntags(), 0u);
    EXPECT_EQ(host.messages, std::vector<std::string>{"Error on Smallest"});
}

}  // namespace
