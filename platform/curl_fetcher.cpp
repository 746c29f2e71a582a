#include "platform/curl_fetcher.h"

namespace platform {

CurlFetcher::CurlFetcher(TransferLimits limits)
    : limits_(std::move(limits)), transfer_(std::make_unique<Transfer>(limits_)) {}

CurlFetcher::~CurlFetcher() = default;

std::string CurlFetcher::OpenURL(const std::string& url) {
    if (std::optional<Response> local = LocalResponse(url)) {
        last_ = std::move(*local);
        return std::move(last_.body);
    }
    if (transfer_->handle() == nullptr) {
        last_ = Response{{}, {}, url};
        return "";
    }
    transfer_->Prepare(url);
    last_ = transfer_->Finish(curl_easy_perform(transfer_->handle()));
    ++counts_.known;
    ++counts_.fetched;
    counts_.bytes += last_.body.size();
    if (progress_) {
        progress_(counts_);
    }
    return std::move(last_.body);
}

std::string CurlFetcher::GetHeader() const {
    return last_.headers;
}

std::string CurlFetcher::FinalUrl() const {
    return last_.finalUrl;
}

void CurlFetcher::StopWhen(engine::StopSignal stop) {
    limits_.stop = std::move(stop);
}

}  // namespace platform
