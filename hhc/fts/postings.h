// The word lists of the search index, built one topic at a time in #TOPICS order. A word has a
// list of the topics whose text holds it and one of the topics whose title does, each with the
// word's positions there (its location codes). Lists are kept as they come in a compact byte
// form; their final bit form is written once the roots that suit the whole index are known.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "hhc/fts/sr_code.h"

namespace hhc::fts {

struct WordPositions {
    std::string word;
    std::vector<std::uint32_t> positions;  // ascending
};

// One topic's words, each word once per vector.
struct TopicWords {
    std::vector<WordPositions> text, title;
};

struct Roots {
    unsigned topic = 1, count = 1, location = 1;
};

// The summary the index header carries.
struct WordStats {
    std::uint32_t longest = 0;       // bytes of the longest word
    std::uint64_t occurrences = 0;   // words indexed, repeats counted
    std::uint64_t unique = 0;        // distinct words
    std::uint64_t totalLength = 0;   // bytes of all words indexed
    std::uint64_t uniqueLength = 0;  // bytes of the distinct words
};

// One list in its final form: per topic the topic number's step from the previous one, the
// number of positions and each position's step from the previous one, a topic's codes starting
// on a byte.
struct WordList {
    bool title = false;
    std::uint32_t topics = 0;
    std::vector<std::uint8_t> codes;
};

class IndexBuilder {
public:
    // Topics in ascending order, each once.
    void AddTopic(std::uint32_t topic, const TopicWords& words);

    Roots BestRoots() const;

    const WordStats& Stats() const { return stats_; }

    // Every word as `encode` writes it, in ascending byte order of that form, with its lists,
    // the text list before the title list. A word `encode` gives nothing for is left out, and of
    // words it writes alike the first is taken.
    void ForEachWord(const Roots& roots,
                     const std::function<std::optional<std::string>(std::string_view word)>& encode,
                     const std::function<void(std::string_view word,
                                              std::span<const WordList> lists)>& take) const;

private:
    struct RawList {
        std::vector<std::uint8_t> bytes;  // 7-bit groups, low first: step, count, steps...
        std::uint32_t lastTopic = 0;
        std::uint32_t topics = 0;
    };

    struct Lists {
        RawList text, title;
    };

    void Add(RawList& list, std::uint32_t topic, const std::vector<std::uint32_t>& positions);
    void Count(unsigned field, std::uint32_t value);

    std::unordered_map<std::string, Lists> words_;
    std::array<LengthCounts, 3> lengths_{};  // topic steps, counts, position steps
    WordStats stats_;
};

}  // namespace hhc::fts
