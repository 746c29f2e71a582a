// What a stored page says about itself for the help file's contents and index: its title, its
// headings that can be linked to, and its keywords. Text comes out in UTF-8, whatever the
// page's own encoding.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace engine {

struct Heading {
    int level = 0;       // 2 or 3
    std::string anchor;  // what "page#anchor" names
    std::string text;
};

struct PageOutline {
    std::string title;  // the <title>, else the first <h1>; "" when it has neither
    std::vector<Heading> headings;
    std::vector<std::string> keywords;  // of <meta name="keywords">
};

// The page's H2 and H3 headings count when they carry an anchor: an id or name of their own,
// one of an A inside them, or the id of the element that opens right before them, as
// <section id="..."><h2> does. `headers` are the page's response headers, whose charset
// comes before the page's own declaration.
PageOutline OutlineOf(std::string_view page, std::string_view headers);

}  // namespace engine
