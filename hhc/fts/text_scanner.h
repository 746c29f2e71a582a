// The text of an HTML page as a browser shows it, for the word split: what lies outside tags,
// comments and declarations, without the contents of SCRIPT and STYLE, character references
// decoded. Every tag breaks a word. The first TITLE element's words are told apart, since the
// readers can look for a word in titles only.
#pragma once

#include <string>

#include "hhc/fts/word_split.h"

namespace hhc::fts {

class TextScanner {
public:
    explicit TextScanner(WordSplitter& words) : words_(words) {}

    void Put(char32_t c) {
        if (state_ == State::kText && c != '<' && c != '&') {
            words_.Put(c);
            return;
        }
        PutMarkup(c);
    }

    void Finish();

    // True while the words given to the splitter are those of the first <title>.
    bool InTitle() const { return inTitle_; }

private:
    enum class State {
        kText,
        kReference,   // after '&'
        kTagOpen,     // after '<'
        kEndTagOpen,  // after "</"
        kTagName,
        kAttributes,
        kQuoted,
        kBang,      // after "<!"
        kBangDash,  // after "<!-"
        kComment,   // up to "-->"
        kBogus,     // a declaration or processing instruction, up to '>'
        kRawText,   // SCRIPT or STYLE contents, up to their end tag
    };

    void PutMarkup(char32_t c);
    void Text(char32_t c);
    void Reference(char32_t c);
    void EndReference();
    void TagName(char32_t c);
    void Attributes(char32_t c);
    void EndTag();
    void RawText(char32_t c);

    WordSplitter& words_;
    State state_ = State::kText;
    std::string reference_;  // "&name" so far
    std::string tagName_;    // lower case, cut short
    bool endTag_ = false;
    bool afterEquals_ = false;
    char32_t quote_ = 0;
    int dashes_ = 0;
    std::string rawEnd_;          // "</script" or "</style" while in their contents
    std::size_t rawMatched_ = 0;  // characters of rawEnd_ seen so far
    bool inTitle_ = false;
    bool titleSeen_ = false;
};

}  // namespace hhc::fts
