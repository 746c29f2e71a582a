// Page text is bytes: one char per fetched byte, written back unchanged. These helpers give
// the rule-by-rule code 1-based positions (0 means "not found") and case-insensitive searches
// that fold ASCII letters only, so bytes above 127 are never changed or matched loosely.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace engine {

bool IsAsciiLetter(char c);

// ASCII letters in lower case, every other byte as it is: a key for lookups that ignore case.
std::string FoldCase(std::string_view text);

bool EqualsNoCase(std::string_view a, std::string_view b);

// True when `prefix` stands at 1-based position `pos` of `text`, ignoring case.
bool StartsWithNoCase(std::string_view text, std::size_t pos, std::string_view prefix);

// 1-based position of the first `needle` at or after `start`, ignoring case; 0 when there is
// none, or when `start` is 0 or past the end.
std::size_t InStr(std::string_view text, std::string_view needle, std::size_t start = 1);

// A set of byte values, built at compile time, for scans that test every character.
class ByteSet {
public:
    constexpr explicit ByteSet(std::string_view bytes) {
        for (const char c : bytes) {
            in_[static_cast<unsigned char>(c)] = true;
        }
    }

    constexpr bool Contains(char c) const { return in_[static_cast<unsigned char>(c)]; }

private:
    std::array<bool, 256> in_{};
};

// 1-based position of the first byte at or after `start` that is in `bytes`; 0 when none.
std::size_t FindFirstOf(std::string_view text, const ByteSet& bytes, std::size_t start);

// Up to `length` characters from 1-based `start`; what lies outside the text is left out.
std::string_view Mid(std::string_view text, std::size_t start, std::size_t length);

// Text substitution for a sequence of swaps whose stretches follow one another in the
// original: each unchanged stretch is copied once, so rewriting a whole page stays linear in
// its length instead of rebuilding the page for every tag.
class SplicedText {
public:
    explicit SplicedText(std::string_view original);

    // Replaces the original's characters from `start` up to, not including, `Finish` (1-based)
    // by `String2`; `Finish` equal to `start` inserts before `start`. Positions past the end
    // clamp to it, and a stretch that begins before the previous swap's `Finish` begins there.
    void SwapText(std::string_view String2, std::size_t start, std::size_t Finish);

    // The original with every swap applied.
    std::string Finish() &&;

private:
    std::string_view original_;
    std::string result_;
    std::size_t copied_ = 0;  // 0-based: the original before this is in result_
};

}  // namespace engine
