// Rewrites link targets by the link mode, which is asked anew for every link tag.
#include "engine/link_rewriter.h"

#include <algorithm>

#include "engine/text.h"
#include "engine/url.h"

namespace engine {

namespace {

// The attribute that holds the link target of a tag named `tname`, or "" when it has none.
std::string_view LinkAttributeOf(std::string_view tname) {
    if (EqualsNoCase(tname, "A") || EqualsNoCase(tname, "AREA")) {
        return "HREF";
    }
    if (EqualsNoCase(tname, "FORM")) {
        return "ACTION";
    }
    return {};
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
    const std::string_view linkAttribute = LinkAttributeOf(tag.tname);
    if (linkAttribute.empty()) {
        return;
    }
    const LinkMode mode = host.CurrentLinkMode();
    for (TagAttribute& attribute : tag.tTags) {
        if (EqualsNoCase(attribute.name, linkAttribute)) {
            attribute.value = mode == LinkMode::Null ? "" : CompileUrl(base, attribute.value);
        }
    }
    if (mode == LinkMode::External) {
        OpenInNewWindow(tag);
    }
}

}  // namespace engine
