// Whole runs of the complete capture: a small site with what today's pages use, stored under
// its own layout and rewritten so that the copy refers to itself.
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/engine/conversion_fixture.h"

namespace {

using ::testing::HasSubstr;

class CompleteRunTest : public support::ConversionTest {
protected:
    // The stored file of `path` on the test server.
    std::string Stored(const std::map<std::string, std::string>& chm, const std::string& path) {
        const auto file = chm.find(server_.SiteFolder() + path);
        return file == chm.end() ? "(not stored: " + path + ")" : file->second;
    }
};

TEST_F(CompleteRunTest, StoresTheSiteWhereItWasAndRefersRelatively) {
    Serve("/docs/guide/page.html", "text/html",
          "<!DOCTYPE html><link REL =\"stylesheet\" HREF=\"../../static/css/main.css\">"
          "<link rel=stylesheet href=/static/css/theme.css?v=1>"
          "<link rel=stylesheet href=/static/css/theme.css?v=2>"
          "<link rel=\"shortcut icon\" href=/favicon.ico><link rel=next href=next.html>"
          "<script src=../../static/js/theme.js></script>"
          "<style>body{background:url(../../static/img/bg.png)}</style>"
          "<a href=#intro onclick=\"go('x')\">i</a>"
          "<img src=pics/a.png srcset=\"pics/a.png 1x, pics/a@2x.png 2x\">"
          "<iframe src=frame/f.html></iframe><img src=/missing.png#x><img src=/pic><img "
          "src=/pic.png>");
    Serve("/static/css/main.css", "text/css",
          "@import \"../fonts/fonts.css\"; h1{background:url( '../img/h.png' )}");
    Serve("/static/fonts/fonts.css", "text/css", "@font-face{src:url(f.woff2) format('woff2')}");
    Serve("/static/fonts/f.woff2", "font/woff2", "wOF2");
    Serve("/static/css/theme.css?v=1", "text/css", "one");
    Serve("/static/css/theme.css?v=2", "text/css", "two");
    Serve("/static/img/h.png", "image/png", "h");
    Serve("/static/img/bg.png", "image/png", "bg");
    Serve("/static/js/theme.js", "application/javascript", "js");
    Serve("/favicon.ico", "image/x-icon", "ico");
    Serve("/docs/guide/next.html", "text/html", "next");
    Serve("/docs/guide/pics/a.png", "image/png", "1x");
    Serve("/docs/guide/pics/a@2x.png", "image/png", "2x");
    Serve("/docs/guide/frame/f.html", "text/html",
          "<img src=inner.png><iframe src=../page.html></iframe>");
    Serve("/docs/guide/frame/inner.png", "image/png", "inner");
    Serve("/pic", "image/png", "no extension");
    Serve("/pic.png", "image/png", "with extension");
    Convert("/docs/guide/page.html");

    const auto chm = Chm();
    EXPECT_EQ(Stored(chm, "/docs/guide/page.html"),
              "<!DOCTYPE html><link REL='stylesheet' HREF='../../static/css/main.css'>"
              "<link rel='stylesheet' href='../../static/css/theme-51e306d7.css'>"
              "<link rel='stylesheet' href='../../static/css/theme-52e3086a.css'>"
              "<link rel='shortcut icon' href='../../favicon.ico'>"
              "<link rel='next' href='" +
                  server_.Url("/docs/guide/next.html") +
                  "'>"
                  "<script src='../../static/js/theme.js'></script>"
                  "<style>body{background:url(../../static/img/bg.png)}</style>"
                  "<a href='#intro' onclick=\"go('x')\">i</a>"
                  "<img src='pics/a.png' srcset='pics/a.png 1x, pics/a@2x.png 2x'>"
                  "<iframe src='frame/f.html'></iframe><img src='" +
                  server_.Url("/missing.png#x") +
                  "'><img src='../../pic.png'><img src='../../pic-2.png'>");
    EXPECT_EQ(Stored(chm, "/static/css/main.css"),
              "@import \"../fonts/fonts.css\"; h1{background:url( '../img/h.png' )}");
    EXPECT_EQ(Stored(chm, "/static/fonts/fonts.css"),
              "@font-face{src:url(f.woff2) format('woff2')}");
    EXPECT_EQ(Stored(chm, "/docs/guide/frame/f.html"),
              "<img src='inner.png'><iframe src='../page.html'></iframe>");
    for (const auto& [path, bytes] :
         {std::pair("/static/fonts/f.woff2", "wOF2"), std::pair("/static/img/h.png", "h"),
          std::pair("/static/css/theme-51e306d7.css", "one"), std::pair("/favicon.ico", "ico"),
          std::pair("/docs/guide/pics/a@2x.png", "2x"), std::pair("/pic.png", "no extension"),
          std::pair("/pic-2.png", "with extension"),
          std::pair("/docs/guide/frame/inner.png", "inner")}) {
        EXPECT_EQ(Stored(chm, path), bytes) << path;
    }
    EXPECT_THAT(chm.at("chmkorva.hhp"),
                HasSubstr("\"" + server_.SiteFolder() + "/docs/guide/page.html\",\"" +
                          server_.SiteFolder() + "/docs/guide/page.html\","));
    EXPECT_EQ(server_.Hits("/docs/guide/next.html"), 0);
    EXPECT_EQ(server_.Hits("/docs/guide/page.html"), 1);  // the frame's way back is the start page
    EXPECT_TRUE(host_.messages.empty());
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(CompleteRunTest, AnAddressThatGivesNothingIsAskedForOnce) {
    std::string page;
    for (int i = 0; i < 50; ++i) {
        const std::string frame = "/f" + std::to_string(i) + ".htm";
        Serve(frame, "text/html", "<link href=doc.pdf><img src=gone.png><img src=doc.pdf#p2>");
        page += "<iframe src=" + frame + "></iframe>";
    }
    Serve("/doc.pdf", "application/pdf", "%PDF");
    Serve("/page.htm", "text/html", page);
    Convert("/page.htm");
    EXPECT_EQ(server_.Hits("/doc.pdf"), 1);
    EXPECT_EQ(server_.Hits("/gone.png"), 1);
    EXPECT_EQ(host_.messages.size(), 1u);
    EXPECT_EQ(Stored(Chm(), "/f49.htm"), "<link href='" + server_.Url("/doc.pdf") + "'><img src='" +
                                             server_.Url("/gone.png") + "'><img src='" +
                                             server_.Url("/doc.pdf#p2") + "'>");
}

}  // namespace
