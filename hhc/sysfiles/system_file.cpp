#include "hhc/sysfiles/system_file.h"

#include <string_view>

#include "hhc/chm/byte_sink.h"
#include "hhc/error.h"

namespace hhc::sysfiles {

namespace {

using chm::ByteSink;

constexpr const char* kCompilerVersion = "KORVA hhc 0.9";
constexpr std::size_t kMaxRecordText = 0xFFFF;  // with its NUL, the most a length field says

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

// The project key whose value a #SYSTEM string record carries.
std::string_view KeyOf(std::uint16_t code) {
    switch (code) {
        case kContentsFile:
            return "Contents file";
        case kIndexFile:
            return "Index file";
        case kDefaultTopic:
            return "Default topic";
        case kTitle:
            return "Title";
        case kDefaultWindow:
            return "Default Window";
        case kCompiledName:
            return "Compiled file";
        case kDefaultFont:
            return "Default font";
        default:
            return "a string";
    }
}

// A record's length field is 16 bits and counts the NUL; a longer text would leave the length
// wrapped and every later record misread.
void StringRecord(ByteSink& sink, std::uint16_t code, std::string_view text) {
    if (text.size() >= kMaxRecordText) {
        throw Error(std::string(KeyOf(code)) + " is " + std::to_string(text.size()) +
                    " bytes long; the compiled file holds at most " +
                    std::to_string(kMaxRecordText - 1));
    }
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

}  // namespace hhc::sysfiles
