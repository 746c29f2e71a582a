// Whole runs that follow links: a small manual with a cycle, a redirect, pages out of scope,
// a page robots.txt keeps out and a link to something that is no page.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "engine/run_error.h"
#include "tests/engine/conversion_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class BookRunTest : public support::ConversionTest {
protected:
    BookRunTest() {
        Serve("/robots.txt", "text/plain", "User-agent: *\nDisallow: /doc/secret\n");
        Serve("/doc/index.htm", "text/html",
              "<title>Start</title><h2 id=top>Top</h2><a href=ch1.htm>1</a>"
              "<a href='ch2.htm#p'>2</a><a href=../out.htm>out</a><a href=secret.htm>s</a>"
              "<a href=pic.png>pic</a><link rel=next href=ch1.htm><img src=pic.png>");
        Serve("/doc/ch1.htm", "text/html",
              "<title>One</title><a href=index.htm>home</a><a href=sub/deep.htm>deep</a>"
              "<a href=moved.htm>moved</a><a href=away.htm>away</a><img src=pic.png>");
        Serve("/doc/ch2.htm", "text/html", "<h1>Two</h1><h2 id=p>Part</h2>");
        Serve("/doc/sub/deep.htm", "text/html", "<a href=../ch2.htm>up</a>");
        Serve("/doc/secret.htm", "text/html", "secret");
        Serve("/doc/pic.png", "image/png", "PNG");
        Serve("/out.htm", "text/html", "<title>Out</title>");
        server_.Serve("/doc/moved.htm", {302, "text/html", "", "/doc/ch2.htm"});
        server_.Serve("/doc/away.htm", {302, "text/html", "", "/out.htm"});
    }

    // The pages and other files in the help file, by their names below the host's folder.
    std::vector<std::string> Stored() {
        std::vector<std::string> names;
        for (const auto& [name, bytes] : Chm()) {
            if (name.starts_with(server_.SiteFolder())) {
                names.push_back(name.substr(server_.SiteFolder().size() + 1));
            }
        }
        return names;
    }

    std::string Page(const std::string& name) {
        return Chm().at(server_.SiteFolder() + "/" + name);
    }
};

TEST_F(BookRunTest, TakesThePagesWithinReachScopeAndRobotsRules) {
    struct Case {
        int follow;
        bool wholeSite;
        std::vector<std::string> stored;
    };

    const Case cases[] = {
        {0, false, {"doc/index.htm", "doc/pic.png"}},
        {1, false, {"doc/ch1.htm", "doc/ch2.htm", "doc/index.htm", "doc/pic.png"}},
        {2,
         false,
         {"doc/ch1.htm", "doc/ch2.htm", "doc/index.htm", "doc/pic.png", "doc/sub/deep.htm"}},
        {2,
         true,
         {"doc/ch1.htm", "doc/ch2.htm", "doc/index.htm", "doc/pic.png", "doc/sub/deep.htm",
          "out.htm"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.follow * 10 + c.wholeSite);
        converter_.book = {c.follow, c.wholeSite, 500};
        Convert("/doc/index.htm");
        EXPECT_EQ(Stored(), c.stored);
        EXPECT_THAT(Leftovers(), ElementsAre());
        EXPECT_EQ(server_.Hits("/doc/secret.htm"), 0);
    }
    // The last run: links between stored pages are local, a redirect's too, fragments kept;
    // the others stay absolute, a picture's too: a link is to a page.
    EXPECT_THAT(Page("doc/index.htm"),
                HasSubstr("<a href='ch1.htm'>1</a><a href='ch2.htm#p'>2</a>"
                          "<a href='../out.htm'>out</a><a href='" +
                          server_.Url("/doc/secret.htm") + "'>s</a><a href='" +
                          server_.Url("/doc/pic.png") + "'>pic</a>"));
    EXPECT_THAT(Page("doc/ch1.htm"), HasSubstr("<a href='index.htm'>home</a><a href='sub/deep.htm'>"
                                               "deep</a><a href='ch2.htm'>moved</a>"
                                               "<a href='../out.htm'>away</a>"));
}

TEST_F(BookRunTest, WritesContentsIndexAndSearchIntoTheProject) {
    converter_.book = {1, false, 500};
    Convert("/doc/index.htm");
    const auto chm = Chm();
    const std::string& project = chm.at("chmkorva.hhp");
    EXPECT_THAT(project, HasSubstr("Contents file=chmkorva.hhc\r\nIndex file=chmkorva.hhk\r\n"
                                   "Full-text search=Yes\r\n"));
    EXPECT_THAT(project,
                HasSubstr("KORVA=\"Created with KORVA\",\"chmkorva.hhc\",\"chmkorva.hhk\","));
    const std::string& contents = chm.at("chmkorva.hhc");
    const std::string site = server_.SiteFolder();
    EXPECT_LT(contents.find("\"Start\""),
              contents.find("value=\"" + site + "/doc/index.htm#top\""));
    EXPECT_LT(contents.find("\"One\""), contents.find("\"Two\""));
    EXPECT_THAT(chm.at("chmkorva.hhk"), HasSubstr("value=\"" + site + "/doc/ch2.htm#p\""));
}

// Pages that would go on for ever, or a robots.txt that cannot be read, end within the limits
// with a line that says so.
TEST_F(BookRunTest, EndlessOrForbiddenPagesEndWithinTheLimits) {
    std::string many;
    for (int i = 0; i < 10000; ++i) {
        many += "<a href=p" + std::to_string(i) + ".htm>";
    }
    Serve("/many/index.htm", "text/html", many);
    for (int i = 0; i < 6; ++i) {
        Serve("/many/p" + std::to_string(i) + ".htm", "text/html", "page");
        Serve("/cal/m.htm?" + std::to_string(i), "text/html",
              "<a href='m.htm?" + std::to_string(i + 1) + "'>next month</a>");
    }
    converter_.book = {1000, false, 5};
    Convert("/many/index.htm");
    EXPECT_EQ(host_.messages.back(),
              "9996 linked pages were left out: the book holds at most 5 pages (MaxPages)");
    Convert("/cal/m.htm?0");
    EXPECT_EQ(host_.messages.back(),
              "1 linked pages were left out: the book holds at most 5 pages (MaxPages)");

    server_.Serve("/robots.txt", {500, "text/plain", "down"});
    converter_.book = {1, false, 500};
    Convert("/doc/index.htm");
    EXPECT_EQ(Stored(), (std::vector<std::string>{"doc/index.htm", "doc/pic.png"}));
    EXPECT_EQ(host_.messages.back(), server_.Url("/robots.txt") +
                                         " could not be read (status 500): no linked page is "
                                         "taken from " +
                                         server_.Url(""));
}

}  // namespace
