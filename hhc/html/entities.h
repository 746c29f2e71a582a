// HTML character references (&amp;, &eacute;, &#233;, &#xE9;) decoded into the bytes of a target
// encoding. A reference is decoded only when it is well formed (named ones of HTML 4 plus
// &apos;, numeric ones of a valid code point, each ended by ';') and the target can hold its
// character; anything else stays as written, so no text is lost.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace hhc::html {

enum class Encoding {
    kUtf8,
    kWindows1252,
    // Any other code page: only ASCII characters are known to exist in it.
    kOtherCodePage,
};

// The bytes of `codePoint` in `encoding`, appended to `out`; false (and `out` unchanged) when
// the encoding has no such character.
bool AppendCharacter(char32_t codePoint, Encoding encoding, std::string& out);

// The code point a named reference stands for ("eacute" -> U+00E9); names are case-sensitive.
std::optional<char32_t> NamedEntity(std::string_view name);

std::string DecodeEntities(std::string_view text, Encoding encoding);

}  // namespace hhc::html
