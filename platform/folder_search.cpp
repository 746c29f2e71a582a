#include "platform/folder_search.h"

#include <filesystem>
#include <memory>

#include <dirent.h>
#include <sys/stat.h>

#include "engine/text.h"

namespace platform {

namespace {

// Wildcard match of names already folded to one case: "*" spans any run of characters, "?"
// one character.
bool Matches(std::string_view pattern, std::string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starAt = std::string_view::npos;
    std::size_t resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

bool IsOrdinary(const std::string& folder, const char* name) {
    struct stat info {};

    return name[0] != '.' && stat((folder + name).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::string FolderSearch(std::string_view pattern) {
    const std::size_t slash = pattern.rfind('/');
    const std::string folder(slash == std::string_view::npos ? "" : pattern.substr(0, slash + 1));
    const std::string namePattern =
        engine::FoldCase(slash == std::string_view::npos ? pattern : pattern.substr(slash + 1));
    const bool anyName = namePattern == "*.*";

    const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.empty() ? "." : folder.c_str()),
                                                  closedir);
    if (!dir) {
        return "";
    }
    while (const dirent* entry = readdir(dir.get())) {
        if ((anyName || Matches(namePattern, engine::FoldCase(entry->d_name))) &&
            IsOrdinary(folder, entry->d_name)) {
            return entry->d_name;
        }
    }
    return "";
}

std::string FindHelpCompiler(std::string_view folder) {
    const std::string found = FolderSearch(std::string(folder) + "hhc.exe");
    return engine::EqualsNoCase(found, "hhc.exe") ? std::string(folder) + found : "";
}

std::string ProgramFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("./") : self.parent_path().string() + "/";
}

}  // namespace platform
