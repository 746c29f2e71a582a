// The transfer on libcurl: http and https only, redirects followed, bodies decoded, and
// `data:` addresses decoded locally. One easy handle serves a whole run, so connections to a
// host are kept alive between its resources.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "engine/ports.h"

namespace platform {

class CurlFetcher : public engine::Fetcher {
public:
    CurlFetcher();
    ~CurlFetcher() override;
    CurlFetcher(const CurlFetcher&) = delete;
    CurlFetcher& operator=(const CurlFetcher&) = delete;

    // Nothing is delivered for a failed transfer, a final status of 400 or more, or an address
    // that is neither http(s) nor data: (a local path, "file://"); those never touch the
    // network. Characters an address may not hold are percent-encoded for the request only.
    std::string OpenURL(const std::string& url) override;

    // The final response's status and header lines, each ended by CR LF; for a data: address
    // its "Content-Type" line alone.
    std::string GetHeader() const override;

    // The last address asked for, or where its redirects ended.
    std::string FinalUrl() const override;

private:
    struct Handle;
    std::unique_ptr<Handle> handle_;
    std::string headers_;
    std::string finalUrl_;
};

// "my image.gif" as "my%20image.gif": blanks, control characters and bytes above 127 encoded,
// everything else as written.
std::string EncodeForRequest(std::string_view url);

}  // namespace platform
