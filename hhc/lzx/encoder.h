// LZX compressor for the content section of a CHM file: 64 KiB window, state reset every
// 64 KiB, no E8 translation. Input arrives in pieces of any size; it is compressed one reset
// interval at a time, so memory stays at one interval plus the output. The stream is padded
// with zeros to whole 32 KiB frames, and the compressed offset of every frame is kept for the
// reset table. An interval that would not shrink, or whose frame would outgrow what readers
// buffer, is stored as uncompressed blocks instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace hhc::lzx {

class Encoder {
public:
    // With compress false every frame is an uncompressed block.
    explicit Encoder(bool compress = true);

    void Write(std::span<const std::uint8_t> data);
    // Pads and encodes what is left. Write must not be called afterwards.
    void Finish();

    std::uint64_t InputSize() const { return inputSize_; }

    // Valid after Finish.
    const std::vector<std::uint8_t>& Output() const { return output_; }

    std::vector<std::uint8_t> TakeOutput() { return std::move(output_); }

    // Offset in Output of each 32 KiB frame's first bit; one entry per frame.
    const std::vector<std::uint64_t>& FrameStarts() const { return frameStarts_; }

private:
    void EncodeInterval(std::span<const std::uint8_t> interval);
    bool TryCompressed(std::span<const std::uint8_t> interval);
    void Store(std::span<const std::uint8_t> interval);

    bool compress_;
    std::uint64_t inputSize_ = 0;
    std::vector<std::uint8_t> pending_;
    std::vector<std::uint8_t> output_;
    std::vector<std::uint64_t> frameStarts_{0};
};

struct Compressed {
    std::vector<std::uint8_t> data;
    std::vector<std::uint64_t> frameStarts;
};

// One-shot form of Encoder.
Compressed Compress(std::span<const std::uint8_t> input, bool compress = true);

}  // namespace hhc::lzx
