#include "settings/ini_settings_reader.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "common/html/encoding.h"

namespace settings {

namespace {

std::string Environment(const char* name, std::string_view otherwise) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : std::string(otherwise);
}

std::string_view Blankless(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    return first == std::string_view::npos ? std::string_view()
                                           : text.substr(first, last - first + 1);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// "\x" takes as many hex digits as follow, "\0" as many octal ones; the others name a
// control character or stand for themselves.
std::size_t Unescape(std::string_view text, std::size_t at, std::string& out) {
    const char c = text[at];
    constexpr std::string_view kNamed = "a\ab\bf\fn\nr\rt\tv\v";
    if (c == 'x' || c == '0') {
        const int base = c == 'x' ? 16 : 8;
        char32_t code = 0;
        for (++at; at < text.size() && HexDigit(text[at]) >= 0 && HexDigit(text[at]) < base; ++at) {
            code = code * static_cast<char32_t>(base) + static_cast<char32_t>(HexDigit(text[at]));
        }
        common::html::AppendCharacter(code & 0xFFFF, common::html::Encoding::kUtf8, out);
        return at;
    }
    const std::size_t named = kNamed.find(c);
    out += named != std::string_view::npos && named % 2 == 0 ? kNamed[named + 1] : c;
    return at + 1;
}

}  // namespace

std::string UnescapedIniValue(std::string_view text) {
    std::string value;
    bool quoted = false, list = false;
    std::size_t kept = 0;  // of `value`, up to its last character that is no unquoted blank
    for (std::size_t at = text.find_first_not_of(" \t"); at < text.size();) {
        const char c = text[at];
        if (c == '"') {
            quoted = !quoted;
            kept = value.size();
            ++at;
            continue;
        }
        if (!quoted && c == ';') {
            break;  // a comment
        }
        if (!quoted && c == ',') {
            list = true;
            ++at;
            continue;
        }
        if (c == '\\' && at + 1 < text.size()) {
            at = Unescape(text, at + 1, value);
        } else {
            value += c;
            ++at;
        }
        if (quoted || (c != ' ' && c != '\t')) {
            kept = value.size();
        }
    }
    value.resize(kept);
    return list ? "" : value;
}

IniSettingsReader::IniSettingsReader() {
    const std::string home = Environment("HOME", "");
    const std::string user = Environment("XDG_CONFIG_HOME", home + "/.config");
    std::vector<std::string> folders{user};
    std::string system = Environment("XDG_CONFIG_DIRS", "/etc/xdg");
    for (std::size_t start = 0; start <= system.size();) {
        const std::size_t colon = std::min(system.find(':', start), system.size());
        if (colon > start) {
            folders.push_back(system.substr(start, colon - start));
        }
        start = colon + 1;
    }
    for (const std::string& folder : folders) {
        for (const std::string& path : {folder + "/KORVA/KORVA.conf", folder + "/KORVA.conf"}) {
            std::ifstream in(path);
            if (in) {
                files_.emplace_back(std::istreambuf_iterator<char>(in),
                                    std::istreambuf_iterator<char>());
            }
        }
    }
}

std::string IniSettingsReader::GetSetting(std::string_view section, std::string_view key,
                                          std::string_view def) const {
    std::string header(1, '[');  // "[" + ... trips a false -Wrestrict in gcc 12's -O3
    header.append(section).push_back(']');
    for (const std::string& file : files_) {
        std::istringstream in(file);
        bool inSection = false;
        std::optional<std::string> value;  // a key given twice is the last, as QSettings reads it
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            const std::size_t equals = line.find('=');
            if (line.starts_with('[')) {
                inSection = line == header;
            } else if (inSection && equals != std::string::npos &&
                       Blankless(std::string_view(line).substr(0, equals)) == key) {
                value = UnescapedIniValue(std::string_view(line).substr(equals + 1));
            }
        }
        if (value) {
            return *value;
        }
    }
    return std::string(def);
}

}  // namespace settings
