// Text from a project (file names, option values) on its way to a terminal: control characters
// other than TAB, LF and CR are shown in caret notation (ESC as "^[") or, for the C1 controls a
// terminal may also obey, as "\u009b" (UTF-8) or "\x9b" (a lone byte), so a project cannot send
// escape sequences to the user's terminal. Everything else passes unchanged.
#pragma once

#include <string>
#include <string_view>

namespace hhc {

std::string VisibleText(std::string_view text);

}  // namespace hhc
