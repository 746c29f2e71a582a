// Near-optimal parser: a forward shortest-path pass over the interval, then a walk back from
// the end. A match at least kTakeAtOnceLength long is taken without pricing the positions it
// covers, as the match table did not search them.
#include "hhc/lzx/optimal_parser.h"

#include <algorithm>

#include "hhc/lzx/huffman.h"

namespace hhc::lzx {

namespace {

// Symbols the previous parse never used still need a price; about as dear as the rarest.
constexpr std::uint8_t kUnusedSymbolCost = 14;

using Node = PathNode;

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
                    model.main[MainSymbol(slot, header)] +
                    static_cast<std::uint32_t>(ExtraBits(slot));
            }
        }
        for (std::uint32_t len = kMinMatch; len <= kMaxMatch; ++len) {
            const int header = LengthHeader(len);
            headerOf[len] = static_cast<std::uint8_t>(header);
            lengthCost[len] = header == kNumPrimaryLengths ? model.length[LengthSymbol(len)] : 0;
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
        const int header = LengthHeader(item.length);
        ++mainFreqs[MainSymbol(PositionSlot(item.formattedOffset), header)];
        if (header == kNumPrimaryLengths) {
            ++lengthFreqs[LengthSymbol(item.length)];
        }
    }
    CostModel model;
    Prices(mainFreqs, model.main);
    Prices(lengthFreqs, model.length);
    return model;
}

namespace {

// One shortest-path pass over an interval.
class Pass {
public:
    Pass(std::span<const std::uint8_t> data, const CostModel& costs, const MatchTable& table,
         std::vector<Node>& nodes)
        : data_(data), prices_(costs), table_(table), nodes_(&nodes) {
        nodes.assign(data.size() + 1, Node{});
        nodes[0].cost = 0;
    }

    std::vector<Item> Run();

private:
    void PriceEdges(std::size_t pos, const std::array<std::uint32_t, kNumRepeats>& repeatLength,
                    std::span<const MatchCandidate> found);
    void Arrive(std::size_t from, std::uint32_t len, std::uint32_t formatted, std::uint32_t cost);
    void TakeLongMatch(std::size_t pos, std::uint32_t len, std::uint32_t formatted);
    std::vector<Item> WalkBack() const;

    std::span<const std::uint8_t> data_;
    const PriceTable prices_;
    const MatchTable& table_;
    std::vector<Node>* nodes_;
};

void Pass::Arrive(std::size_t from, std::uint32_t len, std::uint32_t formatted,
                  std::uint32_t cost) {
    Node& to = (*nodes_)[from + len];
    if (cost < to.cost) {
        to.cost = cost;
        to.length = static_cast<std::uint16_t>(len);
        to.formattedOffset = formatted;
        to.repeats = AfterMatch((*nodes_)[from].repeats, formatted);
    }
}

// Its end is reached from here whatever it costs; the positions it covers are not priced.
void Pass::TakeLongMatch(std::size_t pos, std::uint32_t len, std::uint32_t formatted) {
    const Node& here = (*nodes_)[pos];
    Node& to = (*nodes_)[pos + len];
    to.cost = here.cost + prices_.Match(len, PositionSlot(formatted));
    to.length = static_cast<std::uint16_t>(len);
    to.formattedOffset = formatted;
    to.repeats = AfterMatch(here.repeats, formatted);
}

// The literal, every length of every repeat match, and for each hash-chain match the lengths
// above the previous (nearer) one.
void Pass::PriceEdges(std::size_t pos, const std::array<std::uint32_t, kNumRepeats>& repeatLength,
                      std::span<const MatchCandidate> found) {
    const std::uint32_t base = (*nodes_)[pos].cost;
    Node& next = (*nodes_)[pos + 1];
    if (base + prices_.literal[data_[pos]] < next.cost) {
        next.cost = base + prices_.literal[data_[pos]];
        next.length = 0;
        next.repeats = (*nodes_)[pos].repeats;
    }
    for (std::uint32_t r = 0; r < kNumRepeats; ++r) {
        for (std::uint32_t l = kMinMatch; l <= repeatLength[r]; ++l) {
            Arrive(pos, l, r, base + prices_.Match(l, static_cast<int>(r)));
        }
    }
    std::uint32_t shortest = 3;
    for (const MatchCandidate& m : found) {
        const std::uint32_t formatted = m.offset + 2;
        const int slot = PositionSlot(formatted);
        for (std::uint32_t l = shortest; l <= m.length; ++l) {
            Arrive(pos, l, formatted, base + prices_.Match(l, slot));
        }
        shortest = m.length + 1;
    }
}

std::vector<Item> Pass::Run() {
    const std::size_t n = data_.size();
    std::size_t pos = 0;
    while (pos < n) {
        const std::size_t frameEnd = (pos / kFrameSize + 1) * kFrameSize;
        const std::size_t maxLength =
            std::min({static_cast<std::size_t>(kMaxMatch), frameEnd - pos, n - pos});
        const std::span<const MatchCandidate> found = table_.At(pos);
        const std::uint32_t longest = found.empty() ? 0 : found.back().length;

        std::array<std::uint32_t, kNumRepeats> repeatLength{};
        std::uint32_t longestRepeat = 0;
        std::uint32_t longestRepeatSlot = 0;
        for (std::uint32_t r = 0; r < kNumRepeats && maxLength >= kMinMatch; ++r) {
            const std::uint32_t offset = (*nodes_)[pos].repeats[r];
            if (offset <= pos) {
                repeatLength[r] = static_cast<std::uint32_t>(
                    CommonLength(data_.data() + pos, data_.data() + pos - offset, maxLength));
            }
            if (repeatLength[r] > longestRepeat) {
                longestRepeat = repeatLength[r];
                longestRepeatSlot = r;
            }
        }
        const std::uint32_t best = std::max(longest, longestRepeat);
        if (best >= kTakeAtOnceLength) {
            TakeLongMatch(pos, best,
                          longestRepeat >= longest ? longestRepeatSlot : found.back().offset + 2);
            pos += best;
            continue;
        }
        PriceEdges(pos, repeatLength, found);
        ++pos;
    }
    return WalkBack();
}

std::vector<Item> Pass::WalkBack() const {
    std::vector<Item> items;
    for (std::size_t at = data_.size(); at > 0;) {
        const Node& node = (*nodes_)[at];
        if (node.length == 0) {
            items.push_back(Literal(data_[at - 1]));
            --at;
        } else {
            items.push_back(Match(node.length, node.formattedOffset));
            at -= node.length;
        }
    }
    std::reverse(items.begin(), items.end());
    return items;
}

}  // namespace

std::vector<Item> NearOptimalParse(std::span<const std::uint8_t> data, const CostModel& costs,
                                   const MatchTable& matches, std::vector<PathNode>& nodes) {
    return Pass(data, costs, matches, nodes).Run();
}

}  // namespace hhc::lzx
