// LZX block output: verbatim, aligned-offset and uncompressed blocks. Code lengths travel as
// differences from the previous block's lengths through a 20-symbol pretree; every 32 KiB of
// output ends a frame, where the bitstream is realigned and the frame's start recorded.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "hhc/lzx/bit_writer.h"
#include "hhc/lzx/lzx_constants.h"
#include "hhc/lzx/symbols.h"

namespace hhc::lzx {

// One parsed unit: a literal (length 0) or a match. formattedOffset is 0..2 for the repeat
// queue entries R0..R2, otherwise the offset plus 2.
struct Item {
    std::uint32_t formattedOffset = 0;
    std::uint16_t length = 0;
    std::uint8_t literal = 0;
};

inline Item Literal(std::uint8_t byte) {
    return Item{0, 0, byte};
}

inline Item Match(std::uint32_t length, std::uint32_t formattedOffset) {
    return Item{formattedOffset, static_cast<std::uint16_t>(length), 0};
}

// Lengths of the last verbatim or aligned block in the current reset interval.
struct PreviousLengths {
    std::array<std::uint8_t, kMainSymbols> main{};
    std::array<std::uint8_t, kLengthSymbols> length{};
};

// Where the output stands: bytes of the interval produced so far, and the compressed offset of
// every frame start (the next one is appended at each frame end).
struct FrameCursor {
    std::size_t position = 0;
    std::vector<std::uint64_t>* frameStarts = nullptr;
};

struct PretreeOp {
    std::uint8_t symbol;  // 0..19
    std::uint8_t extra;   // run length field of 17, 18, 19
    std::uint8_t delta;   // for 19: the pretree symbol that follows
};

// Pretree symbols that turn `prev` into `next`. Runs never leave the range.
std::vector<PretreeOp> PlanTreeDelta(std::span<const std::uint8_t> prev,
                                     std::span<const std::uint8_t> next);

// The pretree followed by the delta codes for one range.
void WriteTreeDelta(BitWriter& out, std::span<const std::uint8_t> prev,
                    std::span<const std::uint8_t> next);

// What a verbatim or aligned block of `items` would take after `prev`, and the lengths it
// would leave for the next block.
struct BlockCost {
    std::uint64_t bits = 0;
    PreviousLengths lengths;
};

BlockCost EstimateCompressedBlock(std::span<const Item> items, const PreviousLengths& prev);

// A verbatim or aligned block (whichever is smaller) holding `items`, which must produce
// blockSize bytes without a match crossing a frame end. Updates `prev`.
void WriteCompressedBlock(BitWriter& out, std::span<const Item> items, std::size_t blockSize,
                          PreviousLengths& prev, FrameCursor& cursor);

// An uncompressed block of `data` (a whole number of frames, or the stream's last bytes),
// carrying the repeat offsets the decoder must load.
void WriteUncompressedBlock(BitWriter& out, std::span<const std::uint8_t> data,
                            const RepeatQueue& repeats, FrameCursor& cursor);

}  // namespace hhc::lzx
