// What korva-convert takes from the environment about the network, as curl's users expect:
// the certificate authorities to trust, and the proxies to go through; and HTTP/2 over TLS,
// where one connection carries all of a page's requests. The servers are real: an HTTPS
// site with HTTP/2 and a forward proxy, each a process of its own on 127.0.0.1.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/http_server.h"
#include "tests/support/run_program.h"
#include "tests/support/server_process.h"
#include "tests/support/temp_folder.h"

namespace {

class NetworkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new support::TempFolder;
        ASSERT_EQ(support::RunProgram({MAKE_TEST_CA, folder_->path() + "ca"}).exitCode, 0);
        folder_->Write("site/plain.htm", "<p>plain</p>");
        std::string page = "<link rel=stylesheet href=style.css>";
        for (int i = 0; i < 8; ++i) {
            folder_->Write("site/i" + std::to_string(i) + ".gif", "GIF89a" + std::to_string(i));
            page += "<img src=i" + std::to_string(i) + ".gif>";
        }
        folder_->Write("site/page.htm", page);
        folder_->Write("site/style.css", "@import 'more.css';");
        folder_->Write("site/more.css", "body { background: url(back.gif) }");
        folder_->Write("site/back.gif", "GIF89a");
        const std::string ca = folder_->path() + "ca/";
        site_ = new support::ServerProcess({SYSTEM_PYTHON, TLS_SITE, ca + "server.pem",
                                            ca + "server.key", folder_->path() + "site"});
        proxy_ = new support::ServerProcess({SYSTEM_PYTHON, PROXY});
        std::filesystem::create_directories(folder_->path() + "tools");
        std::filesystem::copy_file(FAKE_HHC, folder_->path() + "tools/hhc.exe");
        // No browser: these runs are about the network korva-convert itself reaches.
        folder_->Write("config/KORVA/KORVA.conf",
                       "[Main]\nHHC=" + folder_->path() + "tools/\nBrowser=off\n");
        std::filesystem::create_directories(folder_->path() + "temp");
    }

    static void TearDownTestSuite() {
        delete proxy_;
        delete site_;
        delete folder_;
    }

    static std::string Ca(const std::string& name) { return folder_->path() + "ca/" + name; }

    static std::string Proxy() { return "http://" + proxy_->HostPort(); }

    static std::string Secure(const std::string& path) {
        return "https://" + site_->HostPort() + path;
    }

    // korva-convert on `url` with `environment` over one in which every variable these tests
    // are about is unset (empty counts as unset, as it does for curl).
    static support::ProgramResult Convert(const std::string& url,
                                          const std::vector<std::string>& environment) {
        std::vector<std::string> variables = {"XDG_CONFIG_HOME=" + folder_->path() + "config",
                                              "TEMP=" + folder_->path() + "temp",
                                              "CURL_CA_BUNDLE=",
                                              "SSL_CERT_FILE=",
                                              "SSL_CERT_DIR=",
                                              "http_proxy=",
                                              "https_proxy=",
                                              "HTTP_PROXY=",
                                              "HTTPS_PROXY=",
                                              "ALL_PROXY=",
                                              "all_proxy=",
                                              "no_proxy=",
                                              "NO_PROXY="};
        for (const std::string& variable : environment) {
            std::erase_if(variables, [&variable](const std::string& base) {
                return base.substr(0, base.find('=')) == variable.substr(0, variable.find('='));
            });
            variables.push_back(variable);
        }
        return support::RunProgram({KORVA_CONVERT, url, folder_->path() + "out.chm"}, variables);
    }

    static support::TempFolder* folder_;
    static support::ServerProcess* site_;
    static support::ServerProcess* proxy_;
};

support::TempFolder* NetworkTest::folder_ = nullptr;
support::ServerProcess* NetworkTest::site_ = nullptr;
support::ServerProcess* NetworkTest::proxy_ = nullptr;

