// The DevTools protocol over the pipe a Chromium-family browser opens with
// --remote-debugging-pipe: JSON messages, each ended by a NUL byte, both ways. Commands carry
// an id that their answer repeats; events carry none. Flat sessions: a message for a page or
// worker names its session.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace platform {

class DevToolsPipe {
public:
    using Clock = std::chrono::steady_clock;

    // Speaks over `fd`, a stream socket whose other end is the browser's descriptors 3 and 4;
    // closes it when it goes.
    explicit DevToolsPipe(int fd) : fd_(fd) {}

    ~DevToolsPipe();
    DevToolsPipe(const DevToolsPipe&) = delete;
    DevToolsPipe& operator=(const DevToolsPipe&) = delete;

    // Sends a command and returns its id; 0 once the browser's end is gone.
    int Send(std::string_view method, nlohmann::json params = nlohmann::json::object(),
             std::string_view session = {});

    // The next message, waiting no later than `until`; nothing when none came by then, or
    // when the browser's end is gone (Closed() then says so) or sent what is not JSON.
    std::optional<nlohmann::json> Receive(Clock::time_point until);

    // True once the browser closed its end, broke the framing or sent a message too long.
    bool Closed() const { return closed_; }

private:
    bool Fill(Clock::time_point until);

    int fd_;
    int lastId_ = 0;
    bool closed_ = false;
    std::string received_;  // bytes after the last whole message
};

}  // namespace platform
