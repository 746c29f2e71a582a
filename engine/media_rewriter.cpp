// Which tags carry a resource is a table per rewriter; every matching attribute is handled,
// in the tag's order, with no test of its value first.
#include "engine/media_rewriter.h"

#include <span>

#include "engine/text.h"
#include "engine/url.h"

namespace engine {

namespace {

struct ResourceAttribute {
    std::string_view tag;
    std::string_view attribute;
};

constexpr ResourceAttribute kImageAttributes[] = {{"IMG", "SRC"},
                                                  {"INPUT", "SRC"},
                                                  {"BODY", "BACKGROUND"},
                                                  {"TABLE", "BACKGROUND"},
                                                  {"TD", "BACKGROUND"}};

constexpr ResourceAttribute kFrameAttributes[] = {
    {"FRAME", "SRC"}, {"SCRIPT", "SRC"}, {"LINK", "HREF"}};

void SaveReferences(TagRecord& tag, std::string_view base, ResourceSaver& saver,
                    std::span<const ResourceAttribute> table) {
    for (const ResourceAttribute& row : table) {
        if (!EqualsNoCase(tag.tname, row.tag)) {
            continue;
        }
        for (TagAttribute& attribute : tag.tTags) {
            if (EqualsNoCase(attribute.name, row.attribute)) {
                attribute.value = saver.SaveFile(CompileUrl(base, attribute.value));
            }
        }
        return;
    }
}

}  // namespace

void AlterImages(TagRecord& tag, std::string_view base, ResourceSaver& saver) {
    SaveReferences(tag, base, saver, kImageAttributes);
}

void AlterFrames(TagRecord& tag, std::string_view base, ResourceSaver& saver) {
    SaveReferences(tag, base, saver, kFrameAttributes);
}

}  // namespace engine
