// korva-convert URL OUTPUT [--links absolute|external|null] [--classic]: one conversion
// without a window.
// What the desktop program would show in a message box goes to standard error.
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "engine/converter.h"
#include "engine/run_error.h"
#include "platform/curl_fetcher.h"
#include "platform/files.h"
#include "platform/folder_search.h"
#include "platform/interrupt.h"
#include "platform/leftovers.h"
#include "platform/process_runner.h"
#include "settings/qt_settings_store.h"
#include "settings/run_settings.h"

namespace {

constexpr std::string_view kUsage =
    "usage: korva-convert URL OUTPUT [--links absolute|external|null] [--classic]";

struct Arguments {
    std::string url;
    std::string output;
    engine::LinkMode mode = engine::LinkMode::Absolute;
    bool classic = false;
};

class ConsoleHost : public engine::Host {
public:
    explicit ConsoleHost(engine::LinkMode mode) : mode_(mode) {}

    engine::LinkMode CurrentLinkMode() const override { return mode_; }

    void ShowMessage(std::string_view text) override { std::cerr << text << '\n'; }

private:
    engine::LinkMode mode_;
};

std::optional<engine::LinkMode> ParseMode(std::string_view name) {
    if (name == "absolute") {
        return engine::LinkMode::Absolute;
    }
    if (name == "external") {
        return engine::LinkMode::External;
    }
    if (name == "null") {
        return engine::LinkMode::Null;
    }
    return std::nullopt;
}

std::optional<Arguments> Parse(int argc, char** argv) {
    if (argc < 3) {
        return std::nullopt;
    }
    Arguments arguments{argv[1], argv[2]};
    for (int i = 3; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--classic") {
            arguments.classic = true;
            continue;
        }
        const std::optional<engine::LinkMode> mode =
            i + 1 < argc ? ParseMode(argv[i + 1]) : std::nullopt;
        if (option != "--links" || !mode) {
            return std::nullopt;
        }
        arguments.mode = *mode;
        ++i;
    }
    return arguments;
}

int Convert(const Arguments& arguments, const std::string& compiler,
            const settings::RunSettings& run) {
    ConsoleHost host(arguments.mode);
    platform::CurlFetcher fetcher({run.maxDownloadBytes, {}});
    platform::SpawnProcessRunner runner;
    platform::LocalFiles files;
    engine::Converter converter(fetcher, host, runner, files);
    converter.sCompiler = compiler;
    converter.capture = arguments.classic ? engine::Capture::Classic : run.capture;
    converter.limits = run.limits;
    converter.interrupted = platform::InterruptRequested;
    int status = 0;
    try {
        platform::RemoveStaleWorkingFolders(platform::TemporaryFolder());
        converter.TempDir = platform::MakeWorkingFolder();
        converter.Convert(arguments.url, arguments.output);
    } catch (const engine::RunError& error) {
        std::cerr << "Error " << error.number << ": " << error.description << '\n';
        // Ended by a signal: say so in the status, as the shell expects.
        status = platform::InterruptRequested() ? 128 + platform::InterruptSignal() : 1;
    }
    // A run that failed cleared its working folder; an empty one goes.
    if (!converter.TempDir.empty()) {
        platform::RemoveFolderIfEmpty(converter.TempDir);
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Arguments> arguments = Parse(argc, argv);
    if (!arguments) {
        std::cerr << kUsage << '\n';
        return 1;
    }
    const settings::QtSettingsStore store;
    const std::string compiler = platform::FindHelpCompiler(store.GetSetting(
        settings::kSection, settings::kCompilerKey, settings::DefaultCompilerFolder()));
    if (compiler.empty()) {
        std::cerr << "The location of the Help Compiler (hhc.exe) is invalid.\n";
        return 1;
    }
    const platform::InterruptGuard interrupts;
    return Convert(*arguments, compiler, settings::ReadRunSettings(store));
}
