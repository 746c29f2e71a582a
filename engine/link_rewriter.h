// Link targets: HREF of A, AREA and of a LINK that names no resource, ACTION of FORM. They are
// never downloaded; the link mode decides what they point at in the help file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/ports.h"
#include "engine/tag_parser.h"

namespace engine {

// The pages a run stores besides the start page, as a book: links between them point at the
// stored files.
class PageLinks {
public:
    virtual ~PageLinks() = default;

    // The stored file (below the working folder) of the page at `address`, absolute and
    // without its fragment; nothing when no page is stored for it. `followed` says the link
    // is one to follow: an A or AREA, or a LINK whose REL is next, prev, contents, index,
    // chapter, section, subsection or start. Such a link may make the page stored now.
    virtual std::optional<std::string> PageFor(const std::string& address, bool followed) = 0;
};

// Where links are written from: the document's base and its own stored file, and the book's
// pages, if any.
struct LinkContext {
    std::string_view base;
    std::string_view localPath;
    PageLinks* pages = nullptr;
};

// A link to a page of the book becomes a reference relative to the document, its fragment
// kept, whatever the mode. Any other: Absolute: resolved against the base, but a
// same-document one ("#name") kept. External: the same, and the first TARGET of an A, AREA or
// FORM becomes "_BLANK" (one is appended when there is none), also on a tag without a
// target. Null: emptied. Other tags, closing tags included, are left alone.
void AlterLinks(TagRecord& tag, const LinkContext& context, const Host& host);

}  // namespace engine
