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
#include "platform/leftovers.h"

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

// Hands everything readable from `in` to `take`, a piece at a time.
template <typename Take>
void ReadPieces(int in, const std::string& path, Take take) {
    std::vector<char> buffer(std::size_t{1} << 16);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            ThrowFileError(errno, path);
        }
        if (got == 0) {
            return;
        }
        take(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    }
}

// Where a copy to `to` goes: `to`, or for a symbolic link the file it leads to, so that the
// link stays. Only a missing path or a regular file we may write is replaced: a device, a
// FIFO, a socket, a folder or a read-only file is error 75.
std::string CopyTarget(const std::string& to) {
    std::error_code error;
    std::filesystem::path target = to;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(target, error); ++hops) {
        const std::filesystem::path next = std::filesystem::read_symlink(target, error);
        target = next.is_absolute() ? next : target.parent_path() / next;
    }

    struct stat info {};

    if (::stat(target.c_str(), &info) != 0) {
        if (errno != ENOENT) {
            ThrowFileError(errno, to);
        }
        return target;
    }
    if (!S_ISREG(info.st_mode) || (info.st_mode & 0222) == 0 ||
        ::access(target.c_str(), W_OK) != 0) {
        throw engine::RunError{75, "Path/File access error"};
    }
    return target;
}

// A new file beside `target` for the copy, named so that a later run can tell it was left by
// a run that died. Made with mode 0666, so the umask decides, as for any new file.
Descriptor CreatePartialCopy(const std::string& target, std::string& name) {
    for (int n = 0;; ++n) {
        name = PartialCopyPrefix(target) + std::to_string(n);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST || n == 1000) {
            if (fd < 0) {
                ThrowFileError(errno, target);
            }
            return Descriptor(fd);
        }
    }
}

}  // namespace

std::string TemporaryFolder() {
    for (const char* name : {"TEMP", "TMPDIR"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return "/tmp";
}

bool LocalFiles::FileExists(const std::string& path) const {
    struct stat info {};

    const std::string name = std::filesystem::path(path).filename();
    return !name.empty() && name[0] != '.' && stat(path.c_str(), &info) == 0 &&
           S_ISREG(info.st_mode);
}

std::string LocalFiles::Absolute(const std::string& path) const {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

std::string LocalFiles::ReadFile(const std::string& path) const {
    Descriptor in(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) {
        ThrowFileError(errno, path);
    }
    std::string bytes;
    ReadPieces(in.get(), path, [&bytes](std::string_view piece) { bytes.append(piece); });
    return bytes;
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

void LocalFiles::MoveFile(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        ThrowFileError(errno, to);
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
// half-way never destroys the file the user had there. A file replaced keeps its mode.
void LocalFiles::CopyFile(const std::string& from, const std::string& to) {
    const std::string target = CopyTarget(to);
    RemoveStalePartialCopies(target);
    Descriptor in(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0) {
        ThrowFileError(errno, from);
    }
    std::string partial;
    Descriptor out = CreatePartialCopy(target, partial);
    try {
        ReadPieces(in.get(), from,
                   [&](std::string_view piece) { WriteAll(out.get(), piece, partial); });

        struct stat old {};

        if (::stat(target.c_str(), &old) == 0) {
            ::fchmod(out.get(), old.st_mode & 07777);
        }
        if (out.Close() != 0 || ::rename(partial.c_str(), target.c_str()) != 0) {
            ThrowFileError(errno, to);
        }
    } catch (...) {
        ::unlink(partial.c_str());
        throw;
    }
}

void LocalFiles::ClearFolder(const std::string& folder) noexcept {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::error_code ignored;
        std::filesystem::remove_all(entry.path(), ignored);
    }
}

std::string MakeWorkingFolder() {
    std::string folder = TemporaryFolder();
    if (!folder.ends_with('/')) {
        folder += '/';
    }
    folder += WorkingFolderPrefix() + "XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) {
        ThrowFileError(errno, folder);
    }
    return folder + "/";
}

void RemoveFolderIfEmpty(const std::string& folder) {
    ::rmdir(folder.c_str());  // fails, as it should, when anything is left inside
}

}  // namespace platform
