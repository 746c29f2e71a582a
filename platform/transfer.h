// One libcurl transfer with every limit of a run: http and https only (also for redirects), at
// most 10 redirects, a connect time-out, a low-speed limit, a size limit on the body, and a
// stop that abandons it. The easy handle is reused from address to address, so connections
// are kept alive; the serial fetcher performs it, the concurrent one adds it to a multi handle.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <curl/curl.h>

namespace platform {

struct TransferLimits {
    std::size_t maxBodyBytes = std::size_t{256} << 20;
    std::function<bool()> stop;  // abandons the transfer once it returns true
};

// What one address delivered.
struct Response {
    std::string body;      // "" when nothing was delivered
    std::string headers;   // the final response's status and header lines, each ended by CR LF
    std::string finalUrl;  // where the redirects ended
};

class Transfer {
public:
    explicit Transfer(const TransferLimits& limits);
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    CURL* handle() const { return curl_; }

    // Readies the handle for `url` (an http or https address), dropping what the last one got.
    void Prepare(const std::string& url);

    // What the transfer delivered, given how it ended. Nothing for a failure, a status of 400
    // or more, or a body past the size limit.
    Response Finish(CURLcode result);

private:
    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

    bool AppendBody(std::string_view data);

    CURL* curl_ = nullptr;
    const TransferLimits& limits_;
    std::string url_;
    std::vector<std::string> chunks_;  // the body so far: never copied while it grows
    std::size_t bodyBytes_ = 0;
    std::string headers_;
};

// Whether `url` is an address a transfer may take: http or https.
bool IsWebAddress(std::string_view url);

// "my image.gif" as "my%20image.gif": blanks, control characters and bytes above 127 encoded,
// everything else as written.
std::string EncodeForRequest(std::string_view url);

}  // namespace platform
