#include "settings/default_folders.h"

#include <cstdlib>

#include "platform/folder_search.h"

namespace settings {

std::string DefaultCompilerFolder() {
    return platform::ProgramFolder();
}

std::string DefaultOutputFolder() {
    const char* home = std::getenv("HOME");
    std::string folder = home != nullptr && *home != '\0' ? home : "";
    return folder + "/";
}

}  // namespace settings
