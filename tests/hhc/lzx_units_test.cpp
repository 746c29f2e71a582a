// Bit writer, Huffman builder and tree transmission, checked against worked examples and a
// test-only decoder of the delta codes.
#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hhc/lzx/bit_writer.h"
#include "hhc/lzx/block_writer.h"
#include "hhc/lzx/huffman.h"
#include "tests/hhc/mspack_reader.h"

namespace hhc::lzx {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(BitWriter, UncompressedBlockHeadersOfTheStoredEncoder) {
    Bytes out;
    BitWriter w(out);
    w.Put(0, 1);  // E8 flag
    w.Put(3, 3);
    w.Put(0x8000, 24);
    w.PadForUncompressed();
    EXPECT_EQ(out, (Bytes{0x08, 0x30, 0x00, 0x00}));
    w.Put(3, 3);
    w.Put(0x8000, 24);
    w.PadForUncompressed();
    EXPECT_EQ(out, (Bytes{0x08, 0x30, 0x00, 0x00, 0x10, 0x60, 0x00, 0x00}));
}

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
        EXPECT_TRUE(a.Aligned() && p.Aligned());
    }
}

TEST(BitWriter, ReportsOverflowPastItsLimit) {
    Bytes out;
    BitWriter w(out, 4);
    w.Put(0xFFFF, 16);
    w.Put(0xFFFF, 16);
    EXPECT_FALSE(w.Overflowed());
    w.Put(0xFFFF, 16);
    EXPECT_TRUE(w.Overflowed());
    EXPECT_EQ(out.size(), 4u);
}

// Kraft sum in units of 2^-16: exactly 65536 for a complete code.
std::uint64_t Kraft(const Bytes& lengths) {
    std::uint64_t sum = 0;
    for (const std::uint8_t len : lengths) {
        if (len != 0) {
            sum += std::uint64_t{1} << (16 - len);
        }
    }
    return sum;
}

struct HuffmanCase {
    const char* id;
    std::vector<std::uint32_t> freqs;
    int limit;
};

std::vector<HuffmanCase> HuffmanCases() {
    std::vector<HuffmanCase> cases;
    std::vector<std::uint32_t> fib(40);
    fib[0] = fib[1] = 1;
    for (std::size_t i = 2; i < fib.size(); ++i) {
        fib[i] = fib[i - 1] + fib[i - 2];  // forces a 39-deep unlimited tree
    }
    cases.push_back({"FibonacciMain", fib, 16});
    cases.push_back(
        {"FibonacciAligned", std::vector<std::uint32_t>(fib.begin(), fib.begin() + 8), 7});
    std::vector<std::uint32_t> fib20(fib.begin(), fib.begin() + 20);
    cases.push_back({"FibonacciPretree", fib20, 15});
    std::vector<std::uint32_t> two(512, 0);
    two[3] = 1000;
    two[400] = 1;
    cases.push_back({"TwoUsed", two, 16});
    cases.push_back({"AllEqual", std::vector<std::uint32_t>(512, 7), 16});
    std::mt19937 rng(42);
    std::vector<std::uint32_t> random(249);
    for (auto& f : random) {
        f = rng() % 3 == 0 ? 0 : static_cast<std::uint32_t>(rng() % 100000);
    }
    cases.push_back({"RandomSparse", random, 16});
    return cases;
}

