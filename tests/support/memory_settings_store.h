// A settings store in memory, so that window tests neither read nor change the user's own.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "settings/settings_store.h"

namespace support {

class MemorySettingsStore : public settings::SettingsStore {
public:
    std::string GetSetting(std::string_view section, std::string_view key,
                           std::string_view def) const override {
        const auto found = values.find(std::string(section) + "/" + std::string(key));
        return found == values.end() ? std::string(def) : found->second;
    }

    void SaveSetting(std::string_view section, std::string_view key,
                     std::string_view value) override {
        values[std::string(section) + "/" + std::string(key)] = value;
    }

    std::map<std::string, std::string> values;  // "Main/HHC" -> folder
};

}  // namespace support
