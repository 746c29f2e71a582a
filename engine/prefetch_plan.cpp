#include "engine/prefetch_plan.h"

#include <unordered_set>

#include "engine/resource_linker.h"
#include "engine/style_sheet.h"
#include "engine/tag_scanner.h"
#include "engine/text.h"

namespace engine {

namespace {

bool IsWebAddress(std::string_view url) {
    return StartsWithNoCase(url, 1, "http://") || StartsWithNoCase(url, 1, "https://");
}

// Keeps the addresses asked for and stores nothing, so no nested page is scanned: a frame
// page's own resources are planned when the frame page arrives. Links to follow are kept too
// when `followLinks` is set; none is ever a stored page here.
class PlanningSaver : public ResourceSaver, public PageLinks {
public:
    explicit PlanningSaver(bool followLinks) : followLinks_(followLinks) {}

    std::string SaveFile(const std::string& Url) override {
        Keep(Url, false);
        return "";
    }

    std::optional<std::string> PageFor(const std::string& address, bool followed) override {
        if (followLinks_ && followed) {
            Keep(address, true);
        }
        return std::nullopt;
    }

    std::vector<PlannedFetch> planned;

private:
    void Keep(const std::string& address, bool page) {
        if (IsWebAddress(address) && seen_[page].insert(FoldCase(address)).second) {
            planned.push_back({address, page});
        }
    }

    bool followLinks_;
    std::unordered_set<std::string> seen_[2];  // resources, pages
};

// The plan must not ask the user anything: links are not fetched, whatever the mode.
class SilentHost : public Host {
public:
    LinkMode CurrentLinkMode() const override { return LinkMode::Absolute; }

    void ShowMessage(std::string_view) override {}
};

}  // namespace

std::vector<PlannedFetch> PlanFetches(std::string_view address, std::string_view headers,
                                      std::string_view body, Capture capture, bool followLinks) {
    const std::optional<ContentKind> kind = KindOf(headers, capture);
    PlanningSaver saver(followLinks);
    if (kind && kind->handling == Handling::Page) {
        SilentHost host;
        std::string copy(body);
        IterateTags(copy, Document{address, "", capture, &saver}, host, saver);
    } else if (kind && kind->handling == Handling::StyleSheet) {
        ResourceLinker linker(address, "", capture, saver);
        RewriteStyleSheet(body, [&linker](std::string_view ref) { return linker.Localize(ref); });
    }
    return std::move(saver.planned);
}

}  // namespace engine
