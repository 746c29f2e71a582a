// A page is done when it fired its load event and its network stayed quiet (nothing in
// flight, nothing new) for a moment, once before and once after the scroll; a page that never
// gets there is cut off at its limits with what it asked for so far.
#include "platform/browser_probe/page_watch.h"

#include <algorithm>

namespace platform {

namespace {

using nlohmann::json;

constexpr std::chrono::milliseconds kPollStep{50};  // how often `stop` is asked while waiting

// Requests that load nothing a page shows again, or that the run cannot repeat with a GET.
constexpr std::string_view kSkippedTypes[] = {
    "Ping", "CSPViolationReport", "Preflight", "EventSource", "WebSocket", "SignedExchange"};

// Done once the page has drawn twice, so that the observers that start lazy images have run and
// the tasks it had queued before (a response's handlers) with them.
constexpr std::string_view kDrawnTwice =
    "new Promise(done => requestAnimationFrame(() => requestAnimationFrame(() => "
    "setTimeout(done))))";

// Brings lazy images and scroll-driven loaders in, with the page's whole height in reach.
constexpr std::string_view kScroll =
    "scrollTo(0, Math.max(document.documentElement.scrollHeight,"
    " document.body ? document.body.scrollHeight : 0)), ";

// Frames in other processes and workers are attached as they come, each held until its own
// requests are watched.
json AutoAttach() {
    return {{"autoAttach", true}, {"waitForDebuggerOnStart", true}, {"flatten", true}};
}

// Every request, held by the browser before it is sent. The network events come from the
// page's process, and one that starts its requests as soon as it runs may make them before
// its new process reports any; the browser holds every one.
json Intercepted() {
    return {{"patterns", json::array({{{"urlPattern", "*"}, {"requestStage", "Request"}}})}};
}

bool IsWebAddress(std::string_view url) {
    return url.starts_with("http://") || url.starts_with("https://");
}

}  // namespace

const json& Field(const json& object, std::string_view key) {
    static const json kNone;
    if (!object.is_object()) {
        return kNone;
    }
    const auto found = object.find(key);
    return found == object.end() ? kNone : *found;
}

std::string Text(const json& object, std::string_view key) {
    const json& field = Field(object, key);
    return field.is_string() ? field.get<std::string>() : std::string();
}

std::optional<json> PageWatch::Ask(std::string_view method, json params, std::string_view session,
                                   Clock::time_point until) {
    const int id =
        pipe_.Send(method, params.is_null() ? json::object() : std::move(params), session);
    awaited_.insert(id);
    trouble_ =
        id == 0 ? End::Closed : WaitUntil([this, id] { return answers_.contains(id); }, until);
    if (trouble_ != End::Done) {
        return std::nullopt;
    }
    const json answer = std::move(answers_[id]);
    answers_.erase(id);
    if (const json& error = Field(answer, "error"); !error.is_null()) {
        trouble_ = End::Refused;
        refusal_ = std::string(method) + " (" + Text(error, "message") + ")";
        return std::nullopt;
    }
    return Field(answer, "result");
}

std::string PageWatch::Load(const std::string& pageUrl, std::string targetId, std::string session) {
    target_ = std::move(targetId);
    page_ = std::move(session);
    // Commands of one session run in order: the page is watched before it starts.
    for (const std::string_view domain : {"Network.enable", "Page.enable", "Inspector.enable"}) {
        pipe_.Send(domain, json::object(), page_);
    }
    pipe_.Send("Fetch.enable", Intercepted(), page_);
    pipe_.Send("Target.setAutoAttach", AutoAttach(), page_);
    const auto loadBy = Clock::now() + limits_.load;
    const std::optional<json> navigated = Ask("Page.navigate", {{"url", pageUrl}}, page_, loadBy);
    if (!navigated) {
        return trouble_ == End::Refused ? refusal_ : "";
    }
    if (std::string error = Text(*navigated, "errorText"); !error.empty()) {
        return error;
    }
    loaded_ = false;  // the answer comes before the page loads: a load event so far was another's
    trouble_ = WaitUntil([this] { return loaded_ || Over(); }, loadBy);
    if (trouble_ != End::Done || Over()) {
        return "";
    }
    const auto settleBy = Clock::now() + limits_.settle;
    trouble_ = Settle(settleBy);
    if (trouble_ == End::Done && !Over()) {
        // A page that threw still scrolled; one whose script loops never answers.
        Ask("Runtime.evaluate",
            {{"expression", std::string(kScroll) + std::string(kDrawnTwice)},
             {"awaitPromise", true}},
            page_, settleBy);
        if (trouble_ == End::Done || trouble_ == End::Refused) {
            last_ = Clock::now();
            trouble_ = Settle(settleBy);
        }
    }
    return "";
}

// Quiet, then the page drew twice and asked for nothing new meanwhile. The network events alone
// cannot tell a page that is done from one that a busy machine keeps from starting its next
// request; the page's own answer can, so the quiet spell itself can be short.
PageWatch::End PageWatch::Settle(Clock::time_point until) {
    const auto quiet = [this] {
        return Over() || (inFlight_.empty() && Clock::now() - last_ >= limits_.quiet);
    };
    for (;;) {  // each round ends the wait or follows a new request; `until` ends them all
        if (const End end = WaitUntil(quiet, until); end != End::Done || Over()) {
            return end;
        }
        const Clock::time_point quietSince = last_;
        Ask("Runtime.evaluate", {{"expression", kDrawnTwice}, {"awaitPromise", true}}, page_,
            until);
        if (trouble_ == End::Refused) {
            return End::Done;  // a page that went away: the quiet spell stands
        }
        if (trouble_ != End::Done || (last_ == quietSince && inFlight_.empty())) {
            return trouble_;
        }
    }
}

PageWatch::End PageWatch::WaitUntil(const std::function<bool()>& done, Clock::time_point until) {
    while (!done()) {
        const Clock::time_point now = Clock::now();
        if (stop_ && stop_()) {
            return End::Stopped;
        }
        if (now >= until) {
            return End::TimedOut;
        }
        if (const std::optional<json> message = pipe_.Receive(std::min(until, now + kPollStep))) {
            Handle(*message);
        } else if (pipe_.Closed()) {
            return End::Closed;
        }
    }
    return End::Done;
}

void PageWatch::Handle(const json& message) {
    if (const json& id = Field(message, "id"); id.is_number_integer()) {
        if (awaited_.erase(id.get<int>()) > 0) {
            answers_[id.get<int>()] = message;
        }
        return;
    }
    const std::string method = Text(message, "method");
    const std::string session = Text(message, "sessionId");
    const json& params = Field(message, "params");
    if (method == "Network.requestWillBeSent") {
        Requested(session, params);
    } else if (method == "Fetch.requestPaused") {
        Paused(session, params);
    } else if (method == "Network.loadingFinished" || method == "Network.loadingFailed") {
        inFlight_.erase(session + ' ' + Text(params, "requestId"));
        last_ = Clock::now();
    } else if (method == "Page.loadEventFired" && session == page_) {
        loaded_ = true;
    } else if (method == "Inspector.targetCrashed" && session == page_) {
        crashed_ = true;
    } else if (method == "Target.attachedToTarget") {
        Attached(Text(params, "sessionId"));
    } else if (method == "Target.detachedFromTarget") {
        const std::string prefix = Text(params, "sessionId") + ' ';
        std::erase_if(inFlight_,
                      [&prefix](const std::string& id) { return id.starts_with(prefix); });
    }
}

void PageWatch::Requested(const std::string& session, const json& params) {
    const std::string type = Text(params, "type");
    // The page's own document is done by its load event, and its end is not always reported
    // (one visit in five once the browser started quicker): counted, it held the quiet wait to
    // its limit.
    if (!IsPage(session, type, Text(params, "frameId"))) {
        inFlight_.insert(session + ' ' + Text(params, "requestId"));
    }
    last_ = Clock::now();
    // A redirect continues a request already reported: the run follows redirects itself. The
    // browser's own requests (the site's icon) come from no one in the page.
    if (Field(params, "redirectResponse").is_null() &&
        !(type == "Other" && Text(Field(params, "initiator"), "type") == "other")) {
        Consider(session, Field(params, "request"), type, Text(params, "frameId"));
    }
}

// Let go at once; what it asks for is noted. Requests of type Other are left to the network
// events, which tell the browser's own from the page's.
void PageWatch::Paused(const std::string& session, const json& params) {
    pipe_.Send("Fetch.continueRequest", {{"requestId", Text(params, "requestId")}}, session);
    last_ = Clock::now();
    const std::string type = Text(params, "resourceType");
    if (Field(params, "redirectedRequestId").is_null() && type != "Other") {
        Consider(session, Field(params, "request"), type, Text(params, "frameId"));
    }
}

void PageWatch::Consider(const std::string& session, const json& request, const std::string& type,
                         const std::string& frameId) {
    const std::string url = Text(request, "url");
    const bool page = IsPage(session, type, frameId);
    const bool skipped = std::find(std::begin(kSkippedTypes), std::end(kSkippedTypes), type) !=
                         std::end(kSkippedTypes);
    if (page || skipped || Text(request, "method") != "GET" || !IsWebAddress(url) ||
        !seen_.insert(url).second) {
        return;
    }
    if (addresses_.size() >= limits_.mostAddresses) {
        full_ = true;
        return;
    }
    addresses_.push_back(url);
}

void PageWatch::Attached(const std::string& session) {
    pipe_.Send("Network.enable", json::object(), session);
    pipe_.Send("Fetch.enable", Intercepted(), session);
    pipe_.Send("Target.setAutoAttach", AutoAttach(), session);
    pipe_.Send("Runtime.runIfWaitingForDebugger", json::object(), session);
}

}  // namespace platform
