#include "platform/data_url.h"

#include "engine/text.h"
#include "engine/url.h"

namespace platform {

namespace {

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
        data.bytes = engine::PercentDecoded(payload);
        return data;
    }
    std::optional<std::string> bytes = Base64Decoded(engine::PercentDecoded(payload));
    if (!bytes) {
        return std::nullopt;
    }
    data.bytes = std::move(*bytes);
    return data;
}

}  // namespace platform
