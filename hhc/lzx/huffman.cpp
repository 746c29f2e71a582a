// Huffman code lengths: a two-queue build over the sorted frequencies. A tree deeper than the
// limit is rebuilt from flattened weights, which keeps every code complete.
#include "hhc/lzx/huffman.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <vector>

namespace hhc::lzx {

namespace {

constexpr int kMaxSupportedLength = 16;

// Depth of every leaf of an unlimited Huffman tree over `sorted` (ascending frequency).
std::vector<int> LeafDepths(const std::vector<std::uint32_t>& sortedFreqs) {
    const std::size_t n = sortedFreqs.size();
    // Nodes 0..n-1 are leaves, n.. are internal nodes created in rising weight order.
    std::vector<std::uint64_t> weight(2 * n - 1);
    std::vector<std::size_t> parent(2 * n - 1, 0);
    for (std::size_t i = 0; i < n; ++i) {
        weight[i] = sortedFreqs[i];
    }
    std::size_t nextLeaf = 0;
    std::size_t nextInner = n;
    std::size_t created = n;
    auto takeSmallest = [&]() {
        if (nextLeaf < n && (nextInner == created || weight[nextLeaf] <= weight[nextInner])) {
            return nextLeaf++;
        }
        return nextInner++;
    };
    while (created < 2 * n - 1) {
        const std::size_t a = takeSmallest();
        const std::size_t b = takeSmallest();
        weight[created] = weight[a] + weight[b];
        parent[a] = created;
        parent[b] = created;
        ++created;
    }
    std::vector<int> depth(2 * n - 1, 0);
    for (std::size_t i = 2 * n - 1; i-- > 0;) {
        if (i != 2 * n - 2) {
            depth[i] = depth[parent[i]] + 1;
        }
    }
    depth.resize(n);
    return depth;
}

}  // namespace

void BuildCodeLengths(std::span<const std::uint32_t> freqs, int maxLength,
                      std::span<std::uint8_t> lengths) {
    assert(lengths.size() == freqs.size());
    assert(maxLength >= 1 && maxLength <= kMaxSupportedLength);
    std::fill(lengths.begin(), lengths.end(), std::uint8_t{0});

    std::vector<std::size_t> used;
    for (std::size_t s = 0; s < freqs.size(); ++s) {
        if (freqs[s] != 0) {
            used.push_back(s);
        }
    }
    if (used.empty()) {
        return;
    }
    if (used.size() == 1) {
        assert(freqs.size() >= 2);
        lengths[used[0]] = 1;
        lengths[used[0] == 0 ? 1 : 0] = 1;
        return;
    }
    assert(used.size() <= (std::size_t{1} << maxLength));

    std::stable_sort(used.begin(), used.end(),
                     [&](std::size_t a, std::size_t b) { return freqs[a] < freqs[b]; });
    std::vector<std::uint32_t> sortedFreqs(used.size());
    for (std::size_t i = 0; i < used.size(); ++i) {
        sortedFreqs[i] = freqs[used[i]];
    }
    // Halving the weights flattens the tree; repeat until it fits. Halving keeps the sorted
    // order, and equal weights at the end give a tree of ceil(log2 n) levels, so this ends.
    for (;;) {
        const std::vector<int> depth = LeafDepths(sortedFreqs);
        if (*std::max_element(depth.begin(), depth.end()) <= maxLength) {
            for (std::size_t i = 0; i < used.size(); ++i) {
                lengths[used[i]] = static_cast<std::uint8_t>(depth[i]);
            }
            return;
        }
        for (std::uint32_t& f : sortedFreqs) {
            f = f / 2 + (f & 1);  // halves, rounding up, so no weight reaches 0
        }
    }
}

void CanonicalCodes(std::span<const std::uint8_t> lengths, std::span<std::uint16_t> codes) {
    assert(codes.size() == lengths.size());
    std::uint32_t count[kMaxSupportedLength + 1] = {};
    for (const std::uint8_t len : lengths) {
        ++count[len];
    }
    count[0] = 0;
    std::uint32_t next[kMaxSupportedLength + 2] = {};
    std::uint32_t code = 0;
    for (int len = 1; len <= kMaxSupportedLength; ++len) {
        code = (code + count[len - 1]) << 1;
        next[len] = code;
    }
    for (std::size_t s = 0; s < lengths.size(); ++s) {
        if (lengths[s] != 0) {
            codes[s] = static_cast<std::uint16_t>(next[lengths[s]]++);
        } else {
            codes[s] = 0;
        }
    }
}

}  // namespace hhc::lzx
