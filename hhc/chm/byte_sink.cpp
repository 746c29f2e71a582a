// Little-endian output helpers.
#include "hhc/chm/byte_sink.h"

#include <cassert>

namespace hhc::chm {

namespace {

std::uint32_t HexValue(std::string_view text) {
    std::uint32_t v = 0;
    for (const char c : text) {
        const int digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        assert(digit >= 0 && digit < 16);
        v = (v << 4) | static_cast<std::uint32_t>(digit);
    }
    return v;
}

}  // namespace

void ByteSink::U16(std::uint16_t v) {
    U8(static_cast<std::uint8_t>(v));
    U8(static_cast<std::uint8_t>(v >> 8));
}

void ByteSink::U32(std::uint32_t v) {
    U16(static_cast<std::uint16_t>(v));
    U16(static_cast<std::uint16_t>(v >> 16));
}

void ByteSink::U64(std::uint64_t v) {
    U32(static_cast<std::uint32_t>(v));
    U32(static_cast<std::uint32_t>(v >> 32));
}

void ByteSink::Bytes(std::span<const std::uint8_t> data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
}

void ByteSink::Text(std::string_view text) {
    for (const char c : text) {
        U8(static_cast<std::uint8_t>(c));
    }
}

void ByteSink::Zeros(std::size_t count) {
    bytes_.resize(bytes_.size() + count, 0);
}

void ByteSink::Guid(std::string_view text) {
    assert(text.size() == 38 && text.front() == '{' && text[9] == '-' && text[14] == '-');
    U32(HexValue(text.substr(1, 8)));
    U16(static_cast<std::uint16_t>(HexValue(text.substr(10, 4))));
    U16(static_cast<std::uint16_t>(HexValue(text.substr(15, 4))));
    U8(static_cast<std::uint8_t>(HexValue(text.substr(20, 2))));
    U8(static_cast<std::uint8_t>(HexValue(text.substr(22, 2))));
    for (std::size_t i = 25; i < 37; i += 2) {
        U8(static_cast<std::uint8_t>(HexValue(text.substr(i, 2))));
    }
}

void ByteSink::PatchU16(std::size_t at, std::uint16_t v) {
    assert(at + 2 <= bytes_.size());
    bytes_[at] = static_cast<std::uint8_t>(v);
    bytes_[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void ByteSink::PatchU32(std::size_t at, std::uint32_t v) {
    assert(at + 4 <= bytes_.size());
    for (int i = 0; i < 4; ++i) {
        bytes_[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

}  // namespace hhc::chm
