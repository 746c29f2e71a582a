// Encoders for UTF-8 and Windows-1252.
#include "common/html/encoding.h"

#include <algorithm>
#include <array>

namespace common::html {

namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;

// Windows-1252 bytes 0x80..0x9F; 0 where the byte is undefined.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void AppendUtf8(char32_t c, std::string& out) {
    const auto byte = [&out](char32_t v) { out.push_back(static_cast<char>(v)); };
    if (c < 0x80) {
        byte(c);
    } else if (c < 0x800) {
        byte(0xC0 | (c >> 6));
        byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        byte(0xE0 | (c >> 12));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    } else {
        byte(0xF0 | (c >> 18));
        byte(0x80 | ((c >> 12) & 0x3F));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    }
}

bool AppendWindows1252(char32_t c, std::string& out) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        out.push_back(static_cast<char>(c));
        return true;
    }
    const auto* it = std::find(kWindows1252High.begin(), kWindows1252High.end(), c);
    if (it == kWindows1252High.end()) {
        return false;
    }
    out.push_back(static_cast<char>(0x80 + (it - kWindows1252High.begin())));
    return true;
}

}  // namespace

bool AppendCharacter(char32_t codePoint, Encoding encoding, std::string& out) {
    if (codePoint > kMaxCodePoint || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return false;
    }
    switch (encoding) {
        case Encoding::kUtf8:
            AppendUtf8(codePoint, out);
            return true;
        case Encoding::kWindows1252:
            return AppendWindows1252(codePoint, out);
        case Encoding::kOtherCodePage:
            if (codePoint < 0x80) {
                out.push_back(static_cast<char>(codePoint));
                return true;
            }
            return false;
    }
    return false;
}

char32_t Windows1252Character(std::uint8_t byte) {
    return byte >= 0x80 && byte <= 0x9F ? kWindows1252High[byte - 0x80u] : char32_t{byte};
}

std::string Transcode(std::string_view text, Encoding from, Encoding to) {
    if (from == to || from == Encoding::kOtherCodePage || to == Encoding::kOtherCodePage) {
        return std::string(text);
    }
    std::string out;
    const auto put = [&](char32_t c) {
        if (c == 0 || !AppendCharacter(c, to, out)) {
            out.push_back('?');
        }
    };
    if (from == Encoding::kWindows1252) {
        for (const char c : text) {
            put(Windows1252Character(static_cast<std::uint8_t>(c)));
        }
        return out;
    }
    Utf8Decoder decoder;
    for (std::size_t i = 0; i < text.size(); ++i) {
        switch (decoder.Feed(static_cast<std::uint8_t>(text[i]))) {
            case Utf8Decoder::Step::kMore:
                break;
            case Utf8Decoder::Step::kCharacter:
                put(decoder.CodePoint());
                break;
            case Utf8Decoder::Step::kInvalid:
                out.push_back('?');
                break;
            case Utf8Decoder::Step::kBroken:
                out.push_back('?');
                --i;
                break;
        }
    }
    if (decoder.Pending()) {
        out.push_back('?');
    }
    return out;
}

}  // namespace common::html
