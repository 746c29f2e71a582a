// Whole runs with a browser that tells what a page's scripts load: Debian's chromium, headless,
// against pages from a local server; the run stores what it reports beside what the tags name.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/run_error.h"
#include "platform/browser_probe/browser_probe.h"
#include "tests/engine/conversion_fixture.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

// The processes whose command line names `text`: a browser started for a run names its profile,
// which lies in the run's working folder. Helpers of a killed browser take a moment to go.
std::set<std::string> ProcessesNaming(const std::string& text) {
    std::set<std::string> found;
    for (int attempt = 0; attempt < 50; ++attempt) {
        found.clear();
        for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
            std::ifstream in(entry.path() / "cmdline", std::ios::binary);
            std::string line;
            try {
                line.assign(std::istreambuf_iterator<char>(in), {});
            } catch (const std::ios_base::failure&) {
                continue;  // it ended while being read
            }
            if (line.find(text) != std::string::npos) {
                found.insert(entry.path().filename().string());
            }
        }
        if (found.empty()) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return found;
}

class ScriptLoadsTest : public support::ConversionTest {
protected:
    // The help file of `path` made with `browser` telling what scripts load.
    std::map<std::string, std::string> ConvertWith(engine::PageProbe* browser,
                                                   const std::string& path) {
        converter_.browser = browser;
        Convert(path);
        converter_.browser = nullptr;
        return Chm();
    }

    std::string Site(const std::string& path) const { return server_.SiteFolder() + path; }

    // Whatever happened, the browser and its profile are gone with the probe.
    void ExpectNothingLeft() {
        EXPECT_TRUE(Leftovers().empty());
        EXPECT_TRUE(ProcessesNaming(work_.path()).empty());
    }

    // Generous where a page that behaves ends the wait anyway: the suite runs on busy machines.
    // The quiet spell is the run's own, so that these pages show it is long enough.
    platform::BrowserLimits limits_{.startUp = std::chrono::seconds(20),
                                    .settle = std::chrono::seconds(8)};
};

TEST_F(ScriptLoadsTest, StoresWhatScriptsLoadBesideWhatTagsNameWithoutRewritingThePage) {
    // The same server under another name is another host, with a folder of its own.
    const std::string port = server_.SiteFolder().substr(std::string_view("127.0.0.1_").size());
    Serve("/cdn/logo.png", "image/png", "logo");
    Serve("/docs/page.html", "text/html",
          "<!DOCTYPE html><title>p</title><script src=js/app.js></script>"
          "<script type=module src=js/main.mjs></script><div style='height:3000px'>top</div>"
          "<img class=lazy data-src=img/lazy.png alt=l>");
    Serve("/docs/js/app.js", "application/javascript",
          "new Image().src = 'img/by-script.png';\n"
          "new Image().src = 'img/moved.png';\n"
          "document.head.appendChild(Object.assign(document.createElement('link'),"
          " {rel: 'stylesheet', href: 'css/theme.css'}));\n"
          "fetch('data/index.json').then(r => r.json()).then(d => { document.title = d.t; });\n"
          "new Image().src = 'http://localhost:" +
              port +
              "/cdn/logo.png';\n"
              "addEventListener('DOMContentLoaded', () => {\n"
              "  const seen = new IntersectionObserver(entries => entries.forEach(e => {\n"
              "    if (e.isIntersecting) { e.target.src = e.target.dataset.src; }\n"
              "  }));\n"
              "  document.querySelectorAll('img.lazy').forEach(i => seen.observe(i));\n"
              "});\n");
    Serve("/docs/js/main.mjs", "text/javascript",
          "import {name} from './lib/util.mjs'; document.body.dataset.name = name;");
    Serve("/docs/js/lib/util.mjs", "text/javascript", "export const name = 'util';");
    Serve("/docs/css/theme.css", "text/css",
          "body{background:url(../img/bg.png)} .nowhere{background:url(../img/unused.png)}");
    Serve("/docs/data/index.json", "application/json", "{\"t\": \"loaded\"}");
    server_.Serve("/docs/img/moved.png", {302, "text/html", "", "/docs/img/new.png"});
    Serve("/favicon.ico", "image/x-icon", "the browser's own request");
    for (const char* image : {"by-script", "new", "bg", "unused", "lazy"}) {
        Serve("/docs/img/" + std::string(image) + ".png", "image/png", image);
    }
    const std::map<std::string, std::string> today = ConvertWith(nullptr, "/docs/page.html");
    std::map<std::string, std::string> added;
    {
        platform::BrowserProbe browser(CHROMIUM, work_.path(), limits_);
        added = ConvertWith(&browser, "/docs/page.html");
    }

    for (const auto& [name, bytes] : today) {
        if (name != "chmkorva.hhp") {
            EXPECT_EQ(added[name], bytes) << name;  // the page and its files are as today
        }
        added.erase(name);
    }
    const std::map<std::string, std::string> expected = {
        {Site("/docs/img/by-script.png"), "by-script"},
        {Site("/docs/img/new.png"), "new"},  // once, though the browser saw two addresses
        {Site("/docs/css/theme.css"),
         "body{background:url(../img/bg.png)} .nowhere{background:url(../img/unused.png)}"},
        {Site("/docs/img/bg.png"), "bg"},
        {Site("/docs/img/unused.png"), "unused"},  // named by a loaded style sheet
        {Site("/docs/data/index.json"), "{\"t\": \"loaded\"}"},
        {Site("/docs/js/lib/util.mjs"), "export const name = 'util';"},
        {Site("/docs/img/lazy.png"), "lazy"},  // after the scroll
        {"localhost_" + port + "/cdn/logo.png", "logo"},
    };
    EXPECT_EQ(added, expected);
    EXPECT_EQ(server_.Hits("/docs/data/index.json"), 2);  // the browser's, then the run's
    EXPECT_TRUE(host_.messages.empty() || ::geteuid() == 0) << host_.messages.front();
    ExpectNothingLeft();
}

