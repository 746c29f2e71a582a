// SIGINT and SIGTERM during a run: the first asks the run to end (it stops its transfers and
// the compiler, clears its working folder and reports error 18), and once that is done the
// program ends by the same signal; a second one ends the program at once, as if nothing were
// handled.
#pragma once

namespace platform {

// Handles both signals until the guard goes; then they do what they did before.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
};

// Whether a signal asked the run to end, and which one (0 for none).
bool InterruptRequested();
int InterruptSignal();

// Once the run is cleaned up: when a signal asked it to end, the process ends now by that same
// signal with its default action, as well-behaved programs do, so that the shell sees death by
// the signal and stops a loop around the program. Returns when no signal asked.
void EndByInterruptSignal();

}  // namespace platform
