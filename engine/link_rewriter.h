// Link targets: HREF of A and AREA, ACTION of FORM. They are never downloaded; the link mode
// decides what they point at in the help file.
#pragma once

#include <string_view>

#include "engine/ports.h"
#include "engine/tag_parser.h"

namespace engine {

// Absolute: every target resolved against `base`. External: the same, and the first TARGET
// becomes "_BLANK" (one is appended when there is none), also on a tag without a target.
// Null: every target emptied. Other tags, closing tags included, are left alone.
void AlterLinks(TagRecord& tag, std::string_view base, const Host& host);

}  // namespace engine
