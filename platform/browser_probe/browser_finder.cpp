#include "platform/browser_probe/browser_finder.h"

#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool IsProgram(const std::string& path) {
    struct stat info {};

    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string FindBrowser(std::string_view pathVariable, std::span<const std::string_view> names,
                        std::span<const std::string_view> places) {
    for (const std::string_view name : pathVariable.empty() ? decltype(names)() : names) {
        for (std::string_view rest = pathVariable;;) {
            const std::size_t colon = rest.find(':');
            const std::string_view folder = rest.substr(0, colon);
            std::string path =
                (folder.empty() ? std::string(".") : std::string(folder)) + "/" + std::string(name);
            if (IsProgram(path)) {
                return path;
            }
            if (colon == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(colon + 1);
        }
    }
    for (const std::string_view place : places) {
        if (IsProgram(std::string(place))) {
            return std::string(place);
        }
    }
    return "";
}

}  // namespace platform
