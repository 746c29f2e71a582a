#include "settings/qt_settings_store.h"

#include <QSettings>

namespace settings {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString KeyPath(std::string_view section, std::string_view key) {
    return ToQString(section) + "/" + ToQString(key);
}

}  // namespace

std::string QtSettingsStore::GetSetting(std::string_view section, std::string_view key,
                                        std::string_view def) const {
    const QSettings store("KORVA", "KORVA");
    return store.value(KeyPath(section, key), ToQString(def)).toString().toStdString();
}

void QtSettingsStore::SaveSetting(std::string_view section, std::string_view key,
                                  std::string_view value) {
    QSettings store("KORVA", "KORVA");
    store.setValue(KeyPath(section, key), ToQString(value));
}

}  // namespace settings
