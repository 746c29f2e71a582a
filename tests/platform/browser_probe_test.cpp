// The browser probe's parts that need no browser: finding one, and the protocol's framing.
#include <chrono>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/browser_probe/browser_finder.h"
#include "platform/browser_probe/devtools_pipe.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(FindBrowserTest, TakesTheFirstNameFoundOnPathThenTheInstallPlaces) {
    support::TempFolder root;
    const auto program = [&root](const std::string& name) {
        const std::string path = root.Write(name, "#!/bin/sh\n");
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
        return path;
    };
    const std::string a = root.path() + "a";
    const std::string b = root.path() + "b";
    const std::string chrome = program("a/google-chrome");
    const std::string chromium = program("b/chromium");
    root.Write("a/chromium", "not a program");  // not executable
    std::filesystem::create_directories(root.path() + "c/chromium");
    const std::string none = root.path() + "opt/none";
    const std::string place = program("opt/chrome");
    const std::string_view places[] = {none, place};

    EXPECT_EQ(
        platform::FindBrowser(root.path() + "c:" + a + ":" + b, platform::kBrowserNames, places),
        chromium);  // the names' order comes before PATH's
    EXPECT_EQ(platform::FindBrowser(":" + a, platform::kBrowserNames, places), chrome);
    EXPECT_EQ(platform::FindBrowser(root.path() + "c", platform::kBrowserNames, places), place);
    EXPECT_EQ(platform::FindBrowser("", platform::kBrowserNames, {}), "");
}

TEST(DevToolsPipeTest, FramesMessagesByTheirNulWhateverWayTheyArrive) {
    int ends[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
    platform::DevToolsPipe pipe(ends[0]);
    const auto soon = [] { return std::chrono::steady_clock::now() + std::chrono::seconds(5); };

    EXPECT_EQ(pipe.Send("Page.navigate", {{"url", "http://h/"}}, "S1"), 1);
    char sent[200] = {};
    const ssize_t got = ::read(ends[1], sent, sizeof sent);
    EXPECT_EQ(std::string(sent, static_cast<std::size_t>(std::max<ssize_t>(got, 0))),
              std::string(R"({"id":1,"method":"Page.navigate","params":{"url":"http://h/"},)"
                          R"("sessionId":"S1"})") +
                  '\0');

    const std::string two = std::string(R"({"id":1})") + '\0' + R"({"method":"A.b","par)";
    ASSERT_EQ(::write(ends[1], two.data(), two.size()), static_cast<ssize_t>(two.size()));
    EXPECT_EQ(pipe.Receive(soon()), nlohmann::json({{"id", 1}}));
    EXPECT_EQ(pipe.Receive(std::chrono::steady_clock::now()), std::nullopt);  // half a message
    const std::string rest = std::string(R"(ams":{}})") + '\0' + "not json" + '\0';
    ASSERT_EQ(::write(ends[1], rest.data(), rest.size()), static_cast<ssize_t>(rest.size()));
    EXPECT_EQ(pipe.Receive(soon()),
              nlohmann::json({{"method", "A.b"}, {"params", nlohmann::json::object()}}));
    EXPECT_FALSE(pipe.Closed());
    EXPECT_EQ(pipe.Receive(soon()), std::nullopt);
    EXPECT_TRUE(pipe.Closed());  // no JSON: nothing after it can be trusted

    ::close(ends[1]);
    EXPECT_EQ(pipe.Send("Browser.close"), 0);  // the browser is gone: no SIGPIPE either
}

}  // namespace
