#include "hhc/sysfiles/topic_tables.h"

#include "hhc/chm/byte_sink.h"

namespace hhc::sysfiles {

namespace {

using chm::ByteSink;

constexpr std::uint32_t kBlock = 4096;
constexpr std::uint32_t kUrlStrBlock = 0x4000;
constexpr std::uint32_t kUrlRecordSize = 12;
constexpr std::uint32_t kUrlRecordsPerBlock = kBlock / kUrlRecordSize;  // 341, then 4 spare bytes
constexpr std::uint16_t kTopicFlags = 2;  // a topic that is not in a binary contents tree
// Readers show such a topic as "Untitled"; an offset past #STRINGS is what they test for.
constexpr std::uint32_t kNoTitle = 0xFFFFFFFFu;

}  // namespace

TopicTables BuildTopicTables(const std::vector<Topic>& topics, StringPool& strings) {
    ByteSink topicSink, urlTable, urlStrings;
    urlStrings.U8(0);
    for (std::size_t i = 0; i < topics.size(); ++i) {
        const Topic& t = topics[i];
        // A record never crosses a block of #URLSTR.
        const std::size_t recordSize = 8 + t.path.size() + 1;
        const std::size_t used = urlStrings.Size() % kUrlStrBlock;
        if (recordSize <= kUrlStrBlock && used + recordSize > kUrlStrBlock) {
            urlStrings.Zeros(kUrlStrBlock - used);
        }
        const auto urlStringOffset = static_cast<std::uint32_t>(urlStrings.Size());
        urlStrings.U32(0);  // no absolute URL
        urlStrings.U32(0);  // no frame name
        urlStrings.Text(t.path);
        urlStrings.U8(0);

        if (i > 0 && i % kUrlRecordsPerBlock == 0) {
            urlTable.Zeros(kBlock - kUrlRecordsPerBlock * kUrlRecordSize);
        }
        const auto urlTableOffset = static_cast<std::uint32_t>(urlTable.Size());
        urlTable.U32(0);  // key: the viewer's hash is not known; readers resolve by name
        urlTable.U32(static_cast<std::uint32_t>(i));
        urlTable.U32(urlStringOffset);

        topicSink.U32(0);  // no binary contents tree
        topicSink.U32(t.title.empty() ? kNoTitle : strings.Add(t.title));
        topicSink.U32(urlTableOffset);
        topicSink.U16(kTopicFlags);
        topicSink.U16(0);
    }
    return TopicTables{topicSink.Take(), urlTable.Take(), urlStrings.Take()};
}

std::vector<std::uint8_t> IndexHeader(std::uint32_t topicCount, std::uint32_t timestamp) {
    ByteSink sink;
    sink.Text("T#SM");
    sink.U32(timestamp);
    sink.U32(1);
    sink.U32(topicCount);
    sink.U32(0);
    sink.Zeros(kBlock - sink.Size());
    return sink.Take();
}

}  // namespace hhc::sysfiles
