// The encoding a page is written in, as the page itself tells while its bytes arrive in pieces:
// a UTF-8 byte order mark; else a <meta charset> or <meta http-equiv="Content-Type"
// content="...; charset=..."> within the first 1024 bytes, where browsers look for one; else
// the bytes: text above 127 that is all well-formed UTF-8 is taken for UTF-8, other such text
// for Windows-1252, the browsers' default for undeclared pages in western locales.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/html/encoding.h"

namespace common::html {

// The encoding a charset label names (WHATWG labels, any letter case, blanks around ignored).
Encoding EncodingOfLabel(std::string_view label);

// The label a <meta> tag declares, from its attribute text (what follows "<meta" up to '>').
std::optional<std::string> MetaCharset(std::string_view attributes);

class CharsetSniffer {
public:
    static constexpr std::size_t kPrescanBytes = 1024;

    void Feed(std::string_view piece);

    // Nothing when the page neither declares an encoding nor holds a byte above 127.
    std::optional<Encoding> Result() const;

private:
    std::string head_;
    Utf8Decoder decoder_;
    bool nonAscii_ = false;
    bool malformed_ = false;
};

}  // namespace common::html
