// The page is rebuilt in one output buffer. Every search goes forward from the end of what
// was handled, so each stretch of the page is read and copied once. Positions are 1-based
// and always those of the original page; the rebuilt tags never need to be searched again,
// because each one ends with ">" and the scan goes on after it.
#include "engine/tag_scanner.h"

#include "engine/link_rewriter.h"
#include "engine/media_rewriter.h"
#include "engine/resource_linker.h"
#include "engine/style_sheet.h"
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

// "<!DOCTYPE ...>", "<![CDATA[...>" and "<?xml ...?>" are kept byte for byte.
bool IsDeclaration(std::string_view page, std::size_t p) {
    return StartsWithNoCase(page, p, "<!") || StartsWithNoCase(page, p, "<?");
}

// The new base after a BASE tag: its HREF resolved against the page's own address.
void FollowBase(const TagRecord& tag, std::string_view pageUrl, ResourceLinker& linker) {
    for (const TagAttribute& attribute : tag.tTags) {
        if (EqualsNoCase(attribute.name, "HREF") && !attribute.value.empty()) {
            linker.Rebase(CompileUrl(pageUrl, attribute.value));
            return;
        }
    }
}

void RewriteTag(TagRecord& tag, ResourceLinker& linker, const Document& document, Host& host) {
    AlterLinks(tag, {linker.base(), document.localPath, document.pages}, host);
    AlterImages(tag, linker);
    AlterFrames(tag, linker);
    AlterStyles(tag, linker);
}

// In complete mode the text of a STYLE element that starts after `q` is a style sheet:
// rewritten, and not scanned for tags. Returns where the scan goes on.
std::size_t RewriteStyleElement(std::string_view page, std::size_t q, ResourceLinker& linker,
                                SplicedText& rewritten) {
    const std::size_t close = InStr(page, "</STYLE", q + 1);
    if (close == 0) {
        return q + 1;
    }
    rewritten.SwapText(
        RewriteStyleSheet(Mid(page, q + 1, close - q - 1),
                          [&linker](std::string_view ref) { return linker.Localize(ref); }),
        q + 1, close);
    return close;
}

}  // namespace

void IterateTags(std::string& sData, const Document& document, Host& host, ResourceSaver& saver) {
    const std::string_view page = sData;
    SplicedText rewritten(page);
    ResourceLinker linker(document.address, document.localPath, document.capture, saver);
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
        if (StartsWithNoCase(page, p, "<META") || IsDeclaration(page, p)) {
            continue;
        }
        GetTagInfo(Mid(page, p, q - p + 1), tag, host);
        RewriteTag(tag, linker, document, host);
        if (EqualsNoCase(tag.tname, "BASE")) {
            FollowBase(tag, document.address, linker);
            rewritten.SwapText("", p, q + 1);
            continue;
        }
        rewritten.SwapText(RecompileTag(tag), p, q + 1);
        if (document.capture == Capture::Complete && EqualsNoCase(tag.tname, "STYLE") &&
            !tag.selfClosing) {
            search = RewriteStyleElement(page, q, linker, rewritten);
        }
    }
    sData = std::move(rewritten).Finish();
}

}  // namespace engine
