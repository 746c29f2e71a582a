// Which Chromium-family browser a run uses: the one the setting names, or with "auto" the
// first one installed.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace platform {

// The programs' names, in the order they are looked for on PATH.
inline constexpr std::string_view kBrowserNames[] = {
    "chromium", "chromium-browser", "google-chrome",  "google-chrome-stable",
    "chrome",   "brave-browser",    "microsoft-edge", "microsoft-edge-stable"};

// Where their packages put them when that folder is not on PATH.
inline constexpr std::string_view kBrowserPlaces[] = {
    "/opt/google/chrome/chrome", "/opt/brave.com/brave/brave-browser",
    "/opt/microsoft/msedge/microsoft-edge", "/snap/bin/chromium",
    "/var/lib/flatpak/exports/bin/org.chromium.Chromium"};

// The first of `names` that is an executable regular file in a folder of `pathVariable` (a
// PATH value: folders separated by ':', an empty one meaning the current folder), else the
// first of `places` that is one; "" when none is.
std::string FindBrowser(std::string_view pathVariable,
                        std::span<const std::string_view> names = kBrowserNames,
                        std::span<const std::string_view> places = kBrowserPlaces);

}  // namespace platform
