// At most 6 connections to a host and 16 in all, reused, multiplexed over HTTP/2 where the
// server offers it. Responses fetched ahead are held until the run takes them, at most
// kMostAhead at a time, so memory stays bounded however much a page names. A host that
// answered over HTTP/2 gets all of its planned requests at once, as streams of its one
// connection: waiting for a connection slot there would only add round trips.
#include "platform/concurrent_fetcher.h"

#include "engine/text.h"

namespace platform {

namespace {

constexpr long kMostPerHost = 6;
constexpr long kMostConnections = 16;
constexpr std::size_t kMostAhead = 48;  // held or being fetched without being asked for yet
constexpr std::size_t kMostHeldBytes = std::size_t{64} << 20;         // in memory
constexpr std::uint64_t kMostHeldFileBytes = std::uint64_t{1} << 30;  // in files
constexpr int kMostPlanDepth = 64;  // as deep as the run converts pages
constexpr int kPollMs = 100;        // how often `stop` and progress are looked at

// "https://host:port" of an address: the scope of a connection, and so of multiplexing.
std::string Origin(const std::string& url) {
    const std::size_t hostAt = url.find("://");
    return url.substr(0, url.find('/', hostAt == std::string::npos ? 0 : hostAt + 3));
}

}  // namespace

ConcurrentFetcher::ConcurrentFetcher(TransferLimits limits)
    : ResponseFetcher(std::move(limits)), multi_(curl_multi_init()) {
    curl_multi_setopt(multi_, CURLMOPT_MAX_HOST_CONNECTIONS, kMostPerHost);
    curl_multi_setopt(multi_, CURLMOPT_MAX_TOTAL_CONNECTIONS, kMostConnections);
    curl_multi_setopt(multi_, CURLMOPT_PIPELINING, CURLPIPE_MULTIPLEX);
}

ConcurrentFetcher::~ConcurrentFetcher() {
    Forget();
    idle_.clear();
    curl_multi_cleanup(multi_);
}

void ConcurrentFetcher::SortBodies(std::string folder, Sorter inMemory) {
    Forget();
    ResponseFetcher::SortBodies(std::move(folder), std::move(inMemory));
}

// Running transfers are abandoned, and bodies in files that the run never took go with them.
void ConcurrentFetcher::Forget() {
    for (auto& [handle, running] : running_) {
        curl_multi_remove_handle(multi_, handle);
    }
    running_.clear();
    for (const auto& [url, response] : fetched_) {
        DiscardBody(response.body);
    }
    fetched_.clear();
    waiting_.clear();
    depthOf_.clear();
    planned_.clear();
    asked_.clear();
    heldBytes_ = 0;
    heldFileBytes_ = 0;
}

engine::Body ConcurrentFetcher::OpenURL(const std::string& url) {
    if (std::optional<Response> local = LocalResponse(url)) {
        return Deliver(std::move(*local));
    }
    planned_.insert(engine::FoldCase(url));
    asked_.insert(url);
    if (!fetched_.contains(url) && !IsRunning(url)) {
        ++counts_.known;
        Start({url, depthOf_.contains(url) ? depthOf_[url] : 1});
    }
    while (!fetched_.contains(url)) {
        Drive();
    }
    auto taken = fetched_.extract(url);  // dropped from the cache once the run has it
    depthOf_.erase(url);
    HeldFor(taken.mapped().body) -= taken.mapped().body.size;
    return Deliver(std::move(taken.mapped()));
}

void ConcurrentFetcher::PlanWith(Planner planner) {
    planner_ = std::move(planner);
}

bool ConcurrentFetcher::IsRunning(const std::string& url) const {
    for (const auto& [handle, running] : running_) {
        if (running.url == url) {
            return true;
        }
    }
    return false;
}

// The addresses the response's document will ask for join the queue, once each.
void ConcurrentFetcher::Plan(const std::string& asked, const Response& response, int depth) {
    if (!planner_ || depth >= kMostPlanDepth || response.body.bytes.empty()) {
        return;
    }
    for (std::string& url :
         planner_(asked, response.finalUrl, response.headers, response.body.bytes)) {
        if (planned_.insert(engine::FoldCase(url)).second) {
            ++counts_.known;
            depthOf_[url] = depth + 1;
            waiting_.push_back({std::move(url), depth + 1});
        }
    }
}

void ConcurrentFetcher::Start(const Job& job) {
    std::unique_ptr<Transfer> transfer;
    if (idle_.empty()) {
        transfer = std::make_unique<Transfer>(limits_);
    } else {
        transfer = std::move(idle_.back());
        idle_.pop_back();
    }
    transfer->Prepare(job.url);
    CURL* handle = transfer->handle();
    if (handle == nullptr) {
        fetched_[job.url] = NothingFrom(job.url);  // nothing can be delivered
        return;
    }
    curl_easy_setopt(handle, CURLOPT_PIPEWAIT, 1L);  // wait for a connection to multiplex on
    curl_multi_add_handle(multi_, handle);
    running_.emplace(handle, Running{std::move(transfer), job.url, job.depth});
}

// Within the cache's bounds; and, unless its host multiplexes, within the connections.
bool ConcurrentFetcher::MayStart(const Job& job) const {
    if (running_.size() + fetched_.size() >= kMostAhead || heldBytes_ >= kMostHeldBytes ||
        heldFileBytes_ >= kMostHeldFileBytes) {
        return false;
    }
    if (multiplexed_.contains(Origin(job.url))) {
        return true;
    }
    std::size_t onConnections = 0;
    for (const auto& [handle, running] : running_) {
        onConnections += multiplexed_.contains(Origin(running.url)) ? 0 : 1;
    }
    return onConnections < static_cast<std::size_t>(kMostConnections);
}

// In the order planned; one the run already took is not fetched again.
void ConcurrentFetcher::StartWaiting() {
    while (!waiting_.empty() && MayStart(waiting_.front())) {
        const Job job = std::move(waiting_.front());
        waiting_.pop_front();
        if (!fetched_.contains(job.url) && !IsRunning(job.url) && !asked_.contains(job.url)) {
            Start(job);
        }
    }
}

void ConcurrentFetcher::Drive() {
    StartWaiting();
    int stillRunning = 0;
    curl_multi_perform(multi_, &stillRunning);
    int queued = 0;
    bool ended = false;
    while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
        if (message->msg == CURLMSG_DONE) {
            Collect(message->easy_handle, message->data.result);
            ended = true;
        }
    }
    if (!ended) {
        curl_multi_poll(multi_, nullptr, 0, kPollMs, nullptr);
    }
    ReportProgress();
}

void ConcurrentFetcher::Collect(CURL* handle, CURLcode result) {
    long version = 0;
    curl_easy_getinfo(handle, CURLINFO_HTTP_VERSION, &version);
    if (version == CURL_HTTP_VERSION_2_0) {
        multiplexed_.insert(Origin(running_.at(handle).url));
    }
    curl_multi_remove_handle(multi_, handle);
    const auto found = running_.find(handle);
    Running running = std::move(found->second);
    running_.erase(found);
    Response response = running.transfer->Finish(result);
    idle_.push_back(std::move(running.transfer));
    ++counts_.fetched;
    counts_.bytes += response.body.size;
    Plan(running.url, response, running.depth);
    HeldFor(response.body) += response.body.size;
    fetched_[running.url] = std::move(response);
}

// The count of what the cache holds where `body` is kept.
std::uint64_t& ConcurrentFetcher::HeldFor(const engine::Body& body) {
    return body.InFile() ? heldFileBytes_ : heldBytes_;
}

}  // namespace platform
