// Encoder output decoded by libmspack's LZX decoder, for sizes around frame and interval
// boundaries and for data that compresses well, not at all, or in long repeats; plus the
// frame table every reader relies on.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hhc/lzx/encoder.h"
#include "tests/hhc/mspack_reader.h"
#include "tests/hhc/test_support.h"

namespace hhc::lzx {
namespace {

using testing::Bytes;

constexpr std::size_t kFrame = 32768;

Bytes Repeats(std::size_t size, std::size_t period) {
    const Bytes unit = testing::Noise(period, static_cast<std::uint32_t>(period));
    Bytes out(size);
    for (std::size_t i = 0; i < size; ++i) {
        out[i] = unit[i % period];
    }
    return out;
}

// Fixed-size records whose matches sit at multiples of 16 bytes: the aligned-offset tree pays.
Bytes Records(std::size_t size) {
    const Bytes noise = testing::Noise(size / 16 + 1, 99);
    Bytes out;
    for (std::size_t i = 0; out.size() < size; ++i) {
        const std::string record = "rec:" + std::string(1, static_cast<char>(noise[i])) +
                                   std::string(1, static_cast<char>(noise[i] % 7)) + "|fieldABCD";
        out.insert(out.end(), record.begin(), record.end());
    }
    out.resize(size);
    return out;
}

struct Case {
    std::string id;
    Bytes data;
};

std::vector<Case> Cases() {
    std::vector<Case> cases;
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{1}, kFrame - 1, kFrame, kFrame + 1, 2 * kFrame - 1,
          2 * kFrame, 2 * kFrame + 1, std::size_t{200000}}) {
        cases.push_back({"Text" + std::to_string(size), testing::HtmlText(size, 5)});
    }
    cases.push_back({"Zeros", Bytes(150000, 0)});
    cases.push_back({"Noise", testing::Noise(150000, 3)});
    cases.push_back({"ShortPeriodAcrossFrames", Repeats(300000, 1000)});
    cases.push_back({"PeriodLongerThanTheWindow", Repeats(300000, 70000)});
    cases.push_back({"Records", Records(100000)});
    Bytes mixed = testing::HtmlText(90000, 8);
    const Bytes noise = testing::Noise(40000, 9);
    mixed.insert(mixed.begin() + 30000, noise.begin(), noise.end());
    cases.push_back({"TextAroundNoise", mixed});
    return cases;
}

int FirstBlockType(const Bytes& stream) {
    return static_cast<int>((testing::U16(stream, 0) >> 12) & 7);  // after the one-bit E8 flag
}

TEST(LzxRoundTrip, LibmspackDecodesEveryCase) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.id);
        const Compressed out = Compress(c.data);
        const std::size_t frames = (c.data.size() + kFrame - 1) / kFrame;
        Bytes padded = c.data;
        padded.resize(frames * kFrame, 0);

        ASSERT_EQ(out.frameStarts.size(), frames);
        for (std::size_t f = 0; f < frames; ++f) {
            const std::uint64_t end = f + 1 < frames ? out.frameStarts[f + 1] : out.data.size();
            EXPECT_EQ(out.frameStarts[f] % 2, 0u);
            EXPECT_LT(out.frameStarts[f], end);
            EXPECT_LE(end - out.frameStarts[f], 38912u) << "chmlib's frame buffer, frame " << f;
        }
        if (frames == 0) {
            EXPECT_TRUE(out.data.empty());
            continue;
        }
        EXPECT_EQ(out.frameStarts[0], 0u);

        const testing::LzxDecoded decoded = testing::MspackLzxDecode(out.data, padded.size());
        EXPECT_TRUE(decoded.ok);
        EXPECT_TRUE(decoded.data == padded);

        // Every reset point starts a stream that decodes on its own.
        for (std::size_t f = 2; f < frames; f += 2) {
            const Bytes tail(out.data.begin() + static_cast<std::ptrdiff_t>(out.frameStarts[f]),
                             out.data.end());
            const testing::LzxDecoded part =
                testing::MspackLzxDecode(tail, padded.size() - f * kFrame);
            EXPECT_TRUE(part.ok && Bytes(padded.begin() + static_cast<std::ptrdiff_t>(f * kFrame),
                                         padded.end()) == part.data)
                << "from frame " << f;
        }
    }
}

TEST(LzxRoundTrip, CompressesTextStoresNoiseAndUsesAlignedBlocks) {
    const Compressed text = Compress(testing::HtmlText(200000, 1));
    EXPECT_LT(text.data.size(), 200000u / 3);

    const Compressed noise = Compress(testing::Noise(4 * kFrame, 2));
    EXPECT_EQ(noise.data.size(), 4 * (kFrame + 16)) << "stored frames, 16 bytes of header";
    EXPECT_EQ(FirstBlockType(noise.data), 3);

    EXPECT_EQ(FirstBlockType(Compress(Records(100000)).data), 2);
}

// Input in pieces of any size gives the stream of the whole (threads are the compiler's test);
// a second Finish adds nothing.
TEST(LzxRoundTrip, SameBytesForAnyPieceSize) {
    Bytes input = testing::HtmlText(400000, 4);
    const Bytes noise = testing::Noise(70000, 5);
    input.insert(input.begin() + 150000, noise.begin(), noise.end());
    const Compressed one = Compress(input);
    Bytes pieces;
    Encoder encoder(
        [&pieces](EncodedInterval&& i) {
            pieces.insert(pieces.end(), i.bytes.begin(), i.bytes.end());
        },
        {.threads = 3});
    std::size_t at = 0;
    for (std::size_t piece = 1; at < input.size(); piece = piece * 3 + 1) {
        const std::size_t n = std::min(piece, input.size() - at);
        encoder.Write(std::span(input).subspan(at, n));
        at += n;
    }
    encoder.Finish();
    encoder.Finish();
    EXPECT_TRUE(pieces == one.data);
}

}  // namespace
}  // namespace hhc::lzx
