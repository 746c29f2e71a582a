// The page is rebuilt in one output buffer. Every search goes forward from the end of what
// was handled, so each stretch of the page is read and copied once. Positions are 1-based
// and always those of the original page; the rebuilt tags never need to be searched again,
// because each one ends with ">" and the scan goes on after it.
#include "engine/tag_scanner.h"

#include "engine/link_rewriter.h"
#include "engine/media_rewriter.h"
#include "engine/tag_parser.h"
#include "engine/text.h"
#include "engine/url.h"

namespace engine {

namespace {

// Whether the "<SCRIPT" at `p` opens an inline script: one with "SRC" nowhere before the ">"
// at `q` loads its source instead, and its tag is rewritten like any other.
bool IsInlineScript(std::string_view page, std::size_t p, std::size_t q) {
    return StartsWithNoCase(page, p, "<SCRIPT") && InStr(Mid(page, p, q - p), "SRC") == 0;
}

// The new base after a BASE tag: its HREF resolved against the page's own address.
void FollowBase(const TagRecord& tag, std::string_view pageUrl, std::string& base) {
    for (const TagAttribute& attribute : tag.tTags) {
        if (EqualsNoCase(attribute.name, "HREF") && !attribute.value.empty()) {
            base = CompileUrl(pageUrl, attribute.value);
            return;
        }
    }
}

}  // namespace

void IterateTags(std::string& sData, std::string_view pageUrl, Host& host, ResourceSaver& saver) {
    const std::string_view page = sData;
    SplicedText rewritten(page);
    std::string base(pageUrl);
    TagRecord tag;
    std::size_t search = 1;
    while (const std::size_t p = InStr(page, "<", search)) {
        if (StartsWithNoCase(page, p, "<!--")) {
            search = InStr(page, "-->", p);  // from the "-->" itself: no tag inside is read
            if (search == 0) {
                break;
            }
            continue;
        }
        const std::size_t q = InStr(page, ">", p);
        if (q == 0) {
            break;
        }
        if (IsInlineScript(page, p, q)) {
            const std::size_t close = InStr(page, "</SCRIPT>", p);
            if (close == 0) {
                break;
            }
            search = close + 5;  // inside the closing tag, so it is not read as a tag
            continue;
        }
        search = q + 1;
        if (StartsWithNoCase(page, p, "<META")) {
            continue;
        }
        GetTagInfo(Mid(page, p, q - p + 1), tag, host);
        AlterLinks(tag, base, host);
        AlterImages(tag, base, saver);
        AlterFrames(tag, base, saver);
        if (EqualsNoCase(tag.tname, "BASE")) {
            FollowBase(tag, pageUrl, base);
            rewritten.SwapText("", p, q + 1);
        } else {
            rewritten.SwapText(RecompileTag(tag), p, q + 1);
        }
    }
    sData = std::move(rewritten).Finish();
}

}  // namespace engine
