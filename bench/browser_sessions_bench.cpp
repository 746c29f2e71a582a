// Time to list the open pages of one browser profile holding a session of 500 tabs, for each
// session format: discovery, reading and decoding together. `--smoke` runs 20 tabs once.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/browser_sessions/open_pages.h"
#include "tests/support/session_fixtures.h"
#include "tests/support/temp_folder.h"

namespace {

// What Firefox keeps of a visited entry besides its address, close to real sizes.
const std::string kEntryExtras =
    R"("title": "A page title of ordinary length", "cacheKey": 0, "ID": 7, "persist": true,)"
    R"("docshellUUID": "{0b9d2a52-1c54-4d0e-9d0f-2f4a3c5e6b7a}", "hasUserInteraction": true,)"
    R"("referrerInfo": ")" +
    std::string(320, 'R') + R"(", "triggeringPrincipal_base64": ")" + std::string(180, 'P') +
    R"(", "docIdentifier": 42)";

std::string FirefoxJson(int tabs) {
    std::string json = R"({"version": ["sessionrestore", 1], "selectedWindow": 1, "windows": [)"
                       R"({"selected": 1, "tabs": [)";
    for (int tab = 0; tab < tabs; ++tab) {
        json += tab == 0 ? "{" : ",{";
        json += R"("entries": [)";
        for (int entry = 0; entry < 3; ++entry) {
            json += entry == 0 ? "{" : ",{";
            json += R"("url": "https://example.org/section/)" + std::to_string(tab) + "/" +
                    std::to_string(entry) + R"(.html", )" + kEntryExtras + "}";
        }
        json += R"(], "index": 2, "lastAccessed": 1700000000000, "hidden": false,)"
                R"("attributes": {}, "userContextId": 0, "image": "data:image/png;base64,)" +
                std::string(900, 'I') + R"("})";
    }
    return json + R"(], "_closedTabs": []}], "_closedWindows": []})";
}

std::string ChromiumLog(int tabs) {
    support::SnssWriter log;
    const std::string pageState(1000, 'S');  // serialized page state, the bulk of real entries
    for (int tab = 1; tab <= tabs; ++tab) {
        log.Command(support::snss::kTabWindow, {1, tab})
            .Command(support::snss::kTabPosition, {tab, tab - 1});
        for (int entry = 0; entry < 3; ++entry) {
            log.Navigation(tab, entry,
                           "https://example.org/section/" + std::to_string(tab) + "/" +
                               std::to_string(entry) + ".html",
                           pageState);
        }
        log.Command(support::snss::kSelectedNavigation, {tab, 1});
    }
    return log.Command(support::snss::kSelectedTab, {1, 0})
        .Command(support::snss::kActiveWindow, {1})
        .Marker()
        .bytes();
}

// The best of `runs` listings of the profiles in `home`, in milliseconds.
double BestListingTime(const support::TempFolder& home, int tabs, int runs) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const auto addresses =
            platform::browser_sessions::OpenPageAddresses({home.path(), home.path() + ".config"});
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        if (addresses.size() != static_cast<std::size_t>(tabs)) {
            std::fprintf(stderr, "expected %d addresses, got %zu\n", tabs, addresses.size());
            std::exit(1);
        }
        best = std::min(best, took.count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    const bool smoke = argc > 1 && std::string_view(argv[1]) == "--smoke";
    const int tabs = smoke ? 20 : 500;
    const int runs = smoke ? 1 : 20;

    const support::TempFolder firefox;
    firefox.Write(".mozilla/firefox/profiles.ini", "[Profile0]\nPath=p.default\n");
    const std::string json = FirefoxJson(tabs);
    const std::string mozLz4 = support::MozLz4File(json);
    firefox.Write(".mozilla/firefox/p.default/sessionstore-backups/recovery.jsonlz4", mozLz4);

    const support::TempFolder chromium;
    const std::string snss = ChromiumLog(tabs);
    chromium.Write(".config/chromium/Default/Sessions/Session_13400000000000000", snss);

    std::printf("Firefox session, %d tabs (%zu KB of JSON): %.2f ms\n", tabs, json.size() / 1024,
                BestListingTime(firefox, tabs, runs));
    std::printf("Chromium session, %d tabs (%zu KB SNSS): %.2f ms\n", tabs, snss.size() / 1024,
                BestListingTime(chromium, tabs, runs));
    return 0;
}
