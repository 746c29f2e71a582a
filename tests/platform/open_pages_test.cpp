#include "platform/browser_sessions/open_pages.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/session_fixtures.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using support::MozLz4File;
using support::SnssWriter;
using namespace support::snss;

std::string FirefoxSession(const std::string& windows, int selectedWindow) {
    return MozLz4File(R"({"windows": [)" + windows + R"(], "selectedWindow": )" +
                      std::to_string(selectedWindow) + "}");
}

std::string FirefoxWindow(const std::vector<std::string>& urls, int selected) {
    std::string tabs;
    for (const std::string& url : urls) {
        tabs += (tabs.empty() ? "" : ",") + std::string(R"({"entries": [{"url": ")") + url +
                R"("}], "index": 1})";
    }
    return R"({"tabs": [)" + tabs + R"(], "selected": )" + std::to_string(selected) + "}";
}

std::string ChromiumSession(const std::string& url) {
    return SnssWriter().Command(kTabWindow, {1, 1}).Navigation(1, 0, url).Marker().bytes();
}

class OpenPagesTest : public testing::Test {
protected:
    // Writes a session file whose modification time lies `minutesAgo` in the past.
    void Session(const std::string& name, const std::string& bytes, int minutesAgo) {
        const std::string path = home_.Write(name, bytes);
        fs::last_write_time(path,
                            fs::file_time_type::clock::now() - std::chrono::minutes(minutesAgo));
    }

    std::vector<std::string> Addresses() const {
        return platform::browser_sessions::OpenPageAddresses(
            {home_.path(), home_.path() + ".config"});
    }

    support::TempFolder home_;
};

// Every browser's newest session file, the oldest file first, the front window and the tab in
// front of each last; other schemes, stale files, closed tabs and oversized files add nothing.
TEST_F(OpenPagesTest, ListsEveryProfilesNewestSessionInOrder) {
    const std::string chromium = ".config/chromium/Default/Sessions/";
    Session(chromium + "Session_13400000000000000",
            SnssWriter()
                .Command(kTabWindow, {1, 11})
                .Navigation(11, 0, "http://c/1")
                .Command(kTabWindow, {1, 12})
                .Command(kTabPosition, {12, 1})
                .Navigation(12, 0, "chrome://newtab/")
                .Command(kTabWindow, {1, 13})
                .Command(kTabPosition, {13, 2})
                .Navigation(13, 0, "https://c/3")
                .Command(kTabWindow, {2, 14})
                .Navigation(14, 0, "file:///c/4")
                .Command(kSelectedTab, {1, 0})
                .Command(kActiveWindow, {1})
                .Marker()
                .bytes(),
            30);
    Session(chromium + "Session_9400000000000000", ChromiumSession("http://c/old"), 1);
    Session(chromium + "Tabs_13500000000000000", ChromiumSession("http://c/closed"), 1);
    Session(".config/google-chrome/Profile 1/Sessions/Session_1", ChromiumSession("http://big/"),
            1);
    fs::resize_file(home_.path() + ".config/google-chrome/Profile 1/Sessions/Session_1",
                    platform::browser_sessions::kMaxSessionFileSize + 1);

    // The profile in use is the install's default, not the one profiles.ini marks Default=1.
    home_.Write(".mozilla/firefox/profiles.ini",
                "[Profile1]\r\nName=unused\r\nIsRelative=1\r\nPath=unused.default\r\nDefault=1\r\n"
                "[Profile0]\r\nIsRelative=1\r\nPath=missing.default\r\n");
    home_.Write(".mozilla/firefox/installs.ini", "[4F96D1932A9F858E]\nDefault=esr.default\n");
    Session(".mozilla/firefox/unused.default/times.json", "{}", 1);
    Session(".mozilla/firefox/esr.default/sessionstore-backups/recovery.jsonlz4",
            FirefoxSession(FirefoxWindow({"http://f/1", "about:blank", ""}, 1) + "," +
                               FirefoxWindow({"HTTPS://F/2"}, 1),
                           1),
            20);
    Session(".mozilla/firefox/esr.default/sessionstore.jsonlz4",
            FirefoxSession(FirefoxWindow({"http://f/stale"}, 1), 1), 25);

    home_.Write(".config/mozilla/firefox/profiles.ini",
                "[Profile0]\nIsRelative=0\nPath=" + home_.path() + "elsewhere\n");
    Session("elsewhere/sessionstore.jsonlz4", FirefoxSession(FirefoxWindow({"http://e/1"}, 1), 1),
            10);
    Session("elsewhere/sessionstore-backups/recovery.jsonlz4",
            FirefoxSession(FirefoxWindow({"http://e/stale"}, 1), 1), 15);

    // A second way to the same profiles must not list their pages twice.
    fs::create_directories(home_.path() + ".var/app/org.mozilla.firefox/.mozilla");
    fs::create_directory_symlink(home_.path() + ".mozilla/firefox",
                                 home_.path() + ".var/app/org.mozilla.firefox/.mozilla/firefox");

    EXPECT_EQ(Addresses(), (std::vector<std::string>{"file:///c/4", "https://c/3", "http://c/1",
                                                     "HTTPS://F/2", "http://f/1", "http://e/1"}));
}

// The user's own folders: $HOME, and $XDG_CONFIG_HOME only when it is an absolute path.
TEST_F(OpenPagesTest, FollowsTheUsersConfigurationFolder) {
    Session("xdg/chromium/Default/Sessions/Session_1", ChromiumSession("http://xdg/"), 1);
    Session(".config/chromium/Default/Sessions/Session_1", ChromiumSession("http://dot/"), 1);
    const std::string userHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "/";
    setenv("HOME", home_.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home_.path() + "xdg").c_str(), 1);
    const std::vector<std::string> xdg = platform::browser_sessions::OpenPageAddresses();
    setenv("XDG_CONFIG_HOME", "xdg", 1);
    const std::vector<std::string> relative = platform::browser_sessions::OpenPageAddresses();
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", userHome.c_str(), 1);
    EXPECT_EQ(xdg, std::vector<std::string>{"http://xdg/"});
    EXPECT_EQ(relative, std::vector<std::string>{"http://dot/"});
}

}  // namespace
