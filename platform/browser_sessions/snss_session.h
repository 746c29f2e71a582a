// Chromium's session log (also Chrome's, Brave's, Vivaldi's and Edge's): "SNSS", a 32-bit
// version, then commands, each a 16-bit size (counting the id byte), an 8-bit id and a payload,
// all little-endian. The log is replayed; commands not needed for the open pages are skipped.
#pragma once

#include <optional>
#include <string_view>

#include "platform/browser_sessions/session.h"

namespace platform::browser_sessions {

// The session in `file`'s bytes, read from a cleartext log (version 1, or 3 with its marker
// after the initial state); nothing for another magic or version, or a version-3 log whose
// initial state was never completed. A command cut short by the end of the file is a write in
// progress: what came before it stands. Windows come in the order they were opened, tabs in
// their tab-strip order.
std::optional<Session> ReadSnssSession(std::string_view file);

}  // namespace platform::browser_sessions
