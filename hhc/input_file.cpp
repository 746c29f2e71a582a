#include "hhc/input_file.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "hhc/error.h"

namespace hhc {

std::optional<InputFile> InputFile::Open(const std::filesystem::path& path, std::string& why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = std::strerror(errno);
        return std::nullopt;
    }

    struct stat info {};

    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        why = "not a regular file";
        return std::nullopt;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return InputFile(fd, path);
}

InputFile::InputFile(InputFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

InputFile::~InputFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::size_t InputFile::Read(char* data, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(fd_, data, size);
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (errno != EINTR) {
            throw Error("reading " + path_.string() + " failed: " + std::strerror(errno));
        }
    }
}

std::string InputFile::ReadAll() {
    std::string text;
    char piece[1 << 16];
    while (const std::size_t got = Read(piece, sizeof piece)) {
        text.append(piece, got);
    }
    return text;
}

}  // namespace hhc
