// Frames and reset intervals. Each interval is parsed lazily first; the code lengths that parse
// would get then price every choice for a cost-driven re-parse. One verbatim or aligned block
// covers the whole interval.
#include "hhc/lzx/encoder.h"

#include <algorithm>
#include <array>
#include <utility>

#include "hhc/lzx/bit_writer.h"
#include "hhc/lzx/block_writer.h"
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
}  // namespace

Encoder::Encoder(bool compress) : compress_(compress) {
    pending_.reserve(kResetInterval);
}

void Encoder::Write(std::span<const std::uint8_t> data) {
    inputSize_ += data.size();
    while (!data.empty()) {
        const std::size_t take = std::min(data.size(), kResetInterval - pending_.size());
        pending_.insert(pending_.end(), data.begin(),
                        data.begin() + static_cast<std::ptrdiff_t>(take));
        data = data.subspan(take);
        if (pending_.size() == kResetInterval) {
            EncodeInterval(pending_);
            pending_.clear();
        }
    }
}

void Encoder::Finish() {
    if (!pending_.empty()) {
        // Every frame must decode to a full 32 KiB, so the tail is padded with zeros.
        pending_.resize((pending_.size() + kFrameSize - 1) / kFrameSize * kFrameSize, 0);
        EncodeInterval(pending_);
        pending_.clear();
    }
    // The last entry is where a following frame would start: there is none.
    frameStarts_.pop_back();
}

void Encoder::EncodeInterval(std::span<const std::uint8_t> interval) {
    if (!compress_ || !TryCompressed(interval)) {
        Store(interval);
    }
}

bool Encoder::TryCompressed(std::span<const std::uint8_t> interval) {
    const std::size_t start = output_.size();
    const std::size_t firstFrame = frameStarts_.size() - 1;
    static thread_local MatchFinder finder;
    std::vector<Item> items = LazyParse(interval, finder);
    for (int pass = 0; pass < kOptimalPasses; ++pass) {
        items = NearOptimalParse(interval, finder, CostModel::FromItems(items));
    }

    BitWriter out(output_, start + interval.size() + interval.size() / 2);
    out.Put(0, 1);  // E8 translation off
    PreviousLengths prev;
    FrameCursor cursor{0, &frameStarts_};
    WriteCompressedBlock(out, items, interval.size(), prev, cursor);

    bool fits = !out.Overflowed() && output_.size() - start < interval.size();
    for (std::size_t f = firstFrame; fits && f + 1 < frameStarts_.size(); ++f) {
        fits = frameStarts_[f + 1] - frameStarts_[f] <= kMaxCompressedFrame;
    }
    if (!fits) {
        output_.resize(start);
        frameStarts_.resize(firstFrame + 1);
    }
    return fits;
}

void Encoder::Store(std::span<const std::uint8_t> interval) {
    BitWriter out(output_);
    out.Put(0, 1);  // E8 translation off
    FrameCursor cursor{0, &frameStarts_};
    for (std::size_t at = 0; at < interval.size(); at += kFrameSize) {
        WriteUncompressedBlock(out, interval.subspan(at, kFrameSize), {1, 1, 1}, cursor);
    }
}

Compressed Compress(std::span<const std::uint8_t> input, bool compress) {
    Encoder encoder(compress);
    encoder.Write(input);
    encoder.Finish();
    Compressed result;
    result.frameStarts = encoder.FrameStarts();
    result.data = encoder.TakeOutput();
    return result;
}

}  // namespace hhc::lzx
