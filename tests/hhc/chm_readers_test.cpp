// End to end: hhc.exe compiles generated projects, and four readers we did not write (libmspack,
// chmlib's extract_chmLib and enum_chmLib, 7-Zip, python3-chm) must list every stored file
// once and extract it byte for byte. The readers come from scripts/install-deps; a missing one
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

namespace hhc::testing {
namespace {

namespace fs = std::filesystem;

struct Source {
    std::string entry;       // the [FILES] line
    std::string storedName;  // expected name inside the .chm
    Bytes bytes;
};

struct Fixture {
    std::string projectName = "chmkorva.hhp";
    std::string options;  // [OPTIONS] lines after Default Window
    std::string window = "chmindex.htm";
    std::vector<Source> files;
    std::string output = "chmkorva.chm";
    std::string title = "Created with KORVA";
    std::string home = "/chmindex.htm";
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

Fixture FortyImages() {
    Fixture f = OnePage();
    for (int i = 0; i < 40; ++i) {
        const std::string name = "chm" + std::to_string(i) + ".gif";
        f.files.push_back(
            Source{name, "/" + name,
                   Noise(500 + 97 * static_cast<std::size_t>(i), static_cast<std::uint32_t>(i))});
    }
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
    f.home = "/my page.htm";
    f.files.push_back(Page("my page.htm", 2000, 8));
    f.files.push_back(
        Source{"caf\xC3\xA9 cr\xC3\xA8me.gif", "/caf\xC3\xA9 cr\xC3\xA8me.gif", Noise(3000, 9)});
    f.files.push_back(Source{"sub dir\\x y.htm", "/sub dir/x y.htm", HtmlText(500, 10)});
    f.files.push_back(Source{"_under.htm", "/_under.htm", HtmlText(100, 11)});
    f.files.push_back(Source{"Zeta.htm", "/Zeta.htm", HtmlText(100, 12)});
    return f;
}

Fixture CompiledFileOption() {
    Fixture f = OnePage();
    f.options = "Compiled file=Named Output.chm\r\nTitle=Own Title\r\nLanguage=0x407 German\r\n";
    f.output = "Named Output.chm";
    f.title = "Own Title";
    return f;
}

struct Case {
    const char* id;
    Fixture (*make)();
};

const Case kCases[] = {
    {"OnePage", OnePage},     {"FortyImages", FortyImages},
    {"EmptyFile", EmptyFile}, {"Over64K", Over64K},
    {"Over40MB", Over40MB},   {"ManyFiles", ManyFiles},
    {"OddNames", OddNames},   {"CompiledFile", CompiledFileOption},
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

// Each reader removes what it extracted as soon as it has been compared, so the large cases
// hold one copy at a time.
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

void CheckChmlib(const fs::path& chm, const Fixture& f, const fs::path& work) {
    ASSERT_TRUE(fs::exists(EXTRACT_CHMLIB)) << "install libchm-bin (scripts/install-deps)";
    const RunResult list = RunProgram({ENUM_CHMLIB, chm.string()}, work);
    ASSERT_EQ(list.exitCode, 0) << list.err;
    std::vector<std::string> names;
    for (const std::string& line : Lines(list.out)) {
        const std::size_t tab = line.rfind('\t');
        if (tab != std::string::npos && line.find(" file\t") != std::string::npos) {
            names.push_back(line.substr(tab + 1));
        }
    }
    ExpectListedOnce(names, f, "enum_chmLib");
    const RunResult x = RunProgram({EXTRACT_CHMLIB, chm.string(), "chmlib"}, work);
    ASSERT_EQ(x.exitCode, 0) << x.err;
    ExpectExtracted(work / "chmlib", f, "extract_chmLib");
    fs::remove_all(work / "chmlib");
}

void CheckSevenZip(const fs::path& chm, const Fixture& f, const fs::path& work) {
    ASSERT_TRUE(fs::exists(SEVEN_ZIP)) << "install p7zip-full (scripts/install-deps)";
    const RunResult list = RunProgram({SEVEN_ZIP, "l", "-slt", chm.string()}, work);
    ASSERT_EQ(list.exitCode, 0) << list.out;
    // -slt prints one block per item: its Path, later its Method, which is empty for a folder.
    std::vector<std::string> names;
    std::string path;
    for (const std::string& line : Lines(list.out)) {
        if (line.starts_with("Path = ")) {
            path = line.substr(7);
        } else if (line.starts_with("Method = ") && line != "Method = ") {
            names.push_back(path);
        }
    }
    ExpectListedOnce(names, f, "7z l");
    const RunResult x = RunProgram({SEVEN_ZIP, "x", "-y", "-o7z", chm.string()}, work);
    ASSERT_EQ(x.exitCode, 0) << x.out;
    ExpectExtracted(work / "7z", f, "7z x");
    fs::remove_all(work / "7z");
}

void CheckPythonChm(const fs::path& chm, const Fixture& f, const fs::path& work) {
    ASSERT_TRUE(fs::exists(SYSTEM_PYTHON)) << "install python3-chm (scripts/install-deps)";
    const RunResult r = RunProgram({SYSTEM_PYTHON, PYCHM_READ, chm.string(), "py"}, work);
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "title=" + f.title);
    EXPECT_EQ(lines[1], "home=" + f.home);
    std::vector<std::string> names;
    for (const std::string& line : lines) {
        EXPECT_FALSE(line.starts_with("unresolved=") || line.starts_with("short=")) << line;
        if (line.starts_with("name=")) {
            names.push_back(line.substr(5));
        }
    }
    ExpectListedOnce(names, f, "python3-chm");
    ExpectExtracted(work / "py", f, "python3-chm");
    fs::remove_all(work / "py");
}

class ReaderCheck : public ::testing::TestWithParam<Case> {};

TEST_P(ReaderCheck, EveryReaderListsAndExtractsEveryFile) {
    TempDir dir;
    const Fixture f = GetParam().make();
    const fs::path project = dir.Path() / "project";
    for (const Source& s : f.files) {
        std::string path = s.entry;
        std::replace(path.begin(), path.end(), '\\', '/');
        WriteFile(project / path, s.bytes);
    }
    WriteFile(project / f.projectName, ProjectText(f));
    const RunResult r = RunProgram({HHC_EXE, (project / f.projectName).string()}, dir.Path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const fs::path chm = project / f.output;
    ASSERT_TRUE(fs::is_regular_file(chm));
    {
        SCOPED_TRACE("libmspack");
        CheckLibmspack(chm, f);
    }
    {
        SCOPED_TRACE("chmlib");
        CheckChmlib(chm, f, dir.Path());
    }
    {
        SCOPED_TRACE("7-Zip");
        CheckSevenZip(chm, f, dir.Path());
    }
    {
        SCOPED_TRACE("python3-chm");
        CheckPythonChm(chm, f, dir.Path());
    }
}

INSTANTIATE_TEST_SUITE_P(Projects, ReaderCheck, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.id); });

}  // namespace
}  // namespace hhc::testing
