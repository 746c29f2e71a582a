// The internal files viewers read: #SYSTEM (default topic, title, window, language, ...),
// #STRINGS (a pool of NUL-terminated strings addressed by offset), #WINDOWS (window
// definitions pointing into #STRINGS), the topic tables #TOPICS, #URLTBL, #URLSTR, and
// #IDXHDR. Strings are copied as bytes in the project's own code page.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "hhc/hhp/project.h"

namespace hhc::chm {

// Offset 0 holds the empty string, so 0 means "none". A string never straddles a 4096-byte
// block, because viewers read the pool block by block; equal strings share one offset.
class StringPool {
public:
    StringPool();
    std::uint32_t Add(std::string_view text);

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::map<std::string, std::uint32_t, std::less<>> offsets_;
};

struct SystemInfo {
    std::string defaultTopic;  // stored name without the leading '/'
    std::string title;
    std::string defaultWindow;
    std::string compiledName;  // output base name, lower case, no extension
    std::string contentsFile;
    std::string indexFile;
    std::string defaultFont;
    std::uint32_t lcid = 0x0409;
    std::uint32_t timestamp = 0;  // seconds since 1970
    bool fullTextSearch = false;  // $FIftiMain is written
};

std::vector<std::uint8_t> SystemFile(const SystemInfo& info);

// Window topic and file fields must already name stored files (no leading '/').
std::vector<std::uint8_t> WindowsFile(const std::vector<hhp::Window>& windows, StringPool& strings);

// A page the viewer lists under its title (tabs, search results, history).
struct Topic {
    std::string path;   // stored name without the leading '/'
    std::string title;  // in the file's code page; empty when the page has none
};

struct TopicTables {
    std::vector<std::uint8_t> topics, urlTable, urlStrings;
};

// Titles go into `strings`.
TopicTables BuildTopicTables(const std::vector<Topic>& topics, StringPool& strings);

std::vector<std::uint8_t> IndexHeader(std::uint32_t topicCount, std::uint32_t timestamp);

}  // namespace hhc::chm
