// #STRINGS: a pool of NUL-terminated strings addressed by offset, which #WINDOWS and #TOPICS
// point into. Offset 0 holds the empty string, so 0 means "none". A string never straddles a
// 4096-byte block, because viewers read the pool block by block; equal strings share one offset.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace hhc::sysfiles {

class StringPool {
public:
    StringPool();
    std::uint32_t Add(std::string_view text);

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::map<std::string, std::uint32_t, std::less<>> offsets_;
};

}  // namespace hhc::sysfiles
