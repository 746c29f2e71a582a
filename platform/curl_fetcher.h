// The transfer on libcurl, one address at a time: `data:` addresses are decoded locally, http
// and https go through one reused transfer, so connections to a host are kept alive.
#pragma once

#include <memory>
#include <string>

#include "engine/ports.h"
#include "platform/fetch_common.h"
#include "platform/transfer.h"

namespace platform {

class CurlFetcher : public ResponseFetcher {
public:
    explicit CurlFetcher(TransferLimits limits = {});
    ~CurlFetcher() override;
    CurlFetcher(const CurlFetcher&) = delete;
    CurlFetcher& operator=(const CurlFetcher&) = delete;

    // Nothing is delivered for a failed, stopped or oversized transfer, a final status of 400 or
    // more, or an address that is neither http(s) nor data: (a local path, "file://"); those
    // never touch the network. Characters an address may not hold are percent-encoded for the
    // request only.
    engine::Body OpenURL(const std::string& url) override;

    // Fetches only what is asked for.
    void PlanWith(Planner) override {}

private:
    std::unique_ptr<Transfer> transfer_;
};

}  // namespace platform
