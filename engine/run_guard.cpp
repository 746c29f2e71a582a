#include "engine/run_guard.h"

#include <string>

#include "engine/run_error.h"

namespace engine {

void RunGuard::Start(const RunLimits& limits, StopSignal interrupted) {
    limits_ = limits;
    interrupted_ = std::move(interrupted);
    deadline_ = std::chrono::steady_clock::now() + limits.maxRunTime;
    resources_ = 0;
    storedBytes_ = 0;
}

bool RunGuard::ShouldStop() const {
    return (interrupted_ && interrupted_()) || std::chrono::steady_clock::now() >= deadline_;
}

void RunGuard::Check() const {
    if (interrupted_ && interrupted_()) {
        throw RunError{18, "User interrupt occurred"};
    }
    if (std::chrono::steady_clock::now() >= deadline_) {
        throw RunError{408, "Time-out: the run took more than " +
                                std::to_string(limits_.maxRunTime.count()) + " seconds"};
    }
}

void RunGuard::CountResource() {
    if (++resources_ > limits_.maxResources) {
        throw RunError{67, "Too many files: the page needs more than " +
                               std::to_string(limits_.maxResources) + " resources"};
    }
}

void RunGuard::CountStored(std::size_t bytes) {
    storedBytes_ += bytes;
    if (storedBytes_ > limits_.maxStoredBytes) {
        throw RunError{413, "Too much to store: the page's files pass " +
                                std::to_string(limits_.maxStoredBytes >> 20) + " MB"};
    }
}

}  // namespace engine
