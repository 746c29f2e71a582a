// The Huffman builder on weights whose best tree is deeper than LZX allows, which no page the
// round trips compress has: the lengths must stay within the limit and still make a complete
// code, the same for the same weights.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "hhc/lzx/huffman.h"

namespace hhc::lzx {
namespace {

TEST(Huffman, FibonacciWeightsAreFlattenedIntoACompleteCodeWithinTheLimit) {
    std::vector<std::uint32_t> fib(40, 1);
    for (std::size_t i = 2; i < fib.size(); ++i) {
        fib[i] = fib[i - 1] + fib[i - 2];  // an unlimited tree 39 levels deep
    }
    // The main, pretree and aligned-offset trees' sizes and limits.
    for (const auto& [symbols, limit] : {std::pair{40, 16}, std::pair{20, 15}, std::pair{8, 7}}) {
        const std::vector<std::uint32_t> freqs(fib.begin(), fib.begin() + symbols);
        std::vector<std::uint8_t> lengths(freqs.size());
        BuildCodeLengths(freqs, limit, lengths);
        std::uint64_t kraft = 0;  // in units of 2^-16: exactly 65536 when complete
        for (const std::uint8_t length : lengths) {
            EXPECT_GE(length, 1);
            EXPECT_LE(length, limit);
            kraft += std::uint64_t{1} << (16 - length);
        }
        EXPECT_EQ(kraft, 65536u) << symbols;
        std::vector<std::uint8_t> again(freqs.size());
        BuildCodeLengths(freqs, limit, again);
        EXPECT_EQ(again, lengths);
    }
}

}  // namespace
}  // namespace hhc::lzx
