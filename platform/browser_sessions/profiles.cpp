#include "platform/browser_sessions/profiles.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string_view>
#include <system_error>

namespace platform::browser_sessions {

namespace {

namespace fs = std::filesystem;

// Folders holding a profiles.ini. Firefox uses ~/.mozilla/firefox only where that folder is
// already there and the configuration folder otherwise, so both are looked in.
std::vector<fs::path> MozillaRoots(const UserFolders& folders) {
    const fs::path& home = folders.home;
    return {
        home / ".mozilla/firefox",
        folders.config / "mozilla/firefox",
        home / ".librewolf",
        home / ".waterfox",
        home / "snap/firefox/common/.mozilla/firefox",
        home / ".var/app/org.mozilla.firefox/.mozilla/firefox",
        home / ".var/app/org.mozilla.firefox/config/mozilla/firefox",
        home / ".var/app/io.gitlab.librewolf-community/.librewolf",
        home / ".var/app/net.waterfox.waterfox/.waterfox",
    };
}

// User-data folders; each profile is a folder inside ("Default", "Profile 1", ...).
std::vector<fs::path> ChromiumRoots(const UserFolders& folders) {
    static const std::string_view kNames[] = {
        "chromium",
        "google-chrome",
        "google-chrome-beta",
        "google-chrome-unstable",
        "BraveSoftware/Brave-Browser",
        "vivaldi",
        "vivaldi-snapshot",
        "microsoft-edge",
        "microsoft-edge-beta",
        "microsoft-edge-dev",
    };
    static const std::pair<std::string_view, std::string_view> kFlatpaks[] = {
        {"org.chromium.Chromium", "chromium"},
        {"com.google.Chrome", "google-chrome"},
        {"com.brave.Browser", "BraveSoftware/Brave-Browser"},
        {"com.vivaldi.Vivaldi", "vivaldi"},
        {"com.microsoft.Edge", "microsoft-edge"},
    };
    std::vector<fs::path> roots;
    for (const std::string_view name : kNames) {
        roots.push_back(folders.config / name);
    }
    for (const auto& [app, name] : kFlatpaks) {
        roots.push_back(folders.home / ".var/app" / app / "config" / name);
    }
    roots.push_back(folders.home / "snap/chromium/common/chromium");
    return roots;
}

std::optional<fs::file_time_type> ModifiedFile(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) {
        return std::nullopt;
    }
    const fs::file_time_type modified = fs::last_write_time(path, error);
    return error ? std::nullopt : std::optional(modified);
}

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Profile folders named in one INI file: "Path=" of a [Profile<n>] section, and "Default=" of
// an install's section, which names the profile that installation uses. ([Profile<n>] has a
// "Default=1" flag of its own, which is not a path.) A path may be relative to `root`.
void AddProfilesFromIni(const fs::path& root, const char* name, std::vector<fs::path>& profiles) {
    std::ifstream in(root / name);
    std::string line;
    bool profileSection = false;
    while (std::getline(in, line)) {
        const std::string_view text = Trim(line);
        if (text.starts_with('[')) {
            profileSection = text.starts_with("[Profile");
            continue;
        }
        const std::size_t equals = text.find('=');
        const std::string_view key = Trim(text.substr(0, equals));
        if (equals == std::string_view::npos ||
            !(key == "Path" || (key == "Default" && !profileSection))) {
            continue;
        }
        const fs::path profile = root / Trim(text.substr(equals + 1));  // absolute stays as is
        if (std::find(profiles.begin(), profiles.end(), profile) == profiles.end()) {
            profiles.push_back(profile);
        }
    }
}

void AddMozillaFiles(const fs::path& root, std::vector<SessionFile>& files) {
    std::vector<fs::path> profiles;
    AddProfilesFromIni(root, "profiles.ini", profiles);
    AddProfilesFromIni(root, "installs.ini", profiles);
    for (const fs::path& profile : profiles) {
        std::optional<SessionFile> newest;
        for (const char* name : {"sessionstore-backups/recovery.jsonlz4", "sessionstore.jsonlz4"}) {
            const fs::path path = profile / name;
            const auto modified = ModifiedFile(path);
            if (modified && (!newest || *modified > newest->modified)) {
                newest = SessionFile{path, SessionFormat::kMozLz4, *modified};
            }
        }
        if (newest) {
            files.push_back(*newest);
        }
    }
}

// The t of "Session_<t>" (microseconds since 1601); nothing for other names, such as the
// recently closed tabs in "Tabs_<t>".
std::optional<std::uint64_t> SessionStamp(std::string_view name) {
    constexpr std::string_view kPrefix = "Session_";
    if (!name.starts_with(kPrefix) || name.size() == kPrefix.size()) {
        return std::nullopt;
    }
    std::uint64_t stamp = 0;
    const auto [end, error] =
        std::from_chars(name.data() + kPrefix.size(), name.data() + name.size(), stamp);
    return error == std::errc() && end == name.data() + name.size() ? std::optional(stamp)
                                                                    : std::nullopt;
}

void AddChromiumFile(const fs::path& sessions, std::vector<SessionFile>& files) {
    std::error_code error;
    std::optional<std::uint64_t> newestStamp;
    fs::path newest;
    for (const fs::directory_entry& entry : fs::directory_iterator(sessions, error)) {
        const auto stamp = SessionStamp(entry.path().filename().native());
        if (stamp && (!newestStamp || *stamp > *newestStamp)) {
            newestStamp = stamp;
            newest = entry.path();
        }
    }
    if (const auto modified = newestStamp ? ModifiedFile(newest) : std::nullopt) {
        files.push_back({newest, SessionFormat::kSnss, *modified});
    }
}

void AddChromiumFiles(const fs::path& root, std::vector<SessionFile>& files) {
    std::error_code error;
    for (const fs::directory_entry& profile : fs::directory_iterator(root, error)) {
        const fs::path sessions = profile.path() / "Sessions";
        if (fs::is_directory(sessions, error)) {
            AddChromiumFile(sessions, files);
        }
    }
}

// The same file reached twice (a root that is a link to another) would list its pages twice.
void RemoveRepeats(std::vector<SessionFile>& files) {
    std::vector<fs::path> seen;
    std::erase_if(files, [&seen](const SessionFile& file) {
        std::error_code error;
        fs::path real = fs::canonical(file.path, error);
        if (error) {
            return false;
        }
        if (std::find(seen.begin(), seen.end(), real) != seen.end()) {
            return true;
        }
        seen.push_back(std::move(real));
        return false;
    });
}

}  // namespace

std::vector<SessionFile> FindSessionFiles(const UserFolders& folders) {
    std::vector<SessionFile> files;
    for (const fs::path& root : MozillaRoots(folders)) {
        AddMozillaFiles(root, files);
    }
    for (const fs::path& root : ChromiumRoots(folders)) {
        AddChromiumFiles(root, files);
    }
    RemoveRepeats(files);
    return files;
}

}  // namespace platform::browser_sessions
