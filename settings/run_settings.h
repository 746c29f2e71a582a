// The settings that shape a run beyond the compiler and the output folder, read where the
// window and korva-convert set one up. A missing or unusable value counts as its default.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "engine/book.h"
#include "engine/capture.h"
#include "engine/run_guard.h"
#include "settings/settings_store.h"

namespace settings {

inline constexpr std::string_view kCaptureKey = "Capture";  // "complete" (default) or "classic"
inline constexpr std::string_view kMaxDownloadKey = "MaxDownloadMB";  // one transfer's body
inline constexpr std::string_view kMaxPageKey = "MaxPageMB";  // a page or style sheet, in memory
inline constexpr std::string_view kMaxResourcesKey = "MaxResources";
inline constexpr std::string_view kMaxStoredKey = "MaxStoredMB";  // all files of a run
inline constexpr std::string_view kMaxRunKey = "MaxRunSeconds";
inline constexpr std::string_view kParallelKey = "Parallel";  // "false": one address at a time
inline constexpr std::string_view kFollowKey = "Follow";      // links to follow; 0: one page
inline constexpr std::string_view kScopeKey = "Scope";        // "folder" (default) or "site"
inline constexpr std::string_view kMaxPagesKey = "MaxPages";
inline constexpr std::string_view kStallKey = "StallSeconds";  // under 1 KB/s this long: abandoned
inline constexpr std::string_view kQuietKey = "Quiet";         // "true": no progress, no summary
inline constexpr std::string_view kBrowserKey = "Browser";     // "auto" (default), "off" or a path
inline constexpr std::string_view kBrowserSecondsKey = "BrowserSeconds";  // after the load event

struct RunSettings {
    engine::Capture capture = engine::Capture::Complete;
    bool parallel = true;
    std::size_t maxDownloadBytes = std::size_t{256} << 20;
    std::size_t maxPageBytes = std::size_t{32} << 20;
    long stallSeconds = 60;
    bool quiet = false;
    engine::RunLimits limits;
    engine::BookOptions book;
    std::string browser = "auto";  // which browser tells what scripts load
    std::chrono::seconds browserSeconds{5};
};

RunSettings ReadRunSettings(const SettingsStore& store);

}  // namespace settings
