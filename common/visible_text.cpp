#include "common/visible_text.h"

#include <cstdint>

#include "common/utf8.h"

namespace common {

namespace {

// A control character as the user may read it, or nothing for one that is shown as it is.
std::string Shown(char32_t c) {
    if (c == 0x7F) {
        return "^?";
    }
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
        return {'^', static_cast<char>(c + 0x40)};
    }
    if (c >= 0x80 && c <= 0x9F) {
        return {'^', '[', static_cast<char>(c - 0x40)};
    }
    return {};
}

void AppendByte(std::uint8_t byte, std::string& out) {
    constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

}  // namespace

std::string VisibleText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    Utf8Decoder decoder;
    std::size_t start = 0;  // of the character being decoded
    for (std::size_t i = 0; i < text.size(); ++i) {
        switch (decoder.Feed(static_cast<std::uint8_t>(text[i]))) {
            case Utf8Decoder::Step::kMore:
                break;
            case Utf8Decoder::Step::kCharacter: {
                const std::string shown = Shown(decoder.CodePoint());
                out += shown.empty() ? text.substr(start, i + 1 - start) : shown;
                start = i + 1;
                break;
            }
            case Utf8Decoder::Step::kInvalid:
                AppendByte(static_cast<std::uint8_t>(text[i]), out);
                start = i + 1;
                break;
            case Utf8Decoder::Step::kBroken:  // the bytes so far were no character
                for (; start < i; ++start) {
                    AppendByte(static_cast<std::uint8_t>(text[start]), out);
                }
                --i;
                break;
        }
    }
    for (; start < text.size(); ++start) {  // a character cut off at the end
        AppendByte(static_cast<std::uint8_t>(text[start]), out);
    }
    return out;
}

}  // namespace common
