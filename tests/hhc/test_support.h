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

// Words and markup that compress like real pages; the same seed gives the same bytes.
Bytes HtmlText(std::size_t size, std::uint32_t seed);
// Bytes that do not compress at all.
Bytes Noise(std::size_t size, std::uint32_t seed);

}  // namespace hhc::testing
