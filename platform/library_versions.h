// The versions of the libraries the platform layer uses, as `--version` prints them.
#pragma once

#include <string>

namespace platform {

// "libcurl 7.88.1 (OpenSSL/3.0.17, nghttp2/1.52.0)": the libcurl loaded, with the TLS and
// HTTP/2 libraries it was built with, which decide what it can talk.
std::string CurlVersion();

}  // namespace platform
