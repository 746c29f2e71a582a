// Browser session files written from the formats' descriptions, for the session readers'
// tests and benchmark: Firefox's mozLz4 container and Chromium's SNSS command log.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace support {

// "mozLz40\0", the size of `json` as 32-bit little-endian, then `json` as one LZ4 block.
std::string MozLz4File(std::string_view json);

// The SNSS command ids the fixtures use, as Chromium writes them.
namespace snss {
enum : std::uint8_t {
    kTabWindow = 0,           // window id, tab id
    kTabPosition = 2,         // tab id, position in the tab strip
    kSelectedNavigation = 7,  // tab id, navigation index
    kSelectedTab = 8,         // window id, tab-strip position
    kTabClosed = 16,          // tab id, close time (64-bit, after 4 bytes of padding)
    kWindowClosed = 17,       // window id, close time
    kActiveWindow = 20,       // window id
    kPruned = 24,             // tab id, first navigation index, count
};
}  // namespace snss

// An SNSS log built command by command, all numbers little-endian.
class SnssWriter {
public:
    explicit SnssWriter(std::int32_t version = 3, std::string_view magic = "SNSS");

    // A command whose payload is 32-bit integers (most of them).
    SnssWriter& Command(std::uint8_t id, std::initializer_list<std::int32_t> values);

    // Command 6: a pickle of tab id, navigation index, URL, title and page state.
    SnssWriter& Navigation(std::int32_t tab, std::int32_t index, std::string_view url,
                           std::string_view pageState = "");

    SnssWriter& Marker() { return Command(255, {}); }

    const std::string& bytes() const { return bytes_; }

private:
    void Append(std::uint8_t id, std::string_view payload);

    std::string bytes_;
};

}  // namespace support
