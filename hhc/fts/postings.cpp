// Word lists. The compact form is a run of 7-bit groups per value, so a list costs about a byte
// per position until the end, and the counts of significant bits per field, kept on the way,
// give the roots without a second pass over the lists.
#include "hhc/fts/postings.h"

#include <algorithm>

namespace hhc::fts {

namespace {

enum Field : unsigned { kTopicStep, kCount, kPositionStep };

void PutGroups(std::vector<std::uint8_t>& out, std::uint32_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<std::uint8_t>(value | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<std::uint8_t>(value));
}

std::uint32_t TakeGroups(const std::uint8_t*& at) {
    std::uint32_t value = 0;
    for (unsigned shift = 0;; shift += 7) {
        const std::uint8_t b = *at++;
        value |= std::uint32_t{b & 0x7Fu} << shift;
        if ((b & 0x80) == 0) {
            return value;
        }
    }
}

WordList Encode(bool title, const std::vector<std::uint8_t>& raw, std::uint32_t topics,
                const Roots& roots) {
    WordList list{title, topics, {}};
    list.codes.reserve(raw.size() + raw.size() / 2);
    CodeWriter codes(list.codes);
    const std::uint8_t* at = raw.data();
    for (std::uint32_t t = 0; t < topics; ++t) {
        codes.AlignToByte();
        codes.Put(TakeGroups(at), roots.topic);
        const std::uint32_t count = TakeGroups(at);
        codes.Put(count, roots.count);
        for (std::uint32_t i = 0; i < count; ++i) {
            codes.Put(TakeGroups(at), roots.location);
        }
    }
    return list;
}

}  // namespace

void IndexBuilder::Count(unsigned field, std::uint32_t value) {
    ++lengths_[field][SignificantBits(value)];
}

void IndexBuilder::Add(RawList& list, std::uint32_t topic,
                       const std::vector<std::uint32_t>& positions) {
    const std::uint32_t step = topic - list.lastTopic;
    PutGroups(list.bytes, step);
    Count(kTopicStep, step);
    PutGroups(list.bytes, static_cast<std::uint32_t>(positions.size()));
    Count(kCount, static_cast<std::uint32_t>(positions.size()));
    std::uint32_t last = 0;
    for (const std::uint32_t p : positions) {
        PutGroups(list.bytes, p - last);
        Count(kPositionStep, p - last);
        last = p;
    }
    list.lastTopic = topic;
    ++list.topics;
}

void IndexBuilder::AddTopic(std::uint32_t topic, const TopicWords& words) {
    for (const bool title : {false, true}) {
        for (const WordPositions& w : title ? words.title : words.text) {
            const auto [it, added] = words_.try_emplace(w.word);
            if (added) {
                ++stats_.unique;
                stats_.uniqueLength += w.word.size();
                stats_.longest =
                    std::max(stats_.longest, static_cast<std::uint32_t>(w.word.size()));
            }
            Add(title ? it->second.title : it->second.text, topic, w.positions);
            stats_.occurrences += w.positions.size();
            stats_.totalLength += w.positions.size() * w.word.size();
        }
    }
}

Roots IndexBuilder::BestRoots() const {
    return Roots{BestRoot(lengths_[kTopicStep]), BestRoot(lengths_[kCount]),
                 BestRoot(lengths_[kPositionStep])};
}

void IndexBuilder::ForEachWord(
    const Roots& roots,
    const std::function<std::optional<std::string>(std::string_view word)>& encode,
    const std::function<void(std::string_view word, std::span<const WordList> lists)>& take) const {
    std::vector<std::pair<std::string, const Lists*>> sorted;
    sorted.reserve(words_.size());
    for (const auto& [word, lists] : words_) {
        if (std::optional<std::string> encoded = encode(word)) {
            sorted.emplace_back(std::move(*encoded), &lists);
        }
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<WordList> lists;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i > 0 && sorted[i].first == sorted[i - 1].first) {
            continue;
        }
        lists.clear();
        for (const bool title : {false, true}) {
            const RawList& raw = title ? sorted[i].second->title : sorted[i].second->text;
            if (raw.topics > 0) {
                lists.push_back(Encode(title, raw.bytes, raw.topics, roots));
            }
        }
        take(sorted[i].first, lists);
    }
}

}  // namespace hhc::fts
