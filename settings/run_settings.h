// The settings that shape a run beyond the compiler and the output folder, read where the
// window and korva-convert set one up.
#pragma once

#include <string_view>

#include "engine/capture.h"
#include "settings/settings_store.h"

namespace settings {

inline constexpr std::string_view kCaptureKey = "Capture";  // "complete" (default) or "classic"

struct RunSettings {
    engine::Capture capture = engine::Capture::Complete;
};

// An unknown value counts as its default.
RunSettings ReadRunSettings(const SettingsStore& store);

}  // namespace settings
