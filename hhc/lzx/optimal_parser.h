// Cost-driven parse of one reset interval. Every position is a node; a literal or any length
// of any match found there (repeat offsets and hash-chain matches) is an edge priced in bits
// by a cost model, and the cheapest path through the interval is taken. The repeat queue is
// followed along the cheapest path into each node, an approximation: a dearer path might
// leave a more useful queue.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "hhc/lzx/block_writer.h"
#include "hhc/lzx/lzx_constants.h"
#include "hhc/lzx/match_finder.h"

namespace hhc::lzx {

// Bits per symbol, from the code lengths a given parse would get.
struct CostModel {
    std::array<std::uint8_t, kMainSymbols> main{};
    std::array<std::uint8_t, kLengthSymbols> length{};

    static CostModel FromItems(std::span<const Item> items);

    std::uint32_t Literal(std::uint8_t byte) const { return main[byte]; }

    std::uint32_t Match(std::uint32_t length, std::uint32_t formattedOffset) const;
};

std::vector<Item> NearOptimalParse(std::span<const std::uint8_t> interval, MatchFinder& finder,
                                   const CostModel& costs);

}  // namespace hhc::lzx
