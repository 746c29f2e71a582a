#include "platform/interrupt.h"

#include <atomic>
#include <csignal>
#include <cstdlib>

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

void EndByInterruptSignal() {
    const int signal = requested;
    if (signal == 0) {
        return;
    }

    struct sigaction action {};

    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    sigset_t unblocked;
    sigemptyset(&unblocked);
    sigaddset(&unblocked, signal);
    sigprocmask(SIG_UNBLOCK, &unblocked, nullptr);
    std::raise(signal);
    std::_Exit(128 + signal);  // only if the signal could not end the process
}

}  // namespace platform
