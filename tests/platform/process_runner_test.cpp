#include "platform/process_runner.h"

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using End = engine::ProcessOutcome::End;

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
