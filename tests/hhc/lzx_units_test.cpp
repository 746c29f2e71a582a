// Bit writer, Huffman builder and tree transmission, checked against their properties and a
// test-only decoder of the delta codes; the round trip through libmspack checks the bitstream.
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "hhc/lzx/bit_writer.h"
#include "hhc/lzx/block_writer.h"
#include "hhc/lzx/huffman.h"

namespace hhc::lzx {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(BitWriter, PaddingAtEveryBitPosition) {
    for (int used = 0; used < 16; ++used) {
        Bytes aligned, padded;
        BitWriter a(aligned), p(padded);
        a.Put(0x7FFF, used);
        p.Put(0x7FFF, used);
        a.AlignTo16();
        p.PadForUncompressed();
        EXPECT_EQ(aligned.size(), used == 0 ? 0u : 2u) << used;
        EXPECT_EQ(padded.size(), 2u) << used;  // a full zero word when already aligned
    }
}

struct HuffmanCase {
    const char* id;
    std::vector<std::uint32_t> freqs;
    int limit;
};

std::vector<HuffmanCase> HuffmanCases() {
    std::vector<std::uint32_t> fib(40, 1);
    for (std::size_t i = 2; i < fib.size(); ++i) {
        fib[i] = fib[i - 1] + fib[i - 2];  // an unlimited tree 39 levels deep
    }
    std::vector<std::uint32_t> two(512, 0);
    two[3] = 1000;
    two[400] = 1;
    std::mt19937 rng(42);
    std::vector<std::uint32_t> random(249);
    for (auto& f : random) {
        f = rng() % 3 == 0 ? 0 : static_cast<std::uint32_t>(rng() % 100000);
    }
    return {{"FibonacciMain", fib, 16},
            {"FibonacciAligned", {fib.begin(), fib.begin() + 8}, 7},
            {"FibonacciPretree", {fib.begin(), fib.begin() + 20}, 15},
            {"TwoUsed", two, 16},
            {"AllEqual", std::vector<std::uint32_t>(512, 7), 16},
            {"RandomSparse", random, 16}};
}

TEST(Huffman, CompleteWithinLimitPrefixFreeAndRepeatable) {
    for (const HuffmanCase& c : HuffmanCases()) {
        SCOPED_TRACE(c.id);
        Bytes lengths(c.freqs.size());
        BuildCodeLengths(c.freqs, c.limit, lengths);
        std::uint64_t kraft = 0;  // in units of 2^-16: exactly 65536 when complete
        for (std::size_t s = 0; s < lengths.size(); ++s) {
            EXPECT_LE(lengths[s], c.limit);
            EXPECT_EQ(lengths[s] == 0, c.freqs[s] == 0) << s;
            kraft += lengths[s] == 0 ? 0 : std::uint64_t{1} << (16 - lengths[s]);
        }
        EXPECT_EQ(kraft, 65536u);
        std::vector<std::uint16_t> codes(lengths.size());
        CanonicalCodes(lengths, codes);
        for (std::size_t a = 0; a < lengths.size(); ++a) {
            for (std::size_t b = 0; b < lengths.size(); ++b) {
                if (a != b && lengths[a] != 0 && lengths[b] != 0 && lengths[a] <= lengths[b]) {
                    EXPECT_NE(codes[a], codes[b] >> (lengths[b] - lengths[a])) << a << " " << b;
                }
            }
        }
        Bytes again(c.freqs.size());
        BuildCodeLengths(c.freqs, c.limit, again);
        EXPECT_EQ(again, lengths);
    }
}

TEST(Huffman, OneUsedSymbolGetsAPartner) {
    Bytes lengths(8);
    BuildCodeLengths(std::vector<std::uint32_t>{0, 0, 0, 5, 0, 0, 0, 0}, 7, lengths);
    EXPECT_EQ(lengths, (Bytes{1, 0, 0, 1, 0, 0, 0, 0}));
    BuildCodeLengths(std::vector<std::uint32_t>{5, 0, 0, 0, 0, 0, 0, 0}, 7, lengths);
    EXPECT_EQ(lengths, (Bytes{1, 1, 0, 0, 0, 0, 0, 0}));
}

// Applies pretree operations the way a decoder reads them.
Bytes ApplyTreeDelta(const Bytes& prev, const std::vector<PretreeOp>& ops) {
    Bytes next;
    for (const PretreeOp& op : ops) {
        const std::uint8_t before = prev[next.size()];
        if (op.symbol == 17 || op.symbol == 18) {
            next.insert(next.end(), op.extra + (op.symbol == 17 ? 4u : 20u), 0);
        } else if (op.symbol == 19) {
            next.insert(next.end(), op.extra + 4u,
                        static_cast<std::uint8_t>((before + 17 - op.delta) % 17));
        } else {
            next.push_back(static_cast<std::uint8_t>((before + 17 - op.symbol) % 17));
        }
        EXPECT_LT(op.extra, op.symbol == 17 ? 16 : op.symbol == 18 ? 32 : 2);
    }
    return next;
}

TEST(TreeDelta, RoundTripsZeroRunsAtTheirLimitsAndNonZeroPrevious) {
    std::vector<std::pair<Bytes, Bytes>> cases;  // previous, new
    for (const std::size_t run : {3u, 4u, 19u, 20u, 51u, 52u, 103u}) {
        Bytes next(run + 2, 0);
        next.front() = 5;
        next.back() = 7;
        cases.emplace_back(Bytes(next.size(), 0), next);
        cases.emplace_back(Bytes(next.size(), 9), next);
    }
    cases.emplace_back(Bytes(12, 3), Bytes{8, 8, 8, 8, 2, 2, 2, 2, 2, 2, 2, 2});
    cases.emplace_back(Bytes(256, 16), Bytes(256, 0));
    cases.emplace_back(Bytes(256, 0), Bytes(256, 16));
    for (const auto& [prev, next] : cases) {
        EXPECT_EQ(ApplyTreeDelta(prev, PlanTreeDelta(prev, next)), next);
    }
}

}  // namespace
}  // namespace hhc::lzx
