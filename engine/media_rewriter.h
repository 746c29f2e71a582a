// Images, backgrounds, frame pages, scripts, linked files and, in complete mode, media
// sources, srcset candidates and style attributes: each reference is handed to the linker
// and replaced by what it returns. The link mode plays no part here.
#pragma once

#include <span>
#include <string_view>

#include "engine/resource_linker.h"
#include "engine/tag_parser.h"

namespace engine {

// SRC of IMG and INPUT; BACKGROUND of BODY, TABLE and TD. Complete mode adds SRCSET of IMG
// and SOURCE, SRC of SOURCE, AUDIO, VIDEO, TRACK and EMBED, POSTER of VIDEO, DATA of OBJECT.
void AlterImages(TagRecord& tag, ResourceLinker& linker);

// SRC of FRAME and SCRIPT; HREF of a LINK that names a resource. Complete mode adds SRC of
// IFRAME. A frame page is converted, nested, before this returns.
void AlterFrames(TagRecord& tag, ResourceLinker& linker);

// Complete mode: the style sheet in any tag's STYLE attribute.
void AlterStyles(TagRecord& tag, ResourceLinker& linker);

// A LINK without REL, or whose REL names something the page uses (a style sheet, an icon, a
// preload). Any other LINK (next, alternate, canonical ...) is a link, not a resource.
bool IsResourceLink(const TagRecord& tag);

// Whether the tag's REL holds one of the `wanted` tokens, letter case ignored.
bool RelHasAny(const TagRecord& tag, std::span<const std::string_view> wanted);

}  // namespace engine
