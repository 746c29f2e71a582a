// One easy handle, its options set once. The header callback keeps only the last response's
// lines: every status line starts them anew, so redirects and "100 Continue" leave nothing.
#include "platform/curl_fetcher.h"

#include <mutex>

#include <curl/curl.h>

#include "engine/text.h"
#include "platform/data_url.h"

namespace platform {

namespace {

constexpr long kMaxRedirects = 10;
constexpr long kConnectTimeoutSeconds = 30;
constexpr long kStalledSeconds = 60;  // under 1 byte/s this long and the transfer is abandoned

std::size_t AppendBody(char* data, std::size_t size, std::size_t count, void* body) {
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

std::size_t AppendHeader(char* data, std::size_t size, std::size_t count, void* headers) {
    auto& text = *static_cast<std::string*>(headers);
    const std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) {
        text.clear();
    }
    if (line != "\r\n" && line != "\n") {
        text.append(line);
    }
    return size * count;
}

bool IsWebAddress(std::string_view url) {
    return engine::StartsWithNoCase(url, 1, "http://") ||
           engine::StartsWithNoCase(url, 1, "https://");
}

}  // namespace

struct CurlFetcher::Handle {
    CURL* curl = nullptr;
    std::string body;
};

CurlFetcher::CurlFetcher() : handle_(std::make_unique<Handle>()) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    CURL* curl = curl_easy_init();
    handle_->curl = curl;
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStalledSeconds);
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");  // every encoding libcurl decodes
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "KORVA/0.9");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, AppendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &handle_->body);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, AppendHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &headers_);
}

CurlFetcher::~CurlFetcher() {
    curl_easy_cleanup(handle_->curl);
}

std::string CurlFetcher::OpenURL(const std::string& url) {
    headers_.clear();
    finalUrl_ = url;
    if (engine::StartsWithNoCase(url, 1, "data:")) {
        std::optional<DataUrl> data = DecodeDataUrl(url);
        if (!data) {
            return "";
        }
        headers_ = "Content-Type: " + data->mediaType + "\r\n";
        return std::move(data->bytes);
    }
    if (!IsWebAddress(url) || handle_->curl == nullptr) {
        return "";
    }
    CURL* curl = handle_->curl;
    handle_->body.clear();
    const std::string request = EncodeForRequest(url);
    curl_easy_setopt(curl, CURLOPT_URL, request.c_str());
    if (curl_easy_perform(curl) != CURLE_OK) {
        return "";
    }
    long status = 0;
    long redirects = 0;
    char* effective = nullptr;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_getinfo(curl, CURLINFO_REDIRECT_COUNT, &redirects);
    curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &effective);
    if (redirects > 0 && effective != nullptr) {
        finalUrl_ = effective;
    }
    if (status >= 400) {
        return "";
    }
    return std::move(handle_->body);
}

std::string CurlFetcher::GetHeader() const {
    return headers_;
}

std::string CurlFetcher::FinalUrl() const {
    return finalUrl_;
}

std::string EncodeForRequest(std::string_view url) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(url.size());
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F) {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        } else {
            encoded += c;
        }
    }
    return encoded;
}

}  // namespace platform
