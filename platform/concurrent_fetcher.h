// The transfer on libcurl's multi interface: what a fetched page or style sheet will ask for
// next (the engine's plan) is fetched ahead, many at a time, into a cache that the run's own
// requests take from in the order it asks. All of it runs on the caller's thread, inside
// OpenURL, so the run stays as deterministic as with one address at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <curl/curl.h>

#include "engine/ports.h"
#include "platform/fetch_common.h"
#include "platform/transfer.h"

namespace platform {

class ConcurrentFetcher : public ResponseFetcher {
public:
    explicit ConcurrentFetcher(TransferLimits limits = {});
    ~ConcurrentFetcher() override;
    ConcurrentFetcher(const ConcurrentFetcher&) = delete;
    ConcurrentFetcher& operator=(const ConcurrentFetcher&) = delete;

    // As CurlFetcher's: the response of `url` exactly as a transfer of its own would give it,
    // taken from the cache when it was fetched ahead.
    engine::Body OpenURL(const std::string& url) override;
    void PlanWith(Planner planner) override;

    // Also drops what was fetched ahead, and abandons what is being fetched.
    void SortBodies(std::string folder, Sorter inMemory) override;

private:
    struct Running {
        std::unique_ptr<Transfer> transfer;
        std::string url;
        int depth;
    };

    struct Job {
        std::string url;
        int depth;
    };

    void Plan(const std::string& asked, const Response& response, int depth);
    bool MayStart(const Job& job) const;
    void Start(const Job& job);
    void StartWaiting();
    void Drive();
    void Collect(CURL* handle, CURLcode result);
    bool IsRunning(const std::string& url) const;
    std::uint64_t& HeldFor(const engine::Body& body);
    void Forget();

    CURLM* multi_ = nullptr;
    std::vector<std::unique_ptr<Transfer>> idle_;
    std::unordered_map<CURL*, Running> running_;
    std::deque<Job> waiting_;
    std::unordered_map<std::string, Response> fetched_;  // by the address asked for
    std::unordered_map<std::string, int> depthOf_;       // of a fetched response, for its plan
    std::unordered_set<std::string> planned_;            // letter case folded
    std::unordered_set<std::string> asked_;              // by the run: never fetched ahead again
    std::unordered_set<std::string> multiplexed_;        // origins that answered over HTTP/2
    std::uint64_t heldBytes_ = 0;                        // of the bodies in fetched_, in memory
    std::uint64_t heldFileBytes_ = 0;                    // and in files
    Planner planner_;
};

}  // namespace platform
