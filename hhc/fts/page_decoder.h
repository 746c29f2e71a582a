// A page's bytes as characters while they arrive in pieces: UTF-8 where they are well-formed
// UTF-8, else each byte as its Windows-1252 character (the five bytes that code page leaves
// undefined as the C1 control of the same number), so no byte is lost and a byte of another
// code page comes back out of the index unchanged. A page that does not say its encoding is
// read right either way, as long as its text is one or the other.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "common/html/encoding.h"

namespace hhc::fts {

// The character a byte that is not part of well-formed UTF-8 stands for.
char32_t LoneByteCharacter(std::uint8_t byte);

class PageDecoder {
public:
    // Calls put(char32_t) for every character the piece completes.
    template <class Put>
    void Feed(std::string_view piece, Put&& put) {
        for (std::size_t i = 0; i < piece.size(); ++i) {
            const auto byte = static_cast<std::uint8_t>(piece[i]);
            if (byte < 0x80 && pendingSize_ == 0) {
                put(char32_t{byte});
                continue;
            }
            switch (utf8_.Feed(byte)) {
                case common::html::Utf8Decoder::Step::kMore:
                    pending_[pendingSize_++] = byte;
                    break;
                case common::html::Utf8Decoder::Step::kCharacter:
                    pendingSize_ = 0;
                    put(utf8_.CodePoint());
                    break;
                case common::html::Utf8Decoder::Step::kInvalid:
                    put(LoneByteCharacter(byte));
                    break;
                case common::html::Utf8Decoder::Step::kBroken:
                    Finish(put);
                    --i;  // the byte may start a character of its own
                    break;
            }
        }
    }

    // The bytes of a character the page broke off, one character each.
    template <class Put>
    void Finish(Put&& put) {
        for (std::size_t k = 0; k < pendingSize_; ++k) {
            put(LoneByteCharacter(pending_[k]));
        }
        pendingSize_ = 0;
        utf8_ = common::html::Utf8Decoder();
    }

private:
    common::html::Utf8Decoder utf8_;
    std::array<std::uint8_t, 3> pending_{};
    std::size_t pendingSize_ = 0;
};

}  // namespace hhc::fts
