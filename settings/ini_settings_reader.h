// The settings file read without Qt, for korva-convert: loading QtCore and the ICU tables it
// brings costs every run more than the whole settings file is worth. It reads what QSettings
// writes for organisation and application "KORVA" on Linux: KORVA/KORVA.conf in the user's
// configuration folder, then KORVA.conf beside it, then the same two in the system's
// folders, the first that holds the key winning. Each is read once, when the reader is made.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_store.h"

namespace settings {

class IniSettingsReader : public SettingsStore {
public:
    IniSettingsReader();

    std::string GetSetting(std::string_view section, std::string_view key,
                           std::string_view def) const override;

    // korva-convert writes nothing: the window keeps the settings.
    void SaveSetting(std::string_view, std::string_view, std::string_view) override {}

private:
    std::vector<std::string> files_;  // their text, read once, in the order QSettings searches them
};

// One value as QSettings writes it: quotes, backslash escapes ("\\n", "\\x41"), a comment
// after an unquoted ";". An unquoted "," makes a list, which reads as "" as a string.
std::string UnescapedIniValue(std::string_view text);

}  // namespace settings
