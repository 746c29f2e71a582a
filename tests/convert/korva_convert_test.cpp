// korva-convert as a user runs it: its own process, settings from the user's configuration
// folder, pages from a local server.
#include <chrono>
#include <csignal>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/http_server.h"
#include "tests/support/run_program.h"
#include "tests/support/stand_in_chm.h"
#include "tests/support/temp_folder.h"

namespace {

class KorvaConvertTest : public ::testing::Test {
protected:
    KorvaConvertTest() {
        std::filesystem::create_directories(home_.path() + "my tools");
        std::filesystem::copy_file(FAKE_HHC, home_.path() + "my tools/hhc.exe");
        std::filesystem::create_directories(home_.path() + "temp");
    }

    // Points "HHC" at `compilerFolder`, or leaves the key out when it is empty. No browser:
    // these runs are about what the tags name.
    void StoreCompilerFolder(const std::string& compilerFolder) {
        home_.Write("config/KORVA/KORVA.conf",
                    "[Main]\nBrowser=off\n" +
                        (compilerFolder.empty() ? "" : "HHC=" + compilerFolder + "\n"));
    }

    support::ProgramResult Run(std::vector<std::string> arguments,
                               const std::function<void(pid_t)>& started = {},
                               std::vector<std::string> environment = {}) {
        arguments.insert(arguments.begin(), KORVA_CONVERT);
        environment.push_back("XDG_CONFIG_HOME=" + home_.path() + "config");
        environment.push_back("TEMP=" + home_.path() + "temp");
        return support::RunProgram(arguments, environment, "", started);
    }

    std::string output() const { return home_.path() + "out.chm"; }

    bool WorkingFoldersGone() const { return std::filesystem::is_empty(home_.path() + "temp"); }

    support::HttpServer server_;
    support::TempFolder home_;
};

// Options stand anywhere, as with getopt.
TEST_F(KorvaConvertTest, TakesTheLinkModeAndTheClassicCapture) {
    StoreCompilerFolder(home_.path() + "my tools/");
    server_.Serve("/page.htm", {200, "text/html", "<a href=x.htm>x</a>"});
    ASSERT_EQ(
        Run({"--links", "external", server_.Url("/page.htm"), "--classic", output()}).exitCode, 0);
    EXPECT_EQ(support::ReadStandInChm(output()).at("chmindex.htm"),
              "<a href='" + server_.Url("/x.htm") + "' TARGET='_BLANK'>x</a>");
    home_.Write("config/KORVA/KORVA.conf",
                "[Main]\nHHC=" + home_.path() + "my tools/\nCapture=classic\n");
    ASSERT_EQ(Run({server_.Url("/page.htm"), output(), "--links", "null"}).exitCode, 0);
    EXPECT_EQ(support::ReadStandInChm(output()).at("chmindex.htm"), "<a href>x</a>");
}

TEST_F(KorvaConvertTest, PrintsWhatTheWindowWouldShow) {
    StoreCompilerFolder(home_.path() + "my tools/");
    server_.Serve("/page.htm", {200, "text/html", "<link href=doc.pdf>"});
    server_.Serve("/doc.pdf", {200, "application/pdf", "%PDF"});
    const support::ProgramResult shown = Run({server_.Url("/page.htm"), output()});
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_NE(shown.standardError.find("Content-Type: application/pdf"), std::string::npos);

    const support::ProgramResult failed = Run({server_.Url("/missing.htm"), output()});
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.standardError, "Error 404: Cannot open URL (HTTP 404 Not Found)\n");
    EXPECT_TRUE(WorkingFoldersGone());  // nothing was written, so nothing is left
}

// A signal ends the run: the working folder is cleared, the old output kept, and the program
// dies of that same signal, so that the shell around it (a loop) stops too.
TEST_F(KorvaConvertTest, ASignalEndsTheRunAndThenTheProgramBySameSignal) {
    StoreCompilerFolder(home_.path() + "my tools/");
    home_.Write("out.chm", "old");
    for (const int signal : {SIGINT, SIGTERM}) {
        const std::string slow = "/slow" + std::to_string(signal) + ".gif";
        server_.Serve("/page.htm", {200, "text/html", "<img src=" + slow + ">"});
        server_.Serve(slow, {200, "image/gif", "GIF", "", std::chrono::seconds(3)});
        const support::ProgramResult result =
            Run({server_.Url("/page.htm"), output()}, [this, signal, &slow](pid_t pid) {
                for (int tries = 0; tries < 200 && server_.Hits(slow) == 0; ++tries) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(25));
                }
                ::kill(pid, signal);
            });
        EXPECT_EQ(result.signal, signal);
        EXPECT_EQ(result.standardError, "Error 18: User interrupt occurred\n");
        EXPECT_EQ(home_.Read("out.chm"), "old");
        EXPECT_TRUE(WorkingFoldersGone());
    }
}

