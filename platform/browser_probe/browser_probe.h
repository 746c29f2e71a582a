// What a page's scripts load, learned from a Chromium-family browser that runs the page
// headless: every address it asks for while it loads, until the network is quiet, and after
// one scroll to the bottom, which starts lazy images. The browser only reports addresses; the
// run fetches them itself.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include "engine/capture.h"
#include "engine/ports.h"
#include "platform/browser_probe/page_watch.h"

namespace platform {

class BrowserProcess;

class BrowserProbe : public engine::PageProbe {
public:
    // Starts `program` at once, so that it comes up while the run fetches the page. Its profile
    // is a new folder inside `workingFolder`; as root it runs without its sandbox: Chromium has
    // none for root.
    BrowserProbe(std::string program, const std::string& workingFolder, BrowserLimits limits);

    // Kills the browser with all its processes and removes its profile, unless Finish() began it.
    ~BrowserProbe() override;
    BrowserProbe(const BrowserProbe&) = delete;
    BrowserProbe& operator=(const BrowserProbe&) = delete;

    engine::PageLoads Probe(const std::string& pageUrl, const engine::StopSignal& stop) override;

    // Kills the browser and removes its profile on a thread of its own; later pages get nothing.
    void Finish() override;

private:
    void Close();
    engine::PageLoads Fail(const std::string& why);
    engine::PageLoads Failed(const PageWatch& watch, std::string_view doing);
    std::string Notices(bool full);
    std::chrono::steady_clock::time_point AnswerBy() const;

    std::string program_;
    std::string profile_;  // "" when it could not be made
    BrowserLimits limits_;
    std::chrono::steady_clock::time_point started_;
    std::unique_ptr<BrowserProcess> process_;
    bool answered_ = false;     // the browser is up
    bool failed_ = false;       // tried no more
    std::string failure_;       // the notice of a failure not yet shown
    bool sandboxSaid_ = false;  // the run was told that the browser has no sandbox
    std::thread closing_;       // from Finish()
};

// Says once why no browser is used.
class NoBrowser : public engine::PageProbe {
public:
    explicit NoBrowser(std::string why) : why_(std::move(why)) {}

    engine::PageLoads Probe(const std::string&, const engine::StopSignal&) override {
        return {{}, std::exchange(why_, "")};
    }

private:
    std::string why_;
};

// The probe for a run whose `Browser` setting is `setting`: "auto" (or "") for the first
// browser found on PATH or where its package installs, "off" for none, else a program's path.
// Nothing for "off", and for the classic capture, which never starts a browser.
std::unique_ptr<engine::PageProbe> MakeBrowserProbe(std::string_view setting,
                                                    engine::Capture capture,
                                                    const std::string& workingFolder,
                                                    BrowserLimits limits = {});

}  // namespace platform
