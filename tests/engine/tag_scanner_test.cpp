#include "engine/tag_scanner.h"

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/fake_ports.h"

namespace {

std::atomic<std::size_t> allocated{0};
std::atomic<std::size_t> allocationBudget{0};  // 0: no limit

}  // namespace

// Every allocation of this test program is counted, so a test can measure its work.
void* operator new(std::size_t size) {
    allocated += size;
    const std::size_t budget = allocationBudget;
    if (budget != 0 && allocated > budget) {
        throw std::bad_alloc();
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

using ::testing::ElementsAre;
using namespace std::string_literals;

constexpr const char* kPage = "http://host/dir/page.htm";

void Scan(std::string& page, support::FakeHost& host, support::RecordingSaver& saver,
          std::string_view url = kPage, engine::Capture capture = engine::Capture::Classic) {
    engine::IterateTags(page, engine::Document{url, "chmindex.htm", capture}, host, saver);
}

// A page as a scan with a fresh host and saver leaves it, with what they were told.
struct Scanned {
    std::string page;
    std::vector<std::string> calls;  // addresses asked for
    std::vector<std::string> messages;
};

Scanned ScanPage(std::string page, engine::Capture capture = engine::Capture::Classic) {
    support::FakeHost host;
    support::RecordingSaver saver(host);
    Scan(page, host, saver, kPage, capture);
    return {std::move(page), std::move(saver.calls), std::move(host.messages)};
}

struct ScanCase {
    const char* id;
    std::string page;
    std::string expected;
};

class IterateTagsTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(IterateTagsTest, RewritesThePage) {
    const Scanned scanned = ScanPage(GetParam().page);
    EXPECT_EQ(scanned.page, GetParam().expected);
    EXPECT_TRUE(scanned.messages.empty());
}

// None of these tags carries an attribute that a rewriter changes.
const ScanCase kScanCases[] = {
    {"CommentPassedOver", "<P ALIGN=center>Hi<!-- <B> --><FONT SIZE=+1>x</FONT>",
     "<P ALIGN='center'>Hi<!-- <B> --><FONT SIZE='+1'>x</FONT>"},
    {"InlineScriptAndMetaUnchanged",
     R"(<HEAD><SCRIPT TYPE=text/x>if (a<b) x();</SCRIPT><META NAME=a CONTENT="b c"></HEAD>)",
     R"(<HEAD><SCRIPT TYPE=text/x>if (a<b) x();</SCRIPT><META NAME=a CONTENT="b c"></HEAD>)"},
    {"ScriptEndIgnoresCase", "<SCRIPT>x</script>y<P ALIGN=center>",
     "<SCRIPT>x</script>y<P ALIGN='center'>"},
    {"BaseRemoved", "<P><BASE HREF=dir/><B>x</B>", "<P><B>x</B>"},
    {"BaseFontKept", "<P><BASEFONT SIZE=3>", "<P><BASEFONT SIZE='3'>"},
    {"LineBreakInTag", "<P\r\nALIGN=center>", "<P ALIGN='center'>"},
    {"LessThanInText", "2 <3 and 4> 1", "2 <3 and> 1"},
    {"EmptyComment", "<!---->", "<!---->"},
    {"TwoComments", "<!--a--><!--b-->", "<!--a--><!--b-->"},
    {"NoTags", "just text & more", "just text & more"},
    {"Empty", "", ""},
    {"ShorterTagThenNext", "<P ALIGN=center><B>", "<P ALIGN='center'><B>"},
    {"LongerTagThenNext", "<P A=1  B=2><I>", "<P A='1' B='2'><I>"},
    {"BaseFirstThenTag", "<BASE HREF=x/><P ALIGN=left>", "<P ALIGN='left'>"},
    {"TwoBasesInARow", "<base><BASE HREF=y/>x", "x"},
    {"ClosingBaseKept", "</BASE>", "</BASE>"},
    {"MetaIgnoresCase", "<meta x=1><p x=1>", "<meta x=1><p x='1'>"},
    {"CommentLikeGt", "<!-->a<B X=1>", "<!-->a<B X='1'>"},  // the "-->" inside "<!-->" ends it
    {"BytesKept", "\xFF\x00<B X=1>\x80"s, "\xFF\x00<B X='1'>\x80"s},
    {"DeclarationsKept",
     R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.0//EN"><?xml version="1.0"?><![CDATA[x]]><B X=1>)",
     R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.0//EN"><?xml version="1.0"?><![CDATA[x]]><B X='1'>)"},
    {"InlineSvgKeepsItsSelfClosingMarks", R"(<svg><path d="M0 0"/><circle cx=1 /></svg>)",
     "<svg><path d='M0 0'/><circle cx='1'/></svg>"},
    // Inputs that end the scan and leave the rest as it is.
    {"LessThanWithoutEnd", "<B X=1>a < b", "<B X='1'>a < b"},
    {"CommentWithoutEnd", "<B X=1><!-- <I X=2>", "<B X='1'><!-- <I X=2>"},
    {"ScriptWithoutEnd", "<B X=1><SCRIPT>x<I X=2>", "<B X='1'><SCRIPT>x<I X=2>"},
};

INSTANTIATE_TEST_SUITE_P(Pages, IterateTagsTest, ::testing::ValuesIn(kScanCases),
                         [](const auto& testCase) { return testCase.param.id; });

TEST(IterateTagsTest, ScriptWithSourceIsRewrittenAndItsEndReadAsATag) {
    const Scanned scanned = ScanPage("<script src=a.js></script><B X=1>");
    EXPECT_EQ(scanned.page, "<script src='chm0.x'></script><B X='1'>");
    EXPECT_THAT(scanned.calls, ElementsAre("http://host/dir/a.js"));
}

TEST(IterateTagsTest, BaseHrefRebasesTheTagsAfterIt) {
    EXPECT_EQ(ScanPage("<A HREF=a.htm><BASE HREF=/other/><A HREF=b.htm><BASE HREF><A HREF=c.htm>"
                       "<BASE HREF=http://cdn/x/><A HREF=d.htm>")
                  .page,
              "<A HREF='http://host/dir/a.htm'><A HREF='http://host/other/b.htm'>"
              "<A HREF='http://host/other/c.htm'><A HREF='http://cdn/x/d.htm'>");
}

TEST(IterateTagsTest, FramePagesAreScannedNestedWithTheirOwnBase) {
    support::FakeHost host;
    support::RecordingSaver saver(host);
    saver.pages["http://host/dir/f/left.htm"] =
        "<IMG SRC=l.gif><FRAME SRC=../page.htm><FRAME SRC=left.htm>";
    std::string page = "<FRAME SRC=f/left.htm><IMG SRC=f/l.gif><IMG SRC=top.gif>";
    Scan(page, host, saver);

    EXPECT_EQ(page, "<FRAME SRC='chm0.x'><IMG SRC='chm1.x'><IMG SRC='chm3.x'>");
    // The frame page is rewritten before the tag that refers to it; its own references
    // resolve against its folder, and a reference back to itself ends the cycle.
    EXPECT_EQ(saver.stored["chm0.x"], "<IMG SRC='chm1.x'><FRAME SRC='chm2.x'><FRAME SRC='chm0.x'>");
    EXPECT_THAT(saver.calls, ElementsAre("http://host/dir/f/left.htm", "http://host/dir/f/l.gif",
                                         "http://host/dir/page.htm", "http://host/dir/f/left.htm",
                                         "http://host/dir/f/l.gif", "http://host/dir/top.gif"));
}

TEST(IterateTagsTest, CompleteModeRewritesStyleElementsAndAttributes) {
    EXPECT_EQ(ScanPage("<STYLE>@import 'a.css'; p>b { background: url(i/b.png) }</STYLE>"
                       "<P STYLE=\"background:url(c.png)\">",
                       engine::Capture::Complete)
                  .page,
              "<STYLE>@import 'chm0.x'; p>b { background: url(chm1.x) }</STYLE>"
              "<P STYLE='background:url(chm2.x)'>");
    EXPECT_EQ(ScanPage("<STYLE>@import 'a.css';</STYLE>").page, "<STYLE>@import 'a.css';</STYLE>");
}

TEST(IterateTagsTest, TheWorkGrowsWithThePageNotWithTagsTimesPage) {
    // 200,000 tags: rebuilding the page for every tag would copy gigabytes. The bytes the scan
    // allocates are its copying work; past a few times the page's size it is stopped.
    std::string page;
    for (int i = 0; i < 200000; ++i) {
        page += "<P ALIGN=center>text ";
    }
    support::FakeHost host;
    support::RecordingSaver saver(host);
    const std::size_t budget = 40 * page.size();
    allocated = 0;
    allocationBudget = budget;
    EXPECT_NO_THROW(Scan(page, host, saver));
    allocationBudget = 0;
    EXPECT_LT(allocated, budget);
}

}  // namespace
