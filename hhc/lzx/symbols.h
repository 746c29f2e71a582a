// How a match is spelt in LZX symbols, and the repeat queue it leaves behind: the arithmetic the
// parsers, the cost model and the block writer share. A formatted offset is 0..2 for the repeat
// offsets R0..R2, otherwise the offset plus 2.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "hhc/lzx/lzx_constants.h"

namespace hhc::lzx {

using RepeatQueue = std::array<std::uint32_t, kNumRepeats>;

// Every decoder starts each reset interval with R0 = R1 = R2 = 1.
inline constexpr RepeatQueue kFreshRepeats{1, 1, 1};

// Lengths above kNumPrimaryLengths + 1 share the last header and add a length symbol.
inline constexpr int kLengthHeaders = kNumPrimaryLengths + 1;
static_assert(kMainSymbols == kNumChars + kLengthHeaders * kChmPositionSlots);

constexpr int PositionSlot(std::uint32_t formattedOffset) {
    if (formattedOffset < 4) {
        return static_cast<int>(formattedOffset);
    }
    const int log = static_cast<int>(std::bit_width(formattedOffset)) - 1;
    return 2 * log + static_cast<int>((formattedOffset >> (log - 1)) & 1);
}

constexpr int LengthHeader(std::uint32_t length) {
    return std::min(static_cast<int>(length) - kMinMatch, kNumPrimaryLengths);
}

constexpr std::size_t MainSymbol(int slot, int lengthHeader) {
    // NOLINTNEXTLINE(bugprone-misplaced-widening-cast): below kMainSymbols, so no int overflow
    return static_cast<std::size_t>(kNumChars + slot * kLengthHeaders + lengthHeader);
}

// Only for a length whose header is kNumPrimaryLengths.
constexpr std::size_t LengthSymbol(std::uint32_t length) {
    return length - static_cast<std::uint32_t>(kMinMatch + kNumPrimaryLengths);
}

// A new offset pushes the queue down; a repeat offset swaps to the front.
constexpr RepeatQueue AfterMatch(const RepeatQueue& r, std::uint32_t formattedOffset) {
    if (formattedOffset >= kNumRepeats) {
        return {formattedOffset - 2, r[0], r[1]};
    }
    RepeatQueue next = r;
    std::swap(next[0], next[formattedOffset]);
    return next;
}

static_assert(PositionSlot(4) == 4 && PositionSlot(6) == 5 && PositionSlot(8) == 6 &&
              PositionSlot(49154) == 31);
static_assert(AfterMatch({5, 6, 7}, 2) == RepeatQueue{7, 6, 5} &&
              AfterMatch({5, 6, 7}, 10) == RepeatQueue{8, 5, 6});

}  // namespace hhc::lzx
