// One topic's words from its page's bytes, which may arrive in pieces of any size: decoded,
// scanned for text, split, stop words left out. A word's positions count every word of the
// page's text from 0, stop words included, so neighbours stay neighbours; the words of the
// title count again from 0 for the title list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "hhc/fts/page_decoder.h"
#include "hhc/fts/postings.h"
#include "hhc/fts/text_scanner.h"
#include "hhc/fts/word_split.h"

namespace hhc::fts {

// Looks strings up by string_view without making a string.
struct WordHash {
    using is_transparent = void;

    std::size_t operator()(std::string_view word) const {
        return std::hash<std::string_view>{}(word);
    }
};

using StopWords = std::unordered_set<std::string, WordHash, std::equal_to<>>;

// The words of a stop list file (any text: blanks, lines and punctuation separate them), split
// and folded as page text is.
StopWords ReadStopWords(std::string_view text);

class TopicReader : private WordSink {
public:
    explicit TopicReader(const StopWords& stopWords);

    void Feed(std::string_view piece) {
        decoder_.Feed(piece, [this](char32_t c) { scanner_.Put(c); });
    }

    // The topic's words. A reader reads one topic.
    TopicWords Finish();

private:
    using Positions =
        std::unordered_map<std::string, std::vector<std::uint32_t>, WordHash, std::equal_to<>>;

    void Word(std::string_view word) override;

    const StopWords& stopWords_;
    WordSplitter splitter_;
    TextScanner scanner_;
    PageDecoder decoder_;
    Positions text_, title_;
    std::uint32_t textPosition_ = 0;
    std::uint32_t titlePosition_ = 0;
};

}  // namespace hhc::fts
