// A single forward pass over the sheet. Comments and strings are stepped over whole, so a
// "url(" inside either is never read; a string right after @import is an address.
#include "engine/style_sheet.h"

#include <algorithm>

#include "engine/text.h"

namespace engine {

namespace {

constexpr ByteSet kBlanks(" \t\r\n\f");
constexpr ByteSet kNeedQuotes(" \t\r\n\f\"'()\\");

class SheetRewriter {
public:
    SheetRewriter(std::string_view css, const ReferenceMap& map) : css_(css), map_(map) {}

    std::string Run() && {
        while (at_ < css_.size()) {
            Step();
        }
        return out_.append(css_.substr(copied_));
    }

private:
    void Step() {
        const std::string_view rest = css_.substr(at_);
        if (rest.starts_with("/*")) {
            const std::size_t end = css_.find("*/", at_ + 2);
            at_ = end == std::string_view::npos ? css_.size() : end + 2;
        } else if (rest[0] == '"' || rest[0] == '\'') {
            at_ = StringEnd(at_);
        } else if (rest[0] == '\\') {
            at_ += 2;
        } else if (StartsWithNoCase(rest, 1, "url(") && !PrecededByName()) {
            Url(at_ + 4);
        } else if (StartsWithNoCase(rest, 1, "@import")) {
            Import(at_ + 7);
        } else {
            ++at_;
        }
    }

    bool PrecededByName() const {
        const char before = at_ == 0 ? ' ' : css_[at_ - 1];
        return IsAsciiLetter(before) || before == '-' || before == '_';
    }

    // From an opening quote at `start` to just past its closing one (or the end).
    std::size_t StringEnd(std::size_t start) const {
        for (std::size_t at = start + 1; at < css_.size(); ++at) {
            if (css_[at] == '\\') {
                ++at;
            } else if (css_[at] == css_[start] || css_[at] == '\n') {
                return at + 1;
            }
        }
        return css_.size();
    }

    void Import(std::size_t from) {
        at_ = SkipBlanks(from);
        if (at_ < css_.size() && (css_[at_] == '"' || css_[at_] == '\'')) {
            QuotedAddress(at_);
        }
    }

    void Url(std::size_t from) {
        const std::size_t start = SkipBlanks(from);
        if (start < css_.size() && (css_[start] == '"' || css_[start] == '\'')) {
            QuotedAddress(start);
            return;
        }
        const std::size_t close = css_.find(')', start);
        std::size_t end = close == std::string_view::npos ? css_.size() : close;
        while (end > start && kBlanks.Contains(css_[end - 1])) {
            --end;
        }
        Replace(start, end, '\0');
        at_ = end;
    }

    void QuotedAddress(std::size_t quote) {
        const std::size_t end = StringEnd(quote);
        const bool closed = end - quote >= 2 && css_[end - 1] == css_[quote];
        Replace(quote + 1, closed ? end - 1 : end, css_[quote]);
        at_ = end;
    }

    // Replaces the address from `start` to `end`; `quote` is the one it stands in, or '\0'.
    void Replace(std::size_t start, std::size_t end, char quote) {
        const std::string_view address = css_.substr(start, end - start);
        if (address.empty() || address[0] == '#') {
            return;
        }
        std::string replacement = map_(address);
        if (replacement == address) {
            return;
        }
        out_.append(css_.substr(copied_, start - copied_));
        out_.append(Escaped(replacement, quote));
        copied_ = end;
    }

    // Fits the new address to where it stands: in its quotes, or quoted where it must be.
    static std::string Escaped(const std::string& address, char quote) {
        if (quote == '\0') {
            const bool plain = std::none_of(address.begin(), address.end(),
                                            [](char c) { return kNeedQuotes.Contains(c); });
            return plain ? address : '"' + Escaped(address, '"') + '"';
        }
        std::string escaped;
        for (const char c : address) {
            if (c == quote) {
                escaped += '\\';
            }
            escaped += c;
        }
        return escaped;
    }

    std::size_t SkipBlanks(std::size_t at) const {
        while (at < css_.size() && kBlanks.Contains(css_[at])) {
            ++at;
        }
        return at;
    }

    std::string_view css_;
    const ReferenceMap& map_;
    std::string out_;
    std::size_t at_ = 0;
    std::size_t copied_ = 0;
};

}  // namespace

std::string RewriteStyleSheet(std::string_view css, const ReferenceMap& map) {
    return SheetRewriter(css, map).Run();
}

}  // namespace engine
