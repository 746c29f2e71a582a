// A small HTML tokenizer: enough of the browsers' states to tell text from markup. A '<' that
// starts no tag is text; a quote opens a quoted value only after '=', so a stray apostrophe in a
// tag does not swallow the page; a raw-text end tag ends at "</script" followed by a blank, '/'
// or '>'.
#include "hhc/fts/text_scanner.h"

#include "common/ascii.h"
#include "common/html/entities.h"
#include "hhc/fts/page_decoder.h"

namespace hhc::fts {

namespace {

constexpr std::size_t kMaxReference = 40;  // longer than every named reference
constexpr std::size_t kMaxTagName = 10;    // enough to know script, style and title

bool IsAsciiLetter(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsBlank(char32_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// Tag names are ASCII; any other character just fails to match one.
char LowerTagLetter(char32_t c) {
    return c < 0x80 ? common::FoldAscii(static_cast<char>(c)) : '?';
}

}  // namespace

void TextScanner::PutMarkup(char32_t c) {
    switch (state_) {
        case State::kText:
            Text(c);
            break;
        case State::kReference:
            Reference(c);
            break;
        case State::kTagOpen:
            if (IsAsciiLetter(c)) {
                state_ = State::kTagName;
                endTag_ = false;
                tagName_.assign(1, LowerTagLetter(c));
            } else if (c == '/') {
                state_ = State::kEndTagOpen;
            } else if (c == '!') {
                state_ = State::kBang;
            } else if (c == '?') {
                state_ = State::kBogus;
            } else {
                state_ = State::kText;
                Put(c);
            }
            break;
        case State::kEndTagOpen:
            endTag_ = true;
            tagName_.assign(1, LowerTagLetter(c));
            state_ = IsAsciiLetter(c) ? State::kTagName : c == '>' ? State::kText : State::kBogus;
            break;
        case State::kTagName:
            TagName(c);
            break;
        case State::kAttributes:
            Attributes(c);
            break;
        case State::kQuoted:
            if (c == quote_) {
                state_ = State::kAttributes;
            }
            break;
        case State::kBang:
            state_ = c == '-' ? State::kBangDash : c == '>' ? State::kText : State::kBogus;
            break;
        case State::kBangDash:
            state_ = c == '-' ? State::kComment : c == '>' ? State::kText : State::kBogus;
            dashes_ = 0;
            break;
        case State::kComment:
            if (c == '>' && dashes_ >= 2) {
                state_ = State::kText;
            }
            dashes_ = c == '-' ? dashes_ + 1 : 0;
            break;
        case State::kBogus:
            if (c == '>') {
                state_ = State::kText;
            }
            break;
        case State::kRawText:
            RawText(c);
            break;
    }
}

void TextScanner::Text(char32_t c) {
    if (c == '<') {
        words_.Break();
        state_ = State::kTagOpen;
    } else if (c == '&') {
        reference_.assign(1, '&');
        state_ = State::kReference;
    } else {
        words_.Put(c);
    }
}

void TextScanner::Reference(char32_t c) {
    const bool nameCharacter = IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '#';
    if (nameCharacter && reference_.size() < kMaxReference) {
        reference_.push_back(static_cast<char>(c));
        return;
    }
    if (c == ';') {
        reference_.push_back(';');
        EndReference();
        return;
    }
    EndReference();
    Put(c);
}

// What the reference stands for, or its text when it stands for nothing.
void TextScanner::EndReference() {
    state_ = State::kText;
    const std::string decoded =
        common::html::DecodeEntities(reference_, common::html::Encoding::kUtf8);
    PageDecoder utf8;
    utf8.Feed(decoded, [this](char32_t c) { words_.Put(c); });
}

void TextScanner::TagName(char32_t c) {
    if (c == '>') {
        EndTag();
    } else if (IsBlank(c) || c == '/') {
        state_ = State::kAttributes;
        afterEquals_ = false;
    } else if (tagName_.size() < kMaxTagName) {
        tagName_.push_back(LowerTagLetter(c));
    }
}

void TextScanner::Attributes(char32_t c) {
    if (c == '>') {
        EndTag();
    } else if ((c == '"' || c == '\'') && afterEquals_) {
        quote_ = c;
        state_ = State::kQuoted;
        afterEquals_ = false;
    } else if (c == '=') {
        afterEquals_ = true;
    } else if (!IsBlank(c)) {
        afterEquals_ = false;
    }
}

void TextScanner::EndTag() {
    state_ = State::kText;
    if (tagName_ == "title") {
        inTitle_ = !endTag_ && !titleSeen_;
        titleSeen_ = true;
    } else if (!endTag_ && (tagName_ == "script" || tagName_ == "style")) {
        rawEnd_ = "</" + tagName_;
        rawMatched_ = 0;
        state_ = State::kRawText;
    }
}

void TextScanner::RawText(char32_t c) {
    if (rawMatched_ == rawEnd_.size()) {
        if (IsBlank(c) || c == '/' || c == '>') {
            endTag_ = true;
            state_ = State::kAttributes;
            Attributes(c);
            return;
        }
        rawMatched_ = 0;
    }
    if (LowerTagLetter(c) == rawEnd_[rawMatched_]) {
        ++rawMatched_;
    } else {
        rawMatched_ = LowerTagLetter(c) == '<' ? 1 : 0;
    }
}

void TextScanner::Finish() {
    if (state_ == State::kReference) {
        EndReference();
    }
    words_.Break();
}

}  // namespace hhc::fts
