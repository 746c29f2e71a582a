// The LZX encoder on any bytes, decoded again by libmspack's LZX decoder: the bytes must come
// back. The first bytes steer the run: whether to compress or store, the size of the pieces
// fed to the encoder, how often the data is repeated, so inputs reach several frames and reset
// intervals, and how many threads compress.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "hhc/lzx/encoder.h"
#include "tests/hhc/mspack_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) {
        return 0;
    }
    const bool compress = (data[0] & 1) == 0;
    const std::size_t piece = 1 + (std::size_t{data[1]} << 6);
    const std::size_t copies = 1 + data[2] % 32;
    const std::span<const std::uint8_t> body(data + 3, size - 3);
    std::vector<std::uint8_t> input;
    for (std::size_t c = 0; c < copies; ++c) {
        input.insert(input.end(), body.begin(), body.end());
        input.push_back(static_cast<std::uint8_t>(c));  // copies differ a little
    }

    const unsigned threads = 1 + (data[0] >> 1) % 3;

    std::vector<std::uint8_t> output;
    std::size_t frames = 0;
    hhc::lzx::Encoder encoder(
        [&](hhc::lzx::EncodedInterval&& interval) {
            output.insert(output.end(), interval.bytes.begin(), interval.bytes.end());
            frames += interval.frameEnds.size();
        },
        {compress, threads});
    for (std::size_t at = 0; at < input.size(); at += piece) {
        encoder.Write(std::span(input).subspan(at, std::min(piece, input.size() - at)));
    }
    encoder.Finish();

    constexpr std::size_t kFrame = 32768;
    if (frames != (input.size() + kFrame - 1) / kFrame) {
        std::abort();
    }
    std::vector<std::uint8_t> padded = input;
    padded.resize(frames * kFrame, 0);
    const hhc::testing::LzxDecoded decoded = hhc::testing::MspackLzxDecode(output, padded.size());
    if (!decoded.ok || decoded.data != padded) {
        std::abort();
    }
    return 0;
}
