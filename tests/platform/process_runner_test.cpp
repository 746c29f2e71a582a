#include "platform/process_runner.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace {

TEST(SpawnProcessRunnerTest, PassesArgumentsWithBlanksWhole) {
    support::TempFolder folder;
    const std::string compiler = folder.path() + "my tools/hhc.exe";
    std::filesystem::create_directories(folder.path() + "my tools");
    std::filesystem::copy_file(FAKE_HHC, compiler);
    const std::string project = folder.Write("work dir/chmkorva.hhp", "[FILES]\r\n");

    platform::SpawnProcessRunner().ExecAndWait({compiler, project});

    // The wait returned only once the program had written its output.
    EXPECT_EQ(folder.Read("my tools/calls.txt"), compiler + "\t" + project + "\n");
    EXPECT_TRUE(std::filesystem::exists(folder.path() + "work dir/chmkorva.chm"));
}

TEST(SpawnProcessRunnerTest, AProgramThatCannotStartReturns) {
    support::TempFolder folder;
    platform::SpawnProcessRunner().ExecAndWait({folder.path() + "none/hhc.exe", "x.hhp"});
    platform::SpawnProcessRunner().ExecAndWait({});
    SUCCEED();
}

}  // namespace
