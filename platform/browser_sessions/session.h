// What a browser's session file says is open: its windows, each window's tabs by the address
// of the entry the tab shows, and which window and tab were in front. Both readers fill it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace platform::browser_sessions {

struct SessionWindow {
    std::vector<std::string> tabs;        // in tab-strip order; "" for a tab without an entry
    std::optional<std::size_t> selected;  // 0-based into `tabs`
};

struct Session {
    std::vector<SessionWindow> windows;  // in the browser's own order
    std::optional<std::size_t> active;   // 0-based into `windows`
};

}  // namespace platform::browser_sessions
