#include "platform/library_versions.h"

#include <curl/curl.h>

namespace platform {

std::string CurlVersion() {
    const curl_version_info_data* info = curl_version_info(CURLVERSION_NOW);
    std::string parts;
    if (info->ssl_version != nullptr) {
        parts = info->ssl_version;
    }
    if (info->nghttp2_version != nullptr) {
        parts += (parts.empty() ? "nghttp2/" : ", nghttp2/") + std::string(info->nghttp2_version);
    }
    const std::string text = std::string("libcurl ") + info->version;
    return parts.empty() ? text : text + " (" + parts + ")";
}

}  // namespace platform
