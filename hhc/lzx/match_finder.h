// Hash-chain match finder for one reset interval (at most 64 KiB).
//
// Every position is hashed on its next four bytes; head4_ holds the latest position per hash
// and prev_ links each position to the previous one with the same hash, so a walk visits
// candidates nearest first. Three-byte matches come from a second table that keeps only the
// latest position per three-byte hash: far three-byte matches rarely pay, and chains over
// three bytes are long in text. The walk is capped at a fixed depth and stops early at a length
// that is good enough. Callers give the longest length they accept, which is how matches are
// kept from crossing a frame end. Positions must be inserted in increasing order, each once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace hhc::lzx {

struct MatchCandidate {
    std::uint32_t length = 0;  // 0 when nothing of at least three bytes was found
    std::uint32_t offset = 0;
};

// How many leading bytes of a and b agree, at most `limit`.
std::size_t CommonLength(const std::uint8_t* a, const std::uint8_t* b, std::size_t limit);

class MatchFinder {
public:
    MatchFinder();

    // Starts a new interval; `data` must stay valid until the next Reset.
    void Reset(const std::uint8_t* data, std::size_t size);
    // Every match for `pos` that is longer than all nearer ones, shortest (and nearest) first,
    // appended to `out`; then records `pos`. Returns the longest length found (0 below three).
    std::uint32_t FindAllAndInsert(std::size_t pos, std::size_t maxLength,
                                   std::vector<MatchCandidate>& out);
    // Records `pos` without searching (bytes covered by a chosen match).
    void Insert(std::size_t pos);

private:
    std::uint32_t Hash3(std::size_t pos) const;
    std::uint32_t Hash4(std::size_t pos) const;

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::vector<std::int32_t> head3_;  // latest position per three-byte hash
    std::vector<std::int32_t> head4_;  // latest position per four-byte hash
    std::vector<std::int32_t> prev_;   // previous position with the same four-byte hash
};

// A match at least this long is taken whole by every parser, so the positions it covers are
// not searched: this bounds the work on highly repetitive data.
inline constexpr std::uint32_t kTakeAtOnceLength = 96;

// The matches of every position of one interval, searched once and read by every parse.
struct MatchTable {
    std::vector<std::uint32_t> first;  // per position: index of its first match; one extra
    std::vector<MatchCandidate> matches;

    // Longer than all nearer ones, shortest (and nearest) first; none past a frame end.
    std::span<const MatchCandidate> At(std::size_t pos) const {
        return std::span(matches).subspan(first[pos], first[pos + 1] - first[pos]);
    }
};

// Fills `table` for `interval` (at most one reset interval) with `finder`.
void FindMatches(std::span<const std::uint8_t> interval, MatchFinder& finder, MatchTable& table);

}  // namespace hhc::lzx
