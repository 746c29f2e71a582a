// A socket rather than two pipes: a write to a browser that died fails with EPIPE instead of
// raising SIGPIPE in the run, and one descriptor serves both directions.
#include "platform/browser_probe/devtools_pipe.h"

#include <algorithm>
#include <cerrno>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

// The longest message taken; a page's events carry its addresses, data: ones included, and no
// sane one comes near this.
constexpr std::size_t kLongestMessage = std::size_t{64} << 20;

}  // namespace

DevToolsPipe::~DevToolsPipe() {
    ::close(fd_);
}

int DevToolsPipe::Send(std::string_view method, nlohmann::json params, std::string_view session) {
    nlohmann::json message = {{"id", ++lastId_}, {"method", method}, {"params", std::move(params)}};
    if (!session.empty()) {
        message["sessionId"] = session;
    }
    std::string text = message.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    text.push_back('\0');
    for (std::size_t sent = 0; sent < text.size() && !closed_;) {
        const ssize_t wrote = ::send(fd_, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (wrote > 0) {
            sent += static_cast<std::size_t>(wrote);
        } else if (wrote < 0 && errno != EINTR) {
            closed_ = true;
        }
    }
    return closed_ ? 0 : lastId_;
}

std::optional<nlohmann::json> DevToolsPipe::Receive(Clock::time_point until) {
    std::size_t end = received_.find('\0');
    while (end == std::string::npos) {
        if (closed_ || !Fill(until)) {
            return std::nullopt;
        }
        end = received_.find('\0');
    }
    nlohmann::json message = nlohmann::json::parse(
        received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(end), nullptr, false);
    received_.erase(0, end + 1);
    if (message.is_discarded() || !message.is_object()) {
        closed_ = true;  // not the protocol: nothing after it can be trusted either
        return std::nullopt;
    }
    return message;
}

// Reads what has come, waiting no later than `until`; false when nothing came.
bool DevToolsPipe::Fill(Clock::time_point until) {
    constexpr std::chrono::milliseconds::rep kLongestPollMs = 60'000;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now());
    pollfd ready{fd_, POLLIN, 0};
    const int polled = ::poll(&ready, 1,
                              static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(
                                  left.count(), 0, kLongestPollMs)));
    if (polled <= 0) {
        return false;
    }
    char chunk[65536];
    const ssize_t got = ::recv(fd_, chunk, sizeof chunk, 0);
    if (got < 0 && errno == EINTR) {
        return true;
    }
    if (got <= 0 || received_.size() + static_cast<std::size_t>(got) > kLongestMessage) {
        closed_ = true;
        return false;
    }
    received_.append(chunk, static_cast<std::size_t>(got));
    return true;
}

}  // namespace platform
