// ENCINT, the directory's variable-length integer: big-endian groups of 7 bits, every byte
// but the last with bit 7 set, no leading 0x80 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hhc/chm/byte_sink.h"

namespace hhc::chm {

std::size_t EncIntSize(std::uint64_t value);
void PutEncInt(ByteSink& sink, std::uint64_t value);

}  // namespace hhc::chm
