// hhc.exe's contract: exit codes (the platform compiler's: 1 written, 0 not), messages, where
// the output goes and what may be replaced, no partial output on failure, memory that does not
// grow with the input, and what #SYSTEM and the topic tables tell viewers (read back through
// libmspack).
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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
        const auto code = static_cast<std::uint16_t>(U16(system, at));
        const std::size_t len = U16(system, at + 2);
        records[code] = std::string(system.begin() + static_cast<std::ptrdiff_t>(at + 4),
                                    system.begin() + static_cast<std::ptrdiff_t>(at + 4 + len));
        at += 4 + len;
    }
    return records;
}

// The names in a folder, sorted.
std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(HhcExe, FailuresExitZeroWithOneLineAndLeaveNoOutput) {
    support::TempFolder dir;
    const fs::path p = dir.path();
    WriteFile(p / "none.hhp", "[OPTIONS]\r\nTitle=x\r\n[FILES]\r\nmissing.htm\r\n");
    WriteFile(p / "unwritable.hhp",
              "[OPTIONS]\r\nCompiled file=no/such/folder/x.chm\r\n"
              "[FILES]\r\npage.htm\r\n");
    WriteFile(p / "page.htm", "<html></html>");
    ASSERT_EQ(::mkfifo((p / "fifo.hhp").c_str(), 0600), 0);  // opening it must not wait

    struct Case {
        const char* id;
        std::vector<std::string> args;
    };

    const Case cases[] = {
        {"NoArgument", {}},
        {"TwoArguments", {"a.hhp", "b.hhp"}},
        {"ThreadsWithoutProject", {"--threads", "2"}},
        {"NoThreads", {"--threads", "0", (p / "none.hhp").string()}},
        {"ThreadsNotANumber", {"--threads", "2x", (p / "none.hhp").string()}},
        {"NoProjectFile", {(p / "absent.hhp").string()}},
        {"ProjectIsAFolder", {p.string()}},
        {"ProjectIsAFifo", {(p / "fifo.hhp").string()}},
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
        EXPECT_EQ(Names(p),
                  (std::vector<std::string>{"fifo.hhp", "none.hhp", "page.htm", "unwritable.hhp"}));
    }
}

// Reset intervals are compressed independently, so the file is the same for any thread count.
TEST(HhcExe, SameFileForAnyThreadCount) {
    support::TempFolder dir;
    const fs::path p = dir.path();
    const Bytes page = HtmlText(600000, 3);
    WriteFile(p / "a.htm", page);
    WriteFile(p / "b.gif", Noise(100000, 4));
    WriteFile(p / "p.hhp", "[OPTIONS]\r\nTitle=Threads\r\n[FILES]\r\na.htm\r\nb.gif\r\n");
    std::vector<Bytes> outputs;
    for (const char* threads : {"1", "4"}) {
        const support::ProgramResult r =
            support::RunProgram({HHC_EXE, "--threads", threads, (p / "p.hhp").string()},
                                {"SOURCE_DATE_EPOCH=1700000000"});
        ASSERT_EQ(r.exitCode, kCompiled) << r.standardError;
        outputs.push_back(ReadFile(p / "p.chm"));
    }
    EXPECT_TRUE(outputs[0] == outputs[1]);
    EXPECT_GT(outputs[0].size(), 100000u);
}