// A page a followed link took is run in the browser too, in the same browser.
TEST_F(ScriptLoadsTest, EveryPageOfTheBookIsRun) {
    Serve("/docs/index.html", "text/html", "<a href=next.html>next</a>");
    Serve("/docs/next.html", "text/html", "<script>new Image().src = 'img/by-script.png'</script>");
    Serve("/docs/img/by-script.png", "image/png", "by-script");
    converter_.book.follow = 1;
    std::map<std::string, std::string> chm;
    {
        platform::BrowserProbe browser(CHROMIUM, work_.path(), limits_);
        chm = ConvertWith(&browser, "/docs/index.html");
    }
    EXPECT_EQ(chm[Site("/docs/img/by-script.png")], "by-script");
    ExpectNothingLeft();
}

// Programs that are no browser, or a browser that breaks: the help file is today's, and one
// line says why no browser was used.
struct FailingBrowser {
    const char* id;
    const char* script;  // the program's text; "" for a path where there is none
};

class FailingBrowserTest : public ScriptLoadsTest,
                           public ::testing::WithParamInterface<FailingBrowser> {};

TEST_P(FailingBrowserTest, LeavesTheHelpFileAsTodayAndSaysWhyInOneLine) {
    Serve("/page.htm", "text/html", "<img src=a.png><script>new Image().src = 'b.png'</script>");
    Serve("/a.png", "image/png", "a");
    Serve("/b.png", "image/png", "b");
    const std::map<std::string, std::string> today = ConvertWith(nullptr, "/page.htm");
    const std::string program =
        *GetParam().script == '\0' ? tools_.path() + "no such browser" : tools_.path() + "browser";
    if (*GetParam().script != '\0') {
        std::filesystem::permissions(tools_.Write("browser", GetParam().script),
                                     std::filesystem::perms::owner_all);
    }
    {
        limits_.startUp = std::chrono::seconds(1);
        platform::BrowserProbe browser(program, work_.path(), limits_);
        EXPECT_EQ(ConvertWith(&browser, "/page.htm"), today);
        EXPECT_EQ(ConvertWith(&browser, "/page.htm"), today);  // not tried again, nor said
    }
    ASSERT_EQ(host_.messages.size(), 1u);
    EXPECT_THAT(host_.messages[0], StartsWith("No browser was used: "));
    EXPECT_EQ(host_.messages[0].find('\n'), std::string::npos);
    ExpectNothingLeft();
}

