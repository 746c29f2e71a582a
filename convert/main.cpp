// korva-convert: one conversion without a window (see arguments.h). What the desktop program
// would show in a message box goes to standard error.
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/visible_text.h"
#include "convert/arguments.h"
#include "convert/console.h"
#include "engine/converter.h"
#include "engine/run_error.h"
#include "korva/version.h"
#include "platform/browser_probe/browser_probe.h"
#include "platform/files.h"
#include "platform/folder_search.h"
#include "platform/interrupt.h"
#include "platform/leftovers.h"
#include "platform/library_versions.h"
#include "platform/make_fetcher.h"
#include "platform/process_runner.h"
#include "settings/default_folders.h"
#include "settings/ini_settings_reader.h"
#include "settings/run_settings.h"

namespace {

int Convert(const Arguments& arguments, const std::string& compiler,
            const settings::RunSettings& run) {
    const bool quiet = arguments.quiet || run.quiet;
    Console console(arguments.mode, quiet);
    const std::unique_ptr<engine::Fetcher> fetcher = platform::MakeFetcher(
        run.parallel && !arguments.sequential,
        platform::MakeLimits(run.maxDownloadBytes, run.maxPageBytes, run.stallSeconds),
        [&console](const platform::FetchProgress& progress) { console.ShowProgress(progress); });
    platform::SpawnProcessRunner runner;
    platform::LocalFiles files;
    engine::Converter converter(*fetcher, console, runner, files);
    converter.sCompiler = compiler;
    converter.capture = arguments.classic ? engine::Capture::Classic : run.capture;
    converter.limits = run.limits;
    converter.book = run.book;
    converter.book.follow = arguments.follow.value_or(run.book.follow);
    converter.book.wholeSite = arguments.wholeSite.value_or(run.book.wholeSite);
    converter.interrupted = platform::InterruptRequested;
    int status = 0;
    std::unique_ptr<engine::PageProbe> browser;
    try {
        platform::RemoveStaleWorkingFolders(platform::TemporaryFolder());
        converter.TempDir = platform::MakeWorkingFolder();
        browser =
            platform::MakeBrowserProbe(arguments.browser.value_or(run.browser), converter.capture,
                                       converter.TempDir, {.settle = run.browserSeconds});
        converter.browser = browser.get();
        converter.Convert(arguments.url, arguments.output);
        const std::string summary =
            engine::LeftOutSummary(converter.leftOut(), converter.resourcesAsked());
        if (!quiet && !summary.empty()) {
            console.ShowMessage(summary);
        }
    } catch (const engine::RunError& error) {
        console.EndProgress();
        std::cerr << "Error " << error.number << ": " << error.description << '\n';
        status = 1;
    }
    console.EndProgress();
    converter.browser = nullptr;
    browser.reset();  // the browser and its profile go before the working folder
    // A run that failed cleared its working folder; an empty one goes.
    if (!converter.TempDir.empty()) {
        platform::RemoveFolderIfEmpty(converter.TempDir);
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string_view only = argc == 2 ? argv[1] : "";
    if (only == "--version") {
        std::cout << "korva-convert " << korva::kVersion << '\n' << platform::CurlVersion() << '\n';
        return 0;
    }
    if (only == "--help") {
        std::cout << kUsage
                  << "\nConverts the page at URL into a compiled HTML Help file at "
                     "OUTPUT; see korva-convert(1).\n"
                     "Exits 0 when OUTPUT was written, 1 on an error. Ctrl-C or SIGTERM "
                     "stops the run,\nclears its working files and ends the program by "
                     "that same signal.\n";
        return 0;
    }
    std::string problem;
    const std::optional<Arguments> arguments = ParseArguments(argc, argv, problem);
    if (!arguments) {
        std::cerr << "korva-convert: " << common::VisibleText(problem) << '\n' << kUsage << '\n';
        return 1;
    }
    const settings::IniSettingsReader store;
    const std::string compiler = platform::FindHelpCompiler(store.GetSetting(
        settings::kSection, settings::kCompilerKey, settings::DefaultCompilerFolder()));
    if (compiler.empty()) {
        std::cerr << "The location of the Help Compiler (hhc.exe) is invalid.\n";
        return 1;
    }
    const platform::InterruptGuard interrupts;
    const int status = Convert(*arguments, compiler, settings::ReadRunSettings(store));
    platform::EndByInterruptSignal();
    return status;
}
