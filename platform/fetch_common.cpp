#include "platform/fetch_common.h"

#include <cstdio>

#include "engine/text.h"
#include "platform/data_url.h"

namespace platform {

std::string ProgressText(const FetchProgress& progress, PageCount pages) {
    char text[80];
    std::snprintf(text, sizeof text, "fetched %zu of %zu, %.1f MB", progress.fetched,
                  progress.known, static_cast<double>(progress.bytes) / (1 << 20));
    if (pages.known == 0) {
        return text;
    }
    return "page " + std::to_string(pages.done) + " of " + std::to_string(pages.known) +
           " \u00b7 " + text;
}

std::optional<Response> LocalResponse(const std::string& url) {
    if (engine::StartsWithNoCase(url, 1, "data:")) {
        std::optional<DataUrl> data = DecodeDataUrl(url);
        if (!data) {
            return NothingFrom(url, {"bad data address", "a data: address that does not decode"});
        }
        Response decoded = NothingFrom(url);
        decoded.body.size = data->bytes.size();
        decoded.body.bytes = std::move(data->bytes);
        decoded.headers = "Content-Type: " + data->mediaType + "\r\n";
        return decoded;
    }
    if (!IsWebAddress(url)) {
        return NothingFrom(url, NotAWebAddress());
    }
    return std::nullopt;
}

}  // namespace platform
