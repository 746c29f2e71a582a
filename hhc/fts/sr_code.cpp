// Scale-and-root codes. Bits go into the last byte from its top; a byte is added when it is full.
#include "hhc/fts/sr_code.h"

#include <algorithm>
#include <bit>

namespace hhc::fts {

unsigned SignificantBits(std::uint32_t value) {
    return static_cast<unsigned>(std::bit_width(value));
}

unsigned CodeLength(std::uint32_t value, unsigned root) {
    const unsigned n = SignificantBits(value);
    return n <= root ? 1 + root : 2 * n - root;
}

unsigned BestRoot(const LengthCounts& counts) {
    unsigned best = kMinRoot;
    std::uint64_t bestBits = UINT64_MAX;
    for (unsigned root = kMinRoot; root <= kMaxRoot; ++root) {
        std::uint64_t bits = 0;
        for (unsigned n = 0; n < counts.size(); ++n) {
            bits += counts[n] * (n <= root ? 1 + root : 2 * n - root);
        }
        if (bits < bestBits) {
            best = root;
            bestBits = bits;
        }
    }
    return best;
}

// The low `count` bits of `bits`, from the highest.
void CodeWriter::PutBits(std::uint32_t bits, unsigned count) {
    while (count > 0) {
        if (free_ == 0) {
            out_.push_back(0);
            free_ = 8;
        }
        const unsigned take = std::min(count, free_);
        const auto chunk = static_cast<std::uint8_t>((bits >> (count - take)) & ((1u << take) - 1));
        out_.back() = static_cast<std::uint8_t>(out_.back() | (chunk << (free_ - take)));
        free_ -= take;
        count -= take;
    }
}

void CodeWriter::Put(std::uint32_t value, unsigned root) {
    const unsigned n = SignificantBits(value);
    const unsigned prefix = n > root ? n - root : 0;
    for (unsigned i = 0; i < prefix; ++i) {
        PutBits(1, 1);
    }
    PutBits(0, 1);
    // Above root bits the leading one is left out: PutBits keeps only the low bits it is given.
    PutBits(value, std::max(n == 0 ? 0 : n - 1, root));
}

}  // namespace hhc::fts
