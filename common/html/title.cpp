// Title scan as a small state machine over the page's pieces. Only a few bytes are ever kept
// between pieces: the start of what may be a tag name or a comment end.
#include "common/html/title.h"

#include <algorithm>

#include "common/ascii.h"

namespace common::html {

namespace {

enum class Match { kNo, kYes, kNeedMore };

bool IsHtmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// Whether `text` starts with `tag` ("<title", "</title", any letter case) followed by what may
// follow a tag name; kNeedMore when `text` ends before that is known.
Match MatchTag(std::string_view text, std::string_view tag) {
    const std::size_t n = std::min(text.size(), tag.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (common::FoldAscii(text[i]) != tag[i]) {
            return Match::kNo;
        }
    }
    if (text.size() <= tag.size()) {
        return Match::kNeedMore;
    }
    const char next = text[tag.size()];
    return IsHtmlSpace(next) || next == '>' || next == '/' ? Match::kYes : Match::kNo;
}

// A well-formed UTF-8 text cut at any byte loses the partial character at its end.
void DropPartialUtf8(std::string& text) {
    std::size_t lead = text.size();
    while (lead > 0 && (static_cast<unsigned char>(text[lead - 1]) & 0xC0) == 0x80 &&
           text.size() - lead < 3) {
        --lead;
    }
    if (lead == 0) {
        return;
    }
    const auto first = static_cast<unsigned char>(text[lead - 1]);
    const std::size_t need = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
    if (text.size() - (lead - 1) < need) {
        text.resize(lead - 1);
    }
}

}  // namespace

void TitleFinder::Feed(std::string_view piece) {
    if (Done()) {
        return;
    }
    std::string joined;
    std::string_view data = piece;
    if (!carry_.empty()) {
        joined = std::move(carry_);
        carry_.clear();
        joined.append(piece);
        data = joined;
    }
    std::size_t at = 0;
    while (at < data.size() && !Done()) {
        Step(data, at);
    }
}

void TitleFinder::Step(std::string_view data, std::size_t& at) {
    switch (state_) {
        case State::kMarkup: {
            const std::size_t lt = data.find('<', at);
            if (lt == std::string_view::npos) {
                at = data.size();
                return;
            }
            const std::string_view rest = data.substr(lt);
            const Match title = MatchTag(rest, "<title");
            if (rest.starts_with("<!--")) {
                state_ = State::kComment;
                at = lt + 4;
            } else if (title == Match::kNeedMore || std::string_view("<!--").starts_with(rest)) {
                carry_ = rest;
                at = data.size();
            } else if (title == Match::kYes) {
                state_ = State::kTitleTag;
                titleSeen_ = true;
                at = lt + 6;
            } else {
                at = lt + 1;
            }
            return;
        }
        case State::kComment: {
            const std::size_t end = data.find("-->", at);
            if (end == std::string_view::npos) {
                const std::size_t keep = std::min<std::size_t>(2, data.size() - at);
                carry_ = data.substr(data.size() - keep);
                at = data.size();
            } else {
                state_ = State::kMarkup;
                at = end + 3;
            }
            return;
        }
        case State::kTitleTag: {
            const std::size_t gt = data.find('>', at);
            at = gt == std::string_view::npos ? data.size() : gt + 1;
            if (gt != std::string_view::npos) {
                state_ = State::kTitleText;
            }
            return;
        }
        case State::kTitleText: {
            std::size_t lt = data.find('<', at);
            while (lt != std::string_view::npos) {
                const Match end = MatchTag(data.substr(lt), "</title");
                if (end != Match::kNo) {
                    AddText(data.substr(at, lt - at));
                    if (end == Match::kYes) {
                        state_ = State::kDone;
                    } else {
                        carry_ = data.substr(lt);
                    }
                    at = data.size();
                    return;
                }
                lt = data.find('<', lt + 1);
            }
            AddText(data.substr(at));
            at = data.size();
            return;
        }
        case State::kDone:
            at = data.size();
            return;
    }
}

void TitleFinder::AddText(std::string_view text) {
    text_.append(text.substr(0, kMaxRawTitle - text_.size()));
    if (text_.size() == kMaxRawTitle) {
        state_ = State::kDone;
    }
}

std::optional<std::string> TitleFinder::RawTitle() const {
    if (!titleSeen_) {
        return std::nullopt;
    }
    // A page that ends inside "</titl" ends its title with those bytes.
    if (state_ == State::kTitleText) {
        return (text_ + carry_).substr(0, kMaxRawTitle);
    }
    return text_;
}

std::string CleanTitle(std::string_view raw, Encoding encoding) {
    const std::string decoded = DecodeEntities(raw, encoding);
    std::string out;
    bool blank = false;
    for (const char c : decoded) {
        if (IsHtmlSpace(c)) {
            blank = !out.empty();
            continue;
        }
        if (blank) {
            out.push_back(' ');
            blank = false;
        }
        out.push_back(c);
    }
    if (encoding == Encoding::kUtf8) {
        DropPartialUtf8(out);
    }
    return out;
}

std::optional<std::string> PageTitle(std::string_view page, Encoding encoding) {
    TitleFinder finder;
    finder.Feed(page);
    const std::optional<std::string> raw = finder.RawTitle();
    if (!raw) {
        return std::nullopt;
    }
    return CleanTitle(*raw, encoding);
}

}  // namespace common::html
