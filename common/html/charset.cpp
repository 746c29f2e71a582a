// A small form of the browsers' encoding prescan: comments are passed over, and the first <meta>
// that names an encoding decides.
#include "common/html/charset.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "common/ascii.h"

namespace common::html {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// A quoted value runs to its closing quote, an unquoted one to a blank or any of `stops`.
std::string_view Value(std::string_view text, std::size_t& at, std::string_view stops) {
    if (at < text.size() && (text[at] == '"' || text[at] == '\'')) {
        const std::size_t close = text.find(text[at], at + 1);
        const std::size_t end = close == std::string_view::npos ? text.size() : close;
        const std::string_view value = text.substr(at + 1, end - at - 1);
        at = std::min(end + 1, text.size());
        return value;
    }
    const std::size_t start = at;
    while (at < text.size() && !IsBlank(text[at]) &&
           stops.find(text[at]) == std::string_view::npos) {
        ++at;
    }
    return text.substr(start, at - start);
}

void SkipBlanks(std::string_view text, std::size_t& at) {
    while (at < text.size() && IsBlank(text[at])) {
        ++at;
    }
}

// "text/html; charset=utf-8" -> "utf-8".
std::optional<std::string> CharsetOfContent(std::string_view content) {
    const std::string folded = common::LowerAscii(content);
    for (std::size_t at = folded.find("charset"); at != std::string::npos;
         at = folded.find("charset", at + 1)) {
        std::size_t pos = at + 7;
        SkipBlanks(content, pos);
        if (pos < content.size() && content[pos] == '=') {
            ++pos;
            SkipBlanks(content, pos);
            return std::string(Value(content, pos, ";"));
        }
    }
    return std::nullopt;
}

constexpr std::array<std::string_view, 6> kUtf8Labels = {
    "utf-8",
    "utf8",
    "unicode-1-1-utf-8",
    // A page that says UTF-16 in a <meta> cannot be UTF-16, since its tag was read as ASCII.
    "utf-16",
    "utf-16le",
    "utf-16be",
};

constexpr std::array<std::string_view, 17> kWindows1252Labels = {
    "windows-1252", "cp1252",     "x-cp1252", "iso-8859-1",     "iso8859-1",       "iso_8859-1",
    "iso88591",     "iso-ir-100", "l1",       "latin1",         "csisolatin1",     "cp819",
    "ibm819",       "us-ascii",   "ascii",    "ansi_x3.4-1968", "iso_8859-1:1987",
};

}  // namespace

Encoding EncodingOfLabel(std::string_view label) {
    const std::string folded = common::LowerAscii(Trimmed(label));
    const auto in = [&folded](const auto& labels) {
        return std::find(labels.begin(), labels.end(), folded) != labels.end();
    };
    if (in(kUtf8Labels)) {
        return Encoding::kUtf8;
    }
    return in(kWindows1252Labels) ? Encoding::kWindows1252 : Encoding::kOtherCodePage;
}

std::optional<std::string> MetaCharset(std::string_view attributes) {
    std::optional<std::string> charset, content;
    bool contentType = false;
    std::size_t at = 0;
    while (at < attributes.size()) {
        while (at < attributes.size() && (IsBlank(attributes[at]) || attributes[at] == '/')) {
            ++at;
        }
        const std::size_t nameStart = at;
        while (at < attributes.size() && !IsBlank(attributes[at]) && attributes[at] != '=' &&
               attributes[at] != '/') {
            ++at;
        }
        const std::string name = common::LowerAscii(attributes.substr(nameStart, at - nameStart));
        SkipBlanks(attributes, at);
        std::string_view value;
        if (at < attributes.size() && attributes[at] == '=') {
            ++at;
            SkipBlanks(attributes, at);
            value = Value(attributes, at, "");
        }
        if (name == "charset" && !charset) {
            charset = std::string(value);
        } else if (name == "content" && !content) {
            content = std::string(value);
        } else if (name == "http-equiv") {
            contentType = common::LowerAscii(Trimmed(value)) == "content-type";
        }
    }
    if (charset) {
        return charset;
    }
    return contentType && content ? CharsetOfContent(*content) : std::nullopt;
}

void CharsetSniffer::Feed(std::string_view piece) {
    head_.append(piece.substr(0, kPrescanBytes - std::min(head_.size(), kPrescanBytes)));
    for (std::size_t i = 0; i < piece.size() && !malformed_; ++i) {
        const auto byte = static_cast<std::uint8_t>(piece[i]);
        if (byte < 0x80 && !decoder_.Pending()) {
            continue;
        }
        nonAscii_ = true;
        const Utf8Decoder::Step step = decoder_.Feed(byte);
        malformed_ = step == Utf8Decoder::Step::kInvalid || step == Utf8Decoder::Step::kBroken;
    }
}

std::optional<Encoding> CharsetSniffer::Result() const {
    const std::string_view head = head_;
    if (head.starts_with("\xEF\xBB\xBF")) {
        return Encoding::kUtf8;
    }
    for (std::size_t lt = head.find('<'); lt != std::string_view::npos;
         lt = head.find('<', lt + 1)) {
        if (head.substr(lt).starts_with("<!--")) {
            lt = head.find("-->", lt + 4);
            if (lt == std::string_view::npos) {
                break;
            }
            continue;
        }
        const std::string tag = common::LowerAscii(head.substr(lt + 1, 5));
        if (tag.size() < 5 || !tag.starts_with("meta") || !(IsBlank(tag[4]) || tag[4] == '/')) {
            continue;
        }
        const std::size_t gt = head.find('>', lt);
        if (gt == std::string_view::npos) {
            break;
        }
        if (const auto label = MetaCharset(head.substr(lt + 5, gt - lt - 5))) {
            return EncodingOfLabel(*label);
        }
    }
    if (!nonAscii_) {
        return std::nullopt;
    }
    return malformed_ || decoder_.Pending() ? Encoding::kWindows1252 : Encoding::kUtf8;
}

}  // namespace common::html
