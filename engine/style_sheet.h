// The references of a style sheet: @import's string and every url(...), quoted or not, outside
// comments. Used for stored style sheets, <STYLE> element text and style attributes.
#pragma once

#include <string>
#include <string_view>

#include "engine/reference_map.h"

namespace engine {

// `css` with each reference replaced by `map` of it; empty and same-document ("#...")
// references stay. Everything else is copied byte for byte.
std::string RewriteStyleSheet(std::string_view css, const ReferenceMap& map);

}  // namespace engine
