// HTML character references (&amp;, &eacute;, &#233;, &#xE9;) decoded into the bytes of a target
// encoding. A reference is decoded only when it is well formed (named ones of HTML 4 plus
// &apos;, numeric ones of a valid code point, each ended by ';') and the target can hold its
// character; anything else stays as written, so no text is lost.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/html/encoding.h"

namespace common::html {

// The code point a named reference stands for ("eacute" -> U+00E9); names are case-sensitive.
std::optional<char32_t> NamedEntity(std::string_view name);

std::string DecodeEntities(std::string_view text, Encoding encoding);

}  // namespace common::html
