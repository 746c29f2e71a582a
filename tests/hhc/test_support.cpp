// hhc test helpers.
#include "tests/hhc/test_support.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace hhc::testing {

namespace fs = std::filesystem;

namespace {

std::uint32_t Next(std::uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::error_code ec;
    std::string text(static_cast<std::size_t>(fs::file_size(path, ec)), '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    return text;
}

}  // namespace

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "hhc-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

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
    const std::string text = Slurp(path);
    return Bytes(text.begin(), text.end());
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

RunResult RunProgram(const std::vector<std::string>& argv, const fs::path& workDir) {
    const fs::path outFile = workDir / ".run-out";
    const fs::path errFile = workDir / ".run-err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    RunResult result;
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        result.err = "cannot start " + argv[0];
        return result;
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = Slurp(outFile);
    result.err = Slurp(errFile);
    fs::remove(outFile);
    fs::remove(errFile);
    return result;
}

}  // namespace hhc::testing
