// The language a compiled file declares, and so the code page its readers take its strings in.
// Every reader decodes #STRINGS (titles, window captions) and #SYSTEM's texts by the LCID of
// #SYSTEM's language record; kchmviewer also serves every page in that code page, over the
// page's own <meta> declaration, and aborts on LCID 0. It knows no LCID that means UTF-8 and
// falls back to UTF-8 for one it does not know, as xCHM (the system's encoding) and chmsee (the
// page's declaration) do; the Windows viewer takes an unknown language as the user's own.
#pragma once

#include <cstdint>
#include <optional>

#include "common/html/encoding.h"

namespace hhc::sysfiles {

inline constexpr std::uint32_t kUsEnglish = 0x0409;
// LANG_NEUTRAL with SUBLANG_DEFAULT: "the reader's own language".
inline constexpr std::uint32_t kUserDefaultLanguage = 0x0400;

struct CodePage {
    std::uint32_t lcid;
    common::html::Encoding encoding;  // of every string the file holds

    bool operator==(const CodePage&) const = default;
};

// The code page readers take for `lcid`: Windows-1252 for the western languages, UTF-8 for
// the reader's own language (which every reader on Linux takes as UTF-8), else another one.
common::html::Encoding EncodingOfLanguage(std::uint32_t lcid);

// A project that names its language gets it. One that does not gets US English, unless a page
// is in UTF-8: then the reader's own language, which every reader on Linux decodes as UTF-8.
CodePage ProjectCodePage(std::optional<std::uint32_t> projectLcid, bool utf8Pages);

}  // namespace hhc::sysfiles
