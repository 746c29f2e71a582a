// Files and deterministic test data for the hhc tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace hhc::testing {

using Bytes = std::vector<std::uint8_t>;

// hhc.exe's exit status when it wrote the .chm: the platform compiler's.
inline constexpr int kCompiled = 1;

void WriteFile(const std::filesystem::path& path, std::string_view bytes);
void WriteFile(const std::filesystem::path& path, const Bytes& bytes);
Bytes ReadFile(const std::filesystem::path& path);

// Little-endian numbers at `at` in bytes held as uint8_t or char.
template <typename ByteRange>
std::uint32_t U16(const ByteRange& bytes, std::size_t at) {
    return static_cast<std::uint8_t>(bytes[at]) |
           (std::uint32_t{static_cast<std::uint8_t>(bytes[at + 1])} << 8);
}

template <typename ByteRange>
std::uint32_t U32(const ByteRange& bytes, std::size_t at) {
    return U16(bytes, at) | (U16(bytes, at + 2) << 16);
}

// Words and markup that compress like real pages; the same seed gives the same bytes.
Bytes HtmlText(std::size_t size, std::uint32_t seed);
// Bytes that do not compress at all.
Bytes Noise(std::size_t size, std::uint32_t seed);

}  // namespace hhc::testing
