// Why a transfer delivered nothing, told from libcurl's result and the response, in the words
// a user of curl or wget expects: the name not resolved, the connection refused, a time-out,
// the certificate problem, the status with its reason.
#pragma once

#include <string>
#include <string_view>

#include <curl/curl.h>

#include "engine/ports.h"

namespace platform {

// What ended a transfer before libcurl could say.
enum class Abandoned {
    No,
    TooBigFile,   // a body for a file past MaxDownloadMB
    TooBigPage,   // a body held in memory past MaxPageMB
    WriteFailed,  // its file could not be written
};

struct TransferEnd {
    CURLcode result = CURLE_OK;
    long status = 0;
    std::string_view headers;      // the final response's, status line first
    std::string_view errorBuffer;  // libcurl's own words
    std::string_view url;          // where the transfer stood when it ended
    long osError = 0;              // errno of a failed connect
    Abandoned abandoned = Abandoned::No;
    std::size_t limitBytes = 0;  // of the limit passed
};

engine::FetchFailure DescribeFailure(const TransferEnd& end);

// For an address no transfer takes.
engine::FetchFailure NotAWebAddress();

}  // namespace platform
