#include "tests/support/fake_ports.h"

#include "engine/tag_scanner.h"

namespace support {

engine::LinkMode FakeHost::CurrentLinkMode() const {
    ++modeQueries;
    return mode;
}

void FakeHost::ShowMessage(std::string_view text) {
    messages.emplace_back(text);
}

std::string RecordingSaver::SaveFile(const std::string& Url) {
    calls.push_back(Url);
    if (Url == emptyFor) {
        return "";
    }
    if (const auto known = names_.find(Url); known != names_.end()) {
        return known->second;
    }
    const std::string name = "chm" + std::to_string(names_.size()) + ".x";
    names_.emplace(Url, name);  // before the nested scan, so a cycle ends here
    if (const auto page = pages.find(Url); page != pages.end()) {
        std::string text = page->second;
        engine::IterateTags(text, engine::Document{Url, name, capture}, host_, *this);
        stored[name] = text;
    }
    return name;
}

}  // namespace support
