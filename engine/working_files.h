// The run's files below the working folder, with the folders that the site's layout needs:
// made before the first file in them is written, removed when the run cleans up.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "engine/ports.h"

namespace engine {

class WorkingFiles {
public:
    explicit WorkingFiles(Files& files) : files_(files) {}

    // Writes `bytes` to `folder` + `name`, making the folders of `name` first.
    void Write(const std::string& folder, const std::string& name, std::string_view bytes);

    // Moves the file `from` to `folder` + `name`, making the folders of `name` first.
    void Move(const std::string& from, const std::string& folder, const std::string& name);

    // Removes the folders made below `folder`, deepest first; they must be empty by then.
    void RemoveFolders(const std::string& folder);

private:
    void MakeFoldersOf(const std::string& folder, const std::string& name);

    Files& files_;
    std::vector<std::string> made_;  // relative to the working folder, in the order made
    std::unordered_set<std::string> known_;
};

}  // namespace engine
