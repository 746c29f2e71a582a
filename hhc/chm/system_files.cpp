// Internal system files. #SYSTEM is a version word and then records of code, length, data;
// string data carries its NUL in the length. A #WINDOWS entry is 196 bytes; its member flags
// say which project fields were given, plus the tab-position bit that the reference compiler
// sets whenever the line ends in a notify id.
#include "hhc/chm/system_files.h"

#include "hhc/chm/byte_sink.h"

namespace hhc::chm {

namespace {

constexpr std::uint32_t kBlock = 4096;
constexpr std::uint32_t kUrlStrBlock = 0x4000;
constexpr std::uint32_t kWindowEntrySize = 196;
constexpr std::uint32_t kUrlRecordSize = 12;
constexpr std::uint32_t kUrlRecordsPerBlock = kBlock / kUrlRecordSize;  // 341, then 4 spare bytes
constexpr std::uint16_t kTopicFlags = 2;  // a topic that is not in a binary contents tree
// Readers show such a topic as "Untitled"; an offset past #STRINGS is what they test for.
constexpr std::uint32_t kNoTitle = 0xFFFFFFFFu;
constexpr const char* kCompilerVersion = "KORVA hhc 0.9";

enum SystemCode : std::uint16_t {
    kContentsFile = 0,
    kIndexFile = 1,
    kDefaultTopic = 2,
    kTitle = 3,
    kLanguage = 4,
    kDefaultWindow = 5,
    kCompiledName = 6,
    kCompilerName = 9,
    kTimestamp = 10,
    kInfoTypeCount = 12,
    kInfoTypeChecksum = 15,
    kDefaultFont = 16,
};

enum ValidMember : std::uint32_t {
    kProperties = 0x2,
    kStyles = 0x4,
    kExStyles = 0x8,
    kRect = 0x10,
    kNavWidth = 0x20,
    kShowState = 0x40,
    kToolbarFlags = 0x100,
    kExpansion = 0x200,
    kTabPosition = 0x400,
    kCurrentTab = 0x2000,
};

void StringRecord(ByteSink& sink, std::uint16_t code, std::string_view text) {
    sink.U16(code);
    sink.U16(static_cast<std::uint16_t>(text.size() + 1));
    sink.Text(text);
    sink.U8(0);
}

void U32Record(ByteSink& sink, std::uint16_t code, std::uint32_t value) {
    sink.U16(code);
    sink.U16(4);
    sink.U32(value);
}

// FILETIME: 100 ns units since 1601.
std::uint64_t FileTime(std::uint32_t unixSeconds) {
    return (std::uint64_t{unixSeconds} + 11644473600ull) * 10000000ull;
}

}  // namespace

StringPool::StringPool() : bytes_(1, 0) {
    offsets_.emplace("", 0);
}

std::uint32_t StringPool::Add(std::string_view text) {
    if (const auto it = offsets_.find(text); it != offsets_.end()) {
        return it->second;
    }
    const std::size_t need = text.size() + 1;
    const std::size_t used = bytes_.size() % kBlock;
    if (need <= kBlock && used + need > kBlock) {
        bytes_.resize(bytes_.size() + (kBlock - used), 0);
    }
    const auto offset = static_cast<std::uint32_t>(bytes_.size());
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    bytes_.push_back(0);
    offsets_.emplace(std::string(text), offset);
    return offset;
}

std::vector<std::uint8_t> SystemFile(const SystemInfo& info) {
    ByteSink sink;
    sink.U32(3);  // version
    U32Record(sink, kTimestamp, info.timestamp);
    StringRecord(sink, kCompilerName, kCompilerVersion);

    sink.U16(kLanguage);
    sink.U16(36);
    sink.U32(info.lcid);
    sink.U32(0);  // no DBCS
    sink.U32(info.fullTextSearch ? 1 : 0);
    sink.U32(0);  // no keyword links
    sink.U32(0);  // no associative links
    sink.U64(FileTime(info.timestamp));
    sink.U32(0);
    sink.U32(0);

    if (!info.defaultTopic.empty()) {
        StringRecord(sink, kDefaultTopic, info.defaultTopic);
    }
    if (!info.title.empty()) {
        StringRecord(sink, kTitle, info.title);
    }
    if (!info.defaultFont.empty()) {
        StringRecord(sink, kDefaultFont, info.defaultFont);
    }
    StringRecord(sink, kCompiledName, info.compiledName);
    // A default window names its own contents and index.
    if (info.defaultWindow.empty()) {
        if (!info.contentsFile.empty()) {
            StringRecord(sink, kContentsFile, info.contentsFile);
        }
        if (!info.indexFile.empty()) {
            StringRecord(sink, kIndexFile, info.indexFile);
        }
    } else {
        StringRecord(sink, kDefaultWindow, info.defaultWindow);
    }
    U32Record(sink, kInfoTypeCount, 0);
    U32Record(sink, kInfoTypeChecksum, 0);
    return sink.Take();
}

std::vector<std::uint8_t> WindowsFile(const std::vector<hhp::Window>& windows,
                                      StringPool& strings) {
    ByteSink sink;
    sink.U32(static_cast<std::uint32_t>(windows.size()));
    sink.U32(kWindowEntrySize);
    for (const hhp::Window& w : windows) {
        const std::size_t start = sink.Size();
        // Strings enter the pool in the order name, caption, files.
        const std::uint32_t name = strings.Add(w.name);
        const std::uint32_t caption = strings.Add(w.caption);
        const std::uint32_t contents = strings.Add(w.contentsFile);
        const std::uint32_t index = strings.Add(w.indexFile);
        const std::uint32_t defaultTopic = strings.Add(w.defaultTopic);
        const std::uint32_t home = strings.Add(w.homeTopic);
        const std::uint32_t jump1Text = strings.Add(w.jump1Text);
        const std::uint32_t jump2Text = strings.Add(w.jump2Text);
        const std::uint32_t jump1Url = strings.Add(w.jump1Url);
        const std::uint32_t jump2Url = strings.Add(w.jump2Url);

        std::uint32_t valid = kTabPosition;
        const auto flag = [&](const auto& field, std::uint32_t bit) {
            if (field) {
                valid |= bit;
            }
        };
        flag(w.navStyle, kProperties);
        flag(w.style, kStyles);
        flag(w.exStyle, kExStyles);
        flag(w.position, kRect);
        flag(w.navWidth, kNavWidth);
        flag(w.showState, kShowState);
        flag(w.buttons, kToolbarFlags);
        flag(w.navClosed, kExpansion);
        flag(w.defaultTab, kCurrentTab);

        const std::array<std::int32_t, 4> rect = w.position.value_or(std::array<std::int32_t, 4>{});
        sink.U32(kWindowEntrySize);
        sink.U32(0);  // strings are 8-bit
        sink.U32(name);
        sink.U32(valid);
        sink.U32(w.navStyle.value_or(0));
        sink.U32(caption);
        sink.U32(w.style.value_or(0));
        sink.U32(w.exStyle.value_or(0));
        for (const std::int32_t v : rect) {
            sink.U32(static_cast<std::uint32_t>(v));
        }
        sink.U32(w.showState.value_or(0));
        sink.Zeros(6 * 4);  // window handles and info-type pointer: run-time only
        sink.U32(w.navWidth.value_or(0));
        sink.Zeros(4 * 4);  // HTML pane rectangle
        sink.U32(contents);
        sink.U32(index);
        sink.U32(defaultTopic);
        sink.U32(home);
        sink.U32(w.buttons.value_or(0));
        sink.U32(w.navClosed.value_or(0));
        sink.U32(w.defaultTab.value_or(0));
        sink.U32(w.tabPosition.value_or(0));
        sink.U32(w.notifyId.value_or(0));
        sink.Zeros(20);  // tab order
        sink.U32(0);     // history count
        sink.U32(jump1Text);
        sink.U32(jump2Text);
        sink.U32(jump1Url);
        sink.U32(jump2Url);
        sink.Zeros(4 * 4);  // minimum size
        sink.U32(0);        // info types
        sink.U32(0);        // custom tabs
        sink.Zeros(start + kWindowEntrySize - sink.Size());
    }
    return sink.Take();
}

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

}  // namespace hhc::chm
