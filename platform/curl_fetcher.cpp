#include "platform/curl_fetcher.h"

namespace platform {

CurlFetcher::CurlFetcher(TransferLimits limits)
    : ResponseFetcher(std::move(limits)), transfer_(std::make_unique<Transfer>(limits_)) {}

CurlFetcher::~CurlFetcher() = default;

engine::Body CurlFetcher::OpenURL(const std::string& url) {
    if (std::optional<Response> local = LocalResponse(url)) {
        return Deliver(std::move(*local));
    }
    if (transfer_->handle() == nullptr) {
        return Deliver(NothingFrom(url));
    }
    transfer_->Prepare(url);
    Response response = transfer_->Finish(curl_easy_perform(transfer_->handle()));
    ++counts_.known;
    ++counts_.fetched;
    counts_.bytes += response.body.size;
    ReportProgress();
    return Deliver(std::move(response));
}

}  // namespace platform