// Why a start page gave nothing, in brackets after the message callers know. The name that
// does not resolve is asked in a network of its own, so no query leaves the machine.
TEST_F(KorvaConvertTest, SaysWhyThePageCouldNotBeOpened) {
    home_.Write("config/KORVA/KORVA.conf",
                "[Main]\nHHC=" + home_.path() + "my tools/\nStallSeconds=1\nMaxPageMB=1\n");
    server_.Serve("/stall.htm", {200, "text/html", "late", "", std::chrono::seconds(3)});
    server_.Serve("/broken.htm", {500, "text/html", "oops"});
    server_.Serve("/big.htm", {200, "text/html", std::string((1 << 20) + 1, 'b')});
    std::string closed;
    {
        support::HttpServer gone;
        closed = gone.Url("/x.htm");
    }
    const std::string port = server_.Url("").substr(std::string("http://127.0.0.1:").size());

    const struct {
        std::vector<std::string> command;
        std::string cause;
    } rows[] = {
        {{closed},
         "connection refused: 127.0.0.1 port " + closed.substr(17, closed.find('/', 17) - 17)},
        {{server_.Url("/stall.htm")}, "timed out: 127.0.0.1 port " + port},
        {{server_.Url("/broken.htm")}, "HTTP 500 Internal Server Error"},
        {{server_.Url("/big.htm")}, "page over the MaxPageMB limit of 1 MB"},
        {{"no/such/page.htm"}, "not a web address, nor a file"},
        {{"/usr/bin/unshare", "-rn", KORVA_CONVERT, "http://nowhere.invalid/"},
         "name not resolved: nowhere.invalid port 80"},
    };

    for (const auto& row : rows) {
        std::vector<std::string> command = row.command;
        command.push_back(output());
        const support::ProgramResult result =
            command.size() == 2
                ? Run(command)
                : support::RunProgram(command, {"XDG_CONFIG_HOME=" + home_.path() + "config",
                                                "TEMP=" + home_.path() + "temp"});
        EXPECT_EQ(result.standardError, "Error 404: Cannot open URL (" + row.cause + ")\n");
    }
}

// A run that stored the page but not everything it names says so at its end, and still
// succeeds; --quiet leaves that out.
TEST_F(KorvaConvertTest, SummarisesWhatWasLeftOut) {
    StoreCompilerFolder(home_.path() + "my tools/");
    std::string page = "<img src=ok.gif><img src=broken.gif>";
    for (int i = 0; i < 11; ++i) {
        page += "<img src=gone" + std::to_string(i) + ".gif>";
    }
    server_.Serve("/page.htm", {200, "text/html", page});
    server_.Serve("/ok.gif", {200, "image/gif", "GIF89a"});
    server_.Serve("/broken.gif", {503, "image/gif", ""});
    const support::ProgramResult result = Run({server_.Url("/page.htm"), output()});
    EXPECT_EQ(result.exitCode, 0);
    std::string expected =
        "12 of 13 resources were left out: 11 answered 404, 1 answered 503\n"
        "  " +
        server_.Url("/broken.gif") + ": HTTP 503 Service Unavailable\n";
    for (int i = 0; i < 9; ++i) {
        expected +=
            "  " + server_.Url("/gone" + std::to_string(i) + ".gif") + ": HTTP 404 Not Found\n";
    }
    EXPECT_EQ(result.standardError, expected + "  ...\n");
    const support::ProgramResult quiet = Run({server_.Url("/page.htm"), output(), "--quiet"});
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.standardError, "");
}

// The browser only adds what scripts load; without one the help file is today's, and one line
// says why. Either way nothing of it is left.
TEST_F(KorvaConvertTest, TakesTheBrowserOptionAndMakesTodaysHelpFileWithoutOne) {
    StoreCompilerFolder(home_.path() + "my tools/");
    server_.Serve("/page.htm",
                  {200, "text/html", "<img src=a.gif><script>new Image().src = 'b.gif'</script>"});
    server_.Serve("/a.gif", {200, "image/gif", "GIF89a a"});
    server_.Serve("/b.gif", {200, "image/gif", "GIF89a b"});
    const std::string url = server_.Url("/page.htm");
    ASSERT_EQ(Run({url, output(), "--browser", "off"}).exitCode, 0);
    const std::string today = home_.Read("out.chm");

    const support::ProgramResult none =
        Run({url, output(), "--browser", "auto"}, {}, {"PATH=" + home_.path() + "no browsers"});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(home_.Read("out.chm"), today);
    EXPECT_EQ(none.standardError,
              "No browser was used: none was found (chromium, google-chrome, chrome, "
              "brave-browser or microsoft-edge)\n");

    const support::ProgramResult chromium = Run({url, output(), "--browser", CHROMIUM});
    ASSERT_EQ(chromium.exitCode, 0);
    EXPECT_EQ(support::ReadStandInChm(output())[server_.SiteFolder() + "/b.gif"], "GIF89a b")
        << chromium.standardError;
    EXPECT_TRUE(WorkingFoldersGone());
}

