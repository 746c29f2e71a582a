#include "engine/text.h"

#include <string>

#include <gtest/gtest.h>

namespace {

using engine::InStr;

std::string AllBytes() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
        bytes += static_cast<char>(b);
    }
    return bytes;
}

TEST(TextTest, CaseFoldingTouchesAsciiLettersOnly) {
    const std::string upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const std::string lower = "abcdefghijklmnopqrstuvwxyz";
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const char x = static_cast<char>(a);
            const char y = static_cast<char>(b);
            const auto ux = upper.find(x);
            const auto lx = lower.find(x);
            const bool sameLetter = (ux != std::string::npos && lower.find(y) == ux) ||
                                    (lx != std::string::npos && upper.find(y) == lx);
            ASSERT_EQ(engine::EqualsNoCase({&x, 1}, {&y, 1}), a == b || sameLetter)
                << a << " " << b;
            ASSERT_EQ(engine::FoldCase({&x, 1}) == engine::FoldCase({&y, 1}), a == b || sameLetter)
                << a << " " << b;
        }
    }
}

TEST(TextTest, InStrIsOneBasedAndIgnoresCase) {
    // found at the start, in the middle, at the end
    EXPECT_EQ(InStr("<a>", "<"), 1u);
    EXPECT_EQ(InStr("ab</SCRIPT>", "</script>"), 3u);
    EXPECT_EQ(InStr("x-->", "-->"), 2u);
    // searching from a position finds nothing before it
    EXPECT_EQ(InStr("<a><b>", "<", 2), 4u);
    EXPECT_EQ(InStr("<a><b>", "<", 4), 4u);
    // not found, empty text, start past the end, needle longer than the rest
    EXPECT_EQ(InStr("abc", "x"), 0u);
    EXPECT_EQ(InStr("", "<"), 0u);
    EXPECT_EQ(InStr("abc", "a", 5), 0u);
    EXPECT_EQ(InStr("abc", "bcd"), 0u);
    // a near miss before the match
    EXPECT_EQ(InStr("srSRsRC", "src"), 5u);
    // bytes above 127 match only themselves
    EXPECT_EQ(InStr("\xC9\xE9", "\xE9"), 2u);
    // NUL bytes are ordinary characters
    EXPECT_EQ(InStr(std::string_view("a\0b>", 4), ">"), 4u);
}

TEST(TextTest, SwapTextReplacesAStretch) {
    const auto swap = [](std::string_view text, std::string_view with, std::size_t start,
                         std::size_t finish) {
        engine::SplicedText spliced(text);
        spliced.SwapText(with, start, finish);
        return std::move(spliced).Finish();
    };
    EXPECT_EQ(swap("abXYcd", "Q", 3, 5), "abQcd");
    EXPECT_EQ(swap("abXYcd", "", 3, 5), "abcd");
    EXPECT_EQ(swap("abXYcd", "Q", 1, 7), "Q");     // the whole text
    EXPECT_EQ(swap("abcd", "Q", 3, 3), "abQcd");   // Finish == start inserts
    EXPECT_EQ(swap("abcd", "Q", 9, 12), "abcdQ");  // past the end appends
    EXPECT_EQ(swap(AllBytes() + "<X>" + AllBytes(), "<Y>", 257, 260),
              AllBytes() + "<Y>" + AllBytes());

    engine::SplicedText spliced("<A><B><C>");  // swaps apply in order
    spliced.SwapText("<a x>", 1, 4);
    spliced.SwapText("", 4, 7);
    spliced.SwapText("<c>", 7, 10);
    EXPECT_EQ(std::move(spliced).Finish(), "<a x><c>");
}

}  // namespace
