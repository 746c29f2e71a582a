#include "platform/failure.h"

#include <cerrno>
#include <cstring>
#include <memory>

namespace platform {

namespace {

// "127.0.0.1 port 8080", the scheme's port when the address names none.
std::string HostAndPort(std::string_view url) {
    const std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> parts(curl_url(), curl_url_cleanup);
    char* host = nullptr;
    char* port = nullptr;
    if (parts == nullptr ||
        curl_url_set(parts.get(), CURLUPART_URL, std::string(url).c_str(), 0) != CURLUE_OK ||
        curl_url_get(parts.get(), CURLUPART_HOST, &host, 0) != CURLUE_OK) {
        return std::string(url);
    }
    std::string text = host;
    curl_free(host);
    if (curl_url_get(parts.get(), CURLUPART_PORT, &port, CURLU_DEFAULT_PORT) == CURLUE_OK) {
        text += std::string(" port ") + port;
        curl_free(port);
    }
    return text;
}

// The reason phrase of the status line, else the usual one: HTTP/2 sends none.
std::string Reason(std::string_view headers, long status) {
    const std::string_view line = headers.substr(0, headers.find_first_of("\r\n"));
    const std::size_t first = line.find(' ');
    const std::size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
    if (second != std::string_view::npos && second + 1 < line.size()) {
        return std::string(line.substr(second + 1));
    }
    switch (status) {
        case 400:
            return "Bad Request";
        case 401:
            return "Unauthorized";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        case 410:
            return "Gone";
        case 429:
            return "Too Many Requests";
        case 500:
            return "Internal Server Error";
        case 502:
            return "Bad Gateway";
        case 503:
            return "Service Unavailable";
        case 504:
            return "Gateway Timeout";
        default:
            return "";
    }
}

bool IsTlsFailure(CURLcode result) {
    switch (result) {
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
        case CURLE_SSL_CRL_BADFILE:
            return true;
        default:
            return false;
    }
}

engine::FetchFailure Connection(const TransferEnd& end) {
    const std::string where = HostAndPort(end.url);
    if (end.osError == ECONNREFUSED) {
        return {"connection refused", "connection refused: " + where};
    }
    const std::string why = end.osError != 0 ? std::strerror(static_cast<int>(end.osError))
                                             : std::string(end.errorBuffer);
    return {"cannot connect", "cannot connect to " + where + ": " + why};
}

std::string Size(std::size_t bytes) {
    constexpr std::size_t kMB = std::size_t{1} << 20;
    return bytes % kMB == 0 && bytes > 0 ? std::to_string(bytes / kMB) + " MB"
                                         : std::to_string(bytes) + " bytes";
}

}  // namespace

engine::FetchFailure DescribeFailure(const TransferEnd& end) {
    switch (end.abandoned) {
        case Abandoned::TooBigFile:
            return {"too big", "body over the MaxDownloadMB limit of " + Size(end.limitBytes)};
        case Abandoned::TooBigPage:
            return {"too big", "page over the MaxPageMB limit of " + Size(end.limitBytes)};
        case Abandoned::WriteFailed:
            return {"not written", "the working folder could not take the body"};
        case Abandoned::No:
            break;
    }
    if (end.result == CURLE_OK || end.result == CURLE_WRITE_ERROR) {
        if (end.status >= 400) {
            const std::string reason = Reason(end.headers, end.status);
            return {"answered " + std::to_string(end.status),
                    "HTTP " + std::to_string(end.status) + (reason.empty() ? "" : " " + reason)};
        }
        return {"empty", "an empty answer"};
    }
    if (IsTlsFailure(end.result)) {
        return {"TLS failed",
                "TLS failed for " + HostAndPort(end.url) + ": " + std::string(end.errorBuffer)};
    }
    switch (end.result) {
        case CURLE_COULDNT_RESOLVE_HOST:
            return {"name not resolved", "name not resolved: " + HostAndPort(end.url)};
        case CURLE_COULDNT_CONNECT:
            return Connection(end);
        case CURLE_OPERATION_TIMEDOUT:
            return {"timed out", "timed out: " + HostAndPort(end.url)};
        case CURLE_TOO_MANY_REDIRECTS:
            return {"too many redirects", "more than 10 redirects"};
        case CURLE_UNSUPPORTED_PROTOCOL:
            return {"redirected away", "redirected to an address that is not http or https"};
        case CURLE_ABORTED_BY_CALLBACK:
            return {"stopped", "stopped"};
        default:
            return {"failed",
                    std::string(curl_easy_strerror(end.result)) +
                        (end.errorBuffer.empty() ? "" : ": " + std::string(end.errorBuffer))};
    }
}

engine::FetchFailure NotAWebAddress() {
    return {std::string(engine::kNotAWebAddress), std::string(engine::kNotAWebAddress)};
}

}  // namespace platform
