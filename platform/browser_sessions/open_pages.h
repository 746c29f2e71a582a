// The addresses of the pages open in the user's browsers, read from the browsers' own session
// files while they run (or as they left them), never by asking a browser.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/browser_sessions/profiles.h"

namespace platform::browser_sessions {

// Session files over this size are passed over unread.
constexpr std::uintmax_t kMaxSessionFileSize = 64u << 20;

// Only http, https and file addresses, in enumeration order: the most recently written
// session file last; within a file the front window last, and within a window the tab in
// front last. So a list built by putting each address on top starts with the page the user
// was looking at. Duplicates stay. Never throws: a file that can't be found, read or
// understood adds nothing, and nothing is reported.
std::vector<std::string> OpenPageAddresses(const UserFolders& folders);

// The same for the user running the program: $HOME, and $XDG_CONFIG_HOME or ~/.config.
std::vector<std::string> OpenPageAddresses();

}  // namespace platform::browser_sessions
