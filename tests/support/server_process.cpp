#include "tests/support/server_process.h"

#include <chrono>
#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace support {

ServerProcess::ServerProcess(const std::vector<std::string>& argv) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        return;
    }
    std::vector<std::string> arguments(argv);
    std::vector<char*> pointers;
    for (std::string& argument : arguments) {
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
    if (posix_spawn(&child_, pointers[0], &actions, nullptr, pointers.data(), environ) != 0) {
        child_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    fd_ = ends[0];
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (child_ > 0 && printed_.find('\n') == std::string::npos &&
           std::chrono::steady_clock::now() < deadline) {
        ReadAvailable(100);
    }
    const std::size_t end = printed_.find('\n');
    if (end != std::string::npos) {
        if (printed_.starts_with("port ")) {
            port_ = std::stoi(printed_.substr(5, end - 5));
        }
        printed_.erase(0, end + 1);
    }
}

ServerProcess::~ServerProcess() {
    if (child_ > 0) {
        kill(child_, SIGTERM);
        waitpid(child_, nullptr, 0);
    }
    if (fd_ >= 0) {
        close(fd_);
    }
}

// False when nothing came within `waitMs`.
bool ServerProcess::ReadAvailable(int waitMs) {
    pollfd ready{fd_, POLLIN, 0};
    if (poll(&ready, 1, waitMs) <= 0) {
        return false;
    }
    char buffer[4096];
    const ssize_t got = read(fd_, buffer, sizeof buffer);
    if (got <= 0) {
        return false;
    }
    printed_.append(buffer, static_cast<std::size_t>(got));
    return true;
}

std::string ServerProcess::Output() {
    while (ReadAvailable(50)) {
    }
    return printed_;
}

int CountLines(std::string_view text, std::string_view line) {
    int count = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view current = text.substr(0, end);
        count += current == line ? 1 : 0;
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return count;
}

}  // namespace support
