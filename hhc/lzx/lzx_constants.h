// LZX format constants shared by every part of the compressor. CHM fixes the window at 64 KiB
// and resets every two 32 KiB frames; the tables still cover windows of order 15 to 21.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace hhc::lzx {

inline constexpr int kMinWindowOrder = 15;
inline constexpr int kMaxWindowOrder = 21;
inline constexpr int kChmWindowOrder = 16;
inline constexpr std::size_t kWindowSize = std::size_t{1} << kChmWindowOrder;

inline constexpr std::size_t kFrameSize = 32768;
// State is reset at every interval start, so matches never reach across one.
inline constexpr std::size_t kResetInterval = 2 * kFrameSize;

inline constexpr int kBlockVerbatim = 1;
inline constexpr int kBlockAligned = 2;
inline constexpr int kBlockUncompressed = 3;

inline constexpr int kMinMatch = 2;
inline constexpr int kMaxMatch = 257;
inline constexpr int kNumPrimaryLengths = 7;
inline constexpr int kNumChars = 256;
inline constexpr int kLengthSymbols = 249;
inline constexpr int kPretreeSymbols = 20;
inline constexpr int kAlignedSymbols = 8;
inline constexpr int kNumRepeats = 3;

inline constexpr int kMaxCodeLength = 16;
inline constexpr int kMaxPretreeLength = 15;
inline constexpr int kMaxAlignedLength = 7;

// Offsets beyond window - 3 cannot be expressed with the window's own slots.
inline constexpr std::uint32_t kMaxOffset = static_cast<std::uint32_t>(kWindowSize) - 3;

inline constexpr int kMaxPositionSlots = 50;

constexpr int ExtraBits(int slot) {
    if (slot < 4) {
        return 0;
    }
    return slot < 36 ? slot / 2 - 1 : 17;
}

// One entry past the last slot, so every slot has an upper bound.
inline constexpr std::array<std::uint32_t, kMaxPositionSlots + 1> kPositionBase = [] {
    std::array<std::uint32_t, kMaxPositionSlots + 1> base{};
    for (int s = 1; s <= kMaxPositionSlots; ++s) {
        base[static_cast<std::size_t>(s)] =
            base[static_cast<std::size_t>(s - 1)] + (std::uint32_t{1} << ExtraBits(s - 1));
    }
    return base;
}();

// The first slot whose base reaches the window size is the slot count.
constexpr int PositionSlots(int windowOrder) {
    int slot = 0;
    while (kPositionBase[static_cast<std::size_t>(slot)] < (std::uint32_t{1} << windowOrder)) {
        ++slot;
    }
    return slot;
}

inline constexpr int kChmPositionSlots = PositionSlots(kChmWindowOrder);
inline constexpr int kMainSymbols = kNumChars + 8 * kChmPositionSlots;

static_assert(kPositionBase[31] == 49152 && kPositionBase[36] == 262144);
static_assert(PositionSlots(15) == 30 && kChmPositionSlots == 32 && PositionSlots(20) == 42 &&
              PositionSlots(21) == 50);
static_assert(kMainSymbols == 512);
static_assert(kResetInterval <= kWindowSize, "a reset interval must fit the window");

}  // namespace hhc::lzx
