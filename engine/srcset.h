// The candidates of a srcset attribute ("a.png 1x, b.png 2x"), as browsers split them.
#pragma once

#include <string>
#include <string_view>

#include "engine/reference_map.h"

namespace engine {

// `srcset` with each candidate's address replaced by `map` of it; descriptors, commas and
// blanks stay as written.
std::string RewriteSrcset(std::string_view srcset, const ReferenceMap& map);

}  // namespace engine
