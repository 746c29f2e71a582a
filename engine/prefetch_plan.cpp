#include "engine/prefetch_plan.h"

#include <unordered_set>

#include "engine/resource_linker.h"
#include "engine/style_sheet.h"
#include "engine/tag_scanner.h"
#include "engine/text.h"

namespace engine {

namespace {

// Keeps the addresses asked for and stores nothing, so no nested page is scanned: a frame
// page's own resources are planned when the frame page arrives.
class PlanningSaver : public ResourceSaver {
public:
    std::string SaveFile(const std::string& Url) override {
        const bool web =
            StartsWithNoCase(Url, 1, "http://") || StartsWithNoCase(Url, 1, "https://");
        if (web && seen_.insert(FoldCase(Url)).second) {
            addresses.push_back(Url);
        }
        return "";
    }

    std::vector<std::string> addresses;

private:
    std::unordered_set<std::string> seen_;
};

// The plan must not ask the user anything: links are not fetched, whatever the mode.
class SilentHost : public Host {
public:
    LinkMode CurrentLinkMode() const override { return LinkMode::Absolute; }

    void ShowMessage(std::string_view) override {}
};

}  // namespace

std::vector<std::string> PlanFetches(std::string_view address, std::string_view headers,
                                     std::string_view body, Capture capture) {
    const std::optional<ContentKind> kind = KindOf(headers, capture);
    PlanningSaver saver;
    if (kind && kind->handling == Handling::Page) {
        SilentHost host;
        std::string copy(body);
        IterateTags(copy, Document{address, "", capture}, host, saver);
    } else if (kind && kind->handling == Handling::StyleSheet) {
        ResourceLinker linker(address, "", capture, saver);
        RewriteStyleSheet(body, [&linker](std::string_view ref) { return linker.Localize(ref); });
    }
    return std::move(saver.addresses);
}

}  // namespace engine
