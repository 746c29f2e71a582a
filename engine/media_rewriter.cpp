// Which tags carry a resource is a table per rewriter; every matching attribute is handled,
// in the tag's order, with no test of its value first.
#include "engine/media_rewriter.h"

#include <algorithm>
#include <span>

#include "engine/srcset.h"
#include "engine/style_sheet.h"
#include "engine/text.h"

namespace engine {

namespace {

enum class Form { Address, Srcset };

struct ResourceAttribute {
    std::string_view tag;
    std::string_view attribute;
    Capture since = Capture::Classic;  // Classic: handled in both modes
    Form form = Form::Address;
};

constexpr ResourceAttribute kImageAttributes[] = {
    {"IMG", "SRC"},
    {"INPUT", "SRC"},
    {"BODY", "BACKGROUND"},
    {"TABLE", "BACKGROUND"},
    {"TD", "BACKGROUND"},
    {"IMG", "SRCSET", Capture::Complete, Form::Srcset},
    {"SOURCE", "SRCSET", Capture::Complete, Form::Srcset},
    {"SOURCE", "SRC", Capture::Complete},
    {"AUDIO", "SRC", Capture::Complete},
    {"VIDEO", "SRC", Capture::Complete},
    {"VIDEO", "POSTER", Capture::Complete},
    {"TRACK", "SRC", Capture::Complete},
    {"EMBED", "SRC", Capture::Complete},
    {"OBJECT", "DATA", Capture::Complete},
};

constexpr ResourceAttribute kFrameAttributes[] = {
    {"FRAME", "SRC"},
    {"SCRIPT", "SRC"},
    {"LINK", "HREF"},
    {"IFRAME", "SRC", Capture::Complete},
};

constexpr std::string_view kResourceRels[] = {"stylesheet", "icon",    "apple-touch-icon",
                                              "mask-icon",  "preload", "modulepreload"};

const ResourceAttribute* RowFor(std::span<const ResourceAttribute> table, const TagRecord& tag,
                                const TagAttribute& attribute, Capture capture) {
    for (const ResourceAttribute& row : table) {
        if ((row.since == Capture::Classic || capture == Capture::Complete) &&
            EqualsNoCase(tag.tname, row.tag) && EqualsNoCase(attribute.name, row.attribute)) {
            return &row;
        }
    }
    return nullptr;
}

void SaveReferences(TagRecord& tag, ResourceLinker& linker,
                    std::span<const ResourceAttribute> table) {
    for (TagAttribute& attribute : tag.tTags) {
        const ResourceAttribute* row = RowFor(table, tag, attribute, linker.capture());
        if (row == nullptr) {
            continue;
        }
        const auto localize = [&linker](std::string_view ref) { return linker.Localize(ref); };
        attribute.value = row->form == Form::Srcset ? RewriteSrcset(attribute.value, localize)
                                                    : linker.Localize(attribute.value);
    }
}

}  // namespace

void AlterImages(TagRecord& tag, ResourceLinker& linker) {
    SaveReferences(tag, linker, kImageAttributes);
}

void AlterFrames(TagRecord& tag, ResourceLinker& linker) {
    if (!EqualsNoCase(tag.tname, "LINK") || IsResourceLink(tag)) {
        SaveReferences(tag, linker, kFrameAttributes);
    }
}

void AlterStyles(TagRecord& tag, ResourceLinker& linker) {
    if (linker.capture() != Capture::Complete || tag.tname.starts_with('/')) {
        return;
    }
    for (TagAttribute& attribute : tag.tTags) {
        if (EqualsNoCase(attribute.name, "STYLE")) {
            attribute.value = RewriteStyleSheet(
                attribute.value, [&linker](std::string_view ref) { return linker.Localize(ref); });
        }
    }
}

bool IsResourceLink(const TagRecord& tag) {
    const bool hasRel = std::any_of(tag.tTags.begin(), tag.tTags.end(), [](const TagAttribute& a) {
        return EqualsNoCase(a.name, "REL");
    });
    return !hasRel || RelHasAny(tag, kResourceRels);
}

bool RelHasAny(const TagRecord& tag, std::span<const std::string_view> wanted) {
    constexpr ByteSet kBlanks(" \t\r\n\f");
    for (const TagAttribute& rel : tag.tTags) {
        if (!EqualsNoCase(rel.name, "REL")) {
            continue;
        }
        const std::string_view tokens = rel.value;
        for (std::size_t at = 0, end = 0; at < tokens.size(); at = end + 1) {
            const std::size_t blank = FindFirstOf(tokens, kBlanks, at + 1);  // 1-based; 0: none
            end = blank == 0 ? tokens.size() : blank - 1;
            const std::string_view token = tokens.substr(at, end - at);
            if (std::any_of(wanted.begin(), wanted.end(),
                            [token](std::string_view w) { return EqualsNoCase(token, w); })) {
                return true;
            }
        }
        return false;  // the first REL counts
    }
    return false;
}

}  // namespace engine
