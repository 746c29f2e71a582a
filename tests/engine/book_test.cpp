// The rules of a book, each alone: robots.txt, what a page says about itself, the scope, and
// the contents and index files.
#include "engine/book.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/help_navigation.h"
#include "engine/page_outline.h"
#include "engine/robots.h"

namespace {

TEST(RobotsRulesTest, TheLongestMatchDecidesAndAllowWinsATie) {
    const std::string text =
        "# comment\r\n"
        "User-agent: other\nDisallow: /\n\n"
        "User-agent: *\nDisallow: /private/\nAllow: /private/open\nDisallow: /*.pdf$\n"
        "Disallow: /tie\nAllow: /tie\nDisallow:\n"
        "Sitemap: http://h/s.xml\nnonsense line\n";

    struct Case {
        const char* path;
        bool allowed;
    };

    const Case cases[] = {
        {"/", true},         {"/private/x.html", false}, {"/private/open/x.html", true},
        {"/doc.pdf", false}, {"/doc.pdf?x", true},  // "$" anchors the end
        {"/a/b.pdf", false},                        // "*" spans folders
        {"/tie", true},      {"/robots.txt", true},
    };
    const engine::RobotsRules rules = engine::RobotsRules::Parse(text, "korva");
    for (const Case& c : cases) {
        EXPECT_EQ(rules.Allows(c.path), c.allowed) << c.path;
    }
    // A group of its own wins over "*"; groups of one agent merge; letter case is ignored.
    const engine::RobotsRules mine = engine::RobotsRules::Parse(
        "User-agent: *\nDisallow: /\nUser-agent: KORVA\nDisallow: /a\nUser-agent: korva\n"
        "Disallow: /b\n",
        "korva");
    EXPECT_TRUE(mine.Allows("/c"));
    EXPECT_FALSE(mine.Allows("/a"));
    EXPECT_FALSE(mine.Allows("/b"));
    EXPECT_TRUE(engine::RobotsRules().Allows("/anything"));
    EXPECT_FALSE(engine::RobotsRules::DisallowAll().Allows("/anything"));
    EXPECT_TRUE(engine::RobotsRules::Parse(std::string(1 << 20, '*'), "korva").Allows("/"));
}

TEST(PageOutlineTest, TitleHeadingsWithAnchorsAndKeywords) {
    const engine::PageOutline outline = engine::OutlineOf(
        "<html><head><title> Caf\xE9  &amp; more </title>"
        "<meta name=Keywords content='one, two ,,three'>"
        "<script>var s = '<h2 id=x>not a heading</h2>';</script></head>"
        "<h1>First</h1><h2 id=a>Own id</h2><h2>No anchor</h2>"
        "<section id=s>\n <h2>From the section\xC2\xB6</h2></section>"
        "<h3><a name=n></a>Named <b>bold</b></h3><h4 id=deep>Too deep</h4>"
        "<!-- <h2 id=c>commented</h2> -->",
        "Content-Type: text/html; charset=windows-1252\r\n");
    EXPECT_EQ(outline.title, "Caf\xC3\xA9 & more");
    EXPECT_EQ(outline.keywords, (std::vector<std::string>{"one", "two", "three"}));
    ASSERT_EQ(outline.headings.size(), 3u);
    EXPECT_EQ(outline.headings[0].anchor, "a");
    EXPECT_EQ(outline.headings[1].anchor, "s");
    EXPECT_EQ(outline.headings[1].text, "From the section\xC3\x82");  // 1252 bytes, no pilcrow
    EXPECT_EQ(outline.headings[2].level, 3);
    EXPECT_EQ(outline.headings[2].anchor, "n");
    EXPECT_EQ(outline.headings[2].text, "Named bold");
    // No title: the first H1; UTF-8 by the page's own declaration.
    EXPECT_EQ(engine::OutlineOf("<meta charset=utf-8><h1>Caf\xC3\xA9</h1>", "").title,
              "Caf\xC3\xA9");
}

TEST(BookTest, ScopeIsTheStartPagesFolderOrItsSite) {
    struct Case {
        const char* address;
        bool inFolder;
        bool inSite;
    };

    const Case cases[] = {
        {"http://h:81/doc/a.html", true, true},   {"HTTP://H:81/doc/sub/b.html?x=1", true, true},
        {"http://h:81/doc", false, true},         {"http://h:81/other/a.html", false, true},
        {"http://h:82/doc/a.html", false, false}, {"https://h:81/doc/a.html", false, false},
        {"http://g:81/doc/a.html", false, false},
    };
    for (const bool wholeSite : {false, true}) {
        engine::Book book({1, wholeSite, 500});
        book.Begin({"http://h:81/doc/index.html", "h_81/doc/index.html"});
        for (const Case& c : cases) {
            EXPECT_EQ(book.InScope(c.address), wholeSite ? c.inSite : c.inFolder) << c.address;
        }
    }
}

std::vector<engine::BookPage> ThreePages() {
    engine::BookPage start{"http://h/i.htm", "h/i.htm"};
    start.outline = {
        "Start & \"go\"", {{2, "a", "Alpha"}, {3, "b", "Beta"}, {2, "g", "Gamma"}}, {"zeta"}};
    engine::BookPage child{"http://h/c.htm", "h/c.htm", 0, 1};
    child.outline.title = "caf\xC3\xA9 \xF0\x9F\x98\x80";
    engine::BookPage grandchild{"http://h/g.htm", "h/g.htm", 1, 2};
    return {start, child, grandchild};
}

TEST(HelpNavigationTest, ContentsNestPagesAndHeadingsAsFound) {
    const std::string contents = engine::ContentsFile(ThreePages());
    const auto at = [&contents](const std::string& text) { return contents.find(text); };
    EXPECT_NE(at("value=\"Start &amp; &quot;go&quot;\""), std::string::npos);
    EXPECT_NE(at("value=\"caf&#233; ?\""), std::string::npos);     // beyond 16 bits: "?"
    EXPECT_NE(at("value=\"http://h/g.htm\""), std::string::npos);  // no title: the address
    // Beta under Alpha, then Gamma, then the child page, the grandchild under it.
    EXPECT_LT(at("h/i.htm#b"), at("h/i.htm#g"));
    EXPECT_LT(at("h/i.htm#g"), at("h/c.htm"));
    EXPECT_LT(at("h/c.htm"), at("h/g.htm"));
    std::size_t depth = 0, deepest = 0;
    for (std::size_t pos = 0; (pos = contents.find("UL>", pos)) != std::string::npos; ++pos) {
        depth = contents[pos - 1] == '/' ? depth - 1 : depth + 1;
        deepest = std::max(deepest, depth);
    }
    EXPECT_EQ(depth, 0u);
    EXPECT_EQ(deepest, 3u);  // the start page, its child, the grandchild
}

TEST(HelpNavigationTest, IndexIsSortedIgnoringCase) {
    const std::string index = engine::IndexFile(ThreePages());
    std::vector<std::string> names;
    for (std::size_t pos = 0; (pos = index.find("\"Name\" value=\"", pos)) != std::string::npos;) {
        pos += 14;
        names.push_back(index.substr(pos, index.find('"', pos) - pos));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "Beta", "caf&#233; ?", "Gamma",
                                               "Start &amp; &quot;go&quot;", "zeta"}));
}

}  // namespace
