// The contents (.hhc) and index (.hhk) of a book, in the sitemap form help compilers and
// viewers read: <OBJECT type="text/sitemap"> entries with a Name and a Local in nested lists.
#pragma once

#include <string>
#include <vector>

#include "engine/book.h"

namespace engine {

// One entry per page, named by its title (else its address), nested under the page that first
// linked to it in that page's link order, the start page first; under each page come its
// anchored headings, an H3 under the H2 before it. Entries nest at most 64 pages deep, as
// viewers give up on deeper lists.
std::string ContentsFile(const std::vector<BookPage>& pages);

// Every page's title, anchored headings and keywords, sorted with letter case ignored, each
// pointing at its page and anchor.
std::string IndexFile(const std::vector<BookPage>& pages);

}  // namespace engine
