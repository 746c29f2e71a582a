#include "engine/project_file.h"

namespace engine {

std::string ProjectText(std::string_view startPage, const ResourceTable& resources) {
    const std::string page(startPage);
    std::string text = "[OPTIONS]\r\n";
    text += "Default Window=KORVA\r\n";
    text += "[WINDOWS]\r\n";
    text += "KORVA=\"Created with KORVA\",,,\"" + page + "\",\"" + page +
            "\",,,,,0x42020,,0x207c,[30,30,600,400],,,,,,,0\r\n";
    text += "[FILES]\r\n";
    text += page + "\r\n";
    for (const ResourceRow& row : resources.tFiles()) {
        text += row.localName + "\r\n";
    }
    return text;
}

}  // namespace engine
