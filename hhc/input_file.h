// Files the compiler reads: the project, the stop list, every file it stores. Opening never
// blocks (a FIFO would wait for a writer for ever), and only a regular file is read: a FIFO, a
// device or a folder, also behind a symbolic link, is refused with the reason.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace hhc {

class InputFile {
public:
    // Nothing when `path` cannot be opened or is not a regular file; `why` then says which.
    static std::optional<InputFile> Open(const std::filesystem::path& path, std::string& why);

    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&&) = delete;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    // Up to `size` bytes into `data`; 0 at the end. Throws Error when reading fails.
    std::size_t Read(char* data, std::size_t size);

    // The rest of the file.
    std::string ReadAll();

private:
    InputFile(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}

    int fd_;
    std::filesystem::path path_;
};

}  // namespace hhc
