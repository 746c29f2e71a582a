// The ::DataSpace name list and transform list: which sections exist and which transform
// (LZX) the compressed one goes through.
#pragma once

#include <cstdint>
#include <vector>

namespace hhc::chm {

inline constexpr const char* kNameListName = "::DataSpace/NameList";
inline constexpr const char* kTransformListName = "::DataSpace/Storage/MSCompressed/Transform/List";
inline constexpr const char* kLzxTransformGuid = "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}";

// Section 0 "Uncompressed", section 1 "MSCompressed", in UTF-16 with terminators.
std::vector<std::uint8_t> NameList();
// The transform GUID's first 19 UTF-16 characters: a byte count was written where the
// character count belonged, and readers expect the file as it has always been.
std::vector<std::uint8_t> TransformList();

}  // namespace hhc::chm
