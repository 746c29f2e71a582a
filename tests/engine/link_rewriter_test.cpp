#include "engine/link_rewriter.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/fake_ports.h"

namespace {

using engine::LinkMode;

constexpr const char* kPage = "http://host/dir/page.htm";

struct LinkCase {
    const char* id;
    std::string tag;
    std::string absolute;
    std::string external;
    std::string null;
};

std::string Rewrite(const std::string& text, LinkMode mode) {
    support::FakeHost host;
    host.mode = mode;
    engine::TagRecord tag;
    engine::GetTagInfo(text, tag, host);
    engine::AlterLinks(tag, {kPage, "host/dir/page.htm"}, host);
    return engine::RecompileTag(tag);
}

class AlterLinksTest : public ::testing::TestWithParam<LinkCase> {};

TEST_P(AlterLinksTest, RewritesByMode) {
    const LinkCase& c = GetParam();
    EXPECT_EQ(Rewrite(c.tag, LinkMode::Absolute), c.absolute);
    EXPECT_EQ(Rewrite(c.tag, LinkMode::External), c.external);
    EXPECT_EQ(Rewrite(c.tag, LinkMode::Null), c.null);
}

const LinkCase kLinkCases[] = {
    {"LowerCaseLink", "<a href=x.htm>", "<a href='http://host/dir/x.htm'>",
     "<a href='http://host/dir/x.htm' TARGET='_BLANK'>", "<a href>"},
    {"TargetReplacedNotAdded", "<A HREF=x.htm target=_top>",
     "<A HREF='http://host/dir/x.htm' target='_top'>",
     "<A HREF='http://host/dir/x.htm' target='_BLANK'>", "<A HREF target='_top'>"},
    {"OnlyFirstTargetChanged", "<A TARGET=a TARGET=b HREF=x>",
     "<A TARGET='a' TARGET='b' HREF='http://host/dir/x'>",
     "<A TARGET='_BLANK' TARGET='b' HREF='http://host/dir/x'>", "<A TARGET='a' TARGET='b' HREF>"},
    {"AbsoluteKeptLetterForLetter", "<A HREF=HTTP://Other/X.htm>", "<A HREF='HTTP://Other/X.htm'>",
     "<A HREF='HTTP://Other/X.htm' TARGET='_BLANK'>", "<A HREF>"},
    {"TwoHrefs", "<A HREF=a.htm HREF=/b.htm>",
     "<A HREF='http://host/dir/a.htm' HREF='http://host/b.htm'>",
     "<A HREF='http://host/dir/a.htm' HREF='http://host/b.htm' TARGET='_BLANK'>", "<A HREF HREF>"},
    {"AnchorStaysOnPage", "<A HREF=#top>", "<A HREF='#top'>", "<A HREF='#top' TARGET='_BLANK'>",
     "<A HREF>"},
    {"MailKept", "<A HREF=mailto:a@b.c>", "<A HREF='mailto:a@b.c'>",
     "<A HREF='mailto:a@b.c' TARGET='_BLANK'>", "<A HREF>"},
    {"AreaWithoutTarget", "<AREA NOHREF SHAPE=rect>", "<AREA NOHREF SHAPE='rect'>",
     "<AREA NOHREF SHAPE='rect' TARGET='_BLANK'>", "<AREA NOHREF SHAPE='rect'>"},
    {"AreaHref", "<area href=m.htm>", "<area href='http://host/dir/m.htm'>",
     "<area href='http://host/dir/m.htm' TARGET='_BLANK'>", "<area href>"},
    {"FormAction", "<FORM ACTION=/cgi/go METHOD=post>",
     "<FORM ACTION='http://host/cgi/go' METHOD='post'>",
     "<FORM ACTION='http://host/cgi/go' METHOD='post' TARGET='_BLANK'>",
     "<FORM ACTION METHOD='post'>"},
    {"FormWithoutAction", "<FORM METHOD=get>", "<FORM METHOD='get'>",
     "<FORM METHOD='get' TARGET='_BLANK'>", "<FORM METHOD='get'>"},
    {"FormHrefIsNoTarget", "<FORM HREF=x>", "<FORM HREF='x'>", "<FORM HREF='x' TARGET='_BLANK'>",
     "<FORM HREF='x'>"},
    {"ClosingTagLeftAlone", "</A>", "</A>", "</A>", "</A>"},
    {"ResourceLinkLeftAlone", "<LINK HREF=s.css>", "<LINK HREF='s.css'>", "<LINK HREF='s.css'>",
     "<LINK HREF='s.css'>"},
    {"NextIsALink", "<LINK REL=next HREF=n.htm>", "<LINK REL='next' HREF='http://host/dir/n.htm'>",
     "<LINK REL='next' HREF='http://host/dir/n.htm'>", "<LINK REL='next' HREF>"},
    {"BaseLeftAlone", "<BASE HREF=x/ TARGET=_top>", "<BASE HREF='x/' TARGET='_top'>",
     "<BASE HREF='x/' TARGET='_top'>", "<BASE HREF='x/' TARGET='_top'>"},
    {"ImgLeftAlone", "<IMG SRC=a.gif HREF=b>", "<IMG SRC='a.gif' HREF='b'>",
     "<IMG SRC='a.gif' HREF='b'>", "<IMG SRC='a.gif' HREF='b'>"},
};

INSTANTIATE_TEST_SUITE_P(Tags, AlterLinksTest, ::testing::ValuesIn(kLinkCases),
                         [](const auto& testCase) { return testCase.param.id; });

// One page of a book, "ch1.htm", stored beside this one; it records what it was asked.
class OneStoredPage : public engine::PageLinks {
public:
    std::optional<std::string> PageFor(const std::string& address, bool followed) override {
        asked.push_back(address + (followed ? " followed" : ""));
        return address == "http://host/dir/ch1.htm" ? std::optional<std::string>("host/dir/ch1.htm")
                                                    : std::nullopt;
    }

