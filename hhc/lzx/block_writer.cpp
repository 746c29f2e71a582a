// Block output. The aligned tree precedes the main tree; footers of three or more extra bits
// put their low three bits through the aligned tree in an aligned block. Delta codes are
// (previous - new) mod 17, and run symbol 19 is only used where both the new and the previous
// lengths of the run are equal, so decoders that differ on its reading all agree here.
#include "hhc/lzx/block_writer.h"

#include <algorithm>
#include <cassert>

#include "hhc/lzx/huffman.h"

namespace hhc::lzx {

namespace {

constexpr int kAlignedBits = 3;
constexpr int kAlignedTreeCost = kAlignedSymbols * kAlignedBits;

struct Code {
    std::vector<std::uint8_t> lengths;
    std::vector<std::uint16_t> codes;

    Code(std::span<const std::uint32_t> freqs, int maxLength)
        : lengths(freqs.size()), codes(freqs.size()) {
        BuildCodeLengths(freqs, maxLength, lengths);
        CanonicalCodes(lengths, codes);
    }

    void Put(BitWriter& out, std::size_t symbol) const {
        assert(lengths[symbol] != 0);
        out.Put(codes[symbol], lengths[symbol]);
    }
};

void EndFrameIfDue(BitWriter& out, FrameCursor& cursor) {
    if (cursor.position % kFrameSize == 0) {
        out.AlignTo16();
        cursor.frameStarts->push_back(out.ByteSize());
    }
}

}  // namespace

std::vector<PretreeOp> PlanTreeDelta(std::span<const std::uint8_t> prev,
                                     std::span<const std::uint8_t> next) {
    assert(prev.size() == next.size());
    std::vector<PretreeOp> ops;
    const std::size_t n = next.size();
    std::size_t i = 0;
    while (i < n) {
        std::size_t run = 1;
        if (next[i] == 0) {
            while (i + run < n && next[i + run] == 0) {
                ++run;
            }
            if (run >= 20) {
                run = std::min<std::size_t>(run, 51);
                ops.push_back({18, static_cast<std::uint8_t>(run - 20), 0});
                i += run;
                continue;
            }
            if (run >= 4) {
                ops.push_back({17, static_cast<std::uint8_t>(run - 4), 0});
                i += run;
                continue;
            }
        } else {
            while (i + run < n && run < 5 && next[i + run] == next[i] && prev[i + run] == prev[i]) {
                ++run;
            }
            if (run >= 4) {
                const auto delta = static_cast<std::uint8_t>((prev[i] + 17 - next[i]) % 17);
                ops.push_back({19, static_cast<std::uint8_t>(run - 4), delta});
                i += run;
                continue;
            }
        }
        ops.push_back({static_cast<std::uint8_t>((prev[i] + 17 - next[i]) % 17), 0, 0});
        ++i;
    }
    return ops;
}

void WriteTreeDelta(BitWriter& out, std::span<const std::uint8_t> prev,
                    std::span<const std::uint8_t> next) {
    const std::vector<PretreeOp> ops = PlanTreeDelta(prev, next);
    std::array<std::uint32_t, kPretreeSymbols> freqs{};
    for (const PretreeOp& op : ops) {
        ++freqs[op.symbol];
        if (op.symbol == 19) {
            ++freqs[op.delta];
        }
    }
    const Code pretree(freqs, kMaxPretreeLength);
    for (const std::uint8_t len : pretree.lengths) {
        out.Put(len, 4);
    }
    for (const PretreeOp& op : ops) {
        pretree.Put(out, op.symbol);
        if (op.symbol == 17) {
            out.Put(op.extra, 4);
        } else if (op.symbol == 18) {
            out.Put(op.extra, 5);
        } else if (op.symbol == 19) {
            out.Put(op.extra, 1);
            pretree.Put(out, op.delta);
        }
    }
}

namespace {

// Codes and block type for one block, and what its symbols cost apart from the trees.
struct BlockPlan {
    Code main, length, aligned;
    bool useAligned = false;
    std::uint64_t symbolBits = 0;
};

BlockPlan PlanBlock(std::span<const Item> items) {
    std::array<std::uint32_t, kMainSymbols> mainFreqs{};
    std::array<std::uint32_t, kLengthSymbols> lengthFreqs{};
    std::array<std::uint32_t, kAlignedSymbols> alignedFreqs{};
    std::uint64_t extraBits = 0;
    for (const Item& item : items) {
        if (item.length == 0) {
            ++mainFreqs[item.literal];
            continue;
        }
        const int slot = PositionSlot(item.formattedOffset);
        const int lengthHeader = LengthHeader(item.length);
        ++mainFreqs[MainSymbol(slot, lengthHeader)];
        if (lengthHeader == kNumPrimaryLengths) {
            ++lengthFreqs[LengthSymbol(item.length)];
        }
        extraBits += static_cast<std::uint64_t>(ExtraBits(slot));
        if (ExtraBits(slot) >= kAlignedBits) {
            ++alignedFreqs[(item.formattedOffset - kPositionBase[static_cast<std::size_t>(slot)]) &
                           7];
        }
    }
    BlockPlan plan{Code(mainFreqs, kMaxCodeLength), Code(lengthFreqs, kMaxCodeLength),
                   Code(alignedFreqs, kMaxAlignedLength)};
    std::uint64_t alignedSymbols = 0;
    std::uint64_t alignedCost = kAlignedTreeCost;
    for (std::size_t s = 0; s < kAlignedSymbols; ++s) {
        alignedSymbols += alignedFreqs[s];
        alignedCost += std::uint64_t{alignedFreqs[s]} * plan.aligned.lengths[s];
    }
    plan.useAligned = alignedSymbols > 0 && alignedCost < kAlignedBits * alignedSymbols;
    plan.symbolBits = extraBits;
    if (plan.useAligned) {
        plan.symbolBits += alignedCost - kAlignedBits * alignedSymbols;
    }
    for (std::size_t s = 0; s < kMainSymbols; ++s) {
        plan.symbolBits += std::uint64_t{mainFreqs[s]} * plan.main.lengths[s];
    }
    for (std::size_t s = 0; s < kLengthSymbols; ++s) {
        plan.symbolBits += std::uint64_t{lengthFreqs[s]} * plan.length.lengths[s];
    }
    return plan;
}

void PutHeaderAndTrees(BitWriter& out, const BlockPlan& plan, std::size_t blockSize,
                       const PreviousLengths& prev) {
    out.Put(plan.useAligned ? kBlockAligned : kBlockVerbatim, 3);
    out.Put(static_cast<std::uint32_t>(blockSize), 24);
    if (plan.useAligned) {
        for (const std::uint8_t len : plan.aligned.lengths) {
            out.Put(len, kAlignedBits);
        }
    }
    const std::span<const std::uint8_t> mainLengths(plan.main.lengths);
    WriteTreeDelta(out, std::span(prev.main).first(kNumChars), mainLengths.first(kNumChars));
    WriteTreeDelta(out, std::span(prev.main).subspan(kNumChars), mainLengths.subspan(kNumChars));
    WriteTreeDelta(out, prev.length, plan.length.lengths);
}

}  // namespace

BlockCost EstimateCompressedBlock(std::span<const Item> items, const PreviousLengths& prev) {
    const BlockPlan plan = PlanBlock(items);
    std::vector<std::uint8_t> scratch;
    BitWriter trees(scratch);
    PutHeaderAndTrees(trees, plan, 0, prev);
    BlockCost cost;
    cost.bits = plan.symbolBits + 8 * scratch.size() + 16;  // up to a word still pending
    std::copy(plan.main.lengths.begin(), plan.main.lengths.end(), cost.lengths.main.begin());
    std::copy(plan.length.lengths.begin(), plan.length.lengths.end(), cost.lengths.length.begin());
    return cost;
}

void WriteCompressedBlock(BitWriter& out, std::span<const Item> items, std::size_t blockSize,
                          PreviousLengths& prev, FrameCursor& cursor) {
    const BlockPlan plan = PlanBlock(items);
    PutHeaderAndTrees(out, plan, blockSize, prev);
    std::copy(plan.main.lengths.begin(), plan.main.lengths.end(), prev.main.begin());
    std::copy(plan.length.lengths.begin(), plan.length.lengths.end(), prev.length.begin());
    const Code& mainCode = plan.main;
    const Code& lengthCode = plan.length;
    const Code& alignedCode = plan.aligned;
    const bool aligned = plan.useAligned;

    for (const Item& item : items) {
        if (item.length == 0) {
            mainCode.Put(out, item.literal);
            ++cursor.position;
            EndFrameIfDue(out, cursor);
            continue;
        }
        const int slot = PositionSlot(item.formattedOffset);
        const int lengthHeader = LengthHeader(item.length);
        mainCode.Put(out, MainSymbol(slot, lengthHeader));
        if (lengthHeader == kNumPrimaryLengths) {
            lengthCode.Put(out, LengthSymbol(item.length));
        }
        const int extra = ExtraBits(slot);
        const std::uint32_t footer =
            item.formattedOffset - kPositionBase[static_cast<std::size_t>(slot)];
        if (aligned && extra >= kAlignedBits) {
            out.Put(footer >> kAlignedBits, extra - kAlignedBits);
            alignedCode.Put(out, footer & 7);
        } else {
            out.Put(footer, extra);
        }
        cursor.position += item.length;
        EndFrameIfDue(out, cursor);
    }
}

void WriteUncompressedBlock(BitWriter& out, std::span<const std::uint8_t> data,
                            const RepeatQueue& repeats, FrameCursor& cursor) {
    out.Put(kBlockUncompressed, 3);
    out.Put(static_cast<std::uint32_t>(data.size()), 24);
    out.PadForUncompressed();
    for (const std::uint32_t r : repeats) {
        out.PutU32(r);
    }
    const std::size_t dataStart = out.ByteSize();
    out.PutBytes(data);
    if (data.size() % 2 != 0) {
        const std::uint8_t pad = 0;
        out.PutBytes(std::span(&pad, 1));
    }
    const std::size_t end = cursor.position + data.size();
    for (std::size_t b = (cursor.position / kFrameSize + 1) * kFrameSize; b <= end;
         b += kFrameSize) {
        cursor.frameStarts->push_back(b == end ? out.ByteSize()
                                               : dataStart + (b - cursor.position));
    }
    cursor.position = end;
}

}  // namespace hhc::lzx
