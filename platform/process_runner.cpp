// fork and exec rather than posix_spawn: only a forked child can ask, before exec, to be
// killed when its parent dies, so that a killed run leaves no compiler running. Between fork
// and exec the child calls nothing that is unsafe after a fork.
#include "platform/process_runner.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <thread>

#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {

namespace {

using engine::ProcessOutcome;

constexpr int kLongestWaitMs = 100;  // how often `stop` is asked while the child runs

// Waits up to `ms` for the child to end: on its pidfd where the kernel has them, so that an
// ending child is seen at once, else by sleeping.
void WaitAWhile(int pidfd, int ms) {
    if (pidfd >= 0) {
        pollfd ready{pidfd, POLLIN, 0};
        ::poll(&ready, 1, ms);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 5)));
    }
}

[[noreturn]] void BecomeChild(pid_t parent, std::vector<char*>& arguments) {
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent) {
        ::_exit(127);  // the parent is already gone
    }
    ::execv(arguments[0], arguments.data());
    ::_exit(127);
}

// The child's end once it has ended, or nothing yet.
bool Ended(pid_t child, ProcessOutcome& outcome) {
    int status = 0;
    const pid_t done = ::waitpid(child, &status, WNOHANG);
    if (done == 0 || (done < 0 && errno == EINTR)) {
        return false;
    }
    if (done > 0 && WIFSIGNALED(status)) {
        outcome = {ProcessOutcome::End::Signalled, WTERMSIG(status)};
    } else if (done > 0) {
        outcome = {ProcessOutcome::End::Exited, WEXITSTATUS(status)};
    }
    return true;
}

ProcessOutcome Kill(pid_t child, ProcessOutcome::End why) {
    ::kill(child, SIGKILL);
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    return {why, SIGKILL};
}

}  // namespace

ProcessOutcome SpawnProcessRunner::ExecAndWait(const std::vector<std::string>& argv,
                                               const engine::StopSignal& stop) {
    if (argv.empty() || ::access(argv[0].c_str(), X_OK) != 0) {
        return {};
    }
    std::vector<char*> arguments;
    arguments.reserve(argv.size() + 1);
    for (const std::string& argument : argv) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child < 0) {
        return {};
    }
    if (child == 0) {
        BecomeChild(parent, arguments);
    }
    const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
    const auto deadline = std::chrono::steady_clock::now() + timeLimit_;
    ProcessOutcome outcome;
    while (!Ended(child, outcome)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (stop && stop()) {
            outcome = Kill(child, ProcessOutcome::End::Stopped);
            break;
        }
        if (left.count() <= 0) {
            outcome = Kill(child, ProcessOutcome::End::TimedOut);
            break;
        }
        WaitAWhile(pidfd, static_cast<int>(std::min<long long>(left.count(), kLongestWaitMs)));
    }
    if (pidfd >= 0) {
        ::close(pidfd);
    }
    return outcome;
}

}  // namespace platform
