#include "engine/local_names.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using engine::ContentKind;

const ContentKind kPage = engine::PageKind();
const ContentKind kPng{".png", "", engine::Handling::Store};

TEST(SiteNamesTest, KeepsTheAddressesPathUnderItsHost) {
    struct Case {
        std::string address;
        const ContentKind& kind;
        std::string name;
    };

    const Case cases[] = {
        {"http://127.0.0.1:8111/std/vec/struct.Vec.html", kPage,
         "127.0.0.1_8111/std/vec/struct.Vec.html"},
        {"http://user@host/", kPage, "host/index.htm"},
        {"http://host/dir/", kPage, "host/dir/index.htm"},
        {"http://host/page.php?id=3", kPage, "host/page.php-19cb08bc.htm"},
        {"http://host/a//b/c/pic", kPng, "host/a/b/c/pic.png"},
        {"http://host/My%20Pic.PNG", kPng, "host/My_Pic.PNG"},
        {"http://host/a:b*c.png", kPng, "host/a_b_c.png"},
        {"http://host/PIC.png", kPng, "host/PIC.png"},
        {"http://host/pic", kPng, "host/pic-2.png"},  // taken, letter case ignored
        {"http://host/x.png?a", kPng, "host/x-e40c292c.png"},
        {"http://host/x.png?b", kPng, "host/x-e70c2de5.png"},
        // Names and paths a file system takes: long segments cut, deep folders joined.
        {"http://host/" + std::string(300, 'n') + ".png", kPng,
         "host/" + std::string(87, 'n') + "-a950dfb0.png"},
        {"http://host/1/2/3/4/5/6/7/8/9/10/11/12/13/14/15/16/17/p.png", kPng,
         "host/1/2/3/4/5/6/7/8/9/10/11/12/13/14/15/0177df94/p.png"},
    };
    engine::SiteNames names;
    EXPECT_EQ(names.StartPage("http://host/a.png"), "host/a.png.htm");
    for (const Case& c : cases) {
        EXPECT_EQ(names.Resource(c.address, c.kind, 0), c.name) << c.address;
    }
}

TEST(LocalNamesTest, ClassicNamesAreNumberedInOneFolder) {
    engine::ClassicNames names;
    EXPECT_EQ(names.StartPage("http://host/a/b.html"), "chmindex.htm");
    EXPECT_EQ(names.Resource("http://host/a/b.png", kPng, 7), "chm7.png");
}

TEST(LocalNamesTest, RelativeReferences) {
    EXPECT_EQ(engine::RelativeReference("chmindex.htm", "chm3.gif"), "chm3.gif");
    EXPECT_EQ(engine::RelativeReference("h/a/b/p.htm", "h/a/c/x.css"), "../c/x.css");
    EXPECT_EQ(engine::RelativeReference("h/a/p.htm", "h/a/p.htm"), "p.htm");
    EXPECT_EQ(engine::RelativeReference("h/ab/p.htm", "h/a/x.png"), "../a/x.png");
    EXPECT_EQ(engine::RelativeReference("h/p.htm", "g/x.png"), "../g/x.png");
}

TEST(KindOfTest, TakesTheContentTypeFieldOfTheResponse) {
    struct Case {
        std::string headers;
        engine::Capture capture;
        std::string extension;  // "" when nothing is stored
        engine::Handling handling;
    };

    using engine::Capture;
    using engine::Handling;
    const Case cases[] = {
        {"HTTP/1.1 200 OK\r\ncontent-TYPE:  Text/HTML ; charset=utf-8\r\n", Capture::Classic,
         ".htm", Handling::Page},
        {"Content-Type: text/css\r\n", Capture::Classic, ".css", Handling::Store},
        {"Content-Type: text/css\r\n", Capture::Complete, ".css", Handling::StyleSheet},
        {"X-Note: image/gif\r\nContent-Type: application/pdf\r\n", Capture::Complete, "",
         Handling::Store},
        {"Content-Type: font/woff2\r\n", Capture::Classic, "", Handling::Store},
        {"Content-Type: font/woff2\r\n", Capture::Complete, ".woff2", Handling::Store},
        {"Content-Type: application/xhtml+xml\r\n", Capture::Complete, ".htm", Handling::Page},
        {"Content-Type: video/x-matroska\r\n", Capture::Complete, ".matroska", Handling::Store},
        {"Content-Type: image/svg+xml\r\n", Capture::Complete, ".svg", Handling::Store},
        {"Content-Type: audio/x-\r\n", Capture::Complete, "", Handling::Store},
        {"Content-Type: model/x.y\r\n", Capture::Complete, "", Handling::Store},
        {"HTTP/1.1 200 OK\r\n", Capture::Complete, "", Handling::Store},
        // Several fields or values: the last that parses, as browsers take it.
        {"Content-Type: text/html\r\nContent-Type: image/gif\r\n", Capture::Classic, ".gif",
         Handling::Store},
        {"Content-Type: image/gif, text/css\r\n", Capture::Complete, ".css", Handling::StyleSheet},
        {"Content-Type: text/html\r\nContent-Type: */*\r\nContent-Type: image/\r\n",
         Capture::Classic, ".htm", Handling::Page},
        {"Content-Type: image/gif;a=\"x,text/css\"\r\n", Capture::Classic, ".gif", Handling::Store},
        {"Content-Type: text/html\r\nContent-Type: ima ge/gif\r\n", Capture::Classic, ".htm",
         Handling::Page},
    };
    for (const Case& c : cases) {
        const std::optional<engine::ContentKind> kind = engine::KindOf(c.headers, c.capture);
        EXPECT_EQ(kind ? kind->extension : "", c.extension) << c.headers;
        EXPECT_EQ(kind ? kind->handling : Handling::Store, c.handling) << c.headers;
    }
}

}  // namespace
