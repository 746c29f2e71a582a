// The resource table of a run, and the content types a resource may be stored as.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace engine {

struct ResourceRow {
    std::string address;    // exactly as handed to SaveFile
    std::string localName;  // "chm" + row + extension, relative to the working folder
};

// One row per stored resource, in the order stored; it grows as far as a page needs.
class ResourceTable {
public:
    // The local name recorded for `address`, letter case ignored; nullptr when it is new.
    const std::string* Find(std::string_view address) const;

    // Records `address` in the next row as "chm" + row number + `extension`.
    std::string Add(const std::string& address, std::string_view extension);

    const std::vector<ResourceRow>& tFiles() const { return rows_; }

    std::size_t nFiles() const { return rows_.size(); }

private:
    std::vector<ResourceRow> rows_;
    std::unordered_map<std::string, std::size_t> rowOfFolded_;
};

struct ContentKind {
    std::string_view type;       // searched for in the response headers
    std::string_view extension;  // of the local name
    bool isPage;                 // converted as a page rather than stored as fetched
};

// The first kind, in the table's order, whose type occurs anywhere in `headers` (letter case
// ignored); nullptr when none does.
const ContentKind* KindOf(std::string_view headers);

}  // namespace engine
