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
#include "hhc/lzx/symbols.h"

namespace hhc::lzx {

// Bits per symbol, from the code lengths a given parse would get.
struct CostModel {
    std::array<std::uint8_t, kMainSymbols> main{};
    std::array<std::uint8_t, kLengthSymbols> length{};

    static CostModel FromItems(std::span<const Item> items);
};

// The cheapest way found so far to reach one position of the interval.
struct PathNode {
    std::uint32_t cost = 0xFFFFFFFFu;
    std::uint32_t formattedOffset = 0;  // of the edge that arrives here
    std::uint16_t length = 0;           // 0: a literal arrives here
    RepeatQueue repeats = kFreshRepeats;
};

// `nodes` is the caller's, kept between intervals: allocating it afresh for every pass costs
// more in page faults than the pass.
std::vector<Item> NearOptimalParse(std::span<const std::uint8_t> interval, const CostModel& costs,
                                   const MatchTable& matches, std::vector<PathNode>& nodes);

}  // namespace hhc::lzx
