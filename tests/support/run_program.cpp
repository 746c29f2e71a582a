#include "tests/support/run_program.h"

#include <array>
#include <cerrno>
#include <string_view>

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// Reads both pipes until the program has closed them; reading one after the other could stall
// a program that fills the other.
void Collect(std::array<int, 2> readEnds, std::array<std::string*, 2> into) {
    std::array<pollfd, 2> polled{pollfd{readEnds[0], POLLIN, 0}, pollfd{readEnds[1], POLLIN, 0}};
    std::array<char, 4096> buffer{};
    while (polled[0].fd >= 0 || polled[1].fd >= 0) {
        if (poll(polled.data(), polled.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        for (std::size_t i = 0; i < polled.size(); ++i) {
            if (polled[i].fd < 0 || polled[i].revents == 0) {
                continue;
            }
            const ssize_t got = read(polled[i].fd, buffer.data(), buffer.size());
            if (got > 0) {
                into[i]->append(buffer.data(), static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                polled[i].fd = -1;  // closed: poll passes over negative descriptors
            }
        }
    }
}

}  // namespace

ProgramResult RunProgram(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment,
                         const std::string& workingFolder) {
    std::vector<std::string> arguments(argv);
    std::vector<std::string> variables = MergedEnvironment(environment);
    std::array<int, 2> errorPipe{};
    std::array<int, 2> outputPipe{};
    ProgramResult result;
    if (pipe(errorPipe.data()) != 0 || pipe(outputPipe.data()) != 0) {
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, errorPipe[1], STDERR_FILENO);
    posix_spawn_file_actions_adddup2(&actions, outputPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, errorPipe[0]);
    posix_spawn_file_actions_addclose(&actions, outputPipe[0]);
    if (!workingFolder.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    }
    pid_t child = 0;
    const int spawned = posix_spawn(&child, arguments[0].c_str(), &actions, nullptr,
                                    Pointers(arguments).data(), Pointers(variables).data());
    posix_spawn_file_actions_destroy(&actions);
    close(errorPipe[1]);
    close(outputPipe[1]);
    Collect({errorPipe[0], outputPipe[0]}, {&result.standardError, &result.standardOutput});
    close(errorPipe[0]);
    close(outputPipe[0]);
    int status = 0;
    if (spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    return result;
}

}  // namespace support
