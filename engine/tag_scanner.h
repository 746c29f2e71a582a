// The tag scanner: walks one page tag by tag and puts each tag's rewritten, normalised form
// in its place. Comments, declarations, processing instructions, inline scripts and META
// tags pass unchanged; BASE tags are removed.
#pragma once

#include <string>
#include <string_view>

#include "engine/capture.h"
#include "engine/link_rewriter.h"
#include "engine/ports.h"

namespace engine {

// A page as the scanner sees it: where it came from and where its stored copy goes.
struct Document {
    std::string_view address;  // fetched from, after redirects: references resolve against it
    std::string_view
        localPath;  // its name below the working folder: references are made relative to it
    Capture capture = Capture::Complete;
    PageLinks* pages = nullptr;  // the book's pages that links may point at, if any
};

// Rewrites `sData` in place. References resolve against the document's address, and after a
// BASE tag with an HREF against that HREF resolved against the address. `saver` may scan
// another page, nested, before a tag is rebuilt. In complete mode the text of a STYLE element
// is rewritten as a style sheet. Runs in time linear in the page's length; a "<" without ">",
// a comment without "-->" or an inline script without its closing tag end the scan and leave
// the rest as it is.
void IterateTags(std::string& sData, const Document& document, Host& host, ResourceSaver& saver);

}  // namespace engine
