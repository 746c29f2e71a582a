// The text encodings the help compiler tells apart: UTF-8, Windows-1252 (which browsers also
// read for ISO-8859-1 and ASCII), and any other code page, whose bytes are passed on as they
// are because no table for it is kept.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/utf8.h"

namespace common::html {

enum class Encoding {
    kUtf8,
    kWindows1252,
    // Any other code page: only ASCII characters are known to exist in it.
    kOtherCodePage,
};

using common::Utf8Decoder;

// The bytes of `codePoint` in `encoding`, appended to `out`; false (and `out` unchanged) when
// the encoding has no such character.
bool AppendCharacter(char32_t codePoint, Encoding encoding, std::string& out);

// The character of a Windows-1252 byte; 0 for the five bytes the code page leaves undefined.
char32_t Windows1252Character(std::uint8_t byte);

// `text` in `from` rewritten in `to`. A character `to` cannot hold, or a byte that is not
// well-formed UTF-8, becomes '?', as Windows converts; text from or to another code page passes
// unchanged.
std::string Transcode(std::string_view text, Encoding from, Encoding to);

}  // namespace common::html
