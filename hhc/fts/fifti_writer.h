// Lays out $FIftiMain, the search index: a 1024-byte header, then the word lists' location
// codes of each leaf node's words followed by that leaf, then the index nodes level by level,
// the root last. Nodes are 4096 bytes; words in a node are stored as the number of leading
// bytes shared with the word before them in that node plus the rest.
//
// Leaf node: u32 offset of the next leaf (0 for the last), u16 0, u16 free bytes at the end,
// then per list: u8 length of the stored rest + 1, u8 shared bytes, the rest, u8 1 for a title
// list, a count of topics, u32 offset of the codes, u16 0, the codes' length in bytes. Counts
// and lengths are 7-bit groups, lowest first, high bit set on all but the last.
// Index node: u16 free bytes at the end, then per child: the child's last word (stored as in a
// leaf), u32 the child's offset, u16 0. Readers take the first child whose word is not below the
// word they look for, so a word's text and title lists never straddle two leaves.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hhc/fts/postings.h"

namespace hhc::fts {

// Longer words are not indexed: the header's longest-word field stops at 99.
inline constexpr std::size_t kMaxWordLength = 99;

struct IndexFacts {
    std::uint32_t topics = 0;
    Roots roots;
    WordStats stats;
    std::uint32_t codePage = 1252;
    std::uint32_t lcid = 0x0409;
};

class FiftiWriter {
public:
    static constexpr std::size_t kNodeSize = 4096;
    static constexpr std::size_t kHeaderSize = 1024;

    FiftiWriter();

    // Words in ascending byte order, at most kMaxWordLength bytes, one or two lists each.
    void AddWord(std::string_view word, std::span<const WordList> lists);
    std::vector<std::uint8_t> Finish(const IndexFacts& facts);

private:
    struct Node {
        std::vector<std::uint8_t> bytes;
        std::string lastWord;
    };

    struct Child {
        std::string lastWord;
        std::uint32_t offset;
    };

    void FlushLeaf();
    std::vector<Child> WriteIndexLevel(const std::vector<Child>& children);
    void WriteHeader(const IndexFacts& facts, std::uint32_t root, std::uint16_t depth);

    std::vector<std::uint8_t> out_;
    Node leaf_;
    std::vector<Child> leaves_;  // written so far, in order
};

}  // namespace hhc::fts
