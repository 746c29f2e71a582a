// Rewrites link targets by the link mode, which is asked anew for every link tag.
#include "engine/link_rewriter.h"

#include <algorithm>

#include "engine/local_names.h"
#include "engine/media_rewriter.h"
#include "engine/text.h"
#include "engine/url.h"

namespace engine {

namespace {

constexpr std::string_view kFollowedRels[] = {"next",    "prev",    "contents",   "index",
                                              "chapter", "section", "subsection", "start"};

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

// The reference to the book's page for `value`, relative to the document; nothing when the
// target is no page of the book. FORM actions and same-document references never are.
std::optional<std::string> BookReference(const TagRecord& tag, const std::string& value,
                                         const LinkContext& context) {
    if (context.pages == nullptr || value.starts_with('#') || EqualsNoCase(tag.tname, "FORM")) {
        return std::nullopt;
    }
    const std::string target = CompileUrl(context.base, value);
    const auto [address, fragment] = SplitFragment(target);
    const bool followed = !EqualsNoCase(tag.tname, "LINK") || RelHasAny(tag, kFollowedRels);
    const std::optional<std::string> stored =
        context.pages->PageFor(std::string(address), followed);
    if (!stored) {
        return std::nullopt;
    }
    return RelativeReference(context.localPath, *stored) + std::string(fragment);
}

}  // namespace

void AlterLinks(TagRecord& tag, const LinkContext& context, const Host& host) {
    const std::string_view linkAttribute = LinkAttributeOf(tag);
    if (linkAttribute.empty()) {
        return;
    }
    const LinkMode mode = host.CurrentLinkMode();
    bool toBook = false;
    for (TagAttribute& attribute : tag.tTags) {
        if (!EqualsNoCase(attribute.name, linkAttribute)) {
            continue;
        }
        if (std::optional<std::string> reference = BookReference(tag, attribute.value, context)) {
            attribute.value = std::move(*reference);
            toBook = true;
        } else {
            attribute.value = mode == LinkMode::Null ? "" : Target(context.base, attribute.value);
        }
    }
    if (mode == LinkMode::External && OpensWindows(tag.tname) && !toBook) {
        OpenInNewWindow(tag);
    }
}

}  // namespace engine
