// The word split. Characters beyond ASCII are looked up in the generated tables.
#include "hhc/fts/word_split.h"

#include <algorithm>

#include "common/html/encoding.h"
#include "hhc/fts/char_tables.h"

namespace hhc::fts {

namespace {

constexpr char32_t kApostrophe = U'\'';
constexpr char32_t kRightQuote = U'\u2019';  // the typographers' apostrophe

bool IsAsciiDigit(char32_t c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool IsWordCharacter(char32_t c) {
    if (c < 0x80) {
        return kAsciiWordCharacters[c] != 0;
    }
    const CodePointRange* end = kWordRanges + kWordRangeCount;
    const CodePointRange* it = std::upper_bound(
        kWordRanges, end, c, [](char32_t v, const CodePointRange& r) { return v < r.first; });
    return it != kWordRanges && c <= (it - 1)->last;
}

char32_t ToLower(char32_t c) {
    if (c < 0x80) {
        return c >= 'A' && c <= 'Z' ? c + 32 : c;
    }
    const LowerRun* end = kLowerRuns + kLowerRunCount;
    const LowerRun* it = std::upper_bound(
        kLowerRuns, end, c, [](char32_t v, const LowerRun& r) { return v < r.first; });
    if (it == kLowerRuns) {
        return c;
    }
    const LowerRun& run = *(it - 1);
    if (c > run.last || (c - run.first) % run.stride != 0) {
        return c;
    }
    return static_cast<char32_t>(static_cast<std::int64_t>(c) + run.delta);
}

void WordSplitter::Break() {
    if (!word_.empty()) {
        sink_.Word(word_);
        word_.clear();
    }
    joiner_ = 0;
}

void WordSplitter::PutOther(char32_t c) {
    if (IsWordCharacter(c)) {
        if (joiner_ == '.') {
            if (IsAsciiDigit(c) && IsAsciiDigit(static_cast<unsigned char>(word_.back()))) {
                word_.push_back('.');
            } else {
                Break();
            }
        }
        joiner_ = 0;
        common::html::AppendCharacter(ToLower(c), common::html::Encoding::kUtf8, word_);
        return;
    }
    const bool joins = c == '.' || c == kApostrophe || c == kRightQuote;
    if (joins && joiner_ == 0 && !word_.empty()) {
        joiner_ = c;
        return;
    }
    Break();
}

}  // namespace hhc::fts
