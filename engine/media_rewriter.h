// Images, backgrounds, frame pages, scripts and linked files: each reference is resolved,
// handed to SaveFile, and replaced by the local name it returns ("" when nothing was stored).
// The link mode plays no part here.
#pragma once

#include <string_view>

#include "engine/ports.h"
#include "engine/tag_parser.h"

namespace engine {

// SRC of IMG and INPUT; BACKGROUND of BODY, TABLE and TD.
void AlterImages(TagRecord& tag, std::string_view base, ResourceSaver& saver);

// SRC of FRAME and SCRIPT; HREF of LINK. A frame page is converted, nested, before this
// returns.
void AlterFrames(TagRecord& tag, std::string_view base, ResourceSaver& saver);

}  // namespace engine
