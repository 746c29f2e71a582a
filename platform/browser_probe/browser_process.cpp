// fork and exec, as for the compiler: only a forked child can ask, before exec, to die with
// its parent. Everything the child needs is built before the fork; between fork and exec it
// calls only what is safe there.
#include "platform/browser_probe/browser_process.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

// Where a browser keeps what it writes besides the profile it is given: settings, caches,
// crash reports, fonts it learned. All of it goes to the throw-away folder.
constexpr const char* kHomeVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                                          "XDG_DATA_HOME", "XDG_STATE_HOME"};

std::vector<std::string> BrowserEnvironment(const std::string& home) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view text = *entry;
        const std::string_view name = text.substr(0, text.find('='));
        if (std::none_of(std::begin(kHomeVariables), std::end(kHomeVariables),
                         [name](const char* variable) { return name == variable; })) {
            environment.emplace_back(text);
        }
    }
    for (const char* name : kHomeVariables) {
        environment.push_back(std::string(name) + "=" + home);
    }
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// The browser's end of the connection becomes descriptors 3 and 4, the standard ones read and
// write nothing, and no other descriptor of the run (transfers, files) reaches the browser.
[[noreturn]] void BecomeBrowser(pid_t parent, int socket, int nothing, char** argv, char** envp) {
    ::setpgid(0, 0);
    if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != parent) {
        ::_exit(127);  // the run is already gone
    }
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    const int high = ::fcntl(socket, F_DUPFD, 10);
    if (high < 0 || ::dup2(nothing, 0) < 0 || ::dup2(nothing, 1) < 0 || ::dup2(nothing, 2) < 0 ||
        ::dup2(high, 3) < 0 || ::dup2(high, 4) < 0) {
        ::_exit(127);
    }
    ::close_range(5, ~0U, 0);
    ::execve(argv[0], argv, envp);
    ::_exit(127);
}

std::string Ending(int status) {
    if (WIFSIGNALED(status)) {
        return "signal " + std::to_string(WTERMSIG(status));
    }
    return "exit status " + std::to_string(WEXITSTATUS(status));
}

}  // namespace

BrowserProcess::BrowserProcess(const std::string& program,
                               const std::vector<std::string>& arguments, const std::string& home) {
    if (::access(program.c_str(), X_OK) != 0) {
        return;
    }
    std::vector<std::string> argvTexts{program};
    argvTexts.insert(argvTexts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envTexts = BrowserEnvironment(home);
    std::vector<char*> argv = Pointers(argvTexts);
    std::vector<char*> envp = Pointers(envTexts);
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return;
    }
    const int nothing = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    const pid_t parent = ::getpid();
    const pid_t child = nothing < 0 ? -1 : ::fork();
    if (child == 0) {
        BecomeBrowser(parent, ends[1], nothing, argv.data(), envp.data());
    }
    ::close(ends[1]);
    if (nothing >= 0) {
        ::close(nothing);
    }
    pipe_ = std::make_unique<DevToolsPipe>(ends[0]);
    if (child > 0) {
        ::setpgid(child, child);  // also here, so that a kill right after the fork finds it
        pid_ = child;
    }
}

BrowserProcess::~BrowserProcess() {
    Kill();
}

void BrowserProcess::Kill() {
    if (pid_ <= 0) {
        return;
    }
    ::kill(-pid_, SIGKILL);
    if (ended_.empty()) {
        ::kill(pid_, SIGKILL);  // in case it had not yet made its group
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    pid_ = -1;
}

std::string BrowserProcess::HowEnded() {
    if (pid_ <= 0 || !ended_.empty()) {
        return ended_;
    }
    // Asked when the connection closed: the browser is ending, if not quite ended yet.
    for (int tries = 0; tries < 20 && ended_.empty(); ++tries) {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            ended_ = Ending(status);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    return ended_;
}

}  // namespace platform
