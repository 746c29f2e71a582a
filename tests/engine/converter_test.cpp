// Whole runs against a local HTTP server, the real transfer and files, and the stand-in
// compiler, which archives the project and every file it lists.
#include "engine/converter.h"

#include <filesystem>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "engine/run_error.h"
#include "tests/engine/conversion_fixture.h"
#include "tests/support/run_error_text.h"

namespace {

using ::testing::ElementsAre;

class ClassicRunTest : public support::ConversionTest {
protected:
    ClassicRunTest() { converter_.capture = engine::Capture::Classic; }
};

constexpr const char* kHeader =
    "[OPTIONS]\r\nDefault Window=KORVA\r\n[WINDOWS]\r\n"
    "KORVA=\"Created with KORVA\",,,\"chmindex.htm\",\"chmindex.htm\",,,,,0x42020,,0x207c,"
    "[30,30,600,400],,,,,,,0\r\n[FILES]\r\n";

TEST_F(ClassicRunTest, StoresThePageAndItsResources) {
    Serve("/dir/page.htm", "text/html; charset=iso-8859-1",
          "<img src=a.gif><frame src=f.htm><script src=s.js></script><a href=x.htm>x</a>");
    Serve("/dir/a.gif", "image/gif", "GIF89a");
    Serve("/dir/f.htm", "text/html", "<p class=f>frame</p>");
    Serve("/dir/s.js", "application/x-javascript", "var a;");
    Convert("/dir/page.htm");

    const auto chm = Chm();
    EXPECT_EQ(chm.at("chmkorva.hhp"),
              std::string(kHeader) + "chmindex.htm\r\nchm0.gif\r\nchm1.htm\r\nchm2.js\r\n");
    EXPECT_EQ(chm.at("chmindex.htm"),
              "<img src='chm0.gif'><frame src='chm1.htm'><script src='chm2.js'></script>"
              "<a href='" +
                  server_.Url("/dir/x.htm") + "'>x</a>");
    EXPECT_EQ(chm.at("chm0.gif"), "GIF89a");
    EXPECT_EQ(chm.at("chm1.htm"), "<p class='f'>frame</p>");
    EXPECT_EQ(chm.at("chm2.js"), "var a;");
    EXPECT_EQ(server_.Hits("/dir/f.htm"), 1);  // a page is fetched once, not again to convert
    EXPECT_EQ(tools_.Read("my tools/calls.txt"),
              converter_.sCompiler + "\t" + work_.path() + "chmkorva.hhp\n");
    EXPECT_THAT(Leftovers(), ElementsAre());
    EXPECT_TRUE(host_.messages.empty());
}

TEST_F(ClassicRunTest, APageWithoutResourcesListsItselfAlone) {
    Serve("/", "text/html", "<p>hi</p>");
    converter_.Convert(server_.Url(""), output());  // http://host gets its "/"
    EXPECT_EQ(Chm().at("chmkorva.hhp"), std::string(kHeader) + "chmindex.htm\r\n");
    EXPECT_EQ(converter_.sURL, server_.Url("/"));
}

TEST_F(ClassicRunTest, PagesResolveAgainstTheirOwnFinalAddress) {
    Serve("/dir/page.htm", "text/html", "<frame src=sub/f.htm><frame src=old.htm>");
    Serve("/dir/sub/f.htm", "text/html", "<img src=i.gif><a href=../x.htm>");
    Serve("/dir/sub/i.gif", "image/gif", "sub");
    server_.Serve("/dir/old.htm", {302, "text/html", "", "/moved/new.htm"});
    Serve("/moved/new.htm", "text/html", "<img src=i.gif>");
    Serve("/moved/i.gif", "image/gif", "moved");
    Convert("/dir/page.htm");
    const auto chm = Chm();
    EXPECT_EQ(chm.at("chm0.htm"),
              "<img src='chm1.gif'><a href='" + server_.Url("/dir/x.htm") + "'>");
    EXPECT_EQ(chm.at("chm1.gif"), "sub");
    EXPECT_EQ(chm.at("chm3.gif"), "moved");
}

TEST_F(ClassicRunTest, AnEndlessChainOfFramePagesEnds) {
    // Each page names the next: the nesting stops deep down, and the page there is stored as
    // it came instead of overflowing the stack.
    for (int i = 0; i < 100; ++i) {
        Serve("/f" + std::to_string(i) + ".htm", "text/html",
              "<frame src=f" + std::to_string(i + 1) + ".htm>");
    }
    Convert("/f0.htm");
    const auto chm = Chm();
    EXPECT_EQ(chm.at("chm0.htm"), "<frame src='chm1.htm'>");
    EXPECT_EQ(chm.at("chm62.htm"), "<frame src='chm63.htm'>");  // 64 pages deep, start page too
    EXPECT_EQ(chm.at("chm63.htm"), "<frame src=f65.htm>");
    EXPECT_EQ(converter_.tFiles.nFiles(), 64u);
}

// The start page is held in memory and rewritten whatever its type, up to the page limit; a
// bigger one is a page that gave nothing.
TEST_F(ClassicRunTest, AStartPageIsAPageWhateverItsTypeUpToThePageLimit) {
    Serve("/page.bin", "application/octet-stream", "<img src=a.gif>");
    Serve("/a.gif", "image/gif", "GIF");
    Convert("/page.bin");
    EXPECT_EQ(Chm().at("chmindex.htm"), "<img src='chm0.gif'>");

    platform::CurlFetcher small(platform::MakeLimits(1 << 20, 14));
    engine::Converter converter(small, host_, runner_, files_);
    converter.TempDir = converter_.TempDir;
    EXPECT_EQ(support::RunErrorText([&] { converter.Convert(server_.Url("/page.bin"), output()); }),
              "404 Cannot open URL (page over the MaxPageMB limit of 14 bytes)");
    EXPECT_THAT(Leftovers(), ElementsAre());
}

TEST_F(ClassicRunTest, ALocalFileBecomesTheStartPageAsAnAbsolutePath) {
    const std::string path = out_.Write("pages/my page.htm", "<img src=a.gif>");
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(out_.path());
    for (const std::string& typed :
         {path, std::string("pages/my page.htm"), "file://" + out_.path() + "pages/my%20page.htm",
          "FILE://localhost" + path}) {
        converter_.Convert(typed, output());
        const auto chm = Chm();
        EXPECT_EQ(
            chm.at("chmkorva.hhp"),
            "[OPTIONS]\r\nDefault Window=KORVA\r\n[WINDOWS]\r\nKORVA=\"Created with KORVA\",,,\"" +
                path + "\",\"" + path +
                "\",,,,,0x42020,,0x207c,[30,30,600,400],,,,,,,0\r\n[FILES]\r\n" + path + "\r\n")
            << typed;
        EXPECT_EQ(chm.at(path), "<img src=a.gif>");
        EXPECT_THAT(Leftovers(), ElementsAre());
    }
    std::filesystem::current_path(before);
    EXPECT_EQ(converter_.sURL, "FILE://localhost" + path);  // no "/" added for its two slashes
}

TEST_F(ClassicRunTest, AnErrorClearsTheWorkingFolderAndKeepsTheOldOutput) {
    Serve("/page.htm", "text/html", "<img src=a.gif>");
    Serve("/a.gif", "image/gif", "GIF");
    out_.Write("help file.chm", "old");
    std::filesystem::create_directory(work_.path() + "chmindex.htm");  // the page can't be written
    EXPECT_THROW(Convert("/page.htm"), engine::RunError);
    EXPECT_THAT(Leftovers(), ElementsAre());
    EXPECT_EQ(out_.Read("help file.chm"), "old");
}

// Each way a compile can fail, with what the run then says; the output stays as it was.
TEST_F(ClassicRunTest, ACompileCountsOnlyWhenTheCompilerSucceededAndWroteTheFile) {
    struct Case {
        const char* fault;  // FAKE_HHC_FAULT
        const char* compiler;
        std::string error;
    };

    const std::string failed = "53 The help compiler failed (";
    const Case cases[] = {
        {"", "nowhere/hhc.exe", failed + "it could not be started; no help file was written)"},
        {"status0", "my tools/hhc.exe", failed + "exit status 0)"},
        {"nochm", "my tools/hhc.exe", failed + "exit status 1; no help file was written)"},
        {"crash", "my tools/hhc.exe", failed + "ended by signal 11)"},
        {"hang", "my tools/hhc.exe",
         failed + "stopped after its time limit; no help file was written)"},
    };
    Serve("/page.htm", "text/html", "<p>");
    out_.Write("help file.chm", "old");
    for (const Case& c : cases) {
        ::setenv("FAKE_HHC_FAULT", c.fault, 1);
        converter_.sCompiler = tools_.path() + c.compiler;
        EXPECT_EQ(support::RunErrorText([&] { Convert("/page.htm"); }), c.error);
        EXPECT_EQ(out_.Read("help file.chm"), "old");
        EXPECT_THAT(Leftovers(), ElementsAre());
    }
    ::unsetenv("FAKE_HHC_FAULT");
}

// Each limit of a run ends it with its own error, the working folder empty.
TEST_F(ClassicRunTest, TheRunsLimitsEndIt) {
    struct Case {
        engine::RunLimits limits;
        bool interrupted;
        std::string error;
    };

    const Case cases[] = {
        {{1, 1 << 20, std::chrono::seconds(60)},
         false,
         "67 Too many files: the page needs more than 1 resources"},
        {{10, 30, std::chrono::seconds(60)},
         false,
         "413 Too much to store: the page's files pass 0 MB"},
        {{10, 1 << 20, std::chrono::seconds(1)},
         false,
         "408 Time-out: the run took more than 1 seconds"},
        {{10, 1 << 20, std::chrono::seconds(60)}, true, "18 User interrupt occurred"},
    };
    Serve("/page.htm", "text/html", "<img src=a.gif><img src=b.gif><img src=slow.gif>");
    Serve("/a.gif", "image/gif", "GIF89a 20 bytes long");
    Serve("/b.gif", "image/gif", "GIF");
    server_.Serve("/slow.gif", {200, "image/gif", "slow", "", std::chrono::seconds(5)});
    for (const Case& c : cases) {
        converter_.limits = c.limits;
        converter_.interrupted = [&c] { return c.interrupted; };
        EXPECT_EQ(support::RunErrorText([&] { Convert("/page.htm"); }), c.error);
        EXPECT_THAT(Leftovers(), ElementsAre());
    }
}

}  // namespace
