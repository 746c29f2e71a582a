// Follows the Fetch standard's "extract a MIME type", for the essence only: parameters (the
// charset) are not needed by the run.
#include "engine/content_type.h"

#include <vector>

#include "engine/text.h"

namespace engine {

namespace {

constexpr std::string_view kField = "content-type:";
constexpr ByteSet kWhitespace(" \t\r\n");
constexpr ByteSet kTokenPunctuation("!#$%&'*+-.^_`|~");

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && kWhitespace.Contains(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && kWhitespace.Contains(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool IsToken(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (const char c : text) {
        if (!IsAsciiLetter(c) && !(c >= '0' && c <= '9') && !kTokenPunctuation.Contains(c)) {
            return false;
        }
    }
    return true;
}

// The values of every Content-Type field, in order, split at commas that stand outside
// double quotes (a backslash in quotes escapes the next character).
std::vector<std::string_view> FieldValues(std::string_view headers) {
    std::vector<std::string_view> values;
    for (std::size_t start = 0; start < headers.size();) {
        std::size_t end = headers.find('\n', start);
        end = end == std::string_view::npos ? headers.size() : end;
        std::string_view line = headers.substr(start, end - start);
        start = end + 1;
        if (!StartsWithNoCase(line, 1, kField)) {
            continue;
        }
        line.remove_prefix(kField.size());
        bool quoted = false;
        std::size_t from = 0;
        for (std::size_t at = 0; at < line.size(); ++at) {
            if (quoted && line[at] == '\\') {
                ++at;
            } else if (line[at] == '"') {
                quoted = !quoted;
            } else if (line[at] == ',' && !quoted) {
                values.push_back(line.substr(from, at - from));
                from = at + 1;
            }
        }
        values.push_back(line.substr(from));
    }
    return values;
}

// "type/subtype" of one value in lower case, or "" when it is no media type.
std::string Essence(std::string_view value) {
    value = Trimmed(value.substr(0, value.find(';')));  // parameters left out
    const std::size_t slash = value.find('/');
    if (slash == std::string_view::npos) {
        return "";
    }
    const std::string_view type = value.substr(0, slash);
    const std::string_view subtype = Trimmed(value.substr(slash + 1));
    return IsToken(type) && IsToken(subtype) ? FoldCase(value) : "";
}

}  // namespace

std::string ContentTypeOf(std::string_view headers) {
    std::string found;
    for (const std::string_view value : FieldValues(headers)) {
        const std::string essence = Essence(value);
        if (!essence.empty() && essence != "*/*") {
            found = essence;
        }
    }
    return found;
}

}  // namespace engine
