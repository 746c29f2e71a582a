#include "platform/interrupt.h"

#include <atomic>
#include <csignal>

namespace platform {

namespace {

std::atomic<int> requested{0};

struct sigaction previousInt {};

struct sigaction previousTerm {};

extern "C" void OnInterrupt(int signal) {
    if (requested.exchange(signal) != 0) {
        std::signal(signal, SIG_DFL);
        std::raise(signal);
    }
}

}  // namespace

InterruptGuard::InterruptGuard() {
    requested = 0;

    struct sigaction action {};

    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
}

InterruptGuard::~InterruptGuard() {
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
}

bool InterruptRequested() {
    return requested != 0;
}

int InterruptSignal() {
    return requested;
}

}  // namespace platform
