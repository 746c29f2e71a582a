// The limits of one run and its interruption: how many resources, how many bytes stored, how
// long. Each ends the run with a clear error instead of filling the disk or waiting for ever.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>

namespace engine {

struct RunLimits {
    std::size_t maxResources = 10000;
    std::uint64_t maxStoredBytes = std::uint64_t{2} << 30;
    std::chrono::seconds maxRunTime{30 * 60};
};

// Asked often while a run waits: true once the user asked the run to end.
using StopSignal = std::function<bool()>;

class RunGuard {
public:
    // The clock starts now; the counts start at 0.
    void Start(const RunLimits& limits, StopSignal interrupted);

    // True once the run is to end: interrupted, or out of time. Transfers and the compiler
    // are abandoned then.
    bool ShouldStop() const;

    // Throws the RunError that ends the run when it is to end.
    void Check() const;

    // Counts one more resource and `bytes` more stored; throws past a limit.
    void CountResource();
    void CountStored(std::size_t bytes);

private:
    RunLimits limits_;
    StopSignal interrupted_;
    std::chrono::steady_clock::time_point deadline_;
    std::size_t resources_ = 0;
    std::uint64_t storedBytes_ = 0;
};

}  // namespace engine
