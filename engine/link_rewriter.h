// Link targets: HREF of A, AREA and of a LINK that names no resource, ACTION of FORM. They are
// never downloaded; the link mode decides what they point at in the help file.
#pragma once

#include <string_view>

#include "engine/ports.h"
#include "engine/tag_parser.h"

namespace engine {

// Absolute: every target resolved against `base`, but a same-document one ("#name") kept.
// External: the same, and the first TARGET of an A, AREA or FORM becomes "_BLANK" (one is
// appended when there is none), also on a tag without a target. Null: every target emptied.
// Other tags, closing tags included, are left alone.
void AlterLinks(TagRecord& tag, std::string_view base, const Host& host);

}  // namespace engine
