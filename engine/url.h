// Reference resolution: a reference found in a page into an address that can be fetched or
// followed from outside the page.
#pragma once

#include <string>
#include <string_view>

namespace engine {

// A reference that begins with a scheme ("https:", "mailto:", "data:" ...) comes back as it
// is. Any other resolves against `base`, the address of the page it stands in, as RFC 3986
// section 5.2 says, dot segments removed. Nothing else is changed: no percent-encoding added
// or removed, no case folded, no blanks trimmed.
std::string CompileUrl(std::string_view base, std::string_view ref);

}  // namespace engine
