// One browser tab watched over the DevTools protocol while it loads a page: the requests of
// all its sessions (the page's own and, attached as they come, those of its frames in other
// processes and of its workers, which the page's session does not see), as the browser holds
// them before sending and as the network events report them, which of them are still loading,
// and the answers to commands.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/ports.h"
#include "platform/browser_probe/devtools_pipe.h"

namespace platform {

struct BrowserLimits {
    std::chrono::milliseconds startUp{10'000};  // from its start to the browser's first answer
    std::chrono::milliseconds load{20'000};     // from asking for the page to its load event
    std::chrono::milliseconds settle{5'000};    // after the load event, at most
    std::chrono::milliseconds quiet{150};       // nothing in flight and nothing new this long
    std::size_t mostAddresses = 1000;           // a page asking for more gets the first ones
};

// The field `key` of a JSON object; null when it has none or is no object.
const nlohmann::json& Field(const nlohmann::json& object, std::string_view key);

// The text of the field `key`; "" when it has none or it is no text.
std::string Text(const nlohmann::json& object, std::string_view key);

class PageWatch {
public:
    using Clock = std::chrono::steady_clock;

    enum class End { Done, TimedOut, Stopped, Closed, Refused };

    // Every wait ends once `stop` says so.
    PageWatch(DevToolsPipe& pipe, const BrowserLimits& limits, const engine::StopSignal& stop)
        : pipe_(pipe), limits_(limits), stop_(stop), last_(Clock::now()) {}

    // Sends a command and waits for its answer's result; nothing, and Trouble() says why, when
    // none came by `until` or the browser refused the command.
    std::optional<nlohmann::json> Ask(std::string_view method, nlohmann::json params,
                                      std::string_view session, Clock::time_point until);

    // Loads `pageUrl` in the tab `targetId`, whose session is `session`, and waits for its
    // load event, then for the network to go quiet, scrolls to the bottom once and waits for
    // quiet again, each within the limits. What the browser said when it could not load the
    // page, else "".
    std::string Load(const std::string& pageUrl, std::string targetId, std::string session);

    // Why the last wait ended: Done, or the trouble it met.
    End Trouble() const { return trouble_; }

    // The command the browser refused, and what it said.
    const std::string& Refusal() const { return refusal_; }

    // The page asked for more addresses than it may report.
    bool Full() const { return full_; }

    // Each address the page asked for once, in the order asked: web addresses fetched with
    // GET, other than the page's own and the browser's own (its icon), redirects left out.
    std::vector<std::string> TakeAddresses() { return std::move(addresses_); }

private:
    bool Over() const { return crashed_ || full_; }

    bool IsPage(const std::string& session, const std::string& type,
                const std::string& frameId) const {
        return type == "Document" && session == page_ && frameId == target_;
    }

    End WaitUntil(const std::function<bool()>& done, Clock::time_point until);
    End Settle(Clock::time_point until);
    void Handle(const nlohmann::json& message);
    void Requested(const std::string& session, const nlohmann::json& params);
    void Paused(const std::string& session, const nlohmann::json& params);
    void Consider(const std::string& session, const nlohmann::json& request,
                  const std::string& type, const std::string& frameId);
    void Attached(const std::string& session);

    DevToolsPipe& pipe_;
    const BrowserLimits& limits_;
    const engine::StopSignal& stop_;
    std::string target_;
    std::string page_;        // the page's session
    Clock::time_point last_;  // of the last request that started or ended
    End trouble_ = End::Done;
    std::string refusal_;
    bool loaded_ = false;
    bool crashed_ = false;
    bool full_ = false;
    std::unordered_set<int> awaited_;  // commands whose answers are wanted
    std::map<int, nlohmann::json> answers_;
    std::unordered_set<std::string> inFlight_;  // session, blank, request id
    std::unordered_set<std::string> seen_;
    std::vector<std::string> addresses_;
};

}  // namespace platform
