// LZX bit writer: 16-bit little-endian units, most significant bit first.
#include "hhc/lzx/bit_writer.h"

#include <cassert>

namespace hhc::lzx {

void BitWriter::Emit(std::uint8_t byte) {
    if (out_.size() >= limit_) {
        overflowed_ = true;
        return;
    }
    out_.push_back(byte);
}

void BitWriter::Put(std::uint32_t bits, int count) {
    assert(count >= 0 && count <= 32);
    if (count == 0) {
        return;
    }
    const std::uint64_t mask = (std::uint64_t{1} << count) - 1;
    acc_ = (acc_ << count) | (bits & mask);
    pending_ += count;
    while (pending_ >= 16) {
        pending_ -= 16;
        const auto unit = static_cast<std::uint16_t>(acc_ >> pending_);
        Emit(static_cast<std::uint8_t>(unit & 0xFF));
        Emit(static_cast<std::uint8_t>(unit >> 8));
    }
    acc_ &= (std::uint64_t{1} << pending_) - 1;
}

void BitWriter::AlignTo16() {
    if (pending_ != 0) {
        Put(0, 16 - pending_);
    }
}

void BitWriter::PadForUncompressed() {
    Put(0, 16 - pending_);
}

void BitWriter::PutBytes(std::span<const std::uint8_t> bytes) {
    assert(Aligned());
    if (out_.size() + bytes.size() > limit_) {
        overflowed_ = true;
        return;
    }
    out_.insert(out_.end(), bytes.begin(), bytes.end());
}

void BitWriter::PutU32(std::uint32_t value) {
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    PutBytes(bytes);
}

}  // namespace hhc::lzx
