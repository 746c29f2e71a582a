#include "hhc/visible_text.h"

#include <cstdint>
#include <cstdio>

#include "hhc/html/encoding.h"

namespace hhc {

namespace {

bool Hidden(char32_t c) {
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || (c >= 0x7F && c <= 0x9F);
}

std::string Shown(char32_t c, bool utf8) {
    if (c < 0x20) {
        return {'^', static_cast<char>(c + 0x40)};
    }
    if (c == 0x7F) {
        return "^?";
    }
    char text[8];
    std::snprintf(text, sizeof text, utf8 ? "\\u%04x" : "\\x%02x", static_cast<unsigned>(c));
    return text;
}

}  // namespace

std::string VisibleText(std::string_view text) {
    std::string out;
    html::Utf8Decoder decoder;
    std::size_t start = 0;  // of the character being decoded
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(text[i]);
        switch (decoder.Feed(byte)) {
            case html::Utf8Decoder::Step::kMore:
                break;
            case html::Utf8Decoder::Step::kCharacter:
                if (Hidden(decoder.CodePoint())) {
                    out += Shown(decoder.CodePoint(), i > start);
                } else {
                    out.append(text.substr(start, i + 1 - start));
                }
                start = i + 1;
                break;
            case html::Utf8Decoder::Step::kInvalid:
                out += Hidden(byte) ? Shown(byte, false) : std::string(1, text[i]);
                start = i + 1;
                break;
            case html::Utf8Decoder::Step::kBroken:
                out.append(text.substr(start, i - start));
                start = i;
                --i;
                break;
        }
    }
    out.append(text.substr(start));
    return out;
}

}  // namespace hhc
