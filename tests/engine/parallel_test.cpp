// The concurrent fetcher changes when things are fetched, never what the run makes of them:
// the same pages give byte for byte the same help file (here: the stand-in compiler's archive
// of the project and every file it lists) as one address at a time.
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/make_fetcher.h"
#include "tests/engine/conversion_fixture.h"

namespace {

using namespace std::chrono_literals;

class ParallelRunTest : public support::ConversionTest,
                        public ::testing::WithParamInterface<engine::Capture> {
protected:
    // The help file of a run with the given fetcher.
    std::string HelpFile(bool concurrent) {
        const std::unique_ptr<engine::Fetcher> fetcher = platform::MakeFetcher(concurrent, {}, {});
        engine::Converter converter(*fetcher, host_, runner_, files_);
        converter.sCompiler = converter_.sCompiler;
        converter.TempDir = converter_.TempDir;
        converter.capture = GetParam();
        converter.Convert(server_.Url("/site/index.htm"), output());
        EXPECT_TRUE(Leftovers().empty());
        return out_.Read("help file.chm");
    }
};

TEST_P(ParallelRunTest, GivesTheSameHelpFileAsOneAddressAtATime) {
    Serve("/site/index.htm", "text/html",
          "<frameset><frame src=left.htm><frame src=sub/right.htm></frameset>"
          "<img src=a.gif><img src=A.GIF><img src=gone.png><img src=doc.pdf><img src=moved.gif>"
          "<link rel=stylesheet href=s.css><iframe src=sub/right.htm></iframe>");
    Serve("/site/left.htm", "text/html", "<img src=a.gif><img src=sub/b.gif><frame src=index.htm>");
    Serve("/site/sub/right.htm", "text/html",
          "<img src=../a.gif><img src=c.gif><frame src=deep.htm>");
    Serve("/site/sub/deep.htm", "text/html", "<img src=c.gif><img src=/site/doc.pdf>");
    Serve("/site/s.css", "text/css", "@import 't.css'; p{background:url(sub/b.gif)}");
    Serve("/site/t.css", "text/css", "q{background:url(a.gif)}");
    for (const char* image : {"/site/a.gif", "/site/sub/b.gif", "/site/sub/c.gif", "/site/d.gif"}) {
        server_.Serve(image, {200, "image/gif", std::string("GIF ") + image, "", 20ms});
    }
    server_.Serve("/site/moved.gif", {302, "image/gif", "", "/site/d.gif"});
    Serve("/site/doc.pdf", "application/pdf", "%PDF");

    const std::string oneAtATime = HelpFile(false);
    const std::size_t messages = host_.messages.size();
    EXPECT_EQ(HelpFile(true), oneAtATime);
    EXPECT_EQ(host_.messages.size(), 2 * messages);  // the same messages, once per run
    EXPECT_GT(server_.MostAtOnce(), 1);
}

TEST_P(ParallelRunTest, ASlowResourceDoesNotHoldUpTheOthers) {
    std::string page = "<img src=slow.gif>";
    server_.Serve("/site/slow.gif", {200, "image/gif", "slow", "", 1500ms});
    for (int i = 0; i < 8; ++i) {
        const std::string name = "i" + std::to_string(i) + ".gif";
        server_.Serve("/site/" + name, {200, "image/gif", name, "", 200ms});
        page += "<img src=" + name + ">";
    }
    Serve("/site/index.htm", "text/html", page);
    HelpFile(true);
    EXPECT_GE(server_.MostAtOnce(), 6);  // the slow one and others at once, not one by one
}

// The run asks for an imported sheet and its picture before the plan's queue reaches them; the
// queue must not fetch them a second time.
TEST_P(ParallelRunTest, FetchesEachAddressAtMostOnce) {
    std::string page = "<link rel=stylesheet href=s.css>";
    std::vector<std::string> paths = {"/site/index.htm", "/site/s.css", "/site/t.css",
                                      "/site/u.gif"};
    for (int i = 0; i < 30; ++i) {
        const std::string name = "i" + std::to_string(i) + ".gif";
        server_.Serve("/site/" + name, {200, "image/gif", name, "", 20ms});
        page += "<img src=" + name + ">";
        paths.push_back("/site/" + name);
    }
    Serve("/site/s.css", "text/css", "@import 't.css';");
    Serve("/site/t.css", "text/css", "p{background:url(u.gif)}");
    Serve("/site/u.gif", "image/gif", "GIF89a");
    Serve("/site/index.htm", "text/html", page);
    HelpFile(true);
    for (const std::string& path : paths) {
        EXPECT_LE(server_.Hits(path), 1) << path;
    }
}

INSTANTIATE_TEST_SUITE_P(Captures, ParallelRunTest,
                         ::testing::Values(engine::Capture::Classic, engine::Capture::Complete),
                         [](const auto& param) {
                             return param.param == engine::Capture::Classic ? "Classic"
                                                                            : "Complete";
                         });

}  // namespace
