// Runs a program of ours as a user would, and collects what it says on standard error.
#pragma once

#include <string>
#include <vector>

namespace support {

struct ProgramResult {
    int exitCode;  // -1 when it could not start or did not exit by itself
    std::string standardError;
};

// `argv` as given (no shell); `environment` entries "NAME=value" are added to this process's
// own, replacing a variable of the same name.
ProgramResult RunProgram(const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment = {});

}  // namespace support
