#include "common/utf8.h"

namespace common {

Utf8Decoder::Step Utf8Decoder::Feed(std::uint8_t byte) {
    if (needed_ > 0) {
        if (byte < lower_ || byte > upper_) {
            needed_ = 0;
            return Step::kBroken;
        }
        codePoint_ = (codePoint_ << 6) | (byte & 0x3Fu);
        lower_ = 0x80;
        upper_ = 0xBF;
        return --needed_ == 0 ? Step::kCharacter : Step::kMore;
    }
    if (byte < 0x80) {
        codePoint_ = byte;
        return Step::kCharacter;
    }
    // The second byte's range rules out overlong forms, surrogates and values past U+10FFFF.
    if (byte >= 0xC2 && byte <= 0xDF) {
        needed_ = 1;
        codePoint_ = byte & 0x1Fu;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
        needed_ = 2;
        codePoint_ = byte & 0x0Fu;
        lower_ = byte == 0xE0 ? 0xA0 : 0x80;
        upper_ = byte == 0xED ? 0x9F : 0xBF;
    } else if (byte >= 0xF0 && byte <= 0xF4) {
        needed_ = 3;
        codePoint_ = byte & 0x07u;
        lower_ = byte == 0xF0 ? 0x90 : 0x80;
        upper_ = byte == 0xF4 ? 0x8F : 0xBF;
    } else {
        return Step::kInvalid;
    }
    return Step::kMore;
}

}  // namespace common
