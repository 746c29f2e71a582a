// What both fetchers share: the addresses answered without the network, and progress.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "engine/ports.h"
#include "platform/transfer.h"

namespace platform {

struct FetchProgress {
    std::size_t fetched = 0;  // transfers ended
    std::size_t known = 0;    // addresses asked for or planned
    std::uint64_t bytes = 0;  // bodies delivered
};

using ProgressSink = std::function<void(const FetchProgress&)>;

// Pages of a book rewritten and known, when links are followed.
struct PageCount {
    std::size_t done = 0;
    std::size_t known = 0;
};

// "fetched 31 of 48, 1.2 MB", as both programs show it; with pages known,
// "page 12 of 40 · fetched 310 of 512, 8.1 MB".
std::string ProgressText(const FetchProgress& progress, PageCount pages = {});

// A data: address decoded, in memory (its media type as the only header line), and nothing for
// any other address that is not http or https; no answer for a web address, which needs a
// transfer.
std::optional<Response> LocalResponse(const std::string& url);

// What both fetchers keep: the limits every transfer gets, the last response and the progress.
class ResponseFetcher : public engine::Fetcher {
public:
    explicit ResponseFetcher(TransferLimits limits) : limits_(std::move(limits)) {}

    // The final response's status and header lines, each ended by CR LF; for a data: address
    // its "Content-Type" line alone.
    std::string GetHeader() const override { return last_.headers; }

    // The last address asked for, or where its redirects ended.
    std::string FinalUrl() const override { return last_.finalUrl; }

    void StopWhen(engine::StopSignal stop) override { limits_.stop = std::move(stop); }

    void SortBodies(std::string folder, Sorter inMemory) override {
        limits_.spoolFolder = std::move(folder);
        limits_.inMemory = std::move(inMemory);
    }

    void ReportProgressTo(ProgressSink sink) { progress_ = std::move(sink); }

protected:
    // Keeps `response` as the last one and hands its body to the run.
    engine::Body Deliver(Response response) {
        last_ = std::move(response);
        return std::move(last_.body);
    }

    void ReportProgress() const {
        if (progress_) {
            progress_(counts_);
        }
    }

    TransferLimits limits_;
    FetchProgress counts_;

private:
    Response last_;
    ProgressSink progress_;
};

}  // namespace platform
