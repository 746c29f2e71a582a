// Where the browsers keep their session files: every profile of Firefox and its relatives, and
// of the Chromium-based browsers, in their usual, Snap and Flatpak folders. Only looks; never
// opens a browser's lock or changes a file.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace platform::browser_sessions {

struct UserFolders {
    std::filesystem::path home;
    std::filesystem::path config;  // $XDG_CONFIG_HOME, else home/.config
};

enum class SessionFormat { kMozLz4, kSnss };

struct SessionFile {
    std::filesystem::path path;
    SessionFormat format;
    std::filesystem::file_time_type modified;
};

// One file per profile that has one: for Firefox the newer of sessionstore.jsonlz4 (written
// at a clean quit) and sessionstore-backups/recovery.jsonlz4 (written while it runs); for
// Chromium the Sessions/Session_<t> with the largest t. Profiles are those that profiles.ini
// and installs.ini name, and for Chromium every folder of the user-data folder with a Sessions
// folder. Folders that can't be read give nothing.
std::vector<SessionFile> FindSessionFiles(const UserFolders& folders);

}  // namespace platform::browser_sessions
