// One libcurl transfer with every limit of a run: http and https only (also for redirects), at
// most 10 redirects, a connect time-out, a low-speed limit, a size limit on the body, and a
// stop that abandons it. A body the run rewrites is held in memory; any other is written to a
// file as it arrives, so no body's size weighs on memory. The easy handle is reused from
// address to address, so connections are kept alive; the serial fetcher performs it, the
// concurrent one adds it to a multi handle.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <curl/curl.h>

#include "engine/ports.h"
#include "platform/failure.h"

namespace platform {

struct TransferLimits {
    std::size_t maxBodyBytes = std::size_t{256} << 20;  // a body written to a file
    std::size_t maxPageBytes = std::size_t{32} << 20;   // a body held in memory
    long slowSeconds = 60;                              // under 1 KB/s this long: abandoned
    std::function<bool()> stop;                         // abandons the transfer once true
    std::string spoolFolder;                            // where bodies written to files go
    engine::Fetcher::Sorter inMemory;                   // none: every body in memory
};

// Limits on bodies of at most these sizes, in files and in memory, and on a stall; nothing
// else set.
TransferLimits MakeLimits(std::size_t maxBodyBytes, std::size_t maxPageBytes,
                          long slowSeconds = 60);

// What one address delivered.
struct Response {
    engine::Body body;     // nothing when nothing was delivered
    std::string headers;   // the final response's status and header lines, each ended by CR LF
    std::string finalUrl;  // where the redirects ended
    engine::FetchFailure failure;  // why nothing was delivered
};

// What an address that delivered nothing gives.
Response NothingFrom(std::string url, engine::FetchFailure failure = {});

// Removes the file of a body that nobody took.
void DiscardBody(const engine::Body& body);

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
    // or more, or a body past its size limit.
    Response Finish(CURLcode result);

private:
    enum class Sink { Undecided, Memory, File, Discard };

    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);
    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

    void ChooseSink();
    bool AppendBody(std::string_view data);
    bool AppendToMemory(std::string_view data);
    bool AppendToFile(std::string_view data);
    bool Abandon(Abandoned why, std::size_t limit);
    engine::FetchFailure Failure(CURLcode result, long status, const Response& response) const;
    std::string JoinChunks();
    void CloseFile();
    void DropFile();

    CURL* curl_ = nullptr;
    const TransferLimits& limits_;
    std::string url_;
    Sink sink_ = Sink::Undecided;
    std::vector<std::string> chunks_;  // a body in memory: never copied while it grows
    int fd_ = -1;                      // a body in a file
    std::string file_;
    std::size_t bodyBytes_ = 0;
    Abandoned abandoned_ = Abandoned::No;
    std::size_t limitPassed_ = 0;
    std::string headers_;
    char errorBuffer_[CURL_ERROR_SIZE] = {};
};

// Whether `url` is an address a transfer may take: http or https.
bool IsWebAddress(std::string_view url);

// "my image.gif" as "my%20image.gif": blanks, control characters and bytes above 127 encoded,
// everything else as written.
std::string EncodeForRequest(std::string_view url);

}  // namespace platform
