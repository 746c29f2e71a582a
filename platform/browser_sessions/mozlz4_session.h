// Firefox's session store (also LibreWolf's and Waterfox's): "mozLz40\0", the size of the
// JSON as a 32-bit little-endian number, then one LZ4 block holding the JSON. Only the open
// windows are read; closed windows and tabs kept for undo are not open pages.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/browser_sessions/session.h"

namespace platform::browser_sessions {

// The session in `file`'s bytes; nothing when the magic, the size, the block or the JSON is
// wrong. A tab shows entries[index - 1] (index counts from 1; missing means the last entry,
// and it is held to the entries there are); a window's "selected" and the session's
// "selectedWindow" count from 1 as well.
std::optional<Session> ReadMozLz4Session(std::string_view file);

// "liblz4 1.9.4": the library loaded, which may be newer than the one built against.
std::string Lz4Version();

}  // namespace platform::browser_sessions
