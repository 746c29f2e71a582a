#include "convert/arguments.h"

namespace {

std::optional<engine::LinkMode> ParseMode(std::string_view name) {
    if (name == "absolute") {
        return engine::LinkMode::Absolute;
    }
    if (name == "external") {
        return engine::LinkMode::External;
    }
    if (name == "null") {
        return engine::LinkMode::Null;
    }
    return std::nullopt;
}

}  // namespace

std::optional<Arguments> ParseArguments(int argc, char** argv) {
    if (argc < 3) {
        return std::nullopt;
    }
    Arguments arguments{argv[1], argv[2]};
    for (int i = 3; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--classic" || option == "--sequential") {
            (option == "--classic" ? arguments.classic : arguments.sequential) = true;
            continue;
        }
        if (option == "--browser" && i + 1 < argc) {
            arguments.browser = argv[++i];
            continue;
        }
        const std::optional<engine::LinkMode> mode =
            i + 1 < argc ? ParseMode(argv[i + 1]) : std::nullopt;
        if (option != "--links" || !mode) {
            return std::nullopt;
        }
        arguments.mode = *mode;
        ++i;
    }
    return arguments;
}
