// A name's run is alive when a process of ours has its pid and started before the name's file
// last changed; a later start means the pid was taken again by another program.
#include "platform/leftovers.h"

#include <charconv>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::string_view kTag = "korva-";

// When the process started, in seconds since the epoch; -1 when there is none of ours.
double StartOf(pid_t pid) {
    if (pid <= 0 || ::kill(pid, 0) != 0) {
        return -1;
    }
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos) {
        return -1;
    }
    std::istringstream fields(line.substr(close + 2));
    std::string field;
    for (int i = 3; i < 22 && fields >> field; ++i) {  // field 22 is the start time
    }
    double ticks = 0;
    fields >> ticks;
    std::ifstream all("/proc/stat");
    double bootTime = 0;
    for (std::string key; all >> key;) {
        if (key == "btime") {
            all >> bootTime;
            break;
        }
    }
    return bootTime + ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// The pid in a name that goes on "<pid>-...", or 0.
pid_t PidIn(std::string_view rest) {
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
    return error == std::errc() && end != rest.data() && *end == '-' ? pid : 0;
}

bool RunIsGone(const std::filesystem::path& path, pid_t pid) {
    struct stat info {};

    if (::lstat(path.c_str(), &info) != 0 || info.st_uid != ::getuid()) {
        return false;  // not ours to remove
    }
    const double start = StartOf(pid);
    return start < 0 || start > static_cast<double>(info.st_mtim.tv_sec) + 1;
}

// Every entry of `folder` whose name starts with `prefix` and a dead run's pid.
template <typename Remove>
void RemoveGone(const std::filesystem::path& folder, std::string_view prefix, Remove remove) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(prefix)) {
            const pid_t pid = PidIn(std::string_view(name).substr(prefix.size()));
            if (pid != 0 && RunIsGone(entry.path(), pid)) {
                remove(entry.path());
            }
        }
    }
}

}  // namespace

std::string WorkingFolderPrefix() {
    return std::string(kTag) + std::to_string(::getpid()) + "-";
}

std::string PartialCopyPrefix(const std::string& target) {
    return target + "." + WorkingFolderPrefix();
}

void RemoveStaleWorkingFolders(const std::string& temporaryFolder) {
    RemoveGone(temporaryFolder, kTag, [](const std::filesystem::path& path) {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    });
}

void RemoveStalePartialCopies(const std::string& target) {
    const std::filesystem::path path(target);
    RemoveGone(path.parent_path().empty() ? "." : path.parent_path(),
               path.filename().string() + "." + std::string(kTag),
               [](const std::filesystem::path& partial) { ::unlink(partial.c_str()); });
}

}  // namespace platform
