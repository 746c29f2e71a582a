#include "platform/tls_environment.h"

#include <cstdlib>

namespace platform {

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

CertificateAuthorities CertificateAuthoritiesFromEnvironment() {
    if (std::string bundle = Variable("CURL_CA_BUNDLE"); !bundle.empty()) {
        return {std::move(bundle), ""};
    }
    return {Variable("SSL_CERT_FILE"), Variable("SSL_CERT_DIR")};
}

void UseEnvironmentCertificates(CURL* handle) {
    const CertificateAuthorities authorities = CertificateAuthoritiesFromEnvironment();
    if (!authorities.file.empty()) {
        curl_easy_setopt(handle, CURLOPT_CAINFO, authorities.file.c_str());
    }
    if (!authorities.folder.empty()) {
        curl_easy_setopt(handle, CURLOPT_CAPATH, authorities.folder.c_str());
    }
}

}  // namespace platform
