// Reads what the stand-in compiler wrote: name line, size line, bytes, one file after another.
#pragma once

#include <map>
#include <string>

namespace support {

// Stored name -> bytes; the project file comes first under its own name.
std::map<std::string, std::string> ReadStandInChm(const std::string& path);

}  // namespace support
