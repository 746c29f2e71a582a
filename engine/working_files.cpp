#include "engine/working_files.h"

namespace engine {

void WorkingFiles::Write(const std::string& folder, const std::string& name,
                         std::string_view bytes) {
    MakeFoldersOf(folder, name);
    files_.WriteFile(folder + name, bytes);
}

void WorkingFiles::Move(const std::string& from, const std::string& folder,
                        const std::string& name) {
    MakeFoldersOf(folder, name);
    files_.MoveFile(from, folder + name);
}

void WorkingFiles::MakeFoldersOf(const std::string& folder, const std::string& name) {
    for (std::size_t slash = name.find('/'); slash != std::string::npos;
         slash = name.find('/', slash + 1)) {
        std::string sub = name.substr(0, slash);
        if (known_.insert(sub).second) {
            files_.MakeFolder(folder + sub);
            made_.push_back(std::move(sub));
        }
    }
}

void WorkingFiles::RemoveFolders(const std::string& folder) {
    for (auto sub = made_.rbegin(); sub != made_.rend(); ++sub) {
        files_.RemoveFolder(folder + *sub);
    }
    made_.clear();
    known_.clear();
}

}  // namespace engine
