#include "settings/run_settings.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace settings {

namespace {

// A whole number from 1 to 2^40 stored under `key`, or `def`.
std::uint64_t Number(const SettingsStore& store, std::string_view key, std::uint64_t def) {
    const std::string text = store.GetSetting(kSection, key, "");
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    const bool usable = error == std::errc() && end == text.data() + text.size() && value > 0 &&
                        value <= (std::uint64_t{1} << 40);
    return usable ? value : def;
}

}  // namespace

RunSettings ReadRunSettings(const SettingsStore& store) {
    RunSettings run;
    if (store.GetSetting(kSection, kCaptureKey, "complete") == "classic") {
        run.capture = engine::Capture::Classic;
    }
    run.parallel = store.GetSetting(kSection, kParallelKey, "true") != "false";
    constexpr std::uint64_t kMB = std::uint64_t{1} << 20;
    run.maxDownloadBytes = Number(store, kMaxDownloadKey, run.maxDownloadBytes / kMB) * kMB;
    run.maxPageBytes = Number(store, kMaxPageKey, run.maxPageBytes / kMB) * kMB;
    run.stallSeconds = static_cast<long>(std::min<std::uint64_t>(
        Number(store, kStallKey, static_cast<std::uint64_t>(run.stallSeconds)), 3600));
    run.quiet = store.GetSetting(kSection, kQuietKey, "false") == "true";
    run.limits.maxResources = Number(store, kMaxResourcesKey, run.limits.maxResources);
    run.limits.maxStoredBytes = Number(store, kMaxStoredKey, run.limits.maxStoredBytes / kMB) * kMB;
    run.book.follow = static_cast<int>(std::min<std::uint64_t>(Number(store, kFollowKey, 0), 1000));
    run.book.wholeSite = store.GetSetting(kSection, kScopeKey, "folder") == "site";
    run.book.maxPages = Number(store, kMaxPagesKey, run.book.maxPages);
    run.limits.maxRunTime = std::chrono::seconds(static_cast<long long>(
        Number(store, kMaxRunKey, static_cast<std::uint64_t>(run.limits.maxRunTime.count()))));
    run.browser = store.GetSetting(kSection, kBrowserKey, run.browser);
    constexpr std::uint64_t kLongestBrowserWait = 3600;
    run.browserSeconds = std::chrono::seconds(static_cast<long long>(std::min(
        Number(store, kBrowserSecondsKey, static_cast<std::uint64_t>(run.browserSeconds.count())),
        kLongestBrowserWait)));
    return run;
}

}  // namespace settings
