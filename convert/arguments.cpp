#include "convert/arguments.h"

#include <charconv>

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

// A number of links from 0 to 1000.
std::optional<int> ParseFollow(std::string_view text) {
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > 1000) {
        return std::nullopt;
    }
    return value;
}

// One option that takes a value; false when the option or its value is unknown.
bool TakeValue(std::string_view option, std::string_view value, Arguments& arguments) {
    if (option == "--links") {
        const std::optional<engine::LinkMode> mode = ParseMode(value);
        arguments.mode = mode.value_or(arguments.mode);
        return mode.has_value();
    }
    if (option == "--follow") {
        arguments.follow = ParseFollow(value);
        return arguments.follow.has_value();
    }
    if (option == "--browser" && !value.empty()) {
        arguments.browser = std::string(value);
        return true;
    }
    if (option == "--scope" && (value == "folder" || value == "site")) {
        arguments.wholeSite = value == "site";
        return true;
    }
    return false;
}

}  // namespace

std::optional<Arguments> ParseArguments(int argc, char** argv) {
    if (argc < 3) {
        return std::nullopt;
    }
    Arguments arguments;
    arguments.url = argv[1];
    arguments.output = argv[2];
    for (int i = 3; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--classic" || option == "--sequential" || option == "--quiet") {
            (option == "--classic"      ? arguments.classic
             : option == "--sequential" ? arguments.sequential
                                        : arguments.quiet) = true;
            continue;
        }
        if (i + 1 == argc || !TakeValue(option, argv[i + 1], arguments)) {
            return std::nullopt;
        }
        ++i;
    }
    return arguments;
}
