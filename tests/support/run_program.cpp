#include "tests/support/run_program.h"

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <string_view>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/memory_file.h"

extern char** environ;

namespace support {

namespace {

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> merged(extra);
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view variable(*entry);
        const std::string_view name = variable.substr(0, variable.find('=') + 1);
        bool replaced = false;
        for (const std::string& added : extra) {
            replaced = replaced || added.starts_with(name);
        }
        if (!replaced) {
            merged.emplace_back(variable);
        }
    }
    return merged;
}

// Whatever a program does, a test does not wait for it longer than this: it is killed then.
constexpr std::chrono::minutes kMostRunTime{5};

// Kills `pid` unless Ended() comes first.
class Watchdog {
public:
    explicit Watchdog(pid_t pid)
        : thread_([this, pid] {
              std::unique_lock lock(mutex_);
              if (!ended_.wait_for(lock, kMostRunTime, [this] { return done_; })) {
                  ::kill(pid, SIGKILL);
              }
          }) {}

    ~Watchdog() {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        ended_.notify_one();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    bool done_ = false;
    std::thread thread_;
};

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

// The program writes into files in memory, read once it has ended, so no pipe can fill up and
// stall it.
ProgramResult RunProgram(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment,
                         const std::string& workingFolder,
                         const std::function<void(pid_t)>& started) {
    std::vector<std::string> arguments(argv);
    std::vector<std::string> variables = MergedEnvironment(environment);
    const MemoryFile output, error;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output.fd(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, error.fd(), STDERR_FILENO);
    if (!workingFolder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    }
    pid_t child = 0;
    const int spawned = posix_spawn(&child, arguments[0].c_str(), &actions, nullptr,
                                    Pointers(arguments).data(), Pointers(variables).data());
    posix_spawn_file_actions_destroy(&actions);
    ProgramResult result;
    if (spawned == 0) {
        const Watchdog watchdog(child);
        if (started) {
            started(child);
        }
        int status = 0;
        if (waitpid(child, &status, 0) == child) {
            result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        }
    }
    result.standardOutput = output.Contents<std::string>();
    result.standardError = error.Contents<std::string>();
    return result;
}

}  // namespace support
