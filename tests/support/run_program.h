// Runs a program of ours as a user would, and collects what it says on standard error.
#pragma once

#include <string>
#include <vector>

namespace support {

struct ProgramResult {
    int exitCode = -1;  // -1 when it could not start or did not exit by itself
    std::string standardError;
    std::string standardOutput;
};

// `argv` as given (no shell); `environment` entries "NAME=value" are added to this process's
// own, replacing a variable of the same name. It runs in `workingFolder` when one is given.
ProgramResult RunProgram(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment = {},
                         const std::string& workingFolder = "");

}  // namespace support
