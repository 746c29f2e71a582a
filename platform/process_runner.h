// Starts the help compiler and waits for it.
#pragma once

#include <string>
#include <vector>

#include "engine/ports.h"

namespace platform {

class SpawnProcessRunner : public engine::ProcessRunner {
public:
    // posix_spawn with the argument vector as it is: a path with blanks stays one argument.
    // The child inherits the environment and the current folder; its exit code is not looked
    // at, and a program that cannot start returns at once.
    void ExecAndWait(const std::vector<std::string>& argv) override;
};

}  // namespace platform
