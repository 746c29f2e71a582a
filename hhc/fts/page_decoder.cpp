// The byte fallback of the page decoder.
#include "hhc/fts/page_decoder.h"

namespace hhc::fts {

char32_t LoneByteCharacter(std::uint8_t byte) {
    const char32_t c = common::html::Windows1252Character(byte);
    return c != 0 ? c : char32_t{byte};
}

}  // namespace hhc::fts
