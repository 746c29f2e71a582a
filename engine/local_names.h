// Where a run's files go below the working folder, and how one file refers to another.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>

#include "engine/capture.h"
#include "engine/resources.h"

namespace engine {

class LocalNames {
public:
    virtual ~LocalNames() = default;

    // The start page's name; `address` is where it was fetched from, after redirects.
    virtual std::string StartPage(std::string_view address) = 0;

    // The name of the resource in row `row`, fetched from `address`.
    virtual std::string Resource(std::string_view address, const ContentKind& kind,
                                 std::size_t row) = 0;
};

// Classic: "chmindex.htm" and "chm" + row + extension, all in one folder.
class ClassicNames : public LocalNames {
public:
    std::string StartPage(std::string_view address) override;
    std::string Resource(std::string_view address, const ContentKind& kind,
                         std::size_t row) override;
};

// The site's layout: the address's path under a folder for its host ("127.0.0.1_8111/a/b.css"),
// a query as a short suffix before the extension, an extension added where the path's does
// not fit the content type, and every name distinct, letter case ignored.
class SiteNames : public LocalNames {
public:
    std::string StartPage(std::string_view address) override;
    std::string Resource(std::string_view address, const ContentKind& kind,
                         std::size_t row) override;

private:
    std::string Unique(const std::string& stem, std::string_view extension);

    std::unordered_set<std::string> taken_;  // folded
};

std::unique_ptr<LocalNames> MakeLocalNames(Capture capture);

// How the file `from` refers to the file `to`, both relative to the working folder:
// "a/b/page.htm" to "a/c/x.css" is "../c/x.css".
std::string RelativeReference(std::string_view from, std::string_view to);

}  // namespace engine
