// The per-user settings store, as the windows and korva-convert see it.
#pragma once

#include <string>
#include <string_view>

namespace settings {

inline constexpr std::string_view kSection = "Main";
inline constexpr std::string_view kCompilerKey = "HHC";         // folder of hhc.exe, with "/"
inline constexpr std::string_view kOutputDirKey = "OutputDir";  // default output folder

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored text, or `def` when the key has none.
    virtual std::string GetSetting(std::string_view section, std::string_view key,
                                   std::string_view def) const = 0;
    virtual void SaveSetting(std::string_view section, std::string_view key,
                             std::string_view value) = 0;
};

}  // namespace settings
