// The search index's reading thread and the last step: word lists in the file's encoding, laid
// out by FiftiWriter.
#include "hhc/fts/search_index.h"

#include <algorithm>

#include "hhc/fts/fifti_writer.h"
#include "hhc/fts/page_decoder.h"

namespace hhc::fts {

std::optional<std::string> EncodeWord(std::string_view word, common::html::Encoding encoding) {
    if (encoding == common::html::Encoding::kUtf8) {
        return std::string(word);
    }
    std::string out;
    bool held = true;
    PageDecoder utf8;
    utf8.Feed(word, [&](char32_t c) {
        if (c >= 0x80 && c < 0xA0 &&
            common::html::Windows1252Character(static_cast<std::uint8_t>(c)) == 0) {
            out.push_back(static_cast<char>(c));  // a lone byte the code page leaves undefined
        } else if (!common::html::AppendCharacter(c, common::html::Encoding::kWindows1252, out)) {
            held = false;
        }
    });
    return held ? std::optional<std::string>(std::move(out)) : std::nullopt;
}

SearchIndex::SearchIndex(StopWords stopWords)
    : stopWords_(std::move(stopWords)), reader_([this] { Read(); }) {}

SearchIndex::~SearchIndex() {
    Stop();
}

void SearchIndex::Push(Item item) {
    std::unique_lock lock(mutex_);
    // One piece larger than the bound still goes when nothing else waits.
    changed_.wait(lock,
                  [&] { return waiting_ == 0 || waiting_ + item.bytes.size() <= kMaxWaiting; });
    waiting_ += item.bytes.size();
    items_.push_back(std::move(item));
    changed_.notify_all();
}

void SearchIndex::Feed(std::string_view piece) {
    Push(Item{Kind::kPiece, std::string(piece)});
}

void SearchIndex::EndTopic() {
    Push(Item{Kind::kEnd, {}});
}

void SearchIndex::DropTopic() {
    Push(Item{Kind::kDrop, {}});
}

void SearchIndex::Read() {
    auto topic = std::make_unique<TopicReader>(stopWords_);
    for (;;) {
        Item item;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return !items_.empty(); });
            item = std::move(items_.front());
            items_.pop_front();
            waiting_ -= item.bytes.size();
            changed_.notify_all();
        }
        if (item.kind == Kind::kStop) {
            return;
        }
        if (failure_) {
            continue;  // drain, so Feed never waits for a reader that gave up
        }
        try {
            if (item.kind == Kind::kPiece) {
                topic->Feed(item.bytes);
                continue;
            }
            if (item.kind == Kind::kEnd) {
                builder_.AddTopic(topics_++, topic->Finish());
            }
            topic = std::make_unique<TopicReader>(stopWords_);
        } catch (...) {
            failure_ = std::current_exception();
        }
    }
}

void SearchIndex::Stop() {
    if (reader_.joinable()) {
        Push(Item{Kind::kStop, {}});
        reader_.join();
    }
}

std::vector<std::uint8_t> SearchIndex::Finish(common::html::Encoding encoding, std::uint32_t lcid,
                                              std::uint32_t codePage) {
    Stop();
    if (failure_) {
        std::rethrow_exception(failure_);
    }
    const Roots roots = builder_.BestRoots();
    FiftiWriter writer;
    builder_.ForEachWord(
        roots, [encoding](std::string_view word) { return EncodeWord(word, encoding); },
        [&writer](std::string_view word, std::span<const WordList> lists) {
            if (word.size() <= kMaxWordLength) {
                writer.AddWord(word, lists);
            }
        });
    return writer.Finish(IndexFacts{topics_, roots, builder_.Stats(), codePage, lcid});
}

}  // namespace hhc::fts
