// The Qt that the programs run on, for `--version`; korva-convert has no Qt headers of its own.
#pragma once

#include <string>

namespace settings {

// "Qt 6.4.2": the library loaded, which may be newer than the one built against.
std::string QtVersion();

}  // namespace settings
