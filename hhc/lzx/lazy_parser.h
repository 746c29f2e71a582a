// Lazy parse of one reset interval: at every position the repeat offsets R0..R2 and the longest
// match of the match table offer a match; the better one by a rough bit estimate is taken
// unless the next position offers a clearly better one. Fast, and the first estimate for the
// cost model.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "hhc/lzx/block_writer.h"
#include "hhc/lzx/match_finder.h"

namespace hhc::lzx {

// `interval` is one reset interval (at most 64 KiB) and `matches` its table; no match crosses a
// 32 KiB frame end.
std::vector<Item> LazyParse(std::span<const std::uint8_t> interval, const MatchTable& matches);

}  // namespace hhc::lzx
