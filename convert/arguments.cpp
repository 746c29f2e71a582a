#include "convert/arguments.h"

#include <charconv>
#include <vector>

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

// One option that takes a value; false when its value is not one it takes.
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
    if (option == "--browser") {
        arguments.browser = std::string(value);
        return !value.empty();
    }
    arguments.wholeSite = value == "site";  // --scope
    return value == "folder" || value == "site";
}

bool* Flag(std::string_view option, Arguments& arguments) {
    if (option == "--classic") {
        return &arguments.classic;
    }
    if (option == "--sequential") {
        return &arguments.sequential;
    }
    return option == "--quiet" ? &arguments.quiet : nullptr;
}

bool TakesValue(std::string_view option) {
    return option == "--links" || option == "--follow" || option == "--browser" ||
           option == "--scope";
}

}  // namespace

// Options may stand anywhere, as with getopt; a "--" makes every later word an operand.
std::optional<Arguments> ParseArguments(int argc, char** argv, std::string& problem) {
    Arguments arguments;
    std::vector<std::string_view> operands;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (optionsEnded || !word.starts_with("--")) {
            operands.push_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (bool* flag = Flag(word, arguments)) {
            *flag = true;
        } else if (!TakesValue(word)) {
            problem = "unknown option " + std::string(word);
            return std::nullopt;
        } else if (i + 1 == argc || !TakeValue(word, argv[i + 1], arguments)) {
            problem = std::string(word) + " needs one of the values shown";
            return std::nullopt;
        } else {
            ++i;
        }
    }
    if (operands.size() != 2) {
        problem =
            operands.size() < 2 ? "URL and OUTPUT are both needed" : "more than URL and OUTPUT";
        return std::nullopt;
    }
    arguments.url = std::string(operands[0]);
    arguments.output = std::string(operands[1]);
    return arguments;
}
