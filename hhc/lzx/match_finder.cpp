// Hash chains over one reset interval.
#include "hhc/lzx/match_finder.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "hhc/lzx/lzx_constants.h"

namespace hhc::lzx {

namespace {

constexpr int kHash3Bits = 14;
constexpr int kHash4Bits = 15;
// Chain links walked per search: deeper finds longer matches, linearly slower on repetitive
// data. On generated help pages 64 links take a tenth less time than 96 for a tenth of a
// percent more output, and 48 a fifth less for a quarter percent more.
constexpr int kMaxChainDepth = 64;
// A match this long ends the walk: longer searching rarely pays for itself past it.
constexpr std::uint32_t kGoodEnoughLength = 96;

}  // namespace

std::size_t CommonLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t limit) {
    std::size_t len = 0;
    // Eight bytes at a time; the first differing bit says how many of them agree.
    while (len + 8 <= limit) {
        std::uint64_t x = 0;
        std::uint64_t y = 0;
        std::memcpy(&x, a + len, 8);
        std::memcpy(&y, b + len, 8);
        if (x != y) {
            if constexpr (std::endian::native == std::endian::little) {
                return len + static_cast<std::size_t>(std::countr_zero(x ^ y) / 8);
            } else {
                return len + static_cast<std::size_t>(std::countl_zero(x ^ y) / 8);
            }
        }
        len += 8;
    }
    while (len < limit && a[len] == b[len]) {
        ++len;
    }
    return len;
}

MatchFinder::MatchFinder()
    : head3_(std::size_t{1} << kHash3Bits, -1),
      head4_(std::size_t{1} << kHash4Bits, -1),
      prev_(kResetInterval, -1) {}

void MatchFinder::Reset(const std::uint8_t* data, std::size_t size) {
    data_ = data;
    size_ = std::min(size, kResetInterval);
    std::fill(head3_.begin(), head3_.end(), -1);
    std::fill(head4_.begin(), head4_.end(), -1);
}

std::uint32_t MatchFinder::Hash3(std::size_t pos) const {
    const std::uint32_t v = std::uint32_t{data_[pos]} | (std::uint32_t{data_[pos + 1]} << 8) |
                            (std::uint32_t{data_[pos + 2]} << 16);
    return (v * 2654435761u) >> (32 - kHash3Bits);
}

std::uint32_t MatchFinder::Hash4(std::size_t pos) const {
    std::uint32_t v = 0;
    std::memcpy(&v, data_ + pos, 4);
    return (v * 2654435761u) >> (32 - kHash4Bits);
}

void MatchFinder::Insert(std::size_t pos) {
    if (pos + 3 > size_) {
        return;
    }
    head3_[Hash3(pos)] = static_cast<std::int32_t>(pos);
    if (pos + 4 <= size_) {
        const std::uint32_t h = Hash4(pos);
        prev_[pos] = head4_[h];
        head4_[h] = static_cast<std::int32_t>(pos);
    }
}

std::uint32_t MatchFinder::FindAllAndInsert(std::size_t pos, std::size_t maxLength,
                                            std::vector<MatchCandidate>& out) {
    if (pos + 3 > size_) {
        return 0;
    }
    const std::int32_t near3 = head3_[Hash3(pos)];
    std::int32_t cand = -1;
    if (pos + 4 <= size_) {
        cand = head4_[Hash4(pos)];
    }
    Insert(pos);
    maxLength = std::min(maxLength, size_ - pos);
    if (maxLength < 3) {
        return 0;
    }
    // Locals, not members: the walk is a chain of dependent loads, and members would be read
    // again through `this` after every push_back.
    const std::uint8_t* const data = data_;
    const std::int32_t* const prev = prev_.data();
    const std::uint8_t* const here = data + pos;
    MatchCandidate best;
    const auto consider = [&](std::size_t c) {
        const std::uint8_t* const there = data + c;
        // Cheap reject: a longer match must agree at the current best length.
        if (there[best.length] != here[best.length] || there[0] != here[0] || there[1] != here[1]) {
            return false;
        }
        const std::size_t len = CommonLength(here, there, maxLength);
        if (len <= best.length || len < 3) {
            return false;
        }
        best = MatchCandidate{static_cast<std::uint32_t>(len), static_cast<std::uint32_t>(pos - c)};
        out.push_back(best);
        return len >= maxLength || best.length >= kGoodEnoughLength;
    };
    // The nearest three-byte match, then the four-byte chain for longer ones.
    if (near3 >= 0 && pos - static_cast<std::size_t>(near3) <= kMaxOffset &&
        consider(static_cast<std::size_t>(near3))) {
        return best.length;
    }
    for (int depth = 0; cand >= 0 && depth < kMaxChainDepth; ++depth) {
        const auto c = static_cast<std::size_t>(cand);
        if (pos - c > kMaxOffset || consider(c)) {
            break;
        }
        cand = prev[c];
    }
    return best.length;
}

void FindMatches(std::span<const std::uint8_t> interval, MatchFinder& finder, MatchTable& table) {
    finder.Reset(interval.data(), interval.size());
    table.first.assign(interval.size() + 1, 0);
    table.matches.clear();
    std::size_t pos = 0;
    while (pos < interval.size()) {
        const std::size_t frameEnd = (pos / kFrameSize + 1) * kFrameSize;
        const std::size_t maxLength =
            std::min({static_cast<std::size_t>(kMaxMatch), frameEnd - pos, interval.size() - pos});
        table.first[pos] = static_cast<std::uint32_t>(table.matches.size());
        const std::uint32_t longest = finder.FindAllAndInsert(pos, maxLength, table.matches);
        const std::size_t end = pos + (longest >= kTakeAtOnceLength ? longest : 1);
        for (++pos; pos < end; ++pos) {
            table.first[pos] = static_cast<std::uint32_t>(table.matches.size());
            finder.Insert(pos);
        }
    }
    table.first[interval.size()] = static_cast<std::uint32_t>(table.matches.size());
}

}  // namespace hhc::lzx
