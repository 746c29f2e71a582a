#include "settings/qt_version.h"

#include <QtGlobal>

namespace settings {

std::string QtVersion() {
    return std::string("Qt ") + qVersion();
}

}  // namespace settings