// A missing file, a FIFO (also behind a link) and a second file that would take the same stored
// name are passed over with a warning each; the same file named twice is stored once without
// one.
TEST(HhcExe, ReplacesAnOldOutputAndWarnsAboutFilesItPassesOver) {
    support::TempFolder dir;
    const fs::path p = fs::path(dir.path()) / "work";
    WriteFile(p / "chmindex.htm", "<html><body>x</body></html>");
    ASSERT_EQ(::mkfifo((p / "pipe.htm").c_str(), 0600), 0);
    fs::create_symlink("pipe.htm", p / "link.htm");
    WriteFile(fs::path(dir.path()) / "other" / "CHMINDEX.htm", "another page");
    WriteFile(p / "chmkorva.chm", "old contents");
    WriteFile(p / "chmkorva.hhp",
              "[FILES]\r\nchmindex.htm\r\nchm0.gif\r\npipe.htm\r\nlink.htm\r\n"
              "./chmindex.htm\r\n" +
                  (fs::path(dir.path()) / "other" / "CHMINDEX.htm").string() + "\r\n");
    const support::ProgramResult r =
        support::RunProgram({HHC_EXE, (p / "chmkorva.hhp").string()}, {}, p.string());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(std::count(r.standardError.begin(), r.standardError.end(), '\n'), 4)
        << r.standardError;
    EXPECT_NE(r.standardError.find("chm0.gif"), std::string::npos) << r.standardError;
    EXPECT_NE(r.standardError.find("link.htm (not a regular file)"), std::string::npos);
    EXPECT_NE(r.standardError.find("CHMINDEX.htm"), std::string::npos) << r.standardError;
    EXPECT_EQ(Names(p), (std::vector<std::string>{"chmindex.htm", "chmkorva.chm", "chmkorva.hhp",
                                                  "link.htm", "pipe.htm"}));
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

std::string Text(const fs::path& path) {
    const Bytes bytes = ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

bool IsChm(const fs::path& path) {
    return Text(path).starts_with("ITSF");
}

void MakeSocket(const fs::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.native().copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

// What stands at a path itself: its type, a link's target, a file's bytes.
std::string Describe(const fs::path& path) {
    const fs::file_type type = fs::symlink_status(path).type();
    return std::to_string(static_cast<int>(type)) +
           (type == fs::file_type::symlink ? fs::read_symlink(path).string() : "") +
           (type == fs::file_type::regular ? Text(path) : "");
}

std::ptrdiff_t Entries(const fs::path& dir) {
    return std::distance(fs::recursive_directory_iterator(dir), {});
}

// What stands at the output path decides whether it is replaced. A refused path gets one line
// on stderr and stays as it was; either way nothing is written beside it.
TEST(HhcExe, OnlyAMissingPathOrARegularFileIsReplaced) {
    struct Case {
        const char* id;
        void (*make)(const fs::path& out, const fs::path& dir);
        bool replaced;
    };

    const Case cases[] = {
        {"Missing", [](const fs::path&, const fs::path&) {}, true},
        {"RegularFile", [](const fs::path& out, const fs::path&) { WriteFile(out, "old"); }, true},
        {"LinkToARegularFileReplacesTheFile",
         [](const fs::path& out, const fs::path& dir) {
             WriteFile(dir / "real" / "target.chm", "old");
             fs::create_symlink(dir / "real" / "target.chm", out);
         },
         true},
        {"LinkToNothing",
         [](const fs::path& out, const fs::path& dir) {
             fs::create_symlink(dir / "absent.chm", out);
         },
         false},
        {"LinkToADevice",
         [](const fs::path& out, const fs::path&) { fs::create_symlink("/dev/null", out); }, false},
        {"Folder", [](const fs::path& out, const fs::path&) { fs::create_directory(out); }, false},
        {"Fifo",
         [](const fs::path& out, const fs::path&) { ASSERT_EQ(::mkfifo(out.c_str(), 0600), 0); },
         false},
        {"Socket", [](const fs::path& out, const fs::path&) { MakeSocket(out); }, false},
        {"ReadOnlyFile",
         [](const fs::path& out, const fs::path&) {
             WriteFile(out, "old");
             fs::permissions(out, fs::perms::owner_read | fs::perms::group_read);
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        support::TempFolder dir;
        const fs::path p = fs::path(dir.path()) / "project";
        const fs::path out = p / "out.chm";
        WriteFile(p / "page.htm", "<html></html>");
        WriteFile(p / "p.hhp", "[OPTIONS]\r\nCompiled file=out.chm\r\n[FILES]\r\npage.htm\r\n");
        c.make(out, dir.path());
        const std::string before = Describe(out);
        const bool link = fs::is_symlink(out);
        const std::ptrdiff_t entries =
            Entries(dir.path()) + (fs::exists(fs::symlink_status(out)) ? 0 : 1);
        const support::ProgramResult r =
            support::RunProgram({HHC_EXE, (p / "p.hhp").string()}, {}, p.string());
        EXPECT_EQ(r.exitCode == kCompiled, c.replaced) << r.standardError;
        if (c.replaced) {
            EXPECT_TRUE(IsChm(out));
            EXPECT_EQ(fs::is_symlink(out), link);
        } else {
            EXPECT_EQ(Describe(out), before);
            EXPECT_EQ(std::count(r.standardError.begin(), r.standardError.end(), '\n'), 1)
                << r.standardError;
            EXPECT_NE(r.standardError.find("out.chm"), std::string::npos) << r.standardError;
        }
        EXPECT_EQ(Entries(dir.path()), entries) << "nothing left beside it";
    }
}

// #SYSTEM's records have a 16-bit length that counts the NUL.
TEST(HhcExe, ProjectStringsTooLongForSystemAreRefused) {
    support::TempFolder dir;
    const fs::path p = dir.path();
    WriteFile(p / "page.htm", "<html></html>");
    for (const std::size_t size : {std::size_t{65534}, std::size_t{65535}, std::size_t{70000}}) {
        SCOPED_TRACE(size);
        for (const char* key : {"Title", "Default font"}) {
            WriteFile(p / "p.hhp", std::string("[OPTIONS]\r\n") + key + "=" +
                                       std::string(size, 'x') + "\r\n[FILES]\r\npage.htm\r\n");
            const support::ProgramResult r = support::RunProgram({HHC_EXE, (p / "p.hhp").string()});
            if (size < 65535) {
                ASSERT_EQ(r.exitCode, kCompiled) << r.standardError;
                const ChmRead read = MspackReadChm((p / "p.chm").string());
                ASSERT_TRUE(read.opened);
                const auto records = SystemRecords(read.files.at("/#SYSTEM"));
                EXPECT_EQ(records.at(key == std::string("Title") ? 3 : 16).size(), size + 1);
                fs::remove(p / "p.chm");
            } else {
                EXPECT_NE(r.exitCode, kCompiled);
                EXPECT_EQ(std::count(r.standardError.begin(), r.standardError.end(), '\n'), 1);
                EXPECT_NE(r.standardError.find(key), std::string::npos) << r.standardError;
                EXPECT_FALSE(fs::exists(p / "p.chm"));
            }
        }
    }
}

// The input is read in pieces and the compressed section kept in a file: a 64 MiB input
// (sparse, so it costs no disk) must not make a 64 MiB process.
TEST(HhcExe, PeakMemoryDoesNotGrowWithTheInput) {
    support::TempFolder dir;
    const fs::path p = dir.path();
    { std::ofstream(p / "big.bin").put('x'); }
    fs::resize_file(p / "big.bin", std::uintmax_t{64} << 20);
    WriteFile(p / "p.hhp", "[FILES]\r\nbig.bin\r\n");
    // A sanitizer keeps freed memory aside by design; measure the compiler, not its quarantine.
    const support::ProgramResult r = support::RunProgram({HHC_EXE, (p / "p.hhp").string()},
                                                         {"ASAN_OPTIONS=quarantine_size_mb=4"});
    ASSERT_EQ(r.exitCode, kCompiled) << r.standardError;
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    EXPECT_LT(usage.ru_maxrss, 48 * 1024) << "KiB at the peak of the largest child";
}

// Each topic as viewers look it up: #TOPICS leads through #URLTBL to its path in #URLSTR, and
// to its title in #STRINGS unless the title's offset lies past it, which is what they test for.
std::vector<std::string> TopicTitles(const ChmRead& read) {
    const Bytes& topics = read.files.at("/#TOPICS");
    const Bytes& urls = read.files.at("/#URLTBL");
    const Bytes& paths = read.files.at("/#URLSTR");
    const Bytes& strings = read.files.at("/#STRINGS");
    const auto text = [](const Bytes& bytes, std::size_t at) {
        return std::string(reinterpret_cast<const char*>(bytes.data() + at));
    };
    std::vector<std::string> found;
    for (std::size_t at = 0; at + 16 <= topics.size(); at += 16) {
        std::string topic = text(paths, U32(urls, U32(topics, at + 8) + 8) + 8);
        if (const std::uint32_t title = U32(topics, at + 4); title < strings.size()) {
            topic += "\t" + text(strings, title);
        }
        found.push_back(topic);
    }
    return found;
}

// Titles as viewers look them up, and the language that tells them the titles' code page.
struct TitleCase {
    const char* id;
    const char* language;                                    // the project's Language line, if any
    std::vector<std::pair<std::string, std::string>> pages;  // name, bytes
    std::uint32_t lcid;
    std::vector<std::string> topics;  // "name<TAB>title", or the name alone for none
};

const std::string kUtf8Head = "<html><head><meta charset=\"utf-8\">";

const TitleCase kTitleCases[] = {
    {"Utf8PagesWithoutLanguageTellTheReadersUtf8",
     "",
     {{"a.htm", kUtf8Head + "<title>\n Gr&uuml;&szlig;e &amp;\n\xE6\x97\xA5\xE6\x9C\xAC</title>"},
      {"b.htm", "<html><body>no title</body></html>"},
      {"c.htm", "<title></title>"}},
     0x0400,
     {"a.htm\tGr\xC3\xBC\xC3\x9F"
      "e & \xE6\x97\xA5\xE6\x9C\xAC",
      "b.htm", "c.htm"}},
    {"GivenLanguageWinsAndTitlesMoveToItsCodePage",
     "Language=0x407 German (Germany)\r\n",
     {{"a.htm", kUtf8Head + "<title>Gr\xC3\xBC\xC3\x9F"
                            "e \xE6\x97\xA5 &alpha; &eacute;</title>"}},
     0x0407,
     {"a.htm\tGr\xFC\xDF"
      "e ? &alpha; \xE9"}},
};

class TitleCheck : public ::testing::TestWithParam<TitleCase> {};

TEST_P(TitleCheck, ReadersFindEachPagesTitle) {
    const TitleCase& c = GetParam();
    support::TempFolder dir;
    const fs::path p = dir.path();
    std::string project = std::string("[OPTIONS]\r\n") + c.language + "[FILES]\r\n";
    for (const auto& [name, bytes] : c.pages) {
        WriteFile(p / name, bytes);
        project += name + "\r\n";
    }
    WriteFile(p / "t.hhp", project);
    const support::ProgramResult r = support::RunProgram({HHC_EXE, (p / "t.hhp").string()}, {}, p);
    ASSERT_EQ(r.exitCode, kCompiled) << r.standardError;
    const ChmRead read = MspackReadChm((p / "t.chm").string());
    ASSERT_TRUE(read.opened);
    EXPECT_EQ(U32(SystemRecords(read.files.at("/#SYSTEM"))[4], 0), c.lcid);
    EXPECT_EQ(TopicTitles(read), c.topics);
}

INSTANTIATE_TEST_SUITE_P(Pages, TitleCheck, ::testing::ValuesIn(kTitleCases),
                         [](const auto& param) { return std::string(param.param.id); });

}  // namespace
}  // namespace hhc::testing