TEST(Huffman, CompleteWithinLimitAndPrefixFree) {
    for (const HuffmanCase& c : HuffmanCases()) {
        SCOPED_TRACE(c.id);
        Bytes lengths(c.freqs.size());
        BuildCodeLengths(c.freqs, c.limit, lengths);
        EXPECT_EQ(Kraft(lengths), 65536u);
        for (std::size_t s = 0; s < lengths.size(); ++s) {
            EXPECT_LE(lengths[s], c.limit);
            EXPECT_EQ(lengths[s] == 0, c.freqs[s] == 0) << s;
        }
        std::vector<std::uint16_t> codes(lengths.size());
        CanonicalCodes(lengths, codes);
        for (std::size_t a = 0; a < lengths.size(); ++a) {
            for (std::size_t b = 0; b < lengths.size(); ++b) {
                if (a == b || lengths[a] == 0 || lengths[b] == 0 || lengths[a] > lengths[b]) {
                    continue;
                }
                EXPECT_NE(codes[a], codes[b] >> (lengths[b] - lengths[a])) << a << " " << b;
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
    BuildCodeLengths(std::vector<std::uint32_t>(8, 0), 7, lengths);
    EXPECT_EQ(lengths, Bytes(8, 0));
}

TEST(Huffman, CanonicalCodesOfTheWorkedExample) {
    Bytes lengths(512, 0);
    lengths[88] = 3;
    lengths[97] = 3;
    lengths[98] = 2;
    lengths[257] = 2;
    lengths[295] = 2;
    std::vector<std::uint16_t> codes(512);
    CanonicalCodes(lengths, codes);
    EXPECT_EQ(codes[98], 0b00);
    EXPECT_EQ(codes[257], 0b01);
    EXPECT_EQ(codes[295], 0b10);
    EXPECT_EQ(codes[88], 0b110);
    EXPECT_EQ(codes[97], 0b111);
}

// Applies pretree operations the way a decoder reads them.
Bytes ApplyTreeDelta(const Bytes& prev, const std::vector<PretreeOp>& ops) {
    Bytes next;
    for (const PretreeOp& op : ops) {
        const std::size_t i = next.size();
        if (op.symbol == 17) {
            next.insert(next.end(), op.extra + 4u, 0);
        } else if (op.symbol == 18) {
            next.insert(next.end(), op.extra + 20u, 0);
        } else if (op.symbol == 19) {
            const auto v = static_cast<std::uint8_t>((prev[i] + 17 - op.delta) % 17);
            next.insert(next.end(), op.extra + 4u, v);
        } else {
            next.push_back(static_cast<std::uint8_t>((prev[i] + 17 - op.symbol) % 17));
        }
    }
    return next;
}

TEST(TreeDelta, RoundTripsZeroRunsAtTheirLimitsAndNonZeroPrevious) {
    struct Case {
        const char* id;
        Bytes prev, next;
    };

    std::vector<Case> cases;
    for (const std::size_t run : {3u, 4u, 19u, 20u, 51u, 52u, 103u}) {
        Bytes next(run + 2, 0);
        next.front() = 5;
        next.back() = 7;
        cases.push_back({"ZeroRun", Bytes(next.size(), 0), next});
        cases.push_back({"ZeroRunOverNonZeroPrevious", Bytes(next.size(), 9), next});
    }
    cases.push_back(
        {"EqualRunsOfFourAndFive", Bytes(12, 3), Bytes{8, 8, 8, 8, 2, 2, 2, 2, 2, 2, 2, 2}});
    cases.push_back({"AllSixteenToZero", Bytes(256, 16), Bytes(256, 0)});
    cases.push_back({"ZeroToSixteen", Bytes(256, 0), Bytes(256, 16)});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const std::vector<PretreeOp> ops = PlanTreeDelta(c.prev, c.next);
        EXPECT_EQ(ApplyTreeDelta(c.prev, ops), c.next);
        for (const PretreeOp& op : ops) {
            EXPECT_LT(op.symbol, 20);
            if (op.symbol == 17) {
                EXPECT_LT(op.extra, 16);
            } else if (op.symbol == 18) {
                EXPECT_LT(op.extra, 32);
            } else if (op.symbol == 19) {
                EXPECT_LT(op.extra, 2);
            }
        }
    }
}

// The 52-byte verbatim block that decodes to "ababababababXbXb", built from the listed code
// lengths and pretree symbols with our bit writer and canonical codes.
TEST(KnownVector, VerbatimBlockBytesAndIndependentDecode) {
    Bytes out;
    BitWriter w(out);
    const auto pretree = [&](std::vector<std::pair<int, int>> lens) {
        Bytes lengths(20, 0);
        for (const auto& [sym, len] : lens) {
            lengths[static_cast<std::size_t>(sym)] = static_cast<std::uint8_t>(len);
        }
        for (const std::uint8_t len : lengths) {
            w.Put(len, 4);
        }
        std::vector<std::uint16_t> codes(20);
        CanonicalCodes(lengths, codes);
        return std::make_pair(lengths, codes);
    };
    const auto put = [&](const auto& tree, int sym, std::uint32_t extra = 0, int extraBits = 0) {
        w.Put(tree.second[static_cast<std::size_t>(sym)],
              tree.first[static_cast<std::size_t>(sym)]);
        w.Put(extra, extraBits);
    };
    w.Put(0, 1);
    w.Put(1, 3);
    w.Put(16, 24);
    auto t1 = pretree({{14, 3}, {15, 3}, {17, 2}, {18, 1}});
    put(t1, 18, 31, 5);
    put(t1, 18, 17, 5);
    put(t1, 14);
    put(t1, 17, 4, 4);
    put(t1, 14);
    put(t1, 15);
    for (int i = 0; i < 3; ++i) {
        put(t1, 18, 31, 5);
    }
    put(t1, 17, 0, 4);
    auto t2 = pretree({{0, 3}, {15, 2}, {17, 3}, {18, 1}});
    put(t2, 0);
    put(t2, 15);
    put(t2, 18, 17, 5);
    put(t2, 15);
    for (int i = 0; i < 4; ++i) {
        put(t2, 18, 31, 5);
    }
    put(t2, 17, 8, 4);
    auto t3 = pretree({{16, 1}, {18, 1}});
    put(t3, 16);
    put(t3, 16);
    for (int i = 0; i < 4; ++i) {
        put(t3, 18, 31, 5);
    }
    put(t3, 18, 23, 5);

    Bytes mainLengths(512, 0);
    mainLengths[88] = 3;
    mainLengths[97] = 3;
    mainLengths[98] = 2;
    mainLengths[257] = 2;
    mainLengths[295] = 2;
    std::vector<std::uint16_t> mainCodes(512);
    CanonicalCodes(mainLengths, mainCodes);
    const auto sym = [&](int s) {
        w.Put(mainCodes[static_cast<std::size_t>(s)], mainLengths[static_cast<std::size_t>(s)]);
    };
    sym('a');
    sym('b');
    sym(295);
    w.Put(1, 1);  // length symbol 1 (codes 0 -> 0, 1 -> 1)
    w.Put(0, 1);  // slot 4 footer
    sym('X');
    sym(257);
    w.AlignTo16();

    const Bytes expected = {0x00, 0x10, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x30,
                            0x03, 0x07, 0x21, 0xD2, 0xD1, 0xFB, 0x6E, 0xC0, 0xEF, 0x00, 0x60,
                            0x00, 0x00, 0x00, 0x00, 0x04, 0x00, 0x21, 0x06, 0x67, 0xA4, 0x7D,
                            0xDF, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02, 0x00,
                            0x07, 0x02, 0xFF, 0xFF, 0xFC, 0xFE, 0x80, 0xAC};
    EXPECT_EQ(out, expected);

    const testing::LzxDecoded decoded = testing::MspackLzxDecode(expected, 16);
    EXPECT_TRUE(decoded.ok);
    EXPECT_EQ(std::string(decoded.data.begin(), decoded.data.end()), "ababababababXbXb");
}

}  // namespace
}  // namespace hhc::lzx
