// Primary languages whose Windows code page is 1252, from the table of national language
// support: the low ten bits of an LCID.
#include "hhc/sysfiles/code_page.h"

#include <algorithm>
#include <array>

namespace hhc::sysfiles {

namespace {

constexpr std::array<std::uint32_t, 20> kWestern = {
    0x03,  // Catalan
    0x06,  // Danish
    0x07,  // German
    0x09,  // English
    0x0A,  // Spanish
    0x0B,  // Finnish
    0x0C,  // French
    0x0F,  // Icelandic
    0x10,  // Italian
    0x13,  // Dutch
    0x14,  // Norwegian
    0x16,  // Portuguese
    0x1D,  // Swedish
    0x21,  // Indonesian
    0x2D,  // Basque
    0x36,  // Afrikaans
    0x38,  // Faroese
    0x3E,  // Malay
    0x41,  // Swahili
    0x56,  // Galician
};

}  // namespace

common::html::Encoding EncodingOfLanguage(std::uint32_t lcid) {
    if (lcid == kUserDefaultLanguage) {
        return common::html::Encoding::kUtf8;
    }
    const std::uint32_t primary = lcid & 0x3FF;
    return std::find(kWestern.begin(), kWestern.end(), primary) != kWestern.end()
               ? common::html::Encoding::kWindows1252
               : common::html::Encoding::kOtherCodePage;
}

CodePage ProjectCodePage(std::optional<std::uint32_t> projectLcid, bool utf8Pages) {
    const std::uint32_t lcid = projectLcid.value_or(utf8Pages ? kUserDefaultLanguage : kUsEnglish);
    return CodePage{lcid, EncodingOfLanguage(lcid)};
}

}  // namespace hhc::sysfiles