    std::vector<std::string> asked;
};

// A link to a stored page is local in every mode; the mode decides only the others.
TEST(AlterLinksTest, LinksToTheBooksPagesAreLocalInEveryMode) {
    struct Case {
        std::string tag;
        std::string rewritten;  // in every mode
        std::string asked;
    };

    const Case cases[] = {
        {"<a href=ch1.htm#x>", "<a href='ch1.htm#x'>", "http://host/dir/ch1.htm followed"},
        {"<area href=/dir/ch1.htm>", "<area href='ch1.htm'>", "http://host/dir/ch1.htm followed"},
        {"<link rel='prefetch next' href=ch1.htm>", "<link rel='prefetch next' href='ch1.htm'>",
         "http://host/dir/ch1.htm followed"},
        {"<link rel=canonical href=ch1.htm>", "<link rel='canonical' href='ch1.htm'>",
         "http://host/dir/ch1.htm"},
        {"<form action=ch1.htm>", "", ""},
        {"<a href=#top>", "", ""},
    };
    for (const LinkMode mode : {LinkMode::Absolute, LinkMode::External, LinkMode::Null}) {
        for (const Case& c : cases) {
            support::FakeHost host;
            host.mode = mode;
            OneStoredPage pages;
            engine::TagRecord tag;
            engine::GetTagInfo(c.tag, tag, host);
            engine::AlterLinks(tag, {kPage, "host/dir/page.htm", &pages}, host);
            if (!c.rewritten.empty()) {
                EXPECT_EQ(engine::RecompileTag(tag), c.rewritten) << c.tag;
            }
            EXPECT_EQ(pages.asked, c.asked.empty() ? std::vector<std::string>{}
                                                   : std::vector<std::string>{c.asked})
                << c.tag;
        }
    }
}

}  // namespace
