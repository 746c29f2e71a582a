#include "app/single_instance.h"

#include <QStandardPaths>

namespace {

QString LockPath(const QString& folder) {
    const QString where = folder.isEmpty()
                              ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                              : folder;
    return where + "/korva.lock";
}

}  // namespace

SingleInstance::SingleInstance(const QString& folder) : lock_(LockPath(folder)) {}

bool SingleInstance::AnotherIsRunning() {
    return !lock_.isLocked() && !lock_.tryLock(0);
}
