// Where the compiled file may go. Only a missing path or a regular file is replaced; a symbolic
// link is followed to the regular file it names, and that file is replaced, the link stays.
// Anything else (a folder, a device, a FIFO, a socket, a link to nothing) and a read-only
// file are refused before anything is written.
#pragma once

#include <filesystem>

namespace hhc {

// The path to write to in the end. Throws hhc::Error naming `requested` when it is refused.
std::filesystem::path OutputTarget(const std::filesystem::path& requested);

}  // namespace hhc
