// A server of the tests' own that runs as a process of its own (tls_site.py, proxy.py): it
// prints "port N" once it listens, then a line for each thing a test may count. Ended with
// SIGTERM when the object goes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace support {

class ServerProcess {
public:
    // Starts `argv` (no shell) and waits, at most 10 s, for its port line; port() is 0 when
    // none came.
    explicit ServerProcess(const std::vector<std::string>& argv);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    int port() const { return port_; }

    // "127.0.0.1:PORT".
    std::string HostPort() const { return "127.0.0.1:" + std::to_string(port_); }

    // The lines it printed after the port line, up to now, each ended by "\n".
    std::string Output();

private:
    bool ReadAvailable(int waitMs);

    pid_t child_ = -1;
    int fd_ = -1;
    int port_ = 0;
    std::string printed_;
};

// How many of the lines of `text` are exactly `line`.
int CountLines(std::string_view text, std::string_view line);

}  // namespace support
