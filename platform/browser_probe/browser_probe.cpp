// One browser for the run, started with the probe; one tab for each page, closed after it.
#include "platform/browser_probe/browser_probe.h"

#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include <unistd.h>

#include "platform/browser_probe/browser_finder.h"
#include "platform/browser_probe/browser_process.h"
#include "platform/browser_probe/devtools_pipe.h"
#include "platform/browser_probe/page_watch.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;
using nlohmann::json;

// No extensions, no sign-in, no update checks or other calls home, no keyring: a browser that
// loads the page and nothing else. Its first tab opens about:blank: without an address it opens
// the New Tab page, and it readies the address bar's popups even headless; those pages took
// about 1.5 s of processor time in renderers of their own while the browser started. Chromium
// has no sandbox for root.
std::vector<std::string> BrowserArguments(const std::string& profile) {
    std::vector<std::string> arguments = {
        "--headless", "--disable-gpu", "--disable-quic", "--no-first-run",
        "--no-default-browser-check", "--disable-background-networking",
        "--disable-component-update", "--disable-sync", "--disable-extensions",
        "--password-store=basic", "--mute-audio",
        // NOLINTNEXTLINE(bugprone-suspicious-missing-comma): one option, split
        "--disable-features=WebUIOmniboxPopup,"
        "WebUIOmniboxAimPopup,WebUIOmniboxFullPopup",
        "--window-size=1024,768", "--remote-debugging-pipe", "--user-data-dir=" + profile + "data"};
    if (::geteuid() == 0) {
        arguments.emplace_back("--no-sandbox");
    }
    arguments.emplace_back("about:blank");
    return arguments;
}

// The program's own name, for messages.
std::string NameOf(const std::string& program) {
    return std::filesystem::path(program).filename().string();
}

// The tab the browser opened at its start, which comes up sooner than a new one.
std::string IdlePage(const json& targets) {
    for (const json& target : Field(targets, "targetInfos")) {
        if (Text(target, "type") == "page" && Field(target, "attached") == false) {
            return Text(target, "targetId");
        }
    }
    return "";
}

using End = PageWatch::End;

}  // namespace

BrowserProbe::BrowserProbe(std::string program, const std::string& workingFolder,
                           BrowserLimits limits)
    : program_(std::move(program)), limits_(limits), started_(Clock::now()) {
    std::string folder = workingFolder + ".browser-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) {
        failed_ = true;
        failure_ = "No browser was used: its profile folder could not be made";
        return;
    }
    profile_ = folder + "/";
    process_ = std::make_unique<BrowserProcess>(program_, BrowserArguments(profile_), profile_);
    if (!process_->Started()) {
        failed_ = true;
        failure_ = "No browser was used: " + program_ + " could not be started";
    }
}

BrowserProbe::~BrowserProbe() {
    if (closing_.joinable()) {
        closing_.join();
    } else {
        Close();
    }
}

// Killing the browser takes about 0.1 s and removing its profile (a few hundred files) as much
// again, on a busy machine twice that; the compiler need not wait for either.
void BrowserProbe::Finish() {
    if (!closing_.joinable()) {
        failed_ = true;
        failure_.clear();
        closing_ = std::thread([this] { Close(); });
    }
}