TEST_F(KorvaConvertTest, RefusesAMissingCompilerBeforeFetching) {
    StoreCompilerFolder(home_.path() + "my tools");  // without its "/": not found
    server_.Serve("/page.htm", {200, "text/html", "<p>"});
    const support::ProgramResult result = Run({server_.Url("/page.htm"), output()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.standardError, "The location of the Help Compiler (hhc.exe) is invalid.\n");
    EXPECT_EQ(server_.Hits("/page.htm"), 0);
}

// A wrong command line says what is wrong, then how it goes.
TEST_F(KorvaConvertTest, RefusesWrongArguments) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "URL and OUTPUT are both needed"},
        {{"http://h/", "o.chm", "x"}, "more than URL and OUTPUT"},
        {{"http://h/", "o.chm", "--links"}, "--links needs one of the values shown"},
        {{"http://h/", "--links", "blank", "o.chm"}, "--links needs one of the values shown"},
        {{"--mode", "null", "http://h/", "o.chm"}, "unknown option --mode"},
        {{"http://h/", "o.chm", "--browser", ""}, "--browser needs one of the values shown"},
        {{"http://h/", "--", "--classic", "o.chm"}, "more than URL and OUTPUT"}};
    for (const auto& [arguments, problem] : cases) {
        const support::ProgramResult result = Run(arguments);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.standardError.starts_with("korva-convert: " + problem + "\nusage: "))
            << result.standardError;
    }
}

// The names of a sitemap's entries, in order, as viewers read them.
std::vector<std::string> SitemapNames(const std::string& sitemap) {
    std::vector<std::string> names;
    const std::regex name("<param name=\"Name\" value=\"([^\"]*)\">");
    for (auto it = std::sregex_iterator(sitemap.begin(), sitemap.end(), name);
         it != std::sregex_iterator(); ++it) {
        names.push_back((*it)[1]);
    }
    return names;
}

// The real compiler, found beside korva-convert by default, and readers we did not write: a
// book of two pages whose contents, index and search work.
TEST_F(KorvaConvertTest, MakesAHelpFileThatReadersOpen) {
    StoreCompilerFolder("");
    server_.Serve("/page.htm", {200, "text/html",
                                "<title>Home</title><a href=x.htm>x</a><a href=y.htm>y</a>"
                                "<img src=a.gif>"});
    server_.Serve("/x.htm", {200, "text/html",
                             "<title>Ex</title><h2 id=s>Section</h2><p>zyzzyva lives here"});
    server_.Serve("/a.gif", {200, "image/gif", "GIF89a"});
    const support::ProgramResult result =
        Run({server_.Url("/page.htm"), output(), "--follow", "1"});
    ASSERT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.standardError, "");
    EXPECT_TRUE(WorkingFoldersGone());

    const std::string extracted = home_.path() + "extracted";
    ASSERT_EQ(support::RunProgram({EXTRACT_CHMLIB, output(), extracted}).exitCode, 0);
    const std::string site = "extracted/" + server_.SiteFolder();
    EXPECT_EQ(home_.Read(site + "/page.htm"), "<title>Home</title><a href='x.htm'>x</a><a href='" +
                                                  server_.Url("/y.htm") +
                                                  "'>y</a><img src='a.gif'>");
    EXPECT_EQ(home_.Read(site + "/a.gif"), "GIF89a");
    EXPECT_EQ(SitemapNames(home_.Read("extracted/chmkorva.hhc")),
              (std::vector<std::string>{"Home", "Ex", "Section"}));
    EXPECT_EQ(SitemapNames(home_.Read("extracted/chmkorva.hhk")),
              (std::vector<std::string>{"Ex", "Home", "Section"}));
    const support::ProgramResult searched =
        support::RunProgram({SYSTEM_PYTHON, PYCHM_SEARCH, output(), "zyzzyva", "1", "0"});
    EXPECT_EQ(searched.standardOutput, "1 " + server_.SiteFolder() + "/x.htm\n");
}

// Each program names itself, the one version and the libraries it runs on, without a display.
TEST(ProgramVersionTest, EveryProgramNamesItsVersionAndLibraries) {
    const std::string version = std::regex_replace(KORVA_VERSION, std::regex("\\."), "\\.");
    const std::string curl = "libcurl [0-9.]+ \\(OpenSSL/[0-9.]+, nghttp2/[0-9.]+\\)\n";
    const std::string qt = "Qt 6\\.[0-9.]+\n";

    const struct {
        const char* program;
        std::string expected;
    } rows[] = {
        {KORVA, "korva " + version + "\n" + curl + qt + "liblz4 [0-9.]+\n"},
        {KORVA_CONVERT, "korva-convert " + version + "\n" + curl},
        {HHC_EXE, "hhc.exe " + version + "\nglibc [0-9.]+, libstdc\\+\\+ [0-9]+\n"},
    };

    for (const auto& row : rows) {
        const support::ProgramResult result =
            support::RunProgram({row.program, "--version"}, {"DISPLAY=", "WAYLAND_DISPLAY="});
        EXPECT_EQ(result.exitCode, 0) << row.program;
        EXPECT_TRUE(std::regex_match(result.standardOutput, std::regex(row.expected)))
            << result.standardOutput;
    }
}

}  // namespace
