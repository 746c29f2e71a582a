// ENCINT writer.
#include "hhc/chm/encint.h"

namespace hhc::chm {

std::size_t EncIntSize(std::uint64_t value) {
    std::size_t n = 1;
    while (value >= 0x80) {
        value >>= 7;
        ++n;
    }
    return n;
}

void PutEncInt(ByteSink& sink, std::uint64_t value) {
    for (std::size_t i = EncIntSize(value); i-- > 0;) {
        const auto group = static_cast<std::uint8_t>((value >> (7 * i)) & 0x7F);
        sink.U8(i == 0 ? group : static_cast<std::uint8_t>(group | 0x80));
    }
}

}  // namespace hhc::chm
