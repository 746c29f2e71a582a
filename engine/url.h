// Reference resolution: a reference found in a page into an address that can be fetched or
// followed from outside the page.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace engine {

// An address's parts as RFC 3986 appendix B splits it; each one a view of the address.
struct UrlParts {
    std::optional<std::string_view> scheme;
    std::optional<std::string_view> authority;
    std::string_view path;
    std::optional<std::string_view> query;
    std::optional<std::string_view> fragment;
};

UrlParts SplitUrl(std::string_view url);

// "%XX" escapes decoded; a "%" that starts none stays as it is.
std::string PercentDecoded(std::string_view text);

// The address without its fragment, and the fragment with its "#" ("" when there is none).
std::pair<std::string_view, std::string_view> SplitFragment(std::string_view url);

// A reference that begins with a scheme ("https:", "mailto:", "data:" ...) comes back as it
// is. Any other resolves against `base`, the address of the page it stands in, as RFC 3986
// section 5.2 says, dot segments removed. Nothing else is changed: no percent-encoding added
// or removed, no case folded, no blanks trimmed.
std::string CompileUrl(std::string_view base, std::string_view ref);

}  // namespace engine
