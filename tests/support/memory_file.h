// A file that lives in memory, for handing to code that wants a file: another process's
// output, or a library's own file functions by the name /proc/self/fd/N.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace support {

class MemoryFile {
public:
    MemoryFile() : fd_(::memfd_create("test", MFD_CLOEXEC)) {}

    ~MemoryFile() { ::close(fd_); }

    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    int fd() const { return fd_; }

    std::string Name() const { return "/proc/self/fd/" + std::to_string(fd_); }

    void Fill(std::span<const std::uint8_t> bytes) const {
        for (std::size_t at = 0; at < bytes.size();) {
            at += static_cast<std::size_t>(
                ::pwrite(fd_, bytes.data() + at, bytes.size() - at, static_cast<off_t>(at)));
        }
    }

    template <typename Bytes = std::vector<std::uint8_t>>
    Bytes Contents() const {
        struct stat info {};

        ::fstat(fd_, &info);
        Bytes bytes(static_cast<std::size_t>(info.st_size), 0);
        for (std::size_t at = 0; at < bytes.size();) {
            at += static_cast<std::size_t>(
                ::pread(fd_, bytes.data() + at, bytes.size() - at, static_cast<off_t>(at)));
        }
        return bytes;
    }

private:
    int fd_;
};

}  // namespace support
