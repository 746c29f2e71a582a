// Starts the help compiler and waits for it, within a time limit.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "engine/ports.h"

namespace platform {

class SpawnProcessRunner : public engine::ProcessRunner {
public:
    explicit SpawnProcessRunner(std::chrono::milliseconds timeLimit = std::chrono::minutes(10))
        : timeLimit_(timeLimit) {}

    // The argument vector as it is (a path with blanks stays one argument), no shell. The child
    // inherits the environment and the current folder, and is killed when this process dies,
    // when its time is up or when `stop` says so.
    engine::ProcessOutcome ExecAndWait(const std::vector<std::string>& argv,
                                       const engine::StopSignal& stop) override;

private:
    std::chrono::milliseconds timeLimit_;
};

}  // namespace platform
