// Length-limited canonical Huffman codes. Knows nothing of LZX.
//
// BuildCodeLengths: in, one frequency per symbol and the longest allowed code; out, one length
// per symbol. Unseen symbols get length 0. Two or more seen symbols give a complete code (Kraft
// sum exactly 1). One seen symbol gets length 1 together with a partner (symbol 0, or 1 when
// the seen one is 0), since a lone one-bit code is not a complete code and decoders refuse it.
// No seen symbol gives all zeros. Ties are broken by symbol number, so equal input always
// gives equal output.
#pragma once

#include <cstdint>
#include <span>

namespace hhc::lzx {

void BuildCodeLengths(std::span<const std::uint32_t> freqs, int maxLength,
                      std::span<std::uint8_t> lengths);

// Canonical codewords: shorter codes first, equal lengths in symbol order. Lengths up to 16.
void CanonicalCodes(std::span<const std::uint8_t> lengths, std::span<std::uint16_t> codes);

}  // namespace hhc::lzx
