// A growing byte buffer with little-endian integers and GUIDs, the only output of the container
// units; none of them sees a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace hhc::chm {

class ByteSink {
public:
    void U8(std::uint8_t v) { bytes_.push_back(v); }

    void U16(std::uint16_t v);
    void U32(std::uint32_t v);
    void U64(std::uint64_t v);
    void Bytes(std::span<const std::uint8_t> data);
    // Text without a terminator.
    void Text(std::string_view text);
    void Zeros(std::size_t count);
    // "{7C01FD10-7BAA-11D0-9E0C-00A0C922E6EC}": first three groups little-endian, the last
    // eight bytes as written.
    void Guid(std::string_view text);
    void PatchU16(std::size_t at, std::uint16_t v);
    void PatchU32(std::size_t at, std::uint32_t v);

    std::size_t Size() const { return bytes_.size(); }

    const std::vector<std::uint8_t>& Data() const { return bytes_; }

    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace hhc::chm
