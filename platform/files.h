// The file operations of a run on the local file system, and the private working folder.
// Every failure becomes a RunError with the number of its kind of file error.
#pragma once

#include <string>
#include <string_view>

#include "engine/ports.h"

namespace platform {

class LocalFiles : public engine::Files {
public:
    bool FileExists(const std::string& path) const override;
    std::string Absolute(const std::string& path) const override;
    std::string ReadFile(const std::string& path) const override;
    void WriteFile(const std::string& path, std::string_view bytes) override;
    void DeleteFile(const std::string& path) override;
    void MoveFile(const std::string& from, const std::string& to) override;
    void MakeFolder(const std::string& path) override;
    void RemoveFolder(const std::string& path) override;
    void ClearFolder(const std::string& folder) noexcept override;
    void CopyFile(const std::string& from, const std::string& to) override;
};

// The temporary folder: TEMP when set and not empty, else TMPDIR, else /tmp.
std::string TemporaryFolder();

// A new folder only this user can enter (mode 0700) inside the temporary folder, named after
// this process. Returned with its trailing "/". Throws RunError.
std::string MakeWorkingFolder();

// Removes the folder when nothing is left in it; a folder with files stays as it is.
void RemoveFolderIfEmpty(const std::string& folder);

}  // namespace platform
