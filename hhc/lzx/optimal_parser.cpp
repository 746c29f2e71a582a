// Near-optimal parser: a forward shortest-path pass over the interval, then a walk back from
// the end. A match at least kTakeAtOnceLength long is taken without pricing the positions it
// covers, which bounds the work on highly repetitive data.
#include "hhc/lzx/optimal_parser.h"

#include <algorithm>
#include <limits>

#include "hhc/lzx/huffman.h"

namespace hhc::lzx {

namespace {

// Symbols the previous parse never used still need a price; about as dear as the rarest.
constexpr std::uint8_t kUnusedSymbolCost = 14;
constexpr std::uint32_t kTakeAtOnceLength = 96;
constexpr std::uint32_t kInfinite = std::numeric_limits<std::uint32_t>::max();

using Repeats = std::array<std::uint32_t, kNumRepeats>;

struct Node {
    std::uint32_t cost = kInfinite;
    std::uint32_t formattedOffset = 0;  // of the edge that arrives here
    std::uint16_t length = 0;           // 0: a literal arrives here
    Repeats repeats{1, 1, 1};
};

Repeats After(const Repeats& r, std::uint32_t formattedOffset) {
    if (formattedOffset >= kNumRepeats) {
        return {formattedOffset - 2, r[0], r[1]};
    }
    Repeats next = r;
    std::swap(next[0], next[formattedOffset]);
    return next;
}

template <std::size_t N>
void Prices(const std::array<std::uint32_t, N>& freqs, std::array<std::uint8_t, N>& out) {
    BuildCodeLengths(freqs, kMaxCodeLength, out);
    for (std::uint8_t& len : out) {
        if (len == 0) {
            len = kUnusedSymbolCost;
        }
    }
}

// The cost model unfolded for the inner loop: a match costs slotCost[slot][header] plus
// lengthCost[length].
struct PriceTable {
    explicit PriceTable(const CostModel& model) {
        for (int slot = 0; slot < kChmPositionSlots; ++slot) {
            for (int header = 0; header <= kNumPrimaryLengths; ++header) {
                slotCost[static_cast<std::size_t>(slot)][static_cast<std::size_t>(header)] =
                    model.main[static_cast<std::size_t>(kNumChars + slot * 8 + header)] +
                    static_cast<std::uint32_t>(ExtraBits(slot));
            }
        }
        for (int len = kMinMatch; len <= kMaxMatch; ++len) {
            const int header = std::min(len - kMinMatch, kNumPrimaryLengths);
            headerOf[static_cast<std::size_t>(len)] = static_cast<std::uint8_t>(header);
            lengthCost[static_cast<std::size_t>(len)] =
                header == kNumPrimaryLengths
                    ? model.length[static_cast<std::size_t>(len - kMinMatch - kNumPrimaryLengths)]
                    : 0;
        }
        for (int b = 0; b < kNumChars; ++b) {
            literal[static_cast<std::size_t>(b)] = model.main[static_cast<std::size_t>(b)];
        }
    }

    std::uint32_t Match(std::uint32_t len, int slot) const {
        return slotCost[static_cast<std::size_t>(slot)][headerOf[len]] + lengthCost[len];
    }

