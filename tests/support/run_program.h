// Runs a program of ours as a user would, and collects what it says on standard error.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace support {

struct ProgramResult {
    int exitCode = -1;  // -1 when it could not start or did not exit by itself
    int signal = 0;     // the signal that ended it, if one did
    std::string standardError;
    std::string standardOutput;
};

// `argv` as given (no shell); `environment` entries "NAME=value" are added to this process's
// own, replacing a variable of the same name. It runs in `workingFolder` when one is given.
// `started` is called with its process id once it runs, before the wait. A program that runs
// for minutes is killed, so that no test waits for ever.
ProgramResult RunProgram(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment = {},
                         const std::string& workingFolder = "",
                         const std::function<void(pid_t)>& started = {});

}  // namespace support
