// hhc.exe's contract: exit codes (the platform compiler's: 1 written, 0 not), messages, where
// the output goes, no partial output on failure, and what #SYSTEM tells viewers (read back
// through libmspack).
#include <cstdint>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/hhc/mspack_reader.h"
#include "tests/hhc/test_support.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

namespace hhc::testing {
namespace {

namespace fs = std::filesystem;

// #SYSTEM records by code.
std::map<std::uint16_t, std::string> SystemRecords(const Bytes& system) {
    std::map<std::uint16_t, std::string> records;
    for (std::size_t at = 4; at + 4 <= system.size();) {
        const auto code = static_cast<std::uint16_t>(system[at] | (system[at + 1] << 8));
        const std::size_t len = system[at + 2] | (std::size_t{system[at + 3]} << 8);
        records[code] = std::string(system.begin() + static_cast<std::ptrdiff_t>(at + 4),
                                    system.begin() + static_cast<std::ptrdiff_t>(at + 4 + len));
        at += 4 + len;
    }
    return records;
}

std::uint32_t U32(const std::string& s, std::size_t at) {
    const auto b = [&](std::size_t i) {
        return std::uint32_t{static_cast<std::uint8_t>(s[at + i])};
    };
    return b(0) | (b(1) << 8) | (b(2) << 16) | (b(3) << 24);
}

bool OnlyFiles(const fs::path& dir, std::initializer_list<const char*> names) {
    std::size_t count = 0;
    for (const auto& e : fs::directory_iterator(dir)) {
        ++count;
        if (std::find_if(names.begin(), names.end(),
                         [&](const char* n) { return e.path().filename() == n; }) == names.end()) {
            ADD_FAILURE() << "unexpected " << e.path();
            return false;
        }
    }
    return count == names.size();
}

TEST(HhcExe, FailuresExitZeroWithOneLineAndLeaveNoOutput) {
    support::TempFolder dir;
    const fs::path p = dir.path();
    WriteFile(p / "none.hhp", "[OPTIONS]\r\nTitle=x\r\n[FILES]\r\nmissing.htm\r\n");
    WriteFile(p / "unwritable.hhp",
              "[OPTIONS]\r\nCompiled file=no/such/folder/x.chm\r\n"
              "[FILES]\r\npage.htm\r\n");
    WriteFile(p / "page.htm", "<html></html>");

    struct Case {
        const char* id;
        std::vector<std::string> args;
    };

    const Case cases[] = {
        {"NoArgument", {}},
        {"TwoArguments", {"a.hhp", "b.hhp"}},
        {"NoProjectFile", {(p / "absent.hhp").string()}},
        {"ProjectIsAFolder", {p.string()}},
        {"NoReadableFile", {(p / "none.hhp").string()}},
        {"OutputNotWritable", {(p / "unwritable.hhp").string()}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        std::vector<std::string> argv{HHC_EXE};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const support::ProgramResult r = support::RunProgram(argv, {}, p.string());
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_FALSE(r.standardError.empty());
        EXPECT_EQ(std::count(r.standardError.begin(), r.standardError.end(), '\n'),
                  std::string(c.id) == "NoReadableFile" ? 2 : 1)
            << r.standardError;
        EXPECT_TRUE(OnlyFiles(p, {"none.hhp", "unwritable.hhp", "page.htm"}));
    }
}

// A missing file and a second file that would take the same stored name are passed over with
// a warning each; the same file named twice is stored once without one.
TEST(HhcExe, ReplacesAnOldOutputAndWarnsAboutFilesItPassesOver) {
    support::TempFolder dir;
    const fs::path p = fs::path(dir.path()) / "work";
    WriteFile(p / "chmindex.htm", "<html><body>x</body></html>");
    WriteFile(fs::path(dir.path()) / "other" / "CHMINDEX.htm", "another page");
    WriteFile(p / "chmkorva.chm", "old contents");
    WriteFile(p / "chmkorva.hhp", "[FILES]\r\nchmindex.htm\r\nchm0.gif\r\n./chmindex.htm\r\n" +
                                      (fs::path(dir.path()) / "other" / "CHMINDEX.htm").string() +
                                      "\r\n");
    const support::ProgramResult r =
        support::RunProgram({HHC_EXE, (p / "chmkorva.hhp").string()}, {}, p.string());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(std::count(r.standardError.begin(), r.standardError.end(), '\n'), 2)
        << r.standardError;
    EXPECT_NE(r.standardError.find("chm0.gif"), std::string::npos) << r.standardError;
    EXPECT_NE(r.standardError.find("CHMINDEX.htm"), std::string::npos) << r.standardError;
    EXPECT_TRUE(OnlyFiles(p, {"chmindex.htm", "chmkorva.chm", "chmkorva.hhp"}));
    const ChmRead read = MspackReadChm((p / "chmkorva.chm").string());
    ASSERT_TRUE(read.opened);
    EXPECT_EQ(read.files.at("/chmindex.htm"), ReadFile(p / "chmindex.htm"));
    EXPECT_EQ(read.files.count("/chm0.gif"), 0u);
}

TEST(HhcExe, SystemFileNamesTopicWindowLanguageAndCompiledName) {
    struct Case {
        const char* id;
        std::string options;
        std::string files;
        std::uint32_t lcid;
        std::string topic, title, window, compiledName;
    };

    support::TempFolder dir;
    const fs::path p = dir.path();
    WriteFile(p / "pages" / "start.htm", "<html><head><title>Start</title></head></html>");
    WriteFile(p / "pages" / "other.htm", "<html></html>");
    const std::string window =
        "[WINDOWS]\r\nKORVA=\"Window Caption\",,,\"pages\\other.htm\",\"pages\\other.htm\",,,,,"
        "0x42020,,0x207c,[30,30,600,400],,,,,,,0\r\n";
    const Case cases[] = {
        {"NoLanguageMeansUsEnglish", "Default Window=KORVA\r\n" + window,
         "pages\\start.htm\r\npages\\other.htm\r\n", 0x0409, "pages/other.htm", "Window Caption",
         "KORVA", "proj"},
        {"OptionsWin",
         "Default topic=pages/start.htm\r\nTitle=Given\r\nLanguage=0x407 German\r\n"
         "Compiled file=Out Name.CHM\r\nDefault Window=KORVA\r\n" +
             window,
         "pages/start.htm\r\npages/other.htm\r\n", 0x0407, "pages/start.htm", "Given", "KORVA",
         "out name"},
        {"FirstFileWithoutTopicOrWindow", "", "pages/other.htm\r\npages/start.htm\r\n", 0x0409,
         "pages/other.htm", "", "", "proj"},
        {"BareHexLanguage", "Language=0x0c0a\r\n", "pages/start.htm\r\n", 0x0C0A, "pages/start.htm",
         "", "", "proj"},
        {"DecimalLanguageWithName", "Language=1053 Swedish\r\n", "pages/start.htm\r\n", 0x041D,
         "pages/start.htm", "", "", "proj"},
        {"AbsoluteTopicInsideTheFolder",
         "Default topic=" + (p / "pages" / "start.htm").string() + "\r\n",
         (p / "pages" / "start.htm").string() + "\r\n", 0x0409, "pages/start.htm", "", "", "proj"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        WriteFile(p / "proj.hhp", "[OPTIONS]\r\n" + c.options + "[FILES]\r\n" + c.files);
        const support::ProgramResult r =
            support::RunProgram({HHC_EXE, (p / "proj.hhp").string()}, {}, p.string());
        ASSERT_EQ(r.exitCode, 1) << r.standardError;
        const fs::path out =
            p / (c.compiledName == "proj" ? std::string("proj.chm") : std::string("Out Name.CHM"));
        const ChmRead read = MspackReadChm(out.string());
        fs::remove(out);
        ASSERT_TRUE(read.opened);
        ASSERT_EQ(read.files.count("/#SYSTEM"), 1u);
        std::map<std::uint16_t, std::string> rec = SystemRecords(read.files.at("/#SYSTEM"));
        ASSERT_EQ(rec.count(4), 1u);
        EXPECT_EQ(U32(rec[4], 0), c.lcid);
        EXPECT_EQ(rec[2], c.topic + '\0');
        EXPECT_EQ(rec[6], c.compiledName + '\0');
        EXPECT_EQ(rec.count(3) ? rec[3] : std::string(1, '\0'), c.title + '\0');
        EXPECT_EQ(rec.count(5) ? rec[5] : std::string(1, '\0'), c.window + '\0');
        EXPECT_EQ(read.files.count("/#STRINGS"), 1u);
        EXPECT_EQ(read.files.count("/#WINDOWS"), 1u);
    }
}

// [OPTIONS] keys that change what the compiler says: every key of the platform's compiler is
// accepted, an unknown one is named once, the per-file lines and the error log follow the
// project, and the log gets the error that ends a compile.
TEST(HhcExe, OptionsThatChangeWhatTheCompilerSays) {
    struct Case {
        const char* id;
        std::string options;
        std::string files;
        int exitCode;
        std::vector<std::string> errorLines;  // a part of each line, in order
        std::string output;                   // standard output, whole
        std::string log;                      // a part of logs/build.log; "" no log
    };

    const std::string everyKey =
        "Auto Index=Yes\r\nAuto TOC=9\r\nBinary Index=No\r\nBinary TOC=No\r\n"
        "CITATION=c\r\nCOMPRESS=Yes\r\nCOPYRIGHT=c\r\nCompatibility=1.1 or later\r\n"
        "Compiled file=proj.chm\r\nContents file=\r\nCreate CHI file=No\r\nCustom tab=x\r\n"
        "DBCS=No\r\nDefault Font=Arial,8,0\r\nDefault Window=\r\nDefault topic=a.htm\r\n"
        "Display compile notes=Yes\r\nDisplay compile progress=No\r\n"
        "Enhanced decompilation=Yes\r\nError log file=\r\nFlat=No\r\n"
        "Full text search stop list file=\r\nFull-text search=No\r\nIGNORE=x\r\n"
        "Index file=\r\nLanguage=0x409 English (United States)\r\nPREFIX=p\r\n"
        "Sample Staging Path=s\r\nSample list file=s\r\nTMPDIR=t\r\nTitle=T\r\n";
    const Case cases[] = {
        {"EveryKeyOfThePlatformCompiler", everyKey, "a.htm\r\n", 1, {}, "", ""},
        {"UnknownKeyWarnsOnce",
         "Frobnicate=1\r\nTitle=T\r\nFROBNICATE=2\r\n",
         "a.htm\r\n",
         1,
         {"warning: unknown [OPTIONS] key \"Frobnicate\""},
         "",
         ""},
        {"BinaryFormsSaidOnce",
         "Binary TOC=Yes\r\nBinary Index=Yes\r\n",
         "a.htm\r\n",
         1,
         {"note: Binary TOC and Binary Index are not written"},
         "",
         ""},
        {"ProgressLines",
         "Display compile progress=Yes\r\n",
         "a.htm\r\nsub\\b.htm\r\n",
         1,
         {},
         "hhc.exe: compiling /a.htm\nhhc.exe: compiling /sub/b.htm\n",
         ""},
        {"LogNamedWithBackslashes",
         "Error log file=logs\\build.log\r\n",
         "a.htm\r\nnone.htm\r\n",
         1,
         {"warning: cannot read"},
         "",
         "warning: cannot read"},
        {"LogHoldsTheFailure",
         "Error log file=logs/build.log\r\n",
         "none.htm\r\n",
         0,
         {"warning: cannot read", "no file listed under [FILES] could be read"},
         "",
         "no file listed under [FILES] could be read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        support::TempFolder dir;
        const fs::path p = dir.path();
        WriteFile(p / "a.htm", "<html>a</html>");
        WriteFile(p / "sub" / "b.htm", "<html>b</html>");
        fs::create_directory(p / "logs");
        WriteFile(p / "proj.hhp", "[OPTIONS]\r\n" + c.options + "[FILES]\r\n" + c.files);
        const support::ProgramResult r = support::RunProgram({HHC_EXE, (p / "proj.hhp").string()});
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(fs::exists(p / "proj.chm"), c.exitCode == 1);
        std::istringstream errors(r.standardError);
        std::vector<std::string> lines;
        for (std::string line; std::getline(errors, line);) {
            lines.push_back(line);
        }
        ASSERT_EQ(lines.size(), c.errorLines.size()) << r.standardError;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_NE(lines[i].find(c.errorLines[i]), std::string::npos) << lines[i];
        }
        EXPECT_EQ(r.standardOutput, c.output);
        const std::string log = dir.Read("logs/build.log");
        EXPECT_EQ(fs::exists(p / "logs" / "build.log"), !c.log.empty());
        EXPECT_NE(log.find(c.log), std::string::npos) << log;
    }
}

TEST(HhcExe, HelpSaysWhatTheExitStatusMeans) {
    const support::ProgramResult r = support::RunProgram({HHC_EXE, "--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.standardOutput.find("1 when the .chm was written, 0 when it was not"),
              std::string::npos)
        << r.standardOutput;
}

}  // namespace
}  // namespace hhc::testing
