// Callbacks are called from inside libcurl, which is C: nothing may be thrown through it, so
// each one catches everything and answers with the value that abandons the transfer.
#include "platform/transfer.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>

#include <fcntl.h>
#include <unistd.h>

#include "engine/text.h"
#include "platform/tls_environment.h"

namespace platform {

namespace {

constexpr long kMaxRedirects = 10;
constexpr long kConnectTimeoutSeconds = 30;
constexpr long kSlowBytesPerSecond = 1024;  // under this for `slowSeconds` and it is abandoned
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
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, limits_.slowSeconds);
    curl_easy_setopt(curl_, CURLOPT_ERRORBUFFER, errorBuffer_);
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
    UseEnvironmentCertificates(curl_);
}

Transfer::~Transfer() {
    DropFile();
    curl_easy_cleanup(curl_);
}

void Transfer::Prepare(const std::string& url) {
    DropFile();
    url_ = url;
    sink_ = Sink::Undecided;
    chunks_.clear();
    bodyBytes_ = 0;
    abandoned_ = Abandoned::No;
    errorBuffer_[0] = '\0';
    headers_.clear();
    curl_easy_setopt(curl_, CURLOPT_URL, EncodeForRequest(url).c_str());
}

Response Transfer::Finish(CURLcode result) {
    Response response = NothingFrom(url_);
    response.headers = std::move(headers_);
    long status = 0;
    long redirects = 0;
    char* effective = nullptr;
    curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_getinfo(curl_, CURLINFO_REDIRECT_COUNT, &redirects);
    curl_easy_getinfo(curl_, CURLINFO_EFFECTIVE_URL, &effective);
    if (redirects > 0 && effective != nullptr) {
        response.finalUrl = effective;
    }
    CloseFile();
    if (result == CURLE_OK && status < 400 && abandoned_ == Abandoned::No && bodyBytes_ > 0) {
        response.body.size = bodyBytes_;
        if (sink_ == Sink::File) {
            response.body.file = std::move(file_);
        } else {
            response.body.bytes = JoinChunks();
        }
    } else {
        response.failure = Failure(result, status, response);
    }
    DropFile();
    chunks_.clear();
    return response;
}

engine::FetchFailure Transfer::Failure(CURLcode result, long status,
                                       const Response& response) const {
    long osError = 0;
    curl_easy_getinfo(curl_, CURLINFO_OS_ERRNO, &osError);
    // libcurl refuses a body whose announced length is past the limit before any arrives.
    const bool announcedTooBig = result == CURLE_FILESIZE_EXCEEDED;
    return DescribeFailure({result, status, response.headers, errorBuffer_, response.finalUrl,
                            osError, announcedTooBig ? Abandoned::TooBigFile : abandoned_,
                            announcedTooBig ? limits_.maxBodyBytes : limitPassed_});
}

bool Transfer::Abandon(Abandoned why, std::size_t limit) {
    abandoned_ = why;
    limitPassed_ = limit;
    return false;
}

// Decided once the final response's headers are in: an error's body is only counted, a body
// the sorter wants is held in memory, any other goes to a file.
void Transfer::ChooseSink() {
    long status = 0;
    curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 400) {
        sink_ = Sink::Discard;
    } else if (!limits_.inMemory || limits_.inMemory(url_, headers_)) {
        sink_ = Sink::Memory;
    } else {
        sink_ = Sink::File;
    }
}

bool Transfer::AppendBody(std::string_view data) {
    if (sink_ == Sink::Undecided) {
        ChooseSink();
    }
    if (sink_ == Sink::File) {
        return AppendToFile(data);
    }
    const std::size_t limit = std::min(limits_.maxPageBytes, limits_.maxBodyBytes);
    if (data.size() > limit - bodyBytes_) {
        return Abandon(sink_ == Sink::Discard ? Abandoned::No : Abandoned::TooBigPage, limit);
    }
    if (sink_ == Sink::Discard) {
        bodyBytes_ += data.size();
        return true;
    }
    return AppendToMemory(data);
}

bool Transfer::AppendToMemory(std::string_view data) {
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

// The file is made with the first bytes, under a name no other transfer of the process takes.
bool Transfer::AppendToFile(std::string_view data) {
    static std::atomic<unsigned long> next{0};
    if (data.size() > limits_.maxBodyBytes - bodyBytes_) {
        return Abandon(Abandoned::TooBigFile, limits_.maxBodyBytes);
    }
    while (fd_ < 0) {
        file_ = limits_.spoolFolder + "body-" + std::to_string(next++);
        fd_ = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd_ < 0 && errno != EEXIST) {
            file_.clear();
            return Abandon(Abandoned::WriteFailed, 0);
        }
    }
    while (!data.empty()) {
        const ssize_t written = ::write(fd_, data.data(), data.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return Abandon(Abandoned::WriteFailed, 0);
        }
        data.remove_prefix(static_cast<std::size_t>(written));
        bodyBytes_ += static_cast<std::size_t>(written);
    }
    return true;
}

std::string Transfer::JoinChunks() {
    std::string body;
    body.reserve(bodyBytes_);
    for (std::string& chunk : chunks_) {
        body += chunk;
        std::string().swap(chunk);  // each piece goes as soon as it is copied
    }
    return body;
}

// A file whose last bytes could not be written out (a full disk) is no body.
void Transfer::CloseFile() {
    if (fd_ >= 0 && ::close(fd_) != 0) {
        abandoned_ = Abandoned::WriteFailed;
    }
    fd_ = -1;
}

// A file that was not handed on goes.
void Transfer::DropFile() {
    CloseFile();
    if (!file_.empty()) {
        ::unlink(file_.c_str());
        file_.clear();
    }
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

TransferLimits MakeLimits(std::size_t maxBodyBytes, std::size_t maxPageBytes, long slowSeconds) {
    TransferLimits limits;
    limits.maxBodyBytes = maxBodyBytes;
    limits.maxPageBytes = maxPageBytes;
    limits.slowSeconds = slowSeconds;
    return limits;
}

Response NothingFrom(std::string url, engine::FetchFailure failure) {
    Response nothing;
    nothing.finalUrl = std::move(url);
    nothing.failure = std::move(failure);
    return nothing;
}

void DiscardBody(const engine::Body& body) {
    if (body.InFile()) {
        ::unlink(body.file.c_str());
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
