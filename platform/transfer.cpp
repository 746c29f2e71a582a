// Callbacks are called from inside libcurl, which is C: nothing may be thrown through it, so
// each one catches everything and answers with the value that abandons the transfer.
#include "platform/transfer.h"

#include <mutex>

#include "engine/text.h"

namespace platform {

namespace {

constexpr long kMaxRedirects = 10;
constexpr long kConnectTimeoutSeconds = 30;
constexpr long kSlowBytesPerSecond = 1024;  // under this for kSlowSeconds and it is abandoned
constexpr long kSlowSeconds = 60;
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

}  // namespace

Transfer::Transfer(const TransferLimits& limits) : limits_(limits) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    curl_ = curl_easy_init();
    if (curl_ == nullptr) {
        return;
    }
    curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl_, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl_, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl_, CURLOPT_MAXREDIRS, kMaxRedirects);
    curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, kSlowBytesPerSecond);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, kSlowSeconds);
    curl_easy_setopt(curl_, CURLOPT_MAXFILESIZE_LARGE,
                     static_cast<curl_off_t>(limits_.maxBodyBytes));
    curl_easy_setopt(curl_, CURLOPT_ACCEPT_ENCODING, "");  // every encoding libcurl decodes
    curl_easy_setopt(curl_, CURLOPT_USERAGENT, "KORVA/0.9");
    curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl_, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(curl_, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, OnProgress);
    curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, 0L);
}

Transfer::~Transfer() {
    curl_easy_cleanup(curl_);
}

void Transfer::Prepare(const std::string& url) {
    url_ = url;
    chunks_.clear();
    bodyBytes_ = 0;
    headers_.clear();
    curl_easy_setopt(curl_, CURLOPT_URL, EncodeForRequest(url).c_str());
}

Response Transfer::Finish(CURLcode result) {
    Response response{{}, std::move(headers_), url_};
    long status = 0;
    long redirects = 0;
    char* effective = nullptr;
    curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_getinfo(curl_, CURLINFO_REDIRECT_COUNT, &redirects);
    curl_easy_getinfo(curl_, CURLINFO_EFFECTIVE_URL, &effective);
    if (redirects > 0 && effective != nullptr) {
        response.finalUrl = effective;
    }
    if (result == CURLE_OK && status < 400) {
        response.body.reserve(bodyBytes_);
        for (std::string& chunk : chunks_) {
            response.body += chunk;
            std::string().swap(chunk);  // each piece goes as soon as it is copied
        }
    }
    chunks_.clear();
    return response;
}

bool Transfer::AppendBody(std::string_view data) {
    if (data.size() > limits_.maxBodyBytes - bodyBytes_) {
        return false;
    }
    while (!data.empty()) {
        if (chunks_.empty() || chunks_.back().size() == kChunkBytes) {
            chunks_.emplace_back().reserve(kChunkBytes);
        }
        std::string& chunk = chunks_.back();
        const std::size_t taken = std::min(data.size(), kChunkBytes - chunk.size());
        chunk.append(data.substr(0, taken));
        data.remove_prefix(taken);
        bodyBytes_ += taken;
    }
    return true;
}

std::size_t Transfer::OnBody(char* data, std::size_t size, std::size_t count, void* self) {
    try {
        return static_cast<Transfer*>(self)->AppendBody({data, size * count}) ? size * count : 0;
    } catch (...) {
        return 0;
    }
}

// Only the last response's lines are kept: every status line starts them anew, so redirects
// and "100 Continue" leave nothing.
std::size_t Transfer::OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
    try {
        std::string& headers = static_cast<Transfer*>(self)->headers_;
        const std::string_view line(data, size * count);
        if (line.starts_with("HTTP/")) {
            headers.clear();
        }
        if (line != "\r\n" && line != "\n") {
            headers.append(line);
        }
        return size * count;
    } catch (...) {
        return 0;
    }
}

int Transfer::OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    try {
        const auto& stop = static_cast<Transfer*>(self)->limits_.stop;
        return stop && stop() ? 1 : 0;
    } catch (...) {
        return 1;
    }
}

bool IsWebAddress(std::string_view url) {
    return engine::StartsWithNoCase(url, 1, "http://") ||
           engine::StartsWithNoCase(url, 1, "https://");
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
