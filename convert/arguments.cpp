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

enum class Taken { Value, BadValue, NoSuchOption };

// One option that takes a value; a missing value comes as "", which none of them takes.
Taken TakeValue(std::string_view option, std::string_view value, Arguments& arguments) {
    bool good = false;
    if (option == "--links") {
        const std::optional<engine::LinkMode> mode = ParseMode(value);
        arguments.mode = mode.value_or(arguments.mode);
        good = mode.has_value();
    } else if (option == "--follow") {
        arguments.follow = ParseFollow(value);
        good = arguments.follow.has_value();
    } else if (option == "--browser") {
        arguments.browser = std::string(value);
        good = !value.empty();
    } else if (option == "--scope") {
        arguments.wholeSite = value == "site";
        good = value == "folder" || value == "site";
    } else {
        return Taken::NoSuchOption;
    }
    return good ? Taken::Value : Taken::BadValue;
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
        } else if (const Taken taken = TakeValue(word, i + 1 < argc ? argv[i + 1] : "", arguments);
                   taken == Taken::Value) {
            ++i;
        } else {
            problem = taken == Taken::NoSuchOption
                          ? "unknown option " + std::string(word)
                          : std::string(word) + " needs one of the values shown";
            return std::nullopt;
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
