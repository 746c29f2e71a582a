// End to end: hhc.exe compiles generated projects, and three readers we did not write
// (libmspack, chmlib's extract_chmLib and enum_chmLib, 7-Zip) must list every stored file once
// and extract it byte for byte. The readers come from scripts/install-deps; a missing one
// fails the test.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/hhc/mspack_reader.h"
#include "tests/hhc/test_support.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

namespace hhc::testing {
namespace {

namespace fs = std::filesystem;

struct Source {
    std::string entry;       // the [FILES] line
    std::string storedName;  // expected name inside the .chm
    Bytes bytes;
};

struct Fixture {
    std::string options;  // [OPTIONS] lines after Default Window
    std::string window = "chmindex.htm";
    std::vector<Source> files;
};

Source Page(std::string name, std::size_t size, std::uint32_t seed) {
    return Source{name, "/" + name, HtmlText(size, seed)};
}

// The project the conversion run writes, with its CR LF line ends.
std::string ProjectText(const Fixture& f) {
    std::string text = "[OPTIONS]\r\nDefault Window=KORVA\r\n" + f.options;
    text += "[WINDOWS]\r\nKORVA=\"Created with KORVA\",,,\"" + f.window + "\",\"" + f.window +
            "\",,,,,0x42020,,0x207c,[30,30,600,400],,,,,,,0\r\n[FILES]\r\n";
    for (const Source& s : f.files) {
        text += s.entry + "\r\n";
    }
    return text;
}

Fixture OnePage() {
    Fixture f;
    f.files.push_back(Page("chmindex.htm", 3000, 1));
    return f;
}

Fixture EmptyFile() {
    Fixture f = OnePage();
    f.files.push_back(Source{"chm0.css", "/chm0.css", {}});
    f.files.push_back(Page("chm1.htm", 10, 2));
    return f;
}

// Many frames: text across reset intervals, and noise that must fall back to stored blocks.
Fixture Over64K() {
    Fixture f = OnePage();
    f.files.push_back(Page("chm0.htm", 200000, 3));
    f.files.push_back(Source{"chm1.jpg", "/chm1.jpg", Noise(100000, 4)});
    f.files.push_back(Page("chm2.htm", 65536, 5));
    return f;
}

// Over 600 reset intervals. Pages repeat a few kilobytes with a counter in between, as
// generated pages do, which keeps the compressor quick even in sanitizer builds; a stretch of
// noise in the middle is stored.
Fixture Over40MB() {
    Fixture f = OnePage();
    const Bytes unit = HtmlText(3000, 6);
    Bytes big;
    big.reserve(41u << 20);
    for (int block = 0; big.size() < (41u << 20); ++block) {
        big.insert(big.end(), unit.begin(), unit.end());
        const std::string counter = "<!-- " + std::to_string(block) + " -->\n";
        big.insert(big.end(), counter.begin(), counter.end());
    }
    const Bytes noise = Noise(1u << 20, 7);
    std::copy(noise.begin(), noise.end(), big.begin() + (20 << 20));
    f.files.push_back(Source{"chm0.htm", "/chm0.htm", std::move(big)});
    return f;
}

// More names than a listing chunk holds: index chunks are needed.
Fixture ManyFiles() {
    Fixture f = OnePage();
    for (int i = 0; i < 5200; ++i) {
        const std::string name =
            "pages/Section" + std::to_string(i % 7) + "/topic_" + std::to_string(i) + ".htm";
        f.files.push_back(
            Page(name, 40 + static_cast<std::size_t>(i % 50), static_cast<std::uint32_t>(100 + i)));
    }
    return f;
}

Fixture OddNames() {
    Fixture f;
    f.window = "my page.htm";
    f.files.push_back(Page("my page.htm", 2000, 8));
    f.files.push_back(
        Source{"caf\xC3\xA9 cr\xC3\xA8me.gif", "/caf\xC3\xA9 cr\xC3\xA8me.gif", Noise(3000, 9)});
    f.files.push_back(Source{"sub dir\\x y.htm", "/sub dir/x y.htm", HtmlText(500, 10)});
    f.files.push_back(Source{"_under.htm", "/_under.htm", HtmlText(100, 11)});
    f.files.push_back(Source{"Zeta.htm", "/Zeta.htm", HtmlText(100, 12)});
    return f;
}

// The run's fallback: a local page outside the working folder becomes the start page, named
// by absolute path in [FILES] and in the window.
Fixture LocalStartPage() {
    Fixture f;
    f.window = "@/pages/p.htm";
    f.files.push_back(Source{"@/pages/p.htm", "/p.htm", HtmlText(2500, 13)});
    return f;
}

struct Case {
    const char* id;
    Fixture (*make)();
};

const Case kCases[] = {
    {"OnePage", OnePage},
    {"EmptyFile", EmptyFile},
    {"Over64K", Over64K},
    {"Over40MB", Over40MB},
    {"ManyFiles", ManyFiles},
    {"OddNames", OddNames},
    {"LocalStartPage", LocalStartPage},
};

bool IsContentName(const std::string& name) {
    return !name.empty() && name.back() != '/' && !name.starts_with("/#") &&
           !name.starts_with("::") && !name.starts_with("#");
}

// Names a reader listed, reduced to the stored files, each expected exactly once.
void ExpectListedOnce(const std::vector<std::string>& listed, const Fixture& f,
                      const std::string& reader) {
    std::map<std::string, int> count;
    for (const std::string& n : listed) {
        const std::string name = n.starts_with("/") || n.starts_with("::") ? n : "/" + n;
        if (IsContentName(name)) {
            ++count[name];
        }
    }
    std::map<std::string, int> expected;
    for (const Source& s : f.files) {
        expected[s.storedName] = 1;
    }
    EXPECT_EQ(count, expected) << reader;
}

void ExpectExtracted(const fs::path& dir, const Fixture& f, const std::string& reader) {
    for (const Source& s : f.files) {
        const fs::path file = dir / s.storedName.substr(1);
        ASSERT_TRUE(fs::is_regular_file(file)) << reader << " did not extract " << s.storedName;
        EXPECT_TRUE(ReadFile(file) == s.bytes) << reader << " changed " << s.storedName;
    }
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// "spc start length type<TAB><TAB>name" per entry; folders say "dir".
std::vector<std::string> ChmlibNames(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    for (const std::string& line : lines) {
        if (line.find(" file\t") != std::string::npos) {
            names.push_back(line.substr(line.rfind('\t') + 1));
        }
    }
    return names;
}

// One block per item: its Path, later its Method, which is empty for a folder.
std::vector<std::string> SevenZipNames(const std::vector<std::string>& lines) {
    std::vector<std::string> names;
    std::string path;
    for (const std::string& line : lines) {
        if (line.starts_with("Path = ")) {
            path = line.substr(7);
        } else if (line.starts_with("Method = ") && line != "Method = ") {
            names.push_back(path);
        }
    }
    return names;
}

// A command-line reader lists, then extracts into work/out; what it extracted is removed once
// compared, so a large case holds one copy at a time.
void CheckExternal(const char* reader, const std::vector<std::string>& list,
                   std::vector<std::string> (*names)(const std::vector<std::string>&),
                   const std::vector<std::string>& extract, const Fixture& f,
                   const fs::path& work) {
    ASSERT_TRUE(fs::exists(list[0])) << reader << ": run scripts/install-deps";
    const support::ProgramResult listed = support::RunProgram(list, {}, work.string());
    ASSERT_EQ(listed.exitCode, 0) << listed.standardOutput << listed.standardError;
    ExpectListedOnce(names(Lines(listed.standardOutput)), f, reader);
    const support::ProgramResult x = support::RunProgram(extract, {}, work.string());
    ASSERT_EQ(x.exitCode, 0) << x.standardOutput << x.standardError;
    ExpectExtracted(work / "out", f, reader);
    fs::remove_all(work / "out");
}

void CheckLibmspack(const fs::path& chm, const Fixture& f) {
    const ChmRead read = MspackReadChm(chm.string());
    ASSERT_TRUE(read.opened);
    EXPECT_TRUE(read.messages.empty()) << read.messages.front();
    EXPECT_TRUE(read.lookupFailures.empty()) << read.lookupFailures.front();
    ExpectListedOnce(read.names, f, "libmspack");
    for (const Source& s : f.files) {
        const auto it = read.files.find(s.storedName);
        ASSERT_NE(it, read.files.end()) << s.storedName;
        EXPECT_TRUE(it->second == s.bytes) << s.storedName;
    }
}

class ReaderCheck : public ::testing::TestWithParam<Case> {};

TEST_P(ReaderCheck, EveryReaderListsAndExtractsEveryFile) {
    support::TempFolder dir;
    Fixture f = GetParam().make();
    // "@" stands for a folder outside the project's, named by absolute path.
    const std::string outside = (fs::path(dir.path()) / "outside").string();
    if (f.window.starts_with("@")) {
        f.window.replace(0, 1, outside);
    }
    const fs::path project = fs::path(dir.path()) / "project";
    for (Source& s : f.files) {
        if (s.entry.starts_with("@")) {
            s.entry.replace(0, 1, outside);
        }
        std::string path = s.entry;
        std::replace(path.begin(), path.end(), '\\', '/');
        WriteFile(fs::path(path).is_absolute() ? fs::path(path) : project / path, s.bytes);
    }
    WriteFile(project / "chmkorva.hhp", ProjectText(f));
    const support::ProgramResult r =
        support::RunProgram({HHC_EXE, (project / "chmkorva.hhp").string()}, {}, dir.path());
    ASSERT_EQ(r.exitCode, 1) << r.standardError;
    EXPECT_EQ(r.standardError, "");
    const fs::path chm = project / "chmkorva.chm";
    ASSERT_TRUE(fs::is_regular_file(chm));
    {
        SCOPED_TRACE("libmspack");
        CheckLibmspack(chm, f);
    }
    CheckExternal("chmlib", {ENUM_CHMLIB, chm.string()}, ChmlibNames,
                  {EXTRACT_CHMLIB, chm.string(), "out"}, f, fs::path(dir.path()));
    CheckExternal("7-Zip", {SEVEN_ZIP, "l", "-slt", chm.string()}, SevenZipNames,
                  {SEVEN_ZIP, "x", "-y", "-oout", chm.string()}, f, fs::path(dir.path()));
}

INSTANTIATE_TEST_SUITE_P(Projects, ReaderCheck, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.id); });

}  // namespace
}  // namespace hhc::testing
