// A topic's words. Each word is looked up once per occurrence in the topic's own table, so
// topics can be read on any thread and merged into the index in #TOPICS order.
#include "hhc/fts/topic_reader.h"

namespace hhc::fts {

namespace {

class StopWordSink : public WordSink {
public:
    void Word(std::string_view word) override { words.emplace(word); }

    StopWords words;
};

template <class Map>
std::vector<WordPositions> Take(Map& map) {
    std::vector<WordPositions> words;
    words.reserve(map.size());
    while (!map.empty()) {
        auto node = map.extract(map.begin());
        words.push_back(WordPositions{std::move(node.key()), std::move(node.mapped())});
    }
    return words;
}

template <class Map>
void Note(Map& map, std::string_view word, std::uint32_t position) {
    auto it = map.find(word);
    if (it == map.end()) {
        it = map.emplace(std::string(word), std::vector<std::uint32_t>()).first;
    }
    it->second.push_back(position);
}

}  // namespace

StopWords ReadStopWords(std::string_view text) {
    StopWordSink sink;
    WordSplitter splitter(sink);
    PageDecoder decoder;
    const auto put = [&splitter](char32_t c) { splitter.Put(c); };
    decoder.Feed(text, put);
    decoder.Finish(put);
    splitter.Break();
    return std::move(sink.words);
}

TopicReader::TopicReader(const StopWords& stopWords)
    : stopWords_(stopWords), splitter_(*this), scanner_(splitter_) {}

void TopicReader::Word(std::string_view word) {
    const std::uint32_t position = textPosition_++;
    const bool inTitle = scanner_.InTitle();
    const std::uint32_t titlePosition = inTitle ? titlePosition_++ : 0;
    if (stopWords_.contains(word)) {
        return;
    }
    if (inTitle) {
        Note(title_, word, titlePosition);
    }
    Note(text_, word, position);
}

TopicWords TopicReader::Finish() {
    decoder_.Finish([this](char32_t c) { scanner_.Put(c); });
    scanner_.Finish();
    return TopicWords{Take(text_), Take(title_)};
}

}  // namespace hhc::fts