    std::array<std::array<std::uint32_t, kNumPrimaryLengths + 1>, kChmPositionSlots> slotCost{};
    std::array<std::uint32_t, kMaxMatch + 1> lengthCost{};
    std::array<std::uint8_t, kMaxMatch + 1> headerOf{};
    std::array<std::uint32_t, kNumChars> literal{};
};

}  // namespace

CostModel CostModel::FromItems(std::span<const Item> items) {
    std::array<std::uint32_t, kMainSymbols> mainFreqs{};
    std::array<std::uint32_t, kLengthSymbols> lengthFreqs{};
    for (const Item& item : items) {
        if (item.length == 0) {
            ++mainFreqs[item.literal];
            continue;
        }
        const int header = std::min(item.length - kMinMatch, kNumPrimaryLengths);
        ++mainFreqs[static_cast<std::size_t>(kNumChars + PositionSlot(item.formattedOffset) * 8 +
                                             header)];
        if (header == kNumPrimaryLengths) {
            ++lengthFreqs[static_cast<std::size_t>(item.length - kMinMatch - kNumPrimaryLengths)];
        }
    }
    CostModel model;
    Prices(mainFreqs, model.main);
    Prices(lengthFreqs, model.length);
    return model;
}

std::vector<Item> NearOptimalParse(std::span<const std::uint8_t> data, MatchFinder& finder,
                                   const CostModel& costs, MatchTable& table) {
    const std::size_t n = data.size();
    const bool search = !table.Filled();
    if (search) {
        finder.Reset(data.data(), n);
        table.first.assign(n + 1, 0);
        table.matches.clear();
    }
    const PriceTable prices(costs);
    // Kept between calls: a fresh 1.5 MB per pass costs more in page faults than the pass.
    static thread_local std::vector<Node> nodes;
    nodes.assign(n + 1, Node{});
    nodes[0].cost = 0;
    static thread_local std::vector<MatchCandidate> searched;

    const auto relax = [&](std::size_t from, std::uint32_t len, std::uint32_t formatted,
                           std::uint32_t cost) {
        Node& to = nodes[from + len];
        if (cost < to.cost) {
            to.cost = cost;
            to.length = static_cast<std::uint16_t>(len);
            to.formattedOffset = formatted;
            to.repeats = After(nodes[from].repeats, formatted);
        }
    };

    std::size_t pos = 0;
    while (pos < n) {
        const Node& here = nodes[pos];
        const std::size_t frameEnd = (pos / kFrameSize + 1) * kFrameSize;
        const std::size_t maxLength =
            std::min({static_cast<std::size_t>(kMaxMatch), frameEnd - pos, n - pos});
        std::span<const MatchCandidate> found;
        if (search) {
            searched.clear();
            finder.FindAllAndInsert(pos, maxLength, searched);
            table.first[pos] = static_cast<std::uint32_t>(table.matches.size());
            table.matches.insert(table.matches.end(), searched.begin(), searched.end());
            found = searched;
        } else {
            found = std::span(table.matches)
                        .subspan(table.first[pos], table.first[pos + 1] - table.first[pos]);
        }
        const std::uint32_t longest = found.empty() ? 0 : found.back().length;

        // Repeat offsets first: a long match from any source is taken without pricing.
        std::array<std::uint32_t, kNumRepeats> repeatLength{};
        std::uint32_t longestRepeat = 0;
        std::uint32_t longestRepeatSlot = 0;
        for (std::uint32_t r = 0; r < kNumRepeats && maxLength >= kMinMatch; ++r) {
            const std::uint32_t offset = here.repeats[r];
            if (offset <= pos) {
                repeatLength[r] = static_cast<std::uint32_t>(
                    CommonLength(data.data() + pos, data.data() + pos - offset, maxLength));
            }
            if (repeatLength[r] > longestRepeat) {
                longestRepeat = repeatLength[r];
                longestRepeatSlot = r;
            }
        }
        const std::uint32_t best = std::max(longest, longestRepeat);
        if (best >= kTakeAtOnceLength) {
            // Its end is reached from here; the positions it covers are not priced.
            const std::uint32_t formatted =
                longestRepeat >= longest ? longestRepeatSlot : found.back().offset + 2;
            Node& to = nodes[pos + best];
            to.cost = here.cost + prices.Match(best, PositionSlot(formatted));
            to.length = static_cast<std::uint16_t>(best);
            to.formattedOffset = formatted;
            to.repeats = After(here.repeats, formatted);
            for (std::size_t p = pos + 1; p < pos + best; ++p) {
                if (search) {
                    finder.Insert(p);
                    table.first[p] = static_cast<std::uint32_t>(table.matches.size());
                }
            }
            pos += best;
            continue;
        }

        const std::uint32_t literalCost = here.cost + prices.literal[data[pos]];
        if (literalCost < nodes[pos + 1].cost) {
            Node& to = nodes[pos + 1];
            to.cost = literalCost;
            to.length = 0;
            to.repeats = here.repeats;
        }
        for (std::uint32_t r = 0; r < kNumRepeats; ++r) {
            for (std::uint32_t l = kMinMatch; l <= repeatLength[r]; ++l) {
                relax(pos, l, r, here.cost + prices.Match(l, static_cast<int>(r)));
            }
        }
        // New-offset edges: each candidate covers the lengths above the previous one.
        std::uint32_t shortest = 3;
        for (const MatchCandidate& m : found) {
            const std::uint32_t formatted = m.offset + 2;
            const int slot = PositionSlot(formatted);
            for (std::uint32_t l = shortest; l <= m.length; ++l) {
                relax(pos, l, formatted, here.cost + prices.Match(l, slot));
            }
            shortest = m.length + 1;
        }
        ++pos;
    }
    if (search) {
        table.first[n] = static_cast<std::uint32_t>(table.matches.size());
    }

    std::vector<Item> items;
    for (std::size_t at = n; at > 0;) {
        const Node& node = nodes[at];
        if (node.length == 0) {
            items.push_back(Literal(data[at - 1]));
            --at;
        } else {
            items.push_back(Match(node.length, node.formattedOffset));
            at -= node.length;
        }
    }
    std::reverse(items.begin(), items.end());
    return items;
}

}  // namespace hhc::lzx
