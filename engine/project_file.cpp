#include "engine/project_file.h"

namespace engine {

namespace {

// The navigation pane's style: the original's tri-pane window with its advanced search tab
// and remembered position (0x42020), plus the Search tab (0x400) and the contents following
// the page shown (0x100), as the platform's viewer reads them.
constexpr std::string_view kOriginalStyle = "0x42020";
constexpr std::string_view kNavigationStyle = "0x42520";

// A window field: empty, or the value in quotes.
std::string Field(const std::string& value) {
    return value.empty() ? value : "\"" + value + "\"";
}

}  // namespace

std::string ProjectText(std::string_view startPage, const ResourceTable& resources,
                        const HelpNavigation* navigation) {
    const std::string page(startPage);
    std::string text = "[OPTIONS]\r\n";
    std::string contents, index;
    if (navigation != nullptr) {
        contents = navigation->contentsFile;
        index = navigation->indexFile;
        if (!contents.empty()) {
            text += "Contents file=" + contents + "\r\n";
        }
        if (!index.empty()) {
            text += "Index file=" + index + "\r\n";
        }
        text += "Full-text search=Yes\r\n";
    }
    text += "Default Window=KORVA\r\n";
    text += "[WINDOWS]\r\n";
    text += "KORVA=\"Created with KORVA\"," + Field(contents) + "," + Field(index) + ",\"" + page +
            "\",\"" + page + "\",,,,," +
            std::string(navigation != nullptr ? kNavigationStyle : kOriginalStyle) +
            ",,0x207c,[30,30,600,400],,,,,,,0\r\n";
    text += "[FILES]\r\n";
    text += page + "\r\n";
    for (const ResourceRow& row : resources.tFiles()) {
        text += row.localName + "\r\n";
    }
    return text;
}

}  // namespace engine
