// korva: the desktop program. One start serves one conversion; it takes no arguments but
// --version, which is answered before Qt looks for a display.
#include <cstring>
#include <iostream>

#include <QApplication>
#include <QIcon>

#include "app/frmMain.h"
#include "app/single_instance.h"
#include "korva/version.h"
#include "platform/browser_sessions/mozlz4_session.h"
#include "platform/files.h"
#include "platform/interrupt.h"
#include "platform/library_versions.h"
#include "platform/make_fetcher.h"
#include "platform/process_runner.h"
#include "settings/qt_settings_store.h"
#include "settings/qt_version.h"
#include "settings/run_settings.h"

namespace {

// The window's life; when it ends, the window has cleared its working folder.
int RunWindow(settings::QtSettingsStore& store) {
    const settings::RunSettings run = settings::ReadRunSettings(store);
    frmMain* shown = nullptr;
    const std::unique_ptr<engine::Fetcher> Net = platform::MakeFetcher(
        run.parallel, platform::SizeLimits(run.maxDownloadBytes, run.maxPageBytes),
        [&shown](const platform::FetchProgress& progress) {
            if (shown != nullptr) {
                shown->ShowProgress(progress);
            }
        });
    platform::SpawnProcessRunner runner;
    platform::LocalFiles files;
    SingleInstance instance;
    frmMain window(store, *Net, runner, files);
    shown = &window;
    if (!window.Form_Load(instance)) {
        return 0;
    }
    window.show();
    return QApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "korva " << korva::kVersion << '\n'
                  << platform::CurlVersion() << '\n'
                  << settings::QtVersion() << '\n'
                  << platform::browser_sessions::Lz4Version() << '\n';
        return 0;
    }
    QApplication application(argc, argv);
    QIcon icon(":/artwork/korva-16.png");
    icon.addFile(":/artwork/korva-32.png");
    QApplication::setWindowIcon(icon);

    settings::QtSettingsStore store;
    const int status = RunWindow(store);
    platform::EndByInterruptSignal();
    return status;
}
