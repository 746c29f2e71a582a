#include "tests/support/run_program.h"

#include <array>
#include <cerrno>
#include <string_view>

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

}  // namespace

ProgramResult RunProgram(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment) {
    std::vector<std::string> arguments(argv);
    std::vector<std::string> variables = MergedEnvironment(environment);
    std::array<int, 2> pipeEnds{};
    if (pipe(pipeEnds.data()) != 0) {
        return {-1, ""};
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, arguments[0].c_str(), &actions, nullptr,
                                    Pointers(arguments).data(), Pointers(variables).data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);

    ProgramResult result{-1, ""};
    std::array<char, 4096> buffer{};
    for (ssize_t got; (got = read(pipeEnds[0], buffer.data(), buffer.size())) != 0;) {
        if (got < 0 && errno != EINTR) {
            break;
        }
        if (got > 0) {
            result.standardError.append(buffer.data(), static_cast<std::size_t>(got));
        }
    }
    close(pipeEnds[0]);
    int status = 0;
    if (spawned == 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    return result;
}

}  // namespace support
