// The project reader and the mapping of project entries and windows onto stored files.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "hhc/chm/system_files.h"
#include "hhc/compiler.h"
#include "hhc/hhp/project.h"

namespace hhc::hhp {
namespace {

TEST(ProjectReader, TheConversionRunsProject) {
    const Project p = ParseProject(
        "[OPTIONS]\r\nDefault Window=KORVA\r\n[WINDOWS]\r\nKORVA=\"Created with KORVA\",,,"
        "\"chmindex.htm\",\"chmindex.htm\",,,,,0x42020,,0x207c,[30,30,600,400],,,,,,,0\r\n"
        "[FILES]\r\nchmindex.htm\r\nchm0.gif\r\nchm1.htm\r\n");
    EXPECT_EQ(p.defaultWindow, "KORVA");
    EXPECT_EQ(p.compiledFile, "");
    EXPECT_EQ(p.language, "");
    EXPECT_EQ(p.files, (std::vector<std::string>{"chmindex.htm", "chm0.gif", "chm1.htm"}));
    ASSERT_EQ(p.windows.size(), 1u);
    const Window& w = p.windows[0];
    EXPECT_EQ(w.name, "KORVA");
    EXPECT_EQ(w.caption, "Created with KORVA");
    EXPECT_EQ(w.defaultTopic, "chmindex.htm");
    EXPECT_EQ(w.homeTopic, "chmindex.htm");
    EXPECT_EQ(w.contentsFile, "");
    EXPECT_EQ(w.navStyle, 0x42020u);
    EXPECT_FALSE(w.navWidth.has_value());
    EXPECT_EQ(w.buttons, 0x207Cu);
    EXPECT_EQ(w.position, (std::array<std::int32_t, 4>{30, 30, 600, 400}));
    EXPECT_FALSE(w.style.has_value());
    EXPECT_EQ(w.notifyId, 0u);
}

TEST(ProjectReader, KeysIgnoreCaseLineEndsVaryOtherSectionsArePassedOver) {
    const Project p = ParseProject(
        "\xEF\xBB\xBF; a comment\n[options]\nCOMPILED FILE = out.chm \ncompiled File=second.chm\n"
        "Title=Some Title\r\nLANGUAGE=0x407 German (Germany)\nContents file=toc.hhc\n"
        "Index File=idx.hhk\nFull-text search=Yes\nDefault topic=hlp\\start.htm\n"
        "[ALIAS]\nIDH_X=x.htm\n[MAP]\n#define IDH_X 1\n[INFOTYPES]\n[Files]\n a.htm \n\n"
        "sub\\b.htm\n;skipped.htm\n[TEXT POPUPS]\nc.txt\n");
    EXPECT_EQ(p.compiledFile, "second.chm");
    EXPECT_EQ(p.title, "Some Title");
    EXPECT_EQ(p.language, "0x407 German (Germany)");
    EXPECT_EQ(p.contentsFile, "toc.hhc");
    EXPECT_EQ(p.indexFile, "idx.hhk");
    EXPECT_TRUE(p.fullTextSearch);
    EXPECT_EQ(p.defaultTopic, "hlp\\start.htm");
    EXPECT_EQ(p.files, (std::vector<std::string>{"a.htm", "sub\\b.htm"}));
}

// Found by fuzzing: a CR inside a line used to end up in a file name.
TEST(ProjectReader, LoneCarriageReturnEndsALine) {
    const Project p = ParseProject("[FILES]\ra.htm\rb.htm\r\n\rc.htm");
    EXPECT_EQ(p.files, (std::vector<std::string>{"a.htm", "b.htm", "c.htm"}));
}

TEST(ProjectReader, WindowFields) {
    const Window sample = ParseWindow(
        "main",
        ",\"7-Zip.hhc\",\"7-Zip.hhk\",\"start.htm\",\"start.htm\",,,,,0x2120,222,0x1046,"
        "[274,335,1019,875],0xB0000,,,,,,0");
    EXPECT_EQ(sample.caption, "");
    EXPECT_EQ(sample.contentsFile, "7-Zip.hhc");
    EXPECT_EQ(sample.indexFile, "7-Zip.hhk");
    EXPECT_EQ(sample.navStyle, 0x2120u);
    EXPECT_EQ(sample.navWidth, 222u);
    EXPECT_EQ(sample.buttons, 0x1046u);
    EXPECT_EQ(sample.position, (std::array<std::int32_t, 4>{274, 335, 1019, 875}));
    EXPECT_EQ(sample.style, 0xB0000u);

    const Window quoted = ParseWindow(
        " w ", "\"A, B\",,,\"d.htm\",\"h.htm\",\"http://x/\",\"Jump, one\",u2,t2,,,,,,,3,1,2,1,7");
    EXPECT_EQ(quoted.name, "w");
    EXPECT_EQ(quoted.caption, "A, B");
    EXPECT_EQ(quoted.jump1Url, "http://x/");
    EXPECT_EQ(quoted.jump1Text, "Jump, one");
    EXPECT_EQ(quoted.jump2Url, "u2");
    EXPECT_EQ(quoted.jump2Text, "t2");
    EXPECT_FALSE(quoted.position.has_value());
    EXPECT_EQ(quoted.showState, 3u);
    EXPECT_EQ(quoted.navClosed, 1u);
    EXPECT_EQ(quoted.defaultTab, 2u);
    EXPECT_EQ(quoted.tabPosition, 1u);
    EXPECT_EQ(quoted.notifyId, 7u);

    const Window shortLine = ParseWindow("s", "\"Only caption\"");
    EXPECT_EQ(shortLine.caption, "Only caption");
    EXPECT_FALSE(shortLine.buttons.has_value());
}

// fsValidMembers and the string offsets of the #WINDOWS entry, for the run's window line and
// the one window seen in a reference file.
TEST(WindowsFile, ValidMembersAndStringOffsets) {
    struct Case {
        const char* definition;
        std::uint32_t validMembers;
    };

    const Case cases[] = {
        {"\"Created with KORVA\",,,\"chmindex.htm\",\"chmindex.htm\",,,,,0x42020,,0x207c,"
         "[30,30,600,400],,,,,,,0",
         0x512},
        {",\"7-Zip.hhc\",\"7-Zip.hhk\",\"start.htm\",\"start.htm\",,,,,0x2120,222,0x1046,"
         "[274,335,1019,875],0xB0000,,,,,,0",
         0x536},
    };
    for (const Case& c : cases) {
        chm::StringPool strings;
        const std::vector<std::uint8_t> file =
            chm::WindowsFile({ParseWindow("main", c.definition)}, strings);
        ASSERT_EQ(file.size(), 8u + 196u);
        const auto u32 = [&](std::size_t at) {
            return file[at] | (std::uint32_t{file[at + 1]} << 8) |
                   (std::uint32_t{file[at + 2]} << 16) | (std::uint32_t{file[at + 3]} << 24);
        };
        const auto str = [&](std::size_t at) {
            const std::uint32_t off = u32(8 + at);
            return std::string(reinterpret_cast<const char*>(strings.Bytes().data() + off));
        };
        EXPECT_EQ(u32(0), 1u);
        EXPECT_EQ(u32(4), 196u);
        EXPECT_EQ(u32(8 + 0x0C), c.validMembers);
        EXPECT_EQ(str(0x08), "main");
        EXPECT_EQ(str(0x68), std::string(c.definition).find("chmindex") != std::string::npos
                                 ? "chmindex.htm"
                                 : "start.htm");
        EXPECT_EQ(u32(8 + 0x68), u32(8 + 0x6C)) << "equal strings share one offset";
        EXPECT_EQ(strings.Bytes().front(), 0) << "offset 0 is the empty string";
    }
}

TEST(StringPool, NoStringStraddlesABlock) {
    chm::StringPool strings;
    for (int i = 0; i < 500; ++i) {
        const std::string s = "string number " + std::to_string(i * 7919);
        const std::uint32_t off = strings.Add(s);
        EXPECT_EQ(off / 4096, (off + s.size()) / 4096) << s;
        EXPECT_EQ(strings.Add(s), off);
    }
}

TEST(ProjectReader, LanguageIds) {
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"", 0x0409},          {"0x409 English (United States)", 0x0409},
        {"0x407", 0x0407},     {"0x0", 0x0409},
        {"1031 German", 1031}, {"nonsense", 0x0409},
        {"0X804", 0x0804}};
    for (const auto& [text, id] : cases) {
        EXPECT_EQ(LanguageId(text), id) << text;
    }
}

TEST(StoredNames, RelativeAbsoluteAndOutside) {
    const std::pair<const char*, const char*> cases[] = {
        {"chmindex.htm", "/chmindex.htm"},
        {"hlp\\License.htm", "/hlp/License.htm"},
        {"./a.htm", "/a.htm"},
        {"sub/../b.htm", "/b.htm"},
        {"/proj/sub/c.gif", "/sub/c.gif"},
        {"/proj/d.htm", "/d.htm"},
        {"/elsewhere/p.htm", "/p.htm"},
        {"../up.htm", "/up.htm"},
        {"/project2/e.htm", "/e.htm"},
        {"my page.htm", "/my page.htm"},
    };
    for (const auto& [entry, stored] : cases) {
        EXPECT_EQ(StoredName(entry, "/proj"), stored) << entry;
    }
}

}  // namespace
}  // namespace hhc::hhp
