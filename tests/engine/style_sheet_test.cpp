#include "engine/style_sheet.h"

#include <string>

#include <gtest/gtest.h>

#include "engine/srcset.h"

namespace {

// Marks every address it is handed, so the test sees which text was taken for one.
std::string Mark(std::string_view address) {
    return "[" + std::string(address) + "]";
}

struct RewriteCase {
    const char* id;
    std::string text;
    std::string expected;
};

class StyleSheetTest : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(StyleSheetTest, ReplacesEachReference) {
    EXPECT_EQ(engine::RewriteStyleSheet(GetParam().text, Mark), GetParam().expected);
}

const RewriteCase kSheets[] = {
    {"ImportString", "@import \"a.css\";@IMPORT 'b.css' screen;",
     "@import \"[a.css]\";@IMPORT '[b.css]' screen;"},
    {"ImportUrl", "@import url(a.css);", "@import url([a.css]);"},
    {"UrlForms", "x{a:url( a.png );b:URL(\"b c.png\");c:url('c.png')}",
     "x{a:url( [a.png] );b:URL(\"[b c.png]\");c:url('[c.png]')}"},
    {"UnquotedThatNeedsQuotes", "x{a:url(a b)}", "x{a:url(\"[a b]\")}"},
    {"SameDocumentAndEmptyStay", "x{f:url(#g);a:url();b:url('')}",
     "x{f:url(#g);a:url();b:url('')}"},
    {"CommentsAndStringsAreNotRead", "/* url(a.png) */x{content:\"url(b.png)\";c:'\\'url(c)'}",
     "/* url(a.png) */x{content:\"url(b.png)\";c:'\\'url(c)'}"},
    {"NameEndingInUrl", "x{a:myurl(a.png)}", "x{a:myurl(a.png)}"},
    {"Unterminated", "x{a:url(a.png", "x{a:url([a.png]"},
    {"UnterminatedString", "@import 'a.css", "@import '[a.css]"},
};

INSTANTIATE_TEST_SUITE_P(Sheets, StyleSheetTest, ::testing::ValuesIn(kSheets),
                         [](const auto& testCase) { return testCase.param.id; });

class SrcsetTest : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(SrcsetTest, ReplacesEachCandidate) {
    EXPECT_EQ(engine::RewriteSrcset(GetParam().text, Mark), GetParam().expected);
}

const RewriteCase kSrcsets[] = {
    {"Descriptors", " a.png 1x,\n b.png 2x ", " [a.png] 1x,\n [b.png] 2x "},
    {"NoDescriptors", "a.png,  b.png,", "[a.png],  [b.png],"},
    {"CommaWithoutBlankIsTheAddress", "a.png,b.png", "[a.png,b.png]"},
    {"CommaInDescriptorParens", "a.png f(1,2), b.png", "[a.png] f(1,2), [b.png]"},
    {"DataAddressWithComma", "data:a,b 1x, c.png 2x", "[data:a,b] 1x, [c.png] 2x"},
    {"OnlySeparators", " , ,", " , ,"},
};

INSTANTIATE_TEST_SUITE_P(Values, SrcsetTest, ::testing::ValuesIn(kSrcsets),
                         [](const auto& testCase) { return testCase.param.id; });

}  // namespace
