// Rewrites link targets by the link mode, which is asked anew for every link tag.
#include "engine/link_rewriter.h"

#include <algorithm>

#include "engine/media_rewriter.h"
#include "engine/text.h"
#include "engine/url.h"

namespace engine {

namespace {

bool OpensWindows(std::string_view tname) {
    return EqualsNoCase(tname, "A") || EqualsNoCase(tname, "AREA") || EqualsNoCase(tname, "FORM");
}

// The attribute that holds the tag's link target, or "" when it has none.
std::string_view LinkAttributeOf(const TagRecord& tag) {
    if (EqualsNoCase(tag.tname, "A") || EqualsNoCase(tag.tname, "AREA")) {
        return "HREF";
    }
    if (EqualsNoCase(tag.tname, "FORM")) {
        return "ACTION";
    }
    if (EqualsNoCase(tag.tname, "LINK") && !IsResourceLink(tag)) {
        return "HREF";
    }
    return {};
}

// A same-document reference stays in the document (RFC 3986, section 4.4).
std::string Target(std::string_view base, const std::string& value) {
    return value.starts_with('#') ? value : CompileUrl(base, value);
}

void OpenInNewWindow(TagRecord& tag) {
    const auto target = std::find_if(tag.tTags.begin(), tag.tTags.end(),
                                     [](const auto& a) { return EqualsNoCase(a.name, "TARGET"); });
    if (target != tag.tTags.end()) {
        target->value = "_BLANK";
    } else {
        tag.tTags.push_back({"TARGET", "_BLANK"});
    }
}

}  // namespace

void AlterLinks(TagRecord& tag, std::string_view base, const Host& host) {
    const std::string_view linkAttribute = LinkAttributeOf(tag);
    if (linkAttribute.empty()) {
        return;
    }
    const LinkMode mode = host.CurrentLinkMode();
    for (TagAttribute& attribute : tag.tTags) {
        if (EqualsNoCase(attribute.name, linkAttribute)) {
            attribute.value = mode == LinkMode::Null ? "" : Target(base, attribute.value);
        }
    }
    if (mode == LinkMode::External && OpensWindows(tag.tname)) {
        OpenInNewWindow(tag);
    }
}

}  // namespace engine
