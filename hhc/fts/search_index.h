// The full-text search index of a compile ($FIftiMain). Topics are read on a thread of their
// own, beside the compression, in the order they are given, which is #TOPICS order: the n-th
// topic given is topic n. The bytes waiting for that thread are bounded, so memory holds the
// word lists and not the pages.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "common/html/encoding.h"
#include "hhc/fts/postings.h"
#include "hhc/fts/topic_reader.h"

namespace hhc::fts {

// `word` (UTF-8) in `encoding`, or nothing when the encoding cannot hold it. Characters that
// came from lone bytes of a page go back to those bytes in a code page.
std::optional<std::string> EncodeWord(std::string_view word, common::html::Encoding encoding);

class SearchIndex {
public:
    // Bytes given but not yet read above which Feed waits.
    static constexpr std::size_t kMaxWaiting = 4u << 20;

    explicit SearchIndex(StopWords stopWords);
    ~SearchIndex();
    SearchIndex(const SearchIndex&) = delete;
    SearchIndex& operator=(const SearchIndex&) = delete;

    // A piece of the next topic's page.
    void Feed(std::string_view piece);
    void EndTopic();
    // Forgets what was fed since the last EndTopic: the page was not stored after all.
    void DropTopic();

    // Waits for the topics to be read; words the encoding cannot hold, or longer than the index
    // allows in it, are left out. Rethrows what the reading thread threw.
    std::vector<std::uint8_t> Finish(common::html::Encoding encoding, std::uint32_t lcid,
                                     std::uint32_t codePage);

private:
    enum class Kind { kPiece, kEnd, kDrop, kStop };

    struct Item {
        Kind kind;
        std::string bytes;
    };

    void Push(Item item);
    void Read();
    void Stop();

    const StopWords stopWords_;
    IndexBuilder builder_;
    std::uint32_t topics_ = 0;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Item> items_;
    std::size_t waiting_ = 0;  // bytes in items_
    std::exception_ptr failure_;
    std::thread reader_;
};

}  // namespace hhc::fts
