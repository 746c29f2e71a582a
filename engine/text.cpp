// 1-based text helpers. The only place that turns 1-based positions into 0-based indexes.
#include "engine/text.h"

#include <algorithm>

namespace engine {

namespace {

// ASCII letters folded; every other byte is its own.
char ToUpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - ('a' - 'A')) : c;
}

}  // namespace

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string FoldCase(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + ('a' - 'A'));
        }
    }
    return folded;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return ToUpperAscii(x) == ToUpperAscii(y);
           });
}

bool StartsWithNoCase(std::string_view text, std::size_t pos, std::string_view prefix) {
    return pos != 0 && pos <= text.size() + 1 &&
           EqualsNoCase(text.substr(pos - 1, prefix.size()), prefix);
}

std::size_t InStr(std::string_view text, std::string_view needle, std::size_t start) {
    if (start == 0 || start > text.size() + 1 || needle.size() > text.size() - (start - 1)) {
        return 0;
    }
    if (std::none_of(needle.begin(), needle.end(), IsAsciiLetter)) {
        const std::size_t at = text.find(needle, start - 1);
        return at == std::string_view::npos ? 0 : at + 1;
    }
    const char first = ToUpperAscii(needle[0]);
    const std::size_t last = text.size() - needle.size();
    for (std::size_t at = start - 1; at <= last; ++at) {
        if (ToUpperAscii(text[at]) == first &&
            EqualsNoCase(text.substr(at, needle.size()), needle)) {
            return at + 1;
        }
    }
    return 0;
}

std::size_t FindFirstOf(std::string_view text, const ByteSet& bytes, std::size_t start) {
    if (start == 0 || start > text.size()) {
        return 0;
    }
    for (std::size_t at = start - 1; at < text.size(); ++at) {
        if (bytes.Contains(text[at])) {
            return at + 1;
        }
    }
    return 0;
}

std::string_view Mid(std::string_view text, std::size_t start, std::size_t length) {
    if (start == 0) {
        start = 1;
    }
    if (start > text.size()) {
        return {};
    }
    return text.substr(start - 1, length);
}

SplicedText::SplicedText(std::string_view original) : original_(original) {
    result_.reserve(original.size() + original.size() / 8);
}

void SplicedText::SwapText(std::string_view String2, std::size_t start, std::size_t Finish) {
    const std::size_t left =
        std::clamp<std::size_t>(start == 0 ? 0 : start - 1, copied_, original_.size());
    const std::size_t right =
        std::clamp<std::size_t>(Finish == 0 ? 0 : Finish - 1, left, original_.size());
    result_.append(original_.substr(copied_, left - copied_));
    result_.append(String2);
    copied_ = right;
}

std::string SplicedText::Finish() && {
    result_.append(original_.substr(copied_));
    return std::move(result_);
}

}  // namespace engine