// A browser that was killed may leave a helper writing for a moment (its crash reporter runs
// in a session of its own and ends when it sees the browser gone): a second try then.
void BrowserProbe::Close() {
    process_.reset();
    for (int attempt = 0; attempt < 2 && !profile_.empty(); ++attempt) {
        std::error_code error;
        std::filesystem::remove_all(profile_, error);
        if (!std::filesystem::exists(profile_, error)) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

engine::PageLoads BrowserProbe::Fail(const std::string& why) {
    failed_ = true;
    if (process_) {
        process_->Kill();
    }
    return {{}, "No browser was used: " + NameOf(program_) + " " + why};
}

// A command that got no answer or was refused: the browser is of no more use in this run.
engine::PageLoads BrowserProbe::Failed(const PageWatch& watch, std::string_view doing) {
    switch (watch.Trouble()) {
        case End::Stopped:
            return {};  // the run ends: nothing to say
        case End::TimedOut:
            return Fail("did not answer within " + std::to_string(limits_.startUp.count()) +
                        " ms while " + std::string(doing));
        case End::Refused:
            return Fail("refused " + watch.Refusal() + " while " + std::string(doing));
        default:
            break;
    }
    const std::string how = process_->HowEnded();
    return Fail(how.empty() ? "closed its connection while " + std::string(doing)
                            : "ended (" + how + ") while " + std::string(doing));
}

// The first answer may take as long as the browser takes to come up.
Clock::time_point BrowserProbe::AnswerBy() const {
    return answered_ ? Clock::now() + limits_.startUp : started_ + limits_.startUp;
}

engine::PageLoads BrowserProbe::Probe(const std::string& pageUrl, const engine::StopSignal& stop) {
    if (failed_) {
        return {{}, std::exchange(failure_, "")};
    }
    PageWatch watch(process_->Pipe(), limits_, stop);
    const std::optional<json> targets = watch.Ask("Target.getTargets", {}, {}, AnswerBy());
    if (!targets) {
        return Failed(watch, "starting");
    }
    // Later pages get a tab of their own: a closed one may still be listed for a while.
    std::string targetId = answered_ ? "" : IdlePage(*targets);
    answered_ = true;
    if (targetId.empty()) {
        const std::optional<json> made =
            watch.Ask("Target.createTarget", {{"url", "about:blank"}}, {}, AnswerBy());
        targetId = made ? Text(*made, "targetId") : "";
    }
    const std::optional<json> attached =
        targetId.empty() ? std::nullopt
                         : watch.Ask("Target.attachToTarget",
                                     {{"targetId", targetId}, {"flatten", true}}, {}, AnswerBy());
    if (!attached) {
        return Failed(watch, "opening a tab");
    }
    const std::string loadError = watch.Load(pageUrl, targetId, Text(*attached, "sessionId"));
    process_->Pipe().Send("Target.closeTarget", {{"targetId", targetId}});
    if (watch.Trouble() == End::Stopped || watch.Trouble() == End::Closed) {
        return Failed(watch, "loading the page");
    }
    if (!loadError.empty()) {
        return {{},
                "No browser was used: " + NameOf(program_) + " could not load the page (" +
                    loadError + ")"};
    }
    return {watch.TakeAddresses(), Notices(watch.Full())};
}

std::string BrowserProbe::Notices(bool full) {
    std::string notices;
    if (full) {
        const std::string most = std::to_string(limits_.mostAddresses);
        notices = "The page asked for more than " + most + " addresses; the browser reported " +
                  "the first " + most + ".";
    }
    if (::geteuid() == 0 && !std::exchange(sandboxSaid_, true)) {
        notices += std::string(notices.empty() ? "" : " ") +
                   "The browser ran without its sandbox: Chromium has none for root.";
    }
    return notices;
}

std::unique_ptr<engine::PageProbe> MakeBrowserProbe(std::string_view setting,
                                                    engine::Capture capture,
                                                    const std::string& workingFolder,
                                                    BrowserLimits limits) {
    if (capture == engine::Capture::Classic || setting == "off") {
        return nullptr;
    }
    if (!setting.empty() && setting != "auto") {
        return std::make_unique<BrowserProbe>(std::string(setting), workingFolder, limits);
    }
    const char* path = std::getenv("PATH");
    const std::string found = FindBrowser(path == nullptr ? "" : path);
    if (found.empty()) {
        return std::make_unique<NoBrowser>(
            "No browser was used: none was found (chromium, google-chrome, chrome, brave-browser "
            "or microsoft-edge)");
    }
    return std::make_unique<BrowserProbe>(found, workingFolder, limits);
}

}  // namespace platform
