// What both fetchers share: the addresses answered without the network, and progress.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/transfer.h"

namespace platform {

struct FetchProgress {
    std::size_t fetched = 0;  // transfers ended
    std::size_t known = 0;    // addresses asked for or planned
    std::uint64_t bytes = 0;  // bodies delivered
};

using ProgressSink = std::function<void(const FetchProgress&)>;

// "fetched 31 of 48, 1.2 MB", as both programs show it.
std::string ProgressText(const FetchProgress& progress);

// A data: address decoded (its media type as the only header line), and nothing for any other
// address that is not http or https; no answer for a web address, which needs a transfer.
std::optional<Response> LocalResponse(const std::string& url);

}  // namespace platform
