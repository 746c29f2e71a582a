// Scale-and-root codes, the integers of the search index's word location codes (scale 2 is the
// only scale readers accept). With root r, a value of n significant bits is written as
// max(0, n - r) one-bits, a zero bit, then its low max(n - 1, r) bits, most significant bit of
// each byte first; above r bits the value's leading one is implied by the prefix.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace hhc::fts {

inline constexpr unsigned kMinRoot = 1;
inline constexpr unsigned kMaxRoot = 16;

// Values counted by their number of significant bits (0 for the value 0).
using LengthCounts = std::array<std::uint64_t, 33>;

unsigned SignificantBits(std::uint32_t value);
unsigned CodeLength(std::uint32_t value, unsigned root);

// The root from kMinRoot to kMaxRoot that writes the counted values in the fewest bits; the
// smallest such root on a tie.
unsigned BestRoot(const LengthCounts& counts);

// Appends codes to a byte vector.
class CodeWriter {
public:
    explicit CodeWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void Put(std::uint32_t value, unsigned root);

    // Pads the last byte with zero bits: each topic's codes start on a byte.
    void AlignToByte() { free_ = 0; }

private:
    void PutBits(std::uint32_t bits, unsigned count);

    std::vector<std::uint8_t>& out_;
    unsigned free_ = 0;  // unwritten bits in out_.back()
};

}  // namespace hhc::fts
