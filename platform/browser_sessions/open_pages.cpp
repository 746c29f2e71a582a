#include "platform/browser_sessions/open_pages.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>

#include "platform/browser_sessions/mozlz4_session.h"
#include "platform/browser_sessions/snss_session.h"

namespace platform::browser_sessions {

namespace {

std::optional<std::string> ReadSmallFile(const std::filesystem::path& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > kMaxSessionFileSize) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    return in.bad() ? std::nullopt : std::optional(std::move(bytes));
}

bool IsOffered(std::string_view address) {
    const std::size_t colon = address.find(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    std::string scheme(address.substr(0, colon));
    std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return scheme == "http" || scheme == "https" || scheme == "file";
}

// `front` (when there is one) goes last, the others keep their order.
template <typename Visit>
void FrontLast(std::size_t count, std::optional<std::size_t> front, Visit visit) {
    for (std::size_t i = 0; i < count; ++i) {
        if (i != front) {
            visit(i);
        }
    }
    if (front && *front < count) {
        visit(*front);
    }
}

void AppendInOrder(const Session& session, std::vector<std::string>& addresses) {
    FrontLast(session.windows.size(), session.active, [&](std::size_t w) {
        const SessionWindow& window = session.windows[w];
        FrontLast(window.tabs.size(), window.selected, [&](std::size_t t) {
            if (IsOffered(window.tabs[t])) {
                addresses.push_back(window.tabs[t]);
            }
        });
    });
}

std::optional<Session> ReadSession(const SessionFile& file) {
    const std::optional<std::string> bytes = ReadSmallFile(file.path);
    if (!bytes) {
        return std::nullopt;
    }
    return file.format == SessionFormat::kMozLz4 ? ReadMozLz4Session(*bytes)
                                                 : ReadSnssSession(*bytes);
}

}  // namespace

std::vector<std::string> OpenPageAddresses(const UserFolders& folders) {
    std::vector<std::string> addresses;
    // Offering addresses is a convenience: a failure anywhere (a folder or file that goes away
    // while being read, memory running out on a huge session) must cost only its own pages.
    try {
        std::vector<SessionFile> files = FindSessionFiles(folders);
        std::stable_sort(
            files.begin(), files.end(),
            [](const SessionFile& a, const SessionFile& b) { return a.modified < b.modified; });
        for (const SessionFile& file : files) {
            try {
                if (const std::optional<Session> session = ReadSession(file)) {
                    AppendInOrder(*session, addresses);
                }
            } catch (...) {
            }
        }
    } catch (...) {
    }
    return addresses;
}

std::vector<std::string> OpenPageAddresses() {
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        return {};
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::filesystem::path configFolder = config != nullptr && config[0] == '/'
                                                   ? std::filesystem::path(config)
                                                   : std::filesystem::path(home) / ".config";
    return OpenPageAddresses({home, configFolder});
}

}  // namespace platform::browser_sessions
