// Names go out as ASCII: a character beyond it as a decimal reference ("&#233;"), which every
// viewer decodes whatever the file's code page, and one beyond the 16-bit range as "?", since
// one viewer keeps only 16 bits of a reference.
#include "engine/help_navigation.h"

#include <algorithm>
#include <cstdint>
#include <tuple>

#include "common/utf8.h"
#include "engine/text.h"

namespace engine {

namespace {

constexpr std::size_t kDeepestPage = 64;
constexpr std::size_t kMostIndexEntries = 50000;

constexpr std::string_view kHead =
    "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\r\n"
    "<HTML>\r\n<HEAD>\r\n<!-- Sitemap 1.0 -->\r\n</HEAD>\r\n<BODY>\r\n";
constexpr std::string_view kTail = "</BODY>\r\n</HTML>\r\n";

std::string SitemapText(std::string_view utf8) {
    std::string out;
    common::Utf8Decoder decoder;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const common::Utf8Decoder::Step step = decoder.Feed(static_cast<std::uint8_t>(utf8[i]));
        if (step == common::Utf8Decoder::Step::kBroken) {
            out += '?';
            --i;
            continue;
        }
        if (step == common::Utf8Decoder::Step::kInvalid) {
            out += '?';
            continue;
        }
        if (step == common::Utf8Decoder::Step::kMore) {
            continue;
        }
        const char32_t c = decoder.CodePoint();
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                if (c < 0x20) {
                    out += ' ';
                } else if (c < 0x80) {
                    out += static_cast<char>(c);
                } else if (c <= 0xFFFF) {
                    out += "&#" + std::to_string(static_cast<std::uint32_t>(c)) + ";";
                } else {
                    out += '?';
                }
        }
    }
    return out;
}

std::string Local(const BookPage& page, const std::string& anchor) {
    return anchor.empty() ? page.localName : page.localName + "#" + anchor;
}

std::string Entry(const std::string& name, const std::string& local, std::size_t indent) {
    const std::string tabs(indent, '\t');
    return tabs + "<LI> <OBJECT type=\"text/sitemap\">\r\n" + tabs +
           "\t<param name=\"Name\" value=\"" + SitemapText(name) + "\">\r\n" + tabs +
           "\t<param name=\"Local\" value=\"" + SitemapText(local) + "\">\r\n" + tabs +
           "\t</OBJECT>\r\n";
}

class ContentsWriter {
public:
    explicit ContentsWriter(const std::vector<BookPage>& pages)
        : pages_(pages), children_(pages.size()) {
        for (std::size_t index = 1; index < pages.size(); ++index) {
            children_[pages[index].parent].push_back(index);
        }
    }

    std::string Write() {
        text_ = std::string(kHead) + "<UL>\r\n";
        if (!pages_.empty()) {
            Page(0, 1);
        }
        text_ += "</UL>\r\n";
        text_ += kTail;
        return std::move(text_);
    }

private:
    // The page's entry, then a list of its headings and of the pages it led to; pages past
    // the deepest level join the list they would have opened.
    void Page(std::size_t index, std::size_t level) {
        const BookPage& page = pages_[index];
        const std::string title = page.outline.title.empty() ? page.address : page.outline.title;
        text_ += Entry(title, page.localName, level);
        const bool opens =
            level < kDeepestPage && (!page.outline.headings.empty() || !children_[index].empty());
        if (opens) {
            text_ += std::string(level, '\t') + "<UL>\r\n";
        }
        Headings(page, opens ? level + 1 : level);
        for (const std::size_t child : children_[index]) {
            Page(child, opens ? level + 1 : level);
        }
        if (opens) {
            text_ += std::string(level, '\t') + "</UL>\r\n";
        }
    }

    // An H3 goes in a list under the H2 before it, opened with the first such H3.
    void Headings(const BookPage& page, std::size_t level) {
        bool afterH2 = false, listOpen = false;
        for (const Heading& heading : page.outline.headings) {
            const bool nested = heading.level == 3 && afterH2;
            if (!nested && listOpen) {
                text_ += std::string(level, '\t') + "</UL>\r\n";
                listOpen = false;
            }
            if (nested && !listOpen) {
                text_ += std::string(level, '\t') + "<UL>\r\n";
                listOpen = true;
            }
            text_ += Entry(heading.text, Local(page, heading.anchor), nested ? level + 1 : level);
            afterH2 = heading.level == 2 || nested;
        }
        if (listOpen) {
            text_ += std::string(level, '\t') + "</UL>\r\n";
        }
    }

    const std::vector<BookPage>& pages_;
    std::vector<std::vector<std::size_t>> children_;
    std::string text_;
};

struct Keyword {
    std::string folded;
    std::string name;
    std::string local;

    bool operator<(const Keyword& other) const {
        return std::tie(folded, name, local) < std::tie(other.folded, other.name, other.local);
    }

    bool operator==(const Keyword& other) const {
        return name == other.name && local == other.local;
    }
};

}  // namespace

std::string ContentsFile(const std::vector<BookPage>& pages) {
    return ContentsWriter(pages).Write();
}

std::string IndexFile(const std::vector<BookPage>& pages) {
    std::vector<Keyword> keywords;
    const auto add = [&keywords](const std::string& name, std::string local) {
        if (!name.empty() && keywords.size() < kMostIndexEntries) {
            keywords.push_back({FoldCase(name), name, std::move(local)});
        }
    };
    for (const BookPage& page : pages) {
        add(page.outline.title, page.localName);
        for (const Heading& heading : page.outline.headings) {
            add(heading.text, Local(page, heading.anchor));
        }
        for (const std::string& keyword : page.outline.keywords) {
            add(keyword, page.localName);
        }
    }
    std::sort(keywords.begin(), keywords.end());
    keywords.erase(std::unique(keywords.begin(), keywords.end()), keywords.end());
    std::string text = std::string(kHead) + "<UL>\r\n";
    for (const Keyword& keyword : keywords) {
        text += Entry(keyword.name, keyword.local, 1);
    }
    return text + "</UL>\r\n" + std::string(kTail);
}

}  // namespace engine
