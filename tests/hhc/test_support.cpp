// hhc test helpers.
#include "tests/hhc/test_support.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace hhc::testing {

namespace fs = std::filesystem;

namespace {

std::uint32_t Next(std::uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

}  // namespace

void WriteFile(const fs::path& path, std::string_view bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
    WriteFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes HtmlText(std::size_t size, std::uint32_t seed) {
    static const char* const kWords[] = {
        "help",  "page",   "the",    "compiled", "file",  "<b>",
        "</b>",  "window", "topic",  "index",    "and",   "of",
        "<p>",   "</p>\n", "title",  "image",    "link",  "<a href=\"chm1.htm\">",
        "</a>",  "frame",  "script", "style",    "table", "row",
        "<td>",  "</td>",  "viewer", "reader",   "bytes", "offset",
        "folder"};
    constexpr std::size_t kWordCount = sizeof kWords / sizeof kWords[0];
    std::uint32_t state = seed * 2654435761u + 1;
    std::string text =
        "<html><head><title>Page " + std::to_string(seed) + "</title></head><body>\n";
    while (text.size() < size) {
        const std::uint32_t r = Next(state);
        text += kWords[r % kWordCount];
        text += (r >> 8) % 11 == 0 ? "\n" : " ";
        if ((r >> 12) % 97 == 0) {
            text += std::to_string(r % 100000);
        }
    }
    text.resize(size);
    return Bytes(text.begin(), text.end());
}

Bytes Noise(std::size_t size, std::uint32_t seed) {
    std::uint32_t state = seed * 2246822519u + 7;
    Bytes bytes(size);
    for (std::uint8_t& b : bytes) {
        b = static_cast<std::uint8_t>(Next(state) >> 11);
    }
    return bytes;
}

}  // namespace hhc::testing
