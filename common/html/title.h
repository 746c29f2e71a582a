// A page's title: the text of its first <title> element, found while the page's bytes arrive in
// pieces of any size, so a large page never has to be held whole. Comments are passed over;
// script and style text is not told apart from markup, as no title hides there in practice.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "common/html/entities.h"

namespace common::html {

class TitleFinder {
public:
    // Raw text beyond this many bytes is dropped: a title is one line in a viewer's list.
    static constexpr std::size_t kMaxRawTitle = 4096;

    void Feed(std::string_view piece);

    // True once the title's end tag has been seen; later pieces are not looked at.
    bool Done() const { return state_ == State::kDone; }

    // The title's raw text so far (a title that the page never closes runs to its end), or
    // nothing when no <title> start tag was seen.
    std::optional<std::string> RawTitle() const;

private:
    enum class State { kMarkup, kComment, kTitleTag, kTitleText, kDone };

    void Step(std::string_view data, std::size_t& at);
    void AddText(std::string_view text);

    State state_ = State::kMarkup;
    bool titleSeen_ = false;
    std::string carry_;  // bytes that may begin a tag or an end marker, kept for the next piece
    std::string text_;
};

// Entities decoded into `encoding` where it holds their characters, runs of HTML white space
// made one blank, none at either end.
std::string CleanTitle(std::string_view raw, Encoding encoding);

// The first <title>'s text of a whole page, cleaned; nothing when it has none.
std::optional<std::string> PageTitle(std::string_view page, Encoding encoding);

}  // namespace common::html
