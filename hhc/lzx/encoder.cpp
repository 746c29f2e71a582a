// Frames and reset intervals. Each interval's matches are searched once; it is parsed lazily
// first, the code lengths that parse would get then price every choice for a cost-driven
// re-parse, and the result is cut into blocks where the statistics change.
//
// What every decoder insists on: each 32 KiB frame decodes to exactly 32 KiB (the last one is
// padded with zeros) and ends on a 16-bit boundary, even inside a block; no match crosses a
// frame end; at every 64 KiB the repeat offsets, the previous code lengths and the match
// history start afresh and the E8 flag bit is sent again; and chmlib reads a frame into 38912
// bytes, so an interval that would not shrink, or one of whose frames would outgrow a stored
// frame, is stored instead.
#include "hhc/lzx/encoder.h"

#include <algorithm>
#include <array>
#include <utility>

#include "hhc/lzx/bit_writer.h"
#include "hhc/lzx/block_writer.h"
#include "hhc/lzx/encoder_pool.h"
#include "hhc/lzx/lazy_parser.h"
#include "hhc/lzx/lzx_constants.h"
#include "hhc/lzx/match_finder.h"
#include "hhc/lzx/optimal_parser.h"

namespace hhc::lzx {

namespace {

// chmlib reads one frame into a 38912-byte buffer; stored frames take 32784 bytes.
constexpr std::size_t kMaxCompressedFrame = kFrameSize + 32;
// Cost-driven passes after the lazy one: each re-parses with the code lengths the previous
// parse would get. The first pays most; later ones cost as much for less.
constexpr int kOptimalPasses = 2;
// Smallest block the splitter considers: smaller pieces follow the data more closely but
// each block repeats its trees.
constexpr std::size_t kBlockPiece = 4096;

struct Block {
    std::span<const Item> items;
    std::size_t size = 0;  // bytes the items produce
};

// Cuts the interval's items into pieces of about kBlockPiece bytes and joins each piece to the
// block before it while one block costs less than two: statistics change where files meet.
std::vector<Block> SplitIntoBlocks(std::span<const Item> items) {
    std::vector<Block> pieces;
    Block piece{items.first(0), 0};
    std::size_t begin = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        piece.size += std::max<std::size_t>(items[i].length, 1);
        if (piece.size >= kBlockPiece || i + 1 == items.size()) {
            piece.items = items.subspan(begin, i + 1 - begin);
            pieces.push_back(piece);
            piece = Block{};
            begin = i + 1;
        }
    }
    std::vector<Block> blocks;
    if (pieces.empty()) {
        return blocks;
    }
    PreviousLengths before;  // lengths in force before the current block
    Block current = pieces[0];
    BlockCost currentCost = EstimateCompressedBlock(current.items, before);
    for (std::size_t p = 1; p < pieces.size(); ++p) {
        const std::span<const Item> joined(current.items.data(),
                                           current.items.size() + pieces[p].items.size());
        const BlockCost joinedCost = EstimateCompressedBlock(joined, before);
        const BlockCost alone = EstimateCompressedBlock(pieces[p].items, currentCost.lengths);
        if (joinedCost.bits <= currentCost.bits + alone.bits) {
            current = Block{joined, current.size + pieces[p].size};
            currentCost = joinedCost;
        } else {
            blocks.push_back(current);
            before = currentCost.lengths;
            current = pieces[p];
            currentCost = alone;
        }
    }
    blocks.push_back(current);
    return blocks;
}

}  // namespace

EncodedInterval IntervalEncoder::Encode(std::span<const std::uint8_t> interval) {
    EncodedInterval out;
    if (!compress_ || !TryCompressed(interval, out)) {
        Store(interval, out);
    }
    return out;
}

bool IntervalEncoder::TryCompressed(std::span<const std::uint8_t> interval, EncodedInterval& out) {
    FindMatches(interval, finder_, matches_);
    std::vector<Item> items = LazyParse(interval, matches_);
    if (EstimateCompressedBlock(items, PreviousLengths{}).bits >= 8 * interval.size()) {
        return false;  // noise: the cost-driven passes would not make it shrink either
    }
    for (int pass = 0; pass < kOptimalPasses; ++pass) {
        items = NearOptimalParse(interval, CostModel::FromItems(items), matches_, nodes_);
    }

    BitWriter bits(out.bytes, interval.size() + interval.size() / 2);
    bits.Put(0, 1);  // E8 translation off
    PreviousLengths prev;
    FrameCursor cursor{0, &out.frameEnds};
    for (const Block& block : SplitIntoBlocks(items)) {
        WriteCompressedBlock(bits, block.items, block.size, prev, cursor);
    }

    bool fits = !bits.Overflowed() && out.bytes.size() < interval.size();
    std::uint64_t frameStart = 0;
    for (const std::uint64_t frameEnd : out.frameEnds) {
        fits = fits && frameEnd - frameStart <= kMaxCompressedFrame;
        frameStart = frameEnd;
    }
    if (!fits) {
        out = EncodedInterval{};
    }
    return fits;
}

void IntervalEncoder::Store(std::span<const std::uint8_t> interval, EncodedInterval& out) {
    BitWriter bits(out.bytes);
    bits.Put(0, 1);  // E8 translation off
    FrameCursor cursor{0, &out.frameEnds};
    for (std::size_t at = 0; at < interval.size(); at += kFrameSize) {
        WriteUncompressedBlock(bits, interval.subspan(at, kFrameSize), kFreshRepeats, cursor);
    }
}

Encoder::Encoder(Sink sink, EncoderOptions options)
    : pool_(std::make_unique<EncoderPool>(options, std::move(sink))) {
    pending_.reserve(kResetInterval);
}

// Out of line, where EncoderPool is complete.
Encoder::~Encoder() = default;

void Encoder::Write(std::span<const std::uint8_t> data) {
    inputSize_ += data.size();
    while (!data.empty()) {
        const std::size_t take = std::min(data.size(), kResetInterval - pending_.size());
        pending_.insert(pending_.end(), data.begin(),
                        data.begin() + static_cast<std::ptrdiff_t>(take));
        data = data.subspan(take);
        if (pending_.size() == kResetInterval) {
            pool_->Submit(std::exchange(pending_, {}));
            pending_.reserve(kResetInterval);
        }
    }
}

void Encoder::Finish() {
    if (finished_) {
        return;
    }
    finished_ = true;
    if (!pending_.empty()) {
        // Every frame must decode to a full 32 KiB, so the tail is padded with zeros.
        pending_.resize((pending_.size() + kFrameSize - 1) / kFrameSize * kFrameSize, 0);
        pool_->Submit(std::exchange(pending_, {}));
    }
    pool_->Flush();
}

Compressed Compress(std::span<const std::uint8_t> input, EncoderOptions options) {
    Compressed result;
    result.frameStarts.push_back(0);
    Encoder encoder(
        [&result](EncodedInterval&& interval) {
            const std::uint64_t base = result.data.size();
            result.data.insert(result.data.end(), interval.bytes.begin(), interval.bytes.end());
            for (const std::uint64_t end : interval.frameEnds) {
                result.frameStarts.push_back(base + end);
            }
        },
        options);
    encoder.Write(input);
    encoder.Finish();
    // The last entry is where a following frame would start: there is none.
    result.frameStarts.pop_back();
    return result;
}

}  // namespace hhc::lzx
