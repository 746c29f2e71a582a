// The tag scanner: walks one page tag by tag and puts each tag's rewritten, normalised form
// in its place. Comments, inline scripts and META tags pass unchanged; BASE tags are removed.
#pragma once

#include <string>
#include <string_view>

#include "engine/ports.h"

namespace engine {

// Rewrites `sData` in place. References resolve against `pageUrl`, the address the page was
// fetched from, and after a BASE tag with an HREF against that HREF resolved against
// `pageUrl`. `saver` may scan another page, nested, before a tag is rebuilt. Runs in time
// linear in the page's length; a "<" without ">", a comment without "-->" or an inline script
// without its closing tag end the scan and leave the rest as it is.
void IterateTags(std::string& sData, std::string_view pageUrl, Host& host, ResourceSaver& saver);

}  // namespace engine
