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
};

// The hash-chain matches of one interval, kept so that later passes need not search again.
struct MatchTable {
    std::vector<std::uint32_t> first;  // per position: index of its first match; one extra
    std::vector<MatchCandidate> matches;

    bool Filled() const { return !first.empty(); }
};

// Searches with `finder` when `table` is empty and fills it; reads it otherwise.
std::vector<Item> NearOptimalParse(std::span<const std::uint8_t> interval, MatchFinder& finder,
                                   const CostModel& costs, MatchTable& table);

}  // namespace hhc::lzx
