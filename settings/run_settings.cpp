#include "settings/run_settings.h"

namespace settings {

RunSettings ReadRunSettings(const SettingsStore& store) {
    RunSettings run;
    if (store.GetSetting(kSection, kCaptureKey, "complete") == "classic") {
        run.capture = engine::Capture::Classic;
    }
    return run;
}

}  // namespace settings
