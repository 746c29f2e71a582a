// #WINDOWS: the project's window definitions, 196 bytes each, pointing into #STRINGS.
#pragma once

#include <cstdint>
#include <vector>

#include "hhc/hhp/project.h"
#include "hhc/sysfiles/string_pool.h"

namespace hhc::sysfiles {

// Window topic and file fields must already name stored files (no leading '/').
std::vector<std::uint8_t> WindowsFile(const std::vector<hhp::Window>& windows, StringPool& strings);

}  // namespace hhc::sysfiles
