// The LZX encoder on any bytes, decoded again by libmspack's LZX decoder: the bytes must come
// back. The first bytes steer the run: whether to compress or store, the size of the pieces
// fed to the encoder, and how often the data is repeated, so inputs reach several frames and
// reset intervals.
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

    hhc::lzx::Encoder encoder(compress);
    for (std::size_t at = 0; at < input.size(); at += piece) {
        encoder.Write(std::span(input).subspan(at, std::min(piece, input.size() - at)));
    }
    encoder.Finish();

    constexpr std::size_t kFrame = 32768;
    const std::size_t frames = (input.size() + kFrame - 1) / kFrame;
    if (encoder.FrameStarts().size() != frames) {
        std::abort();
    }
    std::vector<std::uint8_t> padded = input;
    padded.resize(frames * kFrame, 0);
    const hhc::testing::LzxDecoded decoded =
        hhc::testing::MspackLzxDecode(encoder.Output(), padded.size());
    if (!decoded.ok || decoded.data != padded) {
        std::abort();
    }
    return 0;
}
