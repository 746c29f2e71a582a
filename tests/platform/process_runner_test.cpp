#include "platform/process_runner.h"

#include <chrono>
#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace {

using End = engine::ProcessOutcome::End;

TEST(SpawnProcessRunnerTest, PassesArgumentsWithBlanksWhole) {
    support::TempFolder folder;
    const std::string compiler = folder.path() + "my tools/hhc.exe";
    std::filesystem::create_directories(folder.path() + "my tools");
    std::filesystem::copy_file(FAKE_HHC, compiler);
    const std::string project = folder.Write("work dir/chmkorva.hhp", "[FILES]\r\n");

    const engine::ProcessOutcome outcome =
        platform::SpawnProcessRunner().ExecAndWait({compiler, project}, {});

    // The wait returned only once the program had written its output.
    EXPECT_EQ(outcome.end, End::Exited);
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(folder.Read("my tools/calls.txt"), compiler + "\t" + project + "\n");
    EXPECT_TRUE(std::filesystem::exists(folder.path() + "work dir/chmkorva.chm"));
}

TEST(SpawnProcessRunnerTest, TellsHowTheProgramEnded) {
    using namespace std::chrono_literals;

    struct Case {
        std::vector<std::string> argv;
        bool stop;
        End end;
        int code;
    };

    const Case cases[] = {
        {{"/bin/sh", "-c", "exit 3"}, false, End::Exited, 3},
        {{"/bin/sh", "-c", "kill -SEGV $$"}, false, End::Signalled, SIGSEGV},
        {{"/bin/sleep", "30"}, false, End::TimedOut, SIGKILL},
        {{"/bin/sleep", "30"}, true, End::Stopped, SIGKILL},
        {{"/nowhere/hhc.exe", "x.hhp"}, false, End::NotStarted, 0},
        {{}, false, End::NotStarted, 0},
    };
    for (const Case& c : cases) {
        platform::SpawnProcessRunner runner(300ms);
        const engine::ProcessOutcome outcome = runner.ExecAndWait(c.argv, [&c] { return c.stop; });
        EXPECT_EQ(outcome.end, c.end) << (c.argv.empty() ? "" : c.argv.back());
        EXPECT_EQ(outcome.code, c.code) << (c.argv.empty() ? "" : c.argv.back());
    }
}

}  // namespace