TEST_F(NetworkTest, TrustsTheAuthoritiesTheEnvironmentNamesAsCurlDoes) {
    ASSERT_NE(site_->port(), 0);

    const struct {
        const char* name;
        std::vector<std::string> environment;
        int exitCode;
    } rows[] = {
        {"CURL_CA_BUNDLE", {"CURL_CA_BUNDLE=" + Ca("ca.pem")}, 0},
        {"SSL_CERT_FILE", {"SSL_CERT_FILE=" + Ca("ca.pem")}, 0},
        {"SSL_CERT_DIR", {"SSL_CERT_DIR=" + Ca("certs")}, 0},
        {"SSL_CERT_FILE beside SSL_CERT_DIR",
         {"SSL_CERT_FILE=" + Ca("other.pem"), "SSL_CERT_DIR=" + Ca("certs")},
         0},
        {"CURL_CA_BUNDLE first",
         {"CURL_CA_BUNDLE=" + Ca("other.pem"), "SSL_CERT_FILE=" + Ca("ca.pem"),
          "SSL_CERT_DIR=" + Ca("certs")},
         1},
        {"none: only the system's", {}, 1},
    };

    for (const auto& row : rows) {
        EXPECT_EQ(Convert(Secure("/plain.htm"), row.environment).exitCode, row.exitCode)
            << row.name;
    }
    // An authority it does not trust: the host and the certificate problem, on one line.
    EXPECT_EQ(Convert(Secure("/plain.htm"), {}).standardError,
              "Error 404: Cannot open URL (TLS failed for 127.0.0.1 port " +
                  std::to_string(site_->port()) +
                  ": SSL certificate problem: unable to get local issuer certificate)\n");
}

// The page, its style sheet, the sheet that imports and 9 pictures: one connection.
TEST_F(NetworkTest, AllOfAPagesRequestsShareOneHttp2Connection) {
    ASSERT_NE(site_->port(), 0);
    const std::string before = site_->Output();
    ASSERT_EQ(Convert(Secure("/page.htm"), {"SSL_CERT_FILE=" + Ca("ca.pem")}).exitCode, 0);
    const std::string during = site_->Output().substr(before.size());
    EXPECT_EQ(support::CountLines(during, "connection"), 1) << during;
    EXPECT_EQ(support::CountLines(during, "GET /back.gif"), 1) << during;
    EXPECT_EQ(support::CountLines(during, "GET /i7.gif"), 1) << during;
}

TEST_F(NetworkTest, GoesThroughTheProxiesTheEnvironmentNamesAsLibcurlDoes) {
    ASSERT_NE(proxy_->port(), 0);
    support::HttpServer origin;
    origin.Serve("/plain.htm", {200, "text/html", "<p>plain</p>"});
    const std::string plain = origin.Url("/plain.htm");

    const struct {
        const char* name;
        std::string url;
        std::vector<std::string> environment;
        std::string throughProxy;  // the line the proxy prints; "" when it must see nothing
    } rows[] = {
        {"http_proxy", plain, {"http_proxy=" + Proxy()}, "GET " + plain},
        {"https_proxy",
         Secure("/plain.htm"),
         {"https_proxy=" + Proxy(), "SSL_CERT_FILE=" + Ca("ca.pem")},
         "CONNECT " + site_->HostPort()},
        {"no_proxy", plain, {"http_proxy=" + Proxy(), "no_proxy=127.0.0.1"}, ""},
        // Upper case HTTP_PROXY may come from a CGI request's Proxy header: libcurl ignores it.
        {"HTTP_PROXY", plain, {"HTTP_PROXY=" + Proxy()}, ""},
    };

    for (const auto& row : rows) {
        const std::string before = proxy_->Output();
        EXPECT_EQ(Convert(row.url, row.environment).exitCode, 0) << row.name;
        const std::string seen = proxy_->Output().substr(before.size());
        EXPECT_EQ(seen, row.throughProxy.empty() ? "" : row.throughProxy + "\n") << row.name;
    }
}

}  // namespace
