#include "common/visible_text.h"

#include <string_view>
#include <utility>

#include <gtest/gtest.h>

namespace {

TEST(VisibleTextTest, NothingReachesTheTerminalThatCouldActOnIt) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"plain caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
         "plain caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {"a\tb\r\nc", "a\tb\r\nc"},
        // C0 and DEL in caret notation.
        {"\x1B[31mred\x1B]0;title\x07", "^[[31mred^[]0;title^G"},
        {std::string_view("\0\x01\x1F\x7F", 4), "^@^A^_^?"},
        // C1 as the ESC sequence each stands for: U+009B is CSI.
        {"\xC2\x9B"
         "2J \xC2\x80\xC2\x9F \xC2\xA0",
         "^[[2J ^[@^[_ \xC2\xA0"},
        // Bytes outside well-formed UTF-8, the lone CSI byte among them.
        {"\x9B"
         "2J caf\xE9",
         "\\x9B2J caf\\xE9"},
        {"\xE2\x82\x1B", "\\xE2\\x82^["},
        {"\xC0\xAF \xED\xA0\x80 \xF4\x90\x80\x80",
         "\\xC0\\xAF \\xED\\xA0\\x80 \\xF4\\x90\\x80\\x80"},
        {"cut \xE2\x82", "cut \\xE2\\x82"},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(common::VisibleText(text), shown) << text;
        EXPECT_EQ(common::VisibleText(shown), shown);  // shown twice changes nothing
    }
}

}  // namespace
