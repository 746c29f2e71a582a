// The settings store on QSettings: organisation and application "KORVA", so on Linux the
// INI file KORVA/KORVA.conf in the user's configuration folder, shared by every program.
#pragma once

#include <string>
#include <string_view>

#include "settings/default_folders.h"
#include "settings/settings_store.h"

namespace settings {

class QtSettingsStore : public SettingsStore {
public:
    std::string GetSetting(std::string_view section, std::string_view key,
                           std::string_view def) const override;
    void SaveSetting(std::string_view section, std::string_view key,
                     std::string_view value) override;
};

}  // namespace settings
