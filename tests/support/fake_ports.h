// Stand-ins for the windows and the resource download, for tests, benchmarks and fuzzing.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "engine/capture.h"
#include "engine/ports.h"

namespace support {

// Answers the link mode from a field and keeps every message shown.
class FakeHost : public engine::Host {
public:
    engine::LinkMode CurrentLinkMode() const override;
    void ShowMessage(std::string_view text) override;

    engine::LinkMode mode = engine::LinkMode::Absolute;
    std::vector<std::string> messages;
    mutable int modeQueries = 0;
};

// Records every SaveFile call and names each new address "chm" + its number + ".x"; an
// address asked for again gets its first name. An address found in `pages` is a page: it is
// scanned, nested, with the same host and saver, and the result kept in `stored`.
class RecordingSaver : public engine::ResourceSaver {
public:
    explicit RecordingSaver(engine::Host& host) : host_(host) {}

    std::string SaveFile(const std::string& Url) override;

    std::map<std::string, std::string> pages;            // address -> page text to scan
    std::map<std::string, std::string> stored;           // local name -> scanned page text
    std::vector<std::string> calls;                      // every address asked for, in order
    std::string emptyFor;                                // an address that stores nothing
    engine::Capture capture = engine::Capture::Classic;  // of the pages it scans

private:
    engine::Host& host_;
    std::map<std::string, std::string> names_;
};

}  // namespace support
