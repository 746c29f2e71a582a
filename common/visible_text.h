// Text from a server or a project (headers, file names, option values) on its way to a
// terminal or a message box, made unable to act on the terminal: C0 controls other than TAB,
// LF and CR, and DEL, in caret notation ("^[", "^?"); the C1 controls U+0080..U+009F, which
// terminals also obey, as the ESC sequence they stand for ("^[[" for U+009B, the one-character
// CSI); and every byte that is not part of well-formed UTF-8 as "\xNN". Everything else passes
// unchanged, so the result is well-formed UTF-8 and showing it twice changes nothing.
#pragma once

#include <string>
#include <string_view>

namespace common {

std::string VisibleText(std::string_view text);

}  // namespace common
