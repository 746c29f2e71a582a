// The pages a run takes beyond the start page, as a book: which ones are in scope, which are
// taken, who linked to each first, and how far from the start page they lie. The run fetches
// and rewrites them; this is only the bookkeeping, so its rules can be read and tested alone.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/page_outline.h"
#include "engine/robots.h"

namespace engine {

struct BookOptions {
    int follow = 0;              // links to follow from the start page; 0: the start page alone
    bool wholeSite = false;      // else only pages under the start page's folder
    std::size_t maxPages = 500;  // the start page included
};

struct BookPage {
    std::string address;     // where it came from, after redirects
    std::string localName;   // below the working folder
    std::size_t parent = 0;  // the page that first linked to it; the start page is its own
    int depth = 0;           // links from the start page
    std::string headers;     // of its response: its charset
    std::string held;        // the file its bytes wait in until its turn
    PageOutline outline;
};

class Book {
public:
    explicit Book(BookOptions options = {}) : options_(options) {}

    const BookOptions& options() const { return options_; }

    // The start page opens the book; its address sets the scope.
    void Begin(BookPage start);

    const std::vector<BookPage>& pages() const { return pages_; }

    BookPage& page(std::size_t index) { return pages_[index]; }

    // Whether the links of the page at `index` are followed.
    bool FollowsFrom(std::size_t index) const;

    // Same scheme, host and port as the start page, and a path under its folder unless the
    // whole site is in scope.
    bool InScope(std::string_view address) const;

    // The page stored for `address` (as asked, or where it ended), or nullptr.
    const BookPage* Find(std::string_view address) const;

    // The first time for `address` gives true; every later time false.
    bool FirstAsked(std::string_view address);
    bool Asked(std::string_view address) const;

    // Whether another page may be taken; one that may not is counted as left out.
    bool HasRoom() const { return pages_.size() < options_.maxPages; }

    void LeaveOut() { ++leftOut_; }

    std::size_t leftOut() const { return leftOut_; }

    // Records a page taken, asked for as `asked`; returns its index.
    std::size_t Add(std::string_view asked, BookPage page);

    // `asked` led to the page at `index`.
    void Alias(std::string_view asked, std::size_t index);

    // How far from the start page a page asked for as `asked` lies, when it is known or
    // planned; -1 otherwise. Plan() records it for a page fetched ahead.
    int DepthOf(std::string_view asked) const;
    void Plan(std::string_view asked, int depth);

    std::size_t planned() const { return plannedDepth_.size(); }

    // The robots.txt rules of an origin ("http://host:port"), once read.
    const RobotsRules* RulesFor(const std::string& origin) const;
    void SetRules(const std::string& origin, RobotsRules rules);

private:
    BookOptions options_;
    std::vector<BookPage> pages_;
    std::unordered_map<std::string, std::size_t> indexOf_;  // folded asked and final addresses
    std::unordered_set<std::string> asked_;                 // folded
    std::unordered_map<std::string, int> plannedDepth_;     // folded
    std::map<std::string, RobotsRules> robots_;
    std::string origin_;  // folded, of the start page
    std::string folder_;  // the start page's path up to its last "/"
    std::size_t leftOut_ = 0;
};

// "http://host:port" of an address, letter case folded; "" for one without an authority.
std::string OriginOf(std::string_view address);

}  // namespace engine
