// The tag parser: one tag's text into a tag record and back. It knows only blanks, line
// breaks, "=", ">" and the two quotes; no entities, no list of tags. Every tag is rebuilt in
// one normalised form: one space before each attribute, every value in single quotes.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/ports.h"

namespace engine {

struct TagAttribute {
    std::string name;   // as written
    std::string value;  // without its quotes; "" means no value
};

struct TagRecord {
    std::string tname;                // name as written, a closing tag's "/" and "!" kept
    std::vector<TagAttribute> tTags;  // in the tag's order, as many as the tag has
    bool selfClosing = false;         // a "/" of its own before the ">", as in "<br />"

    std::size_t ntags() const { return tTags.size(); }
};

// Fills `tag` from `tagData`, the text from a "<" through the first ">" after it. Attributes
// are read only while at least three characters follow the separator, so "<A B>" has none.
// Blanks and line breaks may stand on either side of an attribute's "=".
void GetTagInfo(std::string_view tagData, TagRecord& tag, MessageSink& ui);

// "<" + tname, then " name" or " name='value'" for each attribute, then ">" ("/>" for a
// self-closing tag). A value holding "'" goes in double quotes, any '"' in it as "&quot;".
std::string RecompileTag(const TagRecord& tag);

// From 1-based `start`, the position of the first character that can start an attribute
// name (codes 65 to 122); 0 once fewer than three characters remain after `start`. `start`
// is advanced in place either way.
std::size_t StartTag(std::string_view tagData, std::size_t& start);

// The smallest entry above 0. When there is none, shows "Error on Smallest" and returns 0.
std::size_t SmallestNonZero(std::span<const std::size_t> Num, MessageSink& ui);

}  // namespace engine
