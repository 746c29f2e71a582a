// libmspack, the independent reader the tests check against: its raw LZX decoder and its CHM
// decompressor, both run entirely in memory. Every message libmspack prints (it reports
// damage it tolerates only that way) is collected so a test can fail on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace hhc::testing {

struct LzxDecoded {
    bool ok = false;
    std::vector<std::uint8_t> data;
    std::vector<std::string> messages;
};

// Decodes a CHM-style LZX stream (64 KiB window, reset every 64 KiB) of `outputLength` bytes.
LzxDecoded MspackLzxDecode(std::span<const std::uint8_t> compressed, std::size_t outputLength);

struct ChmRead {
    bool opened = false;
    std::vector<std::string> names;  // as listed by open(), in listing order
    std::map<std::string, std::vector<std::uint8_t>> files;  // extracted by open() + extract()
    std::vector<std::string> lookupFailures;  // names fast_open + fast_find did not find
    std::vector<std::string> messages;
};

// Lists and extracts every file, then looks each one up again through the index.
ChmRead MspackReadChm(const std::string& path);

}  // namespace hhc::testing
