// A browser process for one run: started headless on a throw-away profile, with a DevTools
// connection, in a process group of its own so that it goes with all its helpers. It dies
// with the thread that started it (the kernel's parent-death signal), so that thread must
// outlive it: the run's own thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <sys/types.h>

#include "platform/browser_probe/devtools_pipe.h"

namespace platform {

class BrowserProcess {
public:
    // Starts `program` with `arguments` and the DevTools connection on its descriptors 3 and 4,
    // every other descriptor closed, and HOME and the XDG folders set to `home`, so that
    // nothing of the user's profile is read or written. Started() says whether it ran.
    BrowserProcess(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& home);

    // Kill() if it still runs.
    ~BrowserProcess();
    BrowserProcess(const BrowserProcess&) = delete;
    BrowserProcess& operator=(const BrowserProcess&) = delete;

    bool Started() const { return pid_ > 0; }

    DevToolsPipe& Pipe() { return *pipe_; }

    // Kills the browser's whole process group at once and waits for the browser itself.
    void Kill();

    // How the browser ended, for a message ("exit status 1", "signal 11"); "" while it runs.
    std::string HowEnded();

private:
    pid_t pid_ = -1;
    std::string ended_;
    std::unique_ptr<DevToolsPipe> pipe_;
};

}  // namespace platform
