#include "engine/media_rewriter.h"

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/fake_ports.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

constexpr const char* kPage = "http://h/d/page.htm";

using engine::Capture;

struct MediaCase {
    const char* id;
    std::string tag;
    std::string rebuilt;
    std::vector<std::string> saved;  // addresses handed to SaveFile, in order
    Capture capture = Capture::Classic;
};

// The rewriters run as the scanner runs them, for a page stored in the working folder's top.
void RunAll(engine::TagRecord& tag, support::RecordingSaver& saver,
            Capture capture = Capture::Classic) {
    engine::ResourceLinker linker(kPage, "chmindex.htm", capture, saver);
    engine::AlterImages(tag, linker);
    engine::AlterFrames(tag, linker);
    engine::AlterStyles(tag, linker);
}

class MediaRewriterTest : public ::testing::TestWithParam<MediaCase> {};

TEST_P(MediaRewriterTest, SavesAndReplaces) {
    const MediaCase& c = GetParam();
    support::FakeHost host;
    support::RecordingSaver saver(host);
    engine::TagRecord tag;
    engine::GetTagInfo(c.tag, tag, host);
    RunAll(tag, saver, c.capture);
    EXPECT_EQ(engine::RecompileTag(tag), c.rebuilt);
    EXPECT_THAT(saver.calls, ElementsAreArray(c.saved));
}

const MediaCase kMediaCases[] = {
    {"Image",
     "<img src=pics/a.gif alt=x>",
     "<img src='chm0.x' alt='x'>",
     {"http://h/d/pics/a.gif"}},
    {"BodyBackground",
     "<BODY BACKGROUND=bg.jpg>",
     "<BODY BACKGROUND='chm0.x'>",
     {"http://h/d/bg.jpg"}},
    {"CellBackground", "<td background=c.gif>", "<td background='chm0.x'>", {"http://h/d/c.gif"}},
    {"Frame",
     "<FRAME SRC=left.htm NAME=l>",
     "<FRAME SRC='chm0.x' NAME='l'>",
     {"http://h/d/left.htm"}},
    {"Script", "<SCRIPT SRC=//cdn/x.js>", "<SCRIPT SRC='chm0.x'>", {"http://cdn/x.js"}},
    {"Link",
     "<LINK REL=stylesheet HREF=s.css>",
     "<LINK REL='stylesheet' HREF='chm0.x'>",
     {"http://h/d/s.css"}},
    {"FragmentIsNoPartOfTheResource",
     "<IMG SRC=a.svg#x>",
     "<IMG SRC='chm0.x#x'>",
     {"http://h/d/a.svg"}},
    {"EveryMatchingAttribute",
     "<IMG SRC=a.gif SRC=b.gif>",
     "<IMG SRC='chm0.x' SRC='chm1.x'>",
     {"http://h/d/a.gif", "http://h/d/b.gif"}},
    {"EmptySourceIsThePage", "<IMG SRC=\"\">", "<IMG SRC='chm0.x'>", {kPage}},
    {"DataAddressAsIs",
     "<IMG SRC=data:image/gif;base64,R0lG>",
     "<IMG SRC='chm0.x'>",
     {"data:image/gif;base64,R0lG"}},
    // Classic mode leaves these alone.
    {"IFrame", "<IFRAME SRC=i.htm>", "<IFRAME SRC='i.htm'>", {}},
    {"SrcsetInClassicMode", "<IMG SRCSET=a.png>", "<IMG SRCSET='a.png'>", {}},
    // Complete mode adds these.
    {"CompleteIFrame",
     "<IFRAME SRC=i.htm>",
     "<IFRAME SRC='chm0.x'>",
     {"http://h/d/i.htm"},
     Capture::Complete},
    {"Srcset",
     R"(<IMG SRCSET="a.png 1x, /b.png 2x" SRC=a.png>)",
     "<IMG SRCSET='chm0.x 1x, chm1.x 2x' SRC='chm0.x'>",
     {"http://h/d/a.png", "http://h/b.png", "http://h/d/a.png"},
     Capture::Complete},
    {"SrcsetWidthsAndData",
     R"(<SOURCE SRCSET="s.webp 100w,data:image/png;base64,AA== 2x" TYPE=image/webp>)",
     "<SOURCE SRCSET='chm0.x 100w,data:image/png;base64,AA== 2x' TYPE='image/webp'>",
     {"http://h/d/s.webp"},
     Capture::Complete},
    {"VideoAndPoster",
     "<VIDEO SRC=v.mp4 POSTER=p.jpg>",
     "<VIDEO SRC='chm0.x' POSTER='chm1.x'>",
     {"http://h/d/v.mp4", "http://h/d/p.jpg"},
     Capture::Complete},
    {"ObjectData",
     "<OBJECT DATA=o.svg>",
     "<OBJECT DATA='chm0.x'>",
     {"http://h/d/o.svg"},
     Capture::Complete},
    {"StyleAttribute",
     R"x(<DIV STYLE="background:url('bg.png')">)x",
     R"x(<DIV STYLE="background:url('chm0.x')">)x",
     {"http://h/d/bg.png"},
     Capture::Complete},
    {"DataAddressKept", "<IMG SRC=data:,x>", "<IMG SRC='data:,x'>", {}, Capture::Complete},
};

INSTANTIATE_TEST_SUITE_P(Tags, MediaRewriterTest, ::testing::ValuesIn(kMediaCases),
                         [](const auto& testCase) { return testCase.param.id; });

TEST(MediaRewriterTest, NothingStoredLeavesABareAttributeOrTheAddress) {
    for (const auto& [capture, rebuilt] :
         {std::pair(Capture::Classic, "<LINK HREF>"),
          std::pair(Capture::Complete, "<LINK HREF='http://h/d/s.css#x'>")}) {
        support::FakeHost host;
        support::RecordingSaver saver(host);
        saver.emptyFor = "http://h/d/s.css";
        engine::TagRecord tag;
        engine::GetTagInfo("<LINK HREF=s.css#x>", tag, host);
        RunAll(tag, saver, capture);
        EXPECT_EQ(engine::RecompileTag(tag), rebuilt);
    }
}

}  // namespace
