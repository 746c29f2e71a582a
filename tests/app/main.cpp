// Window tests run without a display, and with the user's folders pointed at a scratch folder:
// the settings file, the lock file, the home folder and the temporary folder.
#include <filesystem>

#include <QApplication>
#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

int main(int argc, char** argv) {
    const support::TempFolder scratch;
    for (const char* folder : {"config", "runtime", "home", "temp"}) {
        std::filesystem::create_directories(scratch.path() + folder);
    }
    std::filesystem::permissions(scratch.path() + "runtime", std::filesystem::perms::owner_all);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(scratch.path() + "config"));
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(scratch.path() + "runtime"));
    qputenv("HOME", QByteArray::fromStdString(scratch.path() + "home"));
    qputenv("TEMP", QByteArray::fromStdString(scratch.path() + "temp"));

    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
