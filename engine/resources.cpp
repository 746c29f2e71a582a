// A resource's kind is decided by its response headers, never by its address.
#include "engine/resources.h"

#include "engine/text.h"

namespace engine {

namespace {

// The first five in their historic order; the others keep a page's modern resources whole.
constexpr ContentKind kKinds[] = {
    {"image/gif", ".gif", false},
    {"image/jpeg", ".jpg", false},
    {"text/html", ".htm", true},
    {"text/plain", ".txt", false},
    {"application/x-javascript", ".js", false},
    {"image/png", ".png", false},
    {"image/webp", ".webp", false},
    {"image/svg+xml", ".svg", false},
    {"image/x-icon", ".ico", false},
    {"image/vnd.microsoft.icon", ".ico", false},
    {"image/bmp", ".bmp", false},
    {"text/css", ".css", false},
    {"text/javascript", ".js", false},
    {"application/javascript", ".js", false},
};

}  // namespace

const std::string* ResourceTable::Find(std::string_view address) const {
    const auto row = rowOfFolded_.find(FoldCase(address));
    return row == rowOfFolded_.end() ? nullptr : &rows_[row->second].localName;
}

std::string ResourceTable::Add(const std::string& address, std::string_view extension) {
    const std::size_t row = rows_.size();
    rows_.push_back({address, "chm" + std::to_string(row) + std::string(extension)});
    rowOfFolded_.emplace(FoldCase(address), row);
    return rows_.back().localName;
}

const ContentKind* KindOf(std::string_view headers) {
    for (const ContentKind& kind : kKinds) {
        if (InStr(headers, kind.type) != 0) {
            return &kind;
        }
    }
    return nullptr;
}

}  // namespace engine
