// Hash chains over one reset interval.
#include "hhc/lzx/match_finder.h"

#include <algorithm>

#include "hhc/lzx/lzx_constants.h"

namespace hhc::lzx {

namespace {

constexpr int kHashBits = 15;
// Chain links walked per search: deeper finds longer matches, linearly slower on repetitive
// data.
constexpr int kMaxChainDepth = 48;
// A match this long ends the walk: longer searching rarely pays for itself past it.
constexpr std::uint32_t kGoodEnoughLength = 96;

}  // namespace

MatchFinder::MatchFinder() : head_(std::size_t{1} << kHashBits, -1), prev_(kResetInterval, -1) {}

void MatchFinder::Reset(const std::uint8_t* data, std::size_t size) {
    data_ = data;
    size_ = std::min(size, kResetInterval);
    std::fill(head_.begin(), head_.end(), -1);
}

std::uint32_t MatchFinder::Hash(std::size_t pos) const {
    const std::uint32_t v = std::uint32_t{data_[pos]} | (std::uint32_t{data_[pos + 1]} << 8) |
                            (std::uint32_t{data_[pos + 2]} << 16);
    return (v * 2654435761u) >> (32 - kHashBits);
}

void MatchFinder::Insert(std::size_t pos) {
    if (pos + 3 > size_) {
        return;
    }
    const std::uint32_t h = Hash(pos);
    prev_[pos] = head_[h];
    head_[h] = static_cast<std::int32_t>(pos);
}

MatchCandidate MatchFinder::FindAndInsert(std::size_t pos, std::size_t maxLength) {
    found_.clear();
    FindAllAndInsert(pos, maxLength, found_);
    return found_.empty() ? MatchCandidate{} : found_.back();
}

std::uint32_t MatchFinder::FindAllAndInsert(std::size_t pos, std::size_t maxLength,
                                            std::vector<MatchCandidate>& out) {
    MatchCandidate best;
    if (pos + 3 > size_) {
        return 0;
    }
    const std::uint32_t h = Hash(pos);
    std::int32_t cand = head_[h];
    prev_[pos] = cand;
    head_[h] = static_cast<std::int32_t>(pos);

    maxLength = std::min(maxLength, size_ - pos);
    if (maxLength < 3) {
        return 0;
    }
    const std::uint8_t* const here = data_ + pos;
    for (int depth = 0; cand >= 0 && depth < kMaxChainDepth; ++depth) {
        const auto c = static_cast<std::size_t>(cand);
        const std::size_t offset = pos - c;
        if (offset > kMaxOffset) {
            break;
        }
        const std::uint8_t* const there = data_ + c;
        // Cheap reject: a longer match must agree at the current best length.
        if (there[best.length] == here[best.length] && there[0] == here[0] && there[1] == here[1]) {
            std::size_t len = 0;
            while (len < maxLength && there[len] == here[len]) {
                ++len;
            }
            if (len > best.length) {
                best.length = static_cast<std::uint32_t>(len);
                best.offset = static_cast<std::uint32_t>(offset);
                if (len >= 3) {
                    out.push_back(best);
                }
                if (len >= maxLength || best.length >= kGoodEnoughLength) {
                    break;
                }
            }
        }
        cand = prev_[c];
    }
    return best.length >= 3 ? best.length : 0;
}

}  // namespace hhc::lzx
