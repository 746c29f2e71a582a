// Addresses that carry their resource in themselves: data:[type][;base64],payload.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct DataUrl {
    std::string mediaType;  // as written, "text/plain;charset=US-ASCII" when left out
    std::string bytes;
};

// The decoded payload (base64, or percent-encoded otherwise); nullopt when `url` is not a
// well-formed data: address.
std::optional<DataUrl> DecodeDataUrl(std::string_view url);

}  // namespace platform
