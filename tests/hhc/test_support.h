// Temporary folders, deterministic test data and running a program with its output captured,
// for the hhc tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace hhc::testing {

using Bytes = std::vector<std::uint8_t>;

// A fresh private folder, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& path, std::string_view bytes);
void WriteFile(const std::filesystem::path& path, const Bytes& bytes);
Bytes ReadFile(const std::filesystem::path& path);

// Words and markup that compress like real pages; the same seed gives the same bytes.
Bytes HtmlText(std::size_t size, std::uint32_t seed);
// Bytes that do not compress at all.
Bytes Noise(std::size_t size, std::uint32_t seed);

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs argv[0] with the arguments as given (no shell), in `workDir`.
RunResult RunProgram(const std::vector<std::string>& argv, const std::filesystem::path& workDir);

}  // namespace hhc::testing
