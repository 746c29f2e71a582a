// ASCII letter case, the only case the programs ignore: help file readers compare stored names
// by folding A-Z alone, and bytes above 127 belong to a code page that is not known here.
#pragma once

#include <string>
#include <string_view>

namespace common {

constexpr char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

inline std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = FoldAscii(c);
    }
    return out;
}

inline bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace common
