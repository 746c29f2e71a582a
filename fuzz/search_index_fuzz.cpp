// A page's words for the search index, on any bytes: no crash; every word is non-empty UTF-8
// without blanks or markup; positions ascend; the words do not depend on how the page's bytes
// were cut into pieces (the first byte picks the cut); and an index of them is laid out whole.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "hhc/fts/fifti_writer.h"
#include "hhc/fts/search_index.h"
#include "hhc/fts/topic_reader.h"

namespace {

using hhc::fts::TopicWords;
using hhc::fts::WordPositions;

std::map<std::string, std::vector<std::uint32_t>> Sorted(const std::vector<WordPositions>& words) {
    std::map<std::string, std::vector<std::uint32_t>> sorted;
    for (const WordPositions& w : words) {
        sorted[w.word] = w.positions;
    }
    return sorted;
}

void Check(const std::vector<WordPositions>& words) {
    for (const WordPositions& w : words) {
        if (w.word.empty() || w.word.find_first_of(" <>&\t\n") != std::string::npos ||
            !hhc::fts::EncodeWord(w.word, common::html::Encoding::kUtf8) || w.positions.empty()) {
            std::abort();
        }
        for (std::size_t i = 1; i < w.positions.size(); ++i) {
            if (w.positions[i] <= w.positions[i - 1]) {
                std::abort();
            }
        }
    }
}

TopicWords Read(std::string_view page, std::size_t cut) {
    const hhc::fts::StopWords none;
    hhc::fts::TopicReader reader(none);
    reader.Feed(page.substr(0, cut));
    reader.Feed(page.substr(cut));
    return reader.Finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view page(reinterpret_cast<const char*>(data) + 1, size - 1);
    const TopicWords whole = Read(page, page.size());
    const TopicWords cut = Read(page, data[0] % (page.size() + 1));
    Check(whole.text);
    Check(whole.title);
    if (Sorted(whole.text) != Sorted(cut.text) || Sorted(whole.title) != Sorted(cut.title)) {
        std::abort();
    }
    hhc::fts::IndexBuilder builder;
    builder.AddTopic(0, whole);
    hhc::fts::FiftiWriter writer;
    builder.ForEachWord(
        builder.BestRoots(),
        [](std::string_view word) {
            return hhc::fts::EncodeWord(word, common::html::Encoding::kWindows1252);
        },
        [&writer](std::string_view word, std::span<const hhc::fts::WordList> lists) {
            if (word.size() <= hhc::fts::kMaxWordLength) {
                writer.AddWord(word, lists);
            }
        });
    hhc::fts::IndexFacts facts;
    facts.topics = 1;
    const std::vector<std::uint8_t> index = writer.Finish(facts);
    if (index.size() < hhc::fts::FiftiWriter::kHeaderSize + hhc::fts::FiftiWriter::kNodeSize) {
        std::abort();
    }
    return 0;
}
