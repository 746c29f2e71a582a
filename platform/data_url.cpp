#include "platform/data_url.h"

#include "engine/text.h"

namespace platform {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    if (c == '+' || c == '-') {
        return 62;
    }
    if (c == '/' || c == '_') {
        return 63;
    }
    return -1;
}

// "%41" is "A"; a "%" not followed by two hex digits stands for itself, as browsers read it.
std::string PercentDecoded(std::string_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = text[i] == '%' && i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
        if (low >= 0) {
            bytes += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

// Blanks and line breaks are passed over and "=" ends the data; any other stray character
// makes the address malformed.
std::optional<std::string> Base64Decoded(std::string_view text) {
    std::string bytes;
    unsigned int bits = 0;
    int count = 0;
    for (const char c : text) {
        if (c == '=') {
            break;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            continue;
        }
        const int value = Base64Value(c);
        if (value < 0) {
            return std::nullopt;
        }
        bits = (bits << 6) | static_cast<unsigned int>(value);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return bytes;
}

}  // namespace

std::optional<DataUrl> DecodeDataUrl(std::string_view url) {
    constexpr std::string_view kScheme = "data:";
    const std::size_t comma = url.find(',');
    if (!engine::StartsWithNoCase(url, 1, kScheme) || comma == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view type = url.substr(kScheme.size(), comma - kScheme.size());
    const std::string_view payload = url.substr(comma + 1);
    constexpr std::string_view kBase64 = ";base64";
    const bool base64 = type.size() >= kBase64.size() &&
                        engine::EqualsNoCase(type.substr(type.size() - kBase64.size()), kBase64);
    if (base64) {
        type.remove_suffix(kBase64.size());
    }
    DataUrl data{type.empty() ? "text/plain;charset=US-ASCII" : std::string(type), {}};
    if (!base64) {
        data.bytes = PercentDecoded(payload);
        return data;
    }
    std::optional<std::string> bytes = Base64Decoded(PercentDecoded(payload));
    if (!bytes) {
        return std::nullopt;
    }
    data.bytes = std::move(*bytes);
    return data;
}

}  // namespace platform
