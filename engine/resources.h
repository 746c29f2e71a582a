// The resource table of a run, and the content types a resource may be stored as.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/capture.h"

namespace engine {

struct ResourceRow {
    std::string address;    // exactly as handed to SaveFile
    std::string localName;  // relative to the working folder
};

// One row per stored resource, in the order stored; it grows as far as a page needs. An
// address that gave nothing to store is remembered too, so it is neither fetched nor reported
// a second time.
class ResourceTable {
public:
    // The local name recorded for `address`, letter case ignored; nullptr when it is new.
    const std::string* Find(std::string_view address) const;

    // Records `address` in the next row under `localName`, which it returns.
    const std::string& Add(const std::string& address, std::string localName);

    // Remembers that `address` gave nothing to store.
    void Refuse(std::string_view address);
    bool Refused(std::string_view address) const;

    const std::vector<ResourceRow>& tFiles() const { return rows_; }

    std::size_t nFiles() const { return rows_.size(); }

private:
    std::vector<ResourceRow> rows_;
    std::unordered_map<std::string, std::size_t> rowOfFolded_;
    std::unordered_set<std::string> refused_;
};

enum class Handling {
    Store,       // the fetched bytes as they are
    Page,        // rewritten as a page, its own resources stored first
    StyleSheet,  // rewritten for @import and url(), its references stored first
};

struct ContentKind {
    std::string extension;      // of the local name
    std::string_view alsoFits;  // other extensions a name of the site may keep, blank-separated
    Handling handling = Handling::Store;
};

// The kind of a page (text/html), as the table has it.
ContentKind PageKind();

// How a response of these headers is stored; nothing when its type is not stored.
std::optional<ContentKind> KindOf(std::string_view headers, Capture capture);

// A resource that only a page's script asked for, of a type KindOf does not store: kept as
// fetched under its path's own extension (".bin" when it has none that fits a file name), so
// that the script finds it where it asked.
ContentKind LoadedKind(std::string_view address);

}  // namespace engine
