// The LZX output bitstream: 16-bit little-endian units, each filled from its most significant
// bit. Appends to a caller's byte vector; past the caller's limit it stops growing and reports
// overflow, so the encoder can give up on a frame and store it instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace hhc::lzx {

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out,
                       std::size_t limit = std::numeric_limits<std::size_t>::max())
        : out_(out), limit_(limit) {}

    // Appends the low `count` bits of `bits`, most significant first; count is 0..32.
    void Put(std::uint32_t bits, int count);
    // Zero bits up to the next 16-bit boundary (none when already there): frame ends.
    void AlignTo16();
    // One to sixteen zero bits: an uncompressed block always pads, a full word when aligned.
    void PadForUncompressed();
    // Raw bytes; the stream must be on a 16-bit boundary.
    void PutBytes(std::span<const std::uint8_t> bytes);
    void PutU32(std::uint32_t value);

    bool Aligned() const { return pending_ == 0; }

    bool Overflowed() const { return overflowed_; }

    // Bytes written so far, counting only whole 16-bit units.
    std::size_t ByteSize() const { return out_.size(); }

private:
    void Emit(std::uint8_t byte);

    std::vector<std::uint8_t>& out_;
    std::size_t limit_;
    std::uint64_t acc_ = 0;  // pending bits in the low `pending_` positions
    int pending_ = 0;
    bool overflowed_ = false;
};

}  // namespace hhc::lzx
