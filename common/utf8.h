// Well-formed UTF-8, read one byte at a time, for every program: the help compiler reads pages
// with it, and text on its way to a terminal is checked with it.
#pragma once

#include <cstdint>

namespace common {

// No overlong forms, surrogates or code points past U+10FFFF.
class Utf8Decoder {
public:
    enum class Step {
        kMore,       // the byte continues a character
        kCharacter,  // the byte ends one: CodePoint() holds it
        kInvalid,    // the byte cannot start a character
        kBroken,     // the byte cannot continue the pending character: feed it again
    };

    Step Feed(std::uint8_t byte);

    char32_t CodePoint() const { return codePoint_; }

    // True between the bytes of one character.
    bool Pending() const { return needed_ > 0; }

private:
    char32_t codePoint_ = 0;
    int needed_ = 0;
    std::uint8_t lower_ = 0x80, upper_ = 0xBF;  // range of the next continuation byte
};

}  // namespace common
