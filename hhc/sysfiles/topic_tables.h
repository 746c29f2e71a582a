// The topic tables: #TOPICS (one 16-byte record per page: title in #STRINGS, address in
// #URLTBL), #URLTBL (records pointing into #URLSTR, in blocks of 4096 bytes), #URLSTR (the
// addresses, never across a 16 KiB block), and #IDXHDR.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hhc/sysfiles/string_pool.h"

namespace hhc::sysfiles {

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

}  // namespace hhc::sysfiles
