// One pass over the page, tag by tag: text is gathered only inside a title or a heading, and
// SCRIPT and STYLE contents are passed over. Sizes are capped, so a hostile page cannot make
// the contents file grow without end.
#include "engine/page_outline.h"

#include <optional>

#include "common/html/charset.h"
#include "common/html/encoding.h"
#include "common/html/title.h"
#include "engine/tag_parser.h"
#include "engine/text.h"

namespace engine {

namespace {

constexpr std::size_t kMostHeadings = 1000;
constexpr std::size_t kMostKeywords = 200;
constexpr std::size_t kMostRawText = 4096;  // of one title or heading

using common::html::Encoding;

class Silent : public MessageSink {
public:
    void ShowMessage(std::string_view) override {}
};

// The response's charset, else the page's BOM or declaration, else a guess from its bytes.
Encoding EncodingOf(std::string_view page, std::string_view headers) {
    const std::size_t charset = InStr(headers, "charset=");
    if (charset != 0) {
        const std::string_view rest = headers.substr(charset - 1 + 8);
        const std::string_view label = rest.substr(0, rest.find_first_of(";\r\n"));
        return common::html::EncodingOfLabel(label);
    }
    common::html::CharsetSniffer sniffer;
    sniffer.Feed(page);
    return sniffer.Result().value_or(Encoding::kWindows1252);
}

std::string AttributeOf(const TagRecord& tag, std::string_view name) {
    for (const TagAttribute& attribute : tag.tTags) {
        if (EqualsNoCase(attribute.name, name)) {
            return attribute.value;
        }
    }
    return "";
}

std::string AnchorOf(const TagRecord& tag) {
    std::string anchor = AttributeOf(tag, "id");
    return anchor.empty() ? AttributeOf(tag, "name") : anchor;
}

int HeadingLevel(std::string_view tname) {
    if (tname.size() == 2 && (tname[0] == 'h' || tname[0] == 'H') && tname[1] >= '1' &&
        tname[1] <= '3') {
        return tname[1] - '0';
    }
    return 0;
}

class OutlineReader {
public:
    OutlineReader(std::string_view page, Encoding encoding) : page_(page), encoding_(encoding) {}

    PageOutline Read();

private:
    void Tag(const TagRecord& tag);
    void Text(std::string_view text);
    void EndHeading();
    std::string Clean(const std::string& raw) const;

    std::string_view page_;
    Encoding encoding_;
    PageOutline outline_;
    std::string firstH1_;
    bool titleDone_ = false;
    bool inTitle_ = false;
    int level_ = 0;  // of the heading being read; 0 outside one
    std::string raw_;
    std::string anchor_;
    std::string openedId_;  // of the element opened last, while only blanks follow it
};

PageOutline OutlineReader::Read() {
    Silent silent;
    TagRecord tag;
    for (std::size_t at = 1; at <= page_.size();) {
        const std::size_t open = InStr(page_, "<", at);
        Text(Mid(page_, at, (open == 0 ? page_.size() + 1 : open) - at));
        if (open == 0) {
            break;
        }
        if (StartsWithNoCase(page_, open, "<!--")) {
            const std::size_t close = InStr(page_, "-->", open);
            at = close == 0 ? page_.size() + 1 : close + 3;
            continue;
        }
        const std::size_t close = InStr(page_, ">", open);
        if (close == 0) {
            break;
        }
        GetTagInfo(Mid(page_, open, close - open + 1), tag, silent);
        at = close + 1;
        for (const std::string_view raw : {"SCRIPT", "STYLE"}) {
            if (EqualsNoCase(tag.tname, raw) && !tag.selfClosing) {
                const std::size_t end = InStr(page_, "</" + std::string(raw), at);
                at = end == 0 ? page_.size() + 1 : end;
            }
        }
        Tag(tag);
    }
    EndHeading();
    if (outline_.title.empty()) {
        outline_.title = firstH1_;
    }
    return std::move(outline_);
}

void OutlineReader::Tag(const TagRecord& tag) {
    const std::string name = FoldCase(tag.tname);
    if (name == "title" && !titleDone_) {
        inTitle_ = true;
        raw_.clear();
    } else if (name == "/title" && inTitle_) {
        outline_.title = Clean(raw_);
        inTitle_ = false;
        titleDone_ = true;
    } else if (HeadingLevel(name) != 0) {
        EndHeading();
        level_ = HeadingLevel(name);
        raw_.clear();
        anchor_ = AnchorOf(tag).empty() ? openedId_ : AnchorOf(tag);
    } else if (name.size() == 3 && name[0] == '/' && HeadingLevel(name.substr(1)) != 0) {
        EndHeading();
    } else if (name == "a" && level_ != 0 && anchor_.empty()) {
        anchor_ = AnchorOf(tag);
    } else if (name == "meta" && EqualsNoCase(AttributeOf(tag, "name"), "keywords")) {
        const std::string content = Clean(AttributeOf(tag, "content"));
        for (std::size_t start = 0; start < content.size();) {
            const std::size_t comma = std::min(content.find(',', start), content.size());
            const std::string keyword = Clean(content.substr(start, comma - start));
            if (!keyword.empty() && outline_.keywords.size() < kMostKeywords) {
                outline_.keywords.push_back(keyword);
            }
            start = comma + 1;
        }
    }
    if (!name.starts_with('/')) {
        openedId_ = AttributeOf(tag, "id");
    }
}

void OutlineReader::Text(std::string_view text) {
    if ((inTitle_ || level_ != 0) && raw_.size() < kMostRawText) {
        raw_.append(text.substr(0, kMostRawText - raw_.size()));
    }
    if (text.find_first_not_of(" \t\r\n\f") != std::string_view::npos) {
        openedId_.clear();
    }
}

void OutlineReader::EndHeading() {
    if (level_ == 0) {
        return;
    }
    const std::string text = Clean(raw_);
    if (level_ == 1 && firstH1_.empty()) {
        firstH1_ = text;
    } else if (level_ > 1 && !anchor_.empty() && !text.empty() &&
               outline_.headings.size() < kMostHeadings) {
        outline_.headings.push_back({level_, anchor_, text});
    }
    level_ = 0;
}

// Tags inside dropped, references decoded, blanks collapsed, in UTF-8; a trailing pilcrow, the
// permalink sign documentation generators put in headings, left out.
std::string OutlineReader::Clean(const std::string& raw) const {
    std::string text;
    for (std::size_t at = 0; at < raw.size();) {
        const std::size_t open = raw.find('<', at);
        text.append(raw, at, open == std::string::npos ? std::string::npos : open - at);
        const std::size_t close = open == std::string::npos ? open : raw.find('>', open);
        at = close == std::string::npos ? raw.size() : close + 1;
    }
    std::string clean = common::html::CleanTitle(
        common::html::Transcode(text, encoding_, Encoding::kUtf8), Encoding::kUtf8);
    constexpr std::string_view kPilcrow = "\xC2\xB6";
    while (clean.ends_with(kPilcrow) || clean.ends_with(' ')) {
        clean.resize(clean.size() - (clean.ends_with(' ') ? 1 : kPilcrow.size()));
    }
    return clean;
}

}  // namespace

PageOutline OutlineOf(std::string_view page, std::string_view headers) {
    return OutlineReader(page, EncodingOf(page, headers)).Read();
}

}  // namespace engine
