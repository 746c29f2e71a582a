#include "platform/make_fetcher.h"

#include "platform/concurrent_fetcher.h"
#include "platform/curl_fetcher.h"

namespace platform {

std::unique_ptr<engine::Fetcher> MakeFetcher(bool concurrent, TransferLimits limits,
                                             ProgressSink progress) {
    std::unique_ptr<ResponseFetcher> fetcher;
    if (concurrent) {
        fetcher = std::make_unique<ConcurrentFetcher>(std::move(limits));
    } else {
        fetcher = std::make_unique<CurlFetcher>(std::move(limits));
    }
    fetcher->ReportProgressTo(std::move(progress));
    return fetcher;
}

}  // namespace platform
