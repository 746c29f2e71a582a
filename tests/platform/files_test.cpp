#include "platform/files.h"

#include <cstdlib>
#include <filesystem>
#include <functional>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/folder_search.h"
#include "platform/leftovers.h"
#include "tests/support/run_error_text.h"
#include "tests/support/temp_folder.h"

namespace {

using platform::FolderSearch;

TEST(LocalFilesTest, OrdinaryFilesExistOthersDoNot) {
    support::TempFolder folder;
    platform::LocalFiles files;
    folder.Write("page.htm", "x");
    folder.Write(".hidden", "x");
    folder.Write("sub/inner.htm", "x");
    EXPECT_TRUE(files.FileExists(folder.path() + "page.htm"));
    EXPECT_FALSE(files.FileExists(folder.path() + ".hidden"));
    EXPECT_FALSE(files.FileExists(folder.path() + "sub"));
    EXPECT_FALSE(files.FileExists(folder.path() + "none.htm"));
    EXPECT_FALSE(files.FileExists("http://host/page.htm"));
    EXPECT_FALSE(files.FileExists(""));
}

TEST(LocalFilesTest, WritesDeletesAndCopies) {
    support::TempFolder folder;
    platform::LocalFiles files;
    files.WriteFile(folder.path() + "a.bin", std::string("a\0b", 3));
    EXPECT_EQ(folder.Read("a.bin"), std::string("a\0b", 3));
    files.WriteFile(folder.path() + "a.bin", "c");  // emptied before it is written
    EXPECT_EQ(folder.Read("a.bin"), "c");

    folder.Write("out.chm", "old");
    files.CopyFile(folder.path() + "a.bin", folder.path() + "out.chm");
    EXPECT_EQ(folder.Read("out.chm"), "c");

    files.DeleteFile(folder.path() + "a.bin");
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "a.bin"));
    EXPECT_EQ(support::RunErrorText([&] { files.DeleteFile(folder.path() + "a.bin"); }), "");
}

// A failed operation names its error; a failed copy keeps the target and leaves nothing beside.
TEST(LocalFilesTest, ReportsFileErrorsByNumber) {
    support::TempFolder folder;
    platform::LocalFiles files;
    const std::string in = folder.path();
    folder.Write("out.chm", "keep me");
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { files.WriteFile(in + "no/such/x.htm", "x"); }, "76 Path not found"},
        {[&] { files.CopyFile(in + "out.chm", in + "no/such/out.chm"); }, "76 Path not found"},
        {[&] { files.WriteFile(in, "x"); }, "75 Path/File access error"},  // a folder
        {[&] { files.WriteFile("/dev/full", "x"); }, "61 Disk full"},
        {[&] { files.WriteFile("/sys/kernel/notes", "x"); }, "70 Permission denied"},  // even root
        {[&] { files.CopyFile(in + "chmkorva.chm", in + "out.chm"); }, "53 File not found"},
    };
    for (const auto& [operation, error] : cases) {
        EXPECT_EQ(support::RunErrorText(operation), error);
    }
    EXPECT_EQ(folder.Read("out.chm"), "keep me");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(in), {}), 1);
}

// A pid no process has now: a child that has ended.
pid_t DeadPid() {
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    return child;
}

