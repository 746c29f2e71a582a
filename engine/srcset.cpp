// Candidates are split as the HTML standard's srcset parser does: an address is a run of
// non-blanks (so a data: address may hold commas) whose trailing commas end the candidate;
// otherwise its descriptors run to the next comma outside parentheses.
#include "engine/srcset.h"

#include "engine/text.h"

namespace engine {

namespace {

constexpr ByteSet kBlanks(" \t\r\n\f");

std::size_t Skip(std::string_view text, std::size_t at, const ByteSet& bytes) {
    while (at < text.size() && bytes.Contains(text[at])) {
        ++at;
    }
    return at;
}

// The end of a candidate's descriptors: its comma, or the end of the value.
std::size_t DescriptorsEnd(std::string_view text, std::size_t at) {
    int depth = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        if (c == ',' && depth <= 0) {
            return at;
        }
    }
    return at;
}

}  // namespace

std::string RewriteSrcset(std::string_view srcset, const ReferenceMap& map) {
    constexpr ByteSet kSeparators(" \t\r\n\f,");
    std::string out;
    std::size_t copied = 0;
    std::size_t at = Skip(srcset, 0, kSeparators);
    while (at < srcset.size()) {
        std::size_t end = at;
        while (end < srcset.size() && !kBlanks.Contains(srcset[end])) {
            ++end;
        }
        std::size_t addressEnd = end;
        while (addressEnd > at && srcset[addressEnd - 1] == ',') {
            --addressEnd;
        }
        out.append(srcset.substr(copied, at - copied));
        out.append(map(srcset.substr(at, addressEnd - at)));
        copied = addressEnd;
        if (addressEnd == end) {
            end = DescriptorsEnd(srcset, end);
        }
        at = Skip(srcset, end, kSeparators);
    }
    return out.append(srcset.substr(copied));
}

}  // namespace engine
