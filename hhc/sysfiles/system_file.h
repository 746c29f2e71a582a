// #SYSTEM: what a viewer reads first (default topic, title, window, language, compiled name),
// as a version word and then records of code, length, data; string data carries its NUL in
// the length. Strings are copied as bytes in the file's code page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hhc::sysfiles {

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

// Throws hhc::Error for a text of 65,535 bytes or more, which no record can hold.
std::vector<std::uint8_t> SystemFile(const SystemInfo& info);

}  // namespace hhc::sysfiles
