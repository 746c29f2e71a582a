// LZX compressor for the content section of a CHM file: 64 KiB window, state reset every
// 64 KiB, no E8 translation. Since every reset interval starts afresh, intervals are compressed
// independently (IntervalEncoder, one per thread) and joined in order; the stream is padded
// with zeros to whole 32 KiB frames, and the compressed offset of every frame is kept for the
// reset table. An interval that would not shrink, or whose frame would outgrow what readers
// buffer, is stored as uncompressed blocks instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "hhc/lzx/match_finder.h"
#include "hhc/lzx/optimal_parser.h"

namespace hhc::lzx {

// One reset interval, compressed: its bytes, which end on a 16-bit boundary, and the offset
// in them where each of its frames ends.
struct EncodedInterval {
    std::vector<std::uint8_t> bytes;
    std::vector<std::uint64_t> frameEnds;
};

// Owns the match finder and the parse buffers it reuses from one interval to the next, so one
// object serves one thread.
class IntervalEncoder {
public:
    // With compress false every frame is an uncompressed block.
    explicit IntervalEncoder(bool compress = true) : compress_(compress) {}

    // `interval` is a whole number of frames, at most one reset interval.
    EncodedInterval Encode(std::span<const std::uint8_t> interval);

private:
    bool TryCompressed(std::span<const std::uint8_t> interval, EncodedInterval& out);
    static void Store(std::span<const std::uint8_t> interval, EncodedInterval& out);

    bool compress_;
    MatchFinder finder_;
    MatchTable matches_;
    std::vector<PathNode> nodes_;
};

class EncoderPool;

struct EncoderOptions {
    bool compress = true;
    // 1 compresses on the calling thread; the output is the same for any count.
    unsigned threads = 1;
};

// The stream front: input arrives in pieces of any size and is cut into reset intervals, which
// reach `sink` compressed, in input order, on the thread that calls Write and Finish.
class Encoder {
public:
    using Sink = std::function<void(EncodedInterval&&)>;

    Encoder(Sink sink, EncoderOptions options = {});
    ~Encoder();

    void Write(std::span<const std::uint8_t> data);
    // Pads and encodes what is left; a second call does nothing. Write must not follow.
    void Finish();

    std::uint64_t InputSize() const { return inputSize_; }

private:
    std::unique_ptr<EncoderPool> pool_;
    std::uint64_t inputSize_ = 0;
    std::vector<std::uint8_t> pending_;
    bool finished_ = false;
};

struct Compressed {
    std::vector<std::uint8_t> data;
    std::vector<std::uint64_t> frameStarts;  // one per frame: offset of its first bit in data
};

// One-shot form of Encoder.
Compressed Compress(std::span<const std::uint8_t> input, EncoderOptions options = {});

}  // namespace hhc::lzx
