// A resource's kind is decided by its response's Content-Type field, never by its address.
#include "engine/resources.h"

#include <algorithm>

#include "engine/content_type.h"
#include "engine/text.h"
#include "engine/url.h"

namespace engine {

namespace {

struct KnownType {
    std::string_view type;
    std::string_view extension;
    std::string_view alsoFits;
    Handling handling;
    Capture since;  // Classic: stored in both modes
};

constexpr KnownType kTypes[] = {
    {"image/gif", ".gif", "", Handling::Store, Capture::Classic},
    {"image/jpeg", ".jpg", ".jpeg .jpe .jfif", Handling::Store, Capture::Classic},
    {"text/html", ".htm", ".html .xhtml .shtml", Handling::Page, Capture::Classic},
    {"text/plain", ".txt", "", Handling::Store, Capture::Classic},
    {"application/x-javascript", ".js", ".mjs", Handling::Store, Capture::Classic},
    {"image/png", ".png", "", Handling::Store, Capture::Classic},
    {"image/webp", ".webp", "", Handling::Store, Capture::Classic},
    {"image/svg+xml", ".svg", "", Handling::Store, Capture::Classic},
    {"image/x-icon", ".ico", "", Handling::Store, Capture::Classic},
    {"image/vnd.microsoft.icon", ".ico", "", Handling::Store, Capture::Classic},
    {"image/bmp", ".bmp", "", Handling::Store, Capture::Classic},
    {"text/css", ".css", "", Handling::StyleSheet, Capture::Classic},
    {"text/javascript", ".js", ".mjs", Handling::Store, Capture::Classic},
    {"application/xhtml+xml", ".htm", ".html", Handling::Page, Capture::Complete},
    {"application/javascript", ".js", ".mjs", Handling::Store, Capture::Classic},
    {"font/woff2", ".woff2", "", Handling::Store, Capture::Complete},
    {"font/woff", ".woff", "", Handling::Store, Capture::Complete},
    {"font/ttf", ".ttf", "", Handling::Store, Capture::Complete},
    {"font/otf", ".otf", "", Handling::Store, Capture::Complete},
    {"application/font-woff", ".woff", "", Handling::Store, Capture::Complete},
    {"application/x-font-ttf", ".ttf", "", Handling::Store, Capture::Complete},
    {"application/vnd.ms-fontobject", ".eot", "", Handling::Store, Capture::Complete},
    {"image/avif", ".avif", "", Handling::Store, Capture::Complete},
    {"image/tiff", ".tif", ".tiff", Handling::Store, Capture::Complete},
    {"audio/mpeg", ".mp3", "", Handling::Store, Capture::Complete},
    {"audio/wav", ".wav", "", Handling::Store, Capture::Complete},
    {"audio/x-wav", ".wav", "", Handling::Store, Capture::Complete},
    {"video/ogg", ".ogv", "", Handling::Store, Capture::Complete},
    {"video/quicktime", ".mov", "", Handling::Store, Capture::Complete},
};

// Any other image, audio or video type: its subtype, less "x-" and any "+suffix", as the
// extension ("video/x-matroska" gives ".matroska").
std::optional<ContentKind> MediaKind(std::string_view type) {
    const std::size_t slash = type.find('/');
    const std::string_view major = type.substr(0, slash);
    if (slash == std::string_view::npos ||
        (major != "image" && major != "audio" && major != "video")) {
        return std::nullopt;
    }
    std::string_view subtype = type.substr(slash + 1);
    if (subtype.starts_with("x-")) {
        subtype.remove_prefix(2);
    }
    std::string extension = ".";
    for (const char c : subtype.substr(0, subtype.find('+'))) {
        if (IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '-') {
            extension += c;
        }
    }
    if (extension.size() == 1) {
        return std::nullopt;
    }
    return ContentKind{extension, "", Handling::Store};
}

}  // namespace

const std::string* ResourceTable::Find(std::string_view address) const {
    const auto row = rowOfFolded_.find(FoldCase(address));
    return row == rowOfFolded_.end() ? nullptr : &rows_[row->second].localName;
}

const std::string& ResourceTable::Add(const std::string& address, std::string localName) {
    rowOfFolded_.emplace(FoldCase(address), rows_.size());
    rows_.push_back({address, std::move(localName)});
    return rows_.back().localName;
}

void ResourceTable::Refuse(std::string_view address) {
    refused_.insert(FoldCase(address));
}

bool ResourceTable::Refused(std::string_view address) const {
    return refused_.contains(FoldCase(address));
}

ContentKind PageKind() {
    return *KindOf("Content-Type: text/html\r\n", Capture::Classic);
}

std::optional<ContentKind> KindOf(std::string_view headers, Capture capture) {
    const std::string type = ContentTypeOf(headers);
    for (const KnownType& known : kTypes) {
        if (type == known.type &&
            (known.since == Capture::Classic || capture == Capture::Complete)) {
            const bool rewritten = capture == Capture::Complete || known.handling == Handling::Page;
            return ContentKind{std::string(known.extension), known.alsoFits,
                               rewritten ? known.handling : Handling::Store};
        }
    }
    return capture == Capture::Complete ? MediaKind(type) : std::nullopt;
}

ContentKind LoadedKind(std::string_view address) {
    constexpr std::size_t kLongestExtension = 16;
    const std::string_view path = SplitUrl(address).path;
    const std::string_view file = path.substr(path.rfind('/') + 1);
    const std::size_t dot = file.rfind('.');
    const std::string_view extension =
        dot == std::string_view::npos || dot == 0 ? std::string_view() : file.substr(dot + 1);
    const bool fits = !extension.empty() && extension.size() <= kLongestExtension &&
                      std::all_of(extension.begin(), extension.end(), [](char c) {
                          return IsAsciiLetter(c) || (c >= '0' && c <= '9');
                      });
    return ContentKind{fits ? FoldCase(file.substr(dot)) : std::string(".bin"), "",
                       Handling::Store};
}

}  // namespace engine
