// Plain POSIX calls, so that each failure keeps its errno for the error table below.
#include "platform/files.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/run_error.h"

namespace platform {

namespace {

// The numbers a run reports for file errors, by the errno that caused them.
engine::RunError FileError(int error) {
    switch (error) {
        case ENOENT:
            return {53, "File not found"};
        case ENOTDIR:
            return {76, "Path not found"};
        case EACCES:
        case EPERM:
        case EROFS:
            return {70, "Permission denied"};
        case ENOSPC:
        case EDQUOT:
            return {61, "Disk full"};
        default:
            return {75, "Path/File access error"};
    }
}

// A missing file is 53, but a missing folder on the way to it is 76.
[[noreturn]] void ThrowFileError(int error, const std::string& path) {
    if (error == ENOENT) {
        const std::filesystem::path parent = std::filesystem::path(path).parent_path();

        struct stat info {};

        if (!parent.empty() && stat(parent.c_str(), &info) != 0) {
            error = ENOTDIR;
        }
    }
    throw FileError(error);
}

// Owns a descriptor so every way out closes it.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}

    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }

    int get() const { return fd_; }

    // Closes now, so that a failing close (a full disk on some file systems) is seen.
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

void WriteAll(int fd, std::string_view bytes, const std::string& path) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowFileError(errno, path);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

std::string ReadAll(const std::string& path) {
    Descriptor in(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) {
        ThrowFileError(errno, path);
    }
    std::string bytes;
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = ::read(in.get(), buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            ThrowFileError(errno, path);
        }
        if (got == 0) {
            return bytes;
        }
        bytes.append(buffer.data(), static_cast<std::size_t>(got));
    }
}

std::string TemporaryFolder() {
    for (const char* name : {"TEMP", "TMPDIR"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return "/tmp";
}

}  // namespace

bool LocalFiles::FileExists(const std::string& path) const {
    struct stat info {};

    const std::string name = std::filesystem::path(path).filename();
    return !name.empty() && name[0] != '.' && stat(path.c_str(), &info) == 0 &&
           S_ISREG(info.st_mode);
}

void LocalFiles::WriteFile(const std::string& path, std::string_view bytes) {
    Descriptor out(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (out.get() < 0) {
        ThrowFileError(errno, path);
    }
    WriteAll(out.get(), bytes, path);
    if (out.Close() != 0) {
        ThrowFileError(errno, path);
    }
}

void LocalFiles::DeleteFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
        ThrowFileError(errno, path);
    }
}

void LocalFiles::MakeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        ThrowFileError(errno, path);
    }
}

void LocalFiles::RemoveFolder(const std::string& path) {
    if (::rmdir(path.c_str()) != 0 && errno != ENOENT) {
        ThrowFileError(errno, path);
    }
}

// Written beside the target under a name of its own, then renamed over it: a copy that fails
// half-way never destroys the file the user had there.
void LocalFiles::CopyFile(const std::string& from, const std::string& to) {
    const std::string bytes = ReadAll(from);
    std::string temporary = to + ".korva-XXXXXX";
    Descriptor out(::mkstemp(temporary.data()));
    if (out.get() < 0) {
        ThrowFileError(errno, to);
    }
    try {
        WriteAll(out.get(), bytes, temporary);
        ::fchmod(out.get(), 0644);
        if (out.Close() != 0 || ::rename(temporary.c_str(), to.c_str()) != 0) {
            ThrowFileError(errno, to);
        }
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
}

std::string MakeWorkingFolder() {
    std::string folder = TemporaryFolder();
    if (!folder.ends_with('/')) {
        folder += '/';
    }
    folder += "korva-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) {
        ThrowFileError(errno, folder);
    }
    return folder + "/";
}

void RemoveFolderIfEmpty(const std::string& folder) {
    ::rmdir(folder.c_str());  // fails, as it should, when anything is left inside
}

}  // namespace platform
