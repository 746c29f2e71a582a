#include "platform/curl_fetcher.h"

#include "engine/text.h"
#include "platform/data_url.h"

namespace platform {

CurlFetcher::CurlFetcher(TransferLimits limits)
    : limits_(std::move(limits)), transfer_(std::make_unique<Transfer>(limits_)) {}

CurlFetcher::~CurlFetcher() = default;

std::string CurlFetcher::OpenURL(const std::string& url) {
    last_ = Response{{}, {}, url};
    if (engine::StartsWithNoCase(url, 1, "data:")) {
        if (std::optional<DataUrl> data = DecodeDataUrl(url)) {
            last_.headers = "Content-Type: " + data->mediaType + "\r\n";
            return std::move(data->bytes);
        }
        return "";
    }
    if (!IsWebAddress(url) || transfer_->handle() == nullptr) {
        return "";
    }
    transfer_->Prepare(url);
    last_ = transfer_->Finish(curl_easy_perform(transfer_->handle()));
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