TEST(LocalFilesTest, TheOutputIsReplacedOnlyWhereItIsAFileWeMayWrite) {
    struct Case {
        const char* id;
        std::function<void(const support::TempFolder&)> make;  // what stands at "out.chm"
        std::string error;
        const char* holdsTheCopy;  // "" when nothing may be written
        mode_t mode;
    };

    const auto regular = [](mode_t mode) {
        return [mode](const support::TempFolder& f) {
            chmod(f.Write("out.chm", "old").c_str(), mode);
        };
    };
    const auto link = [](const char* to) {
        return [to](const support::TempFolder& f) {
            f.Write("real.chm", "old");
            std::filesystem::create_symlink(to, f.path() + "out.chm");
        };
    };
    const Case cases[] = {
        {"Missing", [](const support::TempFolder&) {}, "", "out.chm", 0640},
        {"RegularKeepsItsMode", regular(0604), "", "out.chm", 0604},
        {"ReadOnly", regular(0444), "75 Path/File access error", "", 0},
        {"LinkToAFile", link("real.chm"), "", "real.chm", 0640},
        {"DanglingLink", link("new.chm"), "", "new.chm", 0640},
        {"Folder", [](const support::TempFolder& f) { f.Write("out.chm/x", ""); },
         "75 Path/File access error", "", 0},
        {"Fifo", [](const support::TempFolder& f) { mkfifo((f.path() + "out.chm").c_str(), 0600); },
         "75 Path/File access error", "", 0},
        {"Device",
         [](const support::TempFolder& f) {
             std::filesystem::create_symlink("/dev/null", f.path() + "out.chm");
         },
         "75 Path/File access error", "", 0},
    };
    const mode_t previous = umask(027);
    for (const Case& c : cases) {
        support::TempFolder folder;
        platform::LocalFiles files;
        c.make(folder);
        const std::string partial = "out.chm.korva-" + std::to_string(DeadPid()) + "-0";
        folder.Write(partial, "left by a run that died");
        folder.Write("chmkorva.chm", "new");
        const bool linked = std::filesystem::is_symlink(folder.path() + "out.chm");
        EXPECT_EQ(support::RunErrorText([&] {
                      files.CopyFile(folder.path() + "chmkorva.chm", folder.path() + "out.chm");
                  }),
                  c.error)
            << c.id;
        if (*c.holdsTheCopy != '\0') {
            struct stat info {};

            ASSERT_EQ(stat((folder.path() + c.holdsTheCopy).c_str(), &info), 0) << c.id;
            EXPECT_EQ(info.st_mode & 0777, c.mode) << c.id;
            EXPECT_EQ(folder.Read(c.holdsTheCopy), "new") << c.id;
        }
        // A partial copy of the same name is cleared; a link stays a link.
        EXPECT_EQ(std::filesystem::exists(folder.path() + partial),
                  std::string_view(c.holdsTheCopy) != "out.chm")
            << c.id;
        EXPECT_EQ(std::filesystem::is_symlink(folder.path() + "out.chm"), linked) << c.id;
    }
    umask(previous);
}

TEST(WorkingFolderTest, IsPrivateAndFollowsTemp) {
    support::TempFolder temp;
    setenv("TEMP", temp.path().c_str(), 1);
    const std::string folder = platform::MakeWorkingFolder();
    unsetenv("TEMP");
    EXPECT_TRUE(folder.starts_with(temp.path())) << folder;
    EXPECT_TRUE(folder.ends_with("/"));

    struct stat info {};

    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // Removed only once it is empty.
    temp.Write(folder.substr(temp.path().size()) + "left.htm", "x");
    platform::RemoveFolderIfEmpty(folder);
    EXPECT_TRUE(std::filesystem::exists(folder));
    std::filesystem::remove(folder + "left.htm");
    platform::RemoveFolderIfEmpty(folder);
    EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST(WorkingFolderTest, StartUpRemovesOnlyTheFoldersOfRunsThatDied) {
    support::TempFolder temp;
    const std::string ours = "korva-" + std::to_string(getpid()) + "-abc";
    const std::string dead = "korva-" + std::to_string(DeadPid()) + "-abc";
    for (const std::string& name : {ours, dead, std::string("korva-x1-abc")}) {
        temp.Write(name + "/chm0.gif", "x");
    }
    platform::RemoveStaleWorkingFolders(temp.path());
    EXPECT_TRUE(std::filesystem::exists(temp.path() + ours));
    EXPECT_FALSE(std::filesystem::exists(temp.path() + dead));
    EXPECT_TRUE(std::filesystem::exists(temp.path() + "korva-x1-abc"));
}

TEST(FolderSearchTest, FindsTheFirstMatchingOrdinaryFile) {
    support::TempFolder folder;
    folder.Write("HHC.EXE", "x");
    folder.Write(".hidden.exe", "x");
    folder.Write("sub.exe/inner", "x");  // a folder never matches
    const std::string in = folder.path();

    struct Case {
        std::string pattern;
        std::string found;
    };

    const Case cases[] = {
        {in + "hhc.exe", "HHC.EXE"},  // letter case ignored
        {in + "h?c.*", "HHC.EXE"},
        {in + "*.EXE", "HHC.EXE"},
        {in + "*.*", "HHC.EXE"},
        {in + "*", "HHC.EXE"},
        {in + "hhc", ""},
        {in + "hidden.exe", ""},
        {in + "sub.exe", ""},
        {in + "missing/hhc.exe", ""},
        {in + "hhc.exe.bak", ""},
        {in + "?hc.ex", ""},
        {in + "HH*.*", "HHC.EXE"},  // a folder typed without its "/" matches names beside it
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FolderSearch(c.pattern), c.found) << c.pattern;
    }
    EXPECT_EQ(platform::FindHelpCompiler(in), in + "HHC.EXE");
    EXPECT_EQ(platform::FindHelpCompiler(in.substr(0, in.size() - 1)), "");  // no trailing "/"
}

}  // namespace
