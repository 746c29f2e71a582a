// The certificate authorities a transfer trusts, from the environment as the curl tool reads
// it, so a company that inspects TLS with its own CA points KORVA at that CA the way it points
// curl at it. CURL_CA_BUNDLE names a bundle file and wins; without it SSL_CERT_FILE names a
// bundle file and SSL_CERT_DIR a folder of hashed certificates, both used when both are set.
// An empty variable counts as unset; with none set, libcurl's built-in places stay.
// Proxies need nothing here: libcurl itself reads http_proxy, https_proxy, ALL_PROXY and
// no_proxy for every handle that has no proxy set (docs/network.md).
#pragma once

#include <string>

#include <curl/curl.h>

namespace platform {

struct CertificateAuthorities {
    std::string file;    // for CURLOPT_CAINFO; "" keeps libcurl's own
    std::string folder;  // for CURLOPT_CAPATH; "" keeps libcurl's own
};

CertificateAuthorities CertificateAuthoritiesFromEnvironment();

// Sets the handle's CA file and folder from the environment, where it names them.
void UseEnvironmentCertificates(CURL* handle);

}  // namespace platform