const FailingBrowser kFailingBrowsers[] = {
    {"NotThere", ""},
    {"EndsAtOnce", "#!/bin/sh\nexit 3\n"},
    {"NeverAnswers", "#!/bin/sh\nexec sleep 60\n"},
    {"AnswersWhatIsNoJson", "#!/bin/sh\nprintf 'hello\\0' >&4\nexec sleep 60\n"},
    {"DiesAfterItsFirstAnswer",
     "#!/bin/sh\nprintf '{\"id\":1,\"result\":{\"targetInfos\":[]}}\\0' >&4\n"},
};

INSTANTIATE_TEST_SUITE_P(Programs, FailingBrowserTest, ::testing::ValuesIn(kFailingBrowsers),
                         [](const auto& testCase) { return std::string(testCase.param.id); });

// Pages that never go quiet end within the browser's limits, and the run goes on with what
// the browser reported so far.
struct RestlessPage {
    const char* id;
    const char* script;
    const char* notice;  // what the run says, but for the sandbox; "" for nothing
    std::chrono::seconds load{20};
};

class RestlessPageTest : public ScriptLoadsTest,
                         public ::testing::WithParamInterface<RestlessPage> {};

TEST_P(RestlessPageTest, EndsWithinTheLimits) {
    Serve("/page.htm", "text/html",
          std::string("<p>page<script>") + GetParam().script + "</script>");
    Serve("/n/0", "image/png", "first");
    std::map<std::string, std::string> chm;
    {
        limits_.load = GetParam().load;
        platform::BrowserProbe browser(CHROMIUM, work_.path(), limits_);
        chm = ConvertWith(&browser, "/page.htm");
    }
    EXPECT_EQ(chm.count(Site("/page.htm")), 1u);
    EXPECT_EQ(chm.count(Site("/n/0.png")), *GetParam().notice == '\0' ? 0u : 1u);
    std::string said;
    for (const std::string& message : host_.messages) {
        said += message.substr(0, message.find("The browser ran without its sandbox"));
    }
    EXPECT_EQ(said, GetParam().notice);
    ExpectNothingLeft();
}

const RestlessPage kRestlessPages[] = {
    {"LoopsBeforeItLoads", "for (;;) {}", "", std::chrono::seconds(2)},
    {"LoopsOnceLoaded", "onload = () => setTimeout(() => { for (;;) {} })", ""},
    // The browser reports the requests once the script is done, which under load takes a while.
    {"AsksForTenThousandAddresses", "for (let i = 0; i < 10000; i++) fetch('/n/' + i);",
     "The page asked for more than 1000 addresses; the browser reported the first 1000. ",
     std::chrono::seconds(60)},
};

INSTANTIATE_TEST_SUITE_P(Pages, RestlessPageTest, ::testing::ValuesIn(kRestlessPages),
                         [](const auto& testCase) { return std::string(testCase.param.id); });

// A signal during the browser's visit ends the run as during a fetch, browser and all.
TEST_F(ScriptLoadsTest, AnInterruptedRunLeavesNoBrowserBehind) {
    Serve("/page.htm", "text/html", "<script>for (;;) {}</script>");
    const auto signalAt = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    converter_.interrupted = [signalAt] { return std::chrono::steady_clock::now() > signalAt; };
    limits_.load = std::chrono::minutes(10);
    try {
        platform::BrowserProbe browser(CHROMIUM, work_.path(), limits_);
        ConvertWith(&browser, "/page.htm");
        ADD_FAILURE() << "the run was not interrupted";
    } catch (const engine::RunError& error) {
        EXPECT_EQ(error.number, 18);
    }
    ExpectNothingLeft();
}

}  // namespace
