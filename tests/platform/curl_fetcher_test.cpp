// Both fetchers, one address at a time and concurrent, give the same answers.
#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "engine/text.h"
#include "platform/make_fetcher.h"
#include "tests/support/http_server.h"
#include "tests/support/temp_folder.h"

namespace {

using engine::InStr;

class CurlFetcherTest : public ::testing::TestWithParam<bool> {
protected:
    static void SetUpTestSuite() { server_ = std::make_unique<support::HttpServer>(); }

    static void TearDownTestSuite() { server_.reset(); }

    static support::HttpServer& server() { return *server_; }

    std::unique_ptr<engine::Fetcher> Make(platform::TransferLimits limits = {}) const {
        return platform::MakeFetcher(GetParam(), std::move(limits), {});
    }

    // The body of `url`, held in memory as it is without a sorter.
    std::string Open(const std::string& url) { return fetcher_.OpenURL(url).bytes; }

    std::unique_ptr<engine::Fetcher> made_ = Make();
    engine::Fetcher& fetcher_ = *made_;

private:
    static std::unique_ptr<support::HttpServer> server_;
};

std::unique_ptr<support::HttpServer> CurlFetcherTest::server_;

TEST_P(CurlFetcherTest, DeliversEveryByteAndTheHeaders) {
    std::string bytes;
    for (int b = 0; b < 256; ++b) {
        bytes += static_cast<char>(b);
    }
    server().Serve("/bytes.bin", {200, "image/gif", bytes});
    EXPECT_EQ(Open(server().Url("/bytes.bin")), bytes);
    const std::string headers = fetcher_.GetHeader();
    EXPECT_NE(InStr(headers, "Content-Type: image/gif\r\n"), 0u) << headers;
    EXPECT_TRUE(headers.starts_with("HTTP/1.1 200")) << headers;
    EXPECT_TRUE(headers.ends_with("\r\n"));
}

TEST_P(CurlFetcherTest, DeliversNothingForErrorsAndFailures) {
    server().Serve("/missing.gif", {404, "text/html", "<p>not found</p>"});
    server().Serve("/broken", {500, "text/html", "oops"});
    server().Serve("/empty", {200, "text/html", ""});
    EXPECT_EQ(Open(server().Url("/missing.gif")), "");
    EXPECT_EQ(Open(server().Url("/broken")), "");
    EXPECT_EQ(Open(server().Url("/empty")), "");

    // A closed port: a server that has gone.
    std::string closed;
    {
        support::HttpServer gone;
        closed = gone.Url("/x.htm");
    }
    EXPECT_EQ(Open(closed), "");
    EXPECT_EQ(Open("http://127.0.0.1:0/x.htm"), "");
}

TEST_P(CurlFetcherTest, FollowsRedirectsAndKeepsTheFinalAddress) {
    server().Serve("/old/page.htm", {302, "text/html", "moved", "/new/page.htm"});
    server().Serve("/new/page.htm", {200, "text/html", "<p>here</p>"});
    EXPECT_EQ(Open(server().Url("/old/page.htm")), "<p>here</p>");
    EXPECT_EQ(fetcher_.FinalUrl(), server().Url("/new/page.htm"));
    EXPECT_EQ(InStr(fetcher_.GetHeader(), "Location:"), 0u);  // only the final response's

    server().Serve("/plain.htm", {200, "text/html", "x"});
    Open(server().Url("/plain.htm"));
    EXPECT_EQ(fetcher_.FinalUrl(), server().Url("/plain.htm"));
}

TEST_P(CurlFetcherTest, StopsAtTenRedirectsAndOtherSchemes) {
    for (int i = 0; i < 11; ++i) {
        server().Serve("/hop" + std::to_string(i),
                       {302, "text/html", "", "/hop" + std::to_string(i + 1)});
    }
    server().Serve("/hop11", {200, "text/html", "end"});
    EXPECT_EQ(Open(server().Url("/hop1")), "end");  // ten redirects
    EXPECT_EQ(Open(server().Url("/hop0")), "");     // eleven

    server().Serve("/to-ftp", {302, "text/html", "", "ftp://127.0.0.1/x"});
    EXPECT_EQ(Open(server().Url("/to-ftp")), "");
}

TEST_P(CurlFetcherTest, NeverConnectsForAddressesThatAreNotWebAddresses) {
    server().Serve("/local.htm", {200, "text/html", "x"});
    const std::string port = server().Url("").substr(std::string("http://127.0.0.1:").size());
    for (const std::string& address :
         {std::string("/tmp/local.htm"), std::string("file:///local.htm"),
          "ftp://127.0.0.1:" + port + "/local.htm", std::string("C:\\pages\\p.htm"),
          std::string("127.0.0.1:") + port + "/local.htm", std::string("")}) {
        EXPECT_EQ(Open(address), "") << address;
    }
    EXPECT_EQ(server().Hits("/local.htm"), 0);
}

TEST_P(CurlFetcherTest, EncodesWhatAnAddressMayNotHold) {
    server().Serve("/my%20image%C3%A9.gif", {200, "image/gif", "GIF"});
    EXPECT_EQ(Open(server().Url("/my image\xC3\xA9.gif")), "GIF");
    EXPECT_EQ(platform::EncodeForRequest("http://h/a b\t\x7F?q=%41"), "http://h/a%20b%09%7F?q=%41");
}

TEST_P(CurlFetcherTest, DecodesCompressedBodies) {
    const std::string page(20000, 'k');  // text the server compresses for clients that accept it
    server().Serve("/big.htm", {200, "text/html", page});
    EXPECT_EQ(Open(server().Url("/big.htm")), page);
    EXPECT_NE(InStr(fetcher_.GetHeader(), "Content-Encoding:"), 0u) << fetcher_.GetHeader();
}

TEST_P(CurlFetcherTest, AbandonsATransferPastItsSizeLimitOrWhenStopped) {
    // Compressed on the wire, so the limit holds for the decoded body, as for a gzip bomb.
    const std::size_t size = std::size_t{3} << 20;
    server().Serve("/big.bin", {200, "text/plain", std::string(size, 'b')});
    const std::string url = server().Url("/big.bin");
    EXPECT_EQ(Make(platform::SizeLimits(size, size - 1))->OpenURL(url).size, 0u);
    EXPECT_EQ(Make(platform::SizeLimits(size - 1, size))->OpenURL(url).size, 0u);
    EXPECT_EQ(Make(platform::SizeLimits(size, size))->OpenURL(url).size, size);
    fetcher_.StopWhen([] { return true; });
    EXPECT_EQ(Open(url), "");
}

// Pages stay in memory under the page limit; any other body goes to a file as it arrives,
// under the download limit; a body that is not delivered leaves no file behind.
TEST_P(CurlFetcherTest, SortsBodiesIntoMemoryAndFiles) {
    const std::string image(std::size_t{3} << 20, 'g');
    server().Serve("/sorted/a.gif", {200, "image/gif", image});
    server().Serve("/sorted/b.gif", {200, "image/gif", image + "g"});
    server().Serve("/sorted/p.htm", {200, "text/html", "<p>page</p>"});
    server().Serve("/sorted/big.htm", {200, "text/html", std::string(1000, 'p')});
    server().Serve("/sorted/gone.gif", {404, "image/gif", "not here"});
    const support::TempFolder spool;
    const auto fetcher = Make(platform::SizeLimits(image.size(), 999));
    fetcher->SortBodies(spool.path(), [](std::string_view, std::string_view headers) {
        return InStr(headers, "text/html") != 0;
    });

    const engine::Body page = fetcher->OpenURL(server().Url("/sorted/p.htm"));
    EXPECT_EQ(page.bytes, "<p>page</p>");
    EXPECT_FALSE(page.InFile());
    const engine::Body file = fetcher->OpenURL(server().Url("/sorted/a.gif"));
    EXPECT_TRUE(file.bytes.empty());
    EXPECT_EQ(file.size, image.size());
    EXPECT_TRUE(file.file.starts_with(spool.path())) << file.file;
    EXPECT_EQ(spool.Read(file.file.substr(spool.path().size())), image);
    std::filesystem::remove(file.file);
    for (const char* refused : {"/sorted/b.gif", "/sorted/big.htm", "/sorted/gone.gif"}) {
        EXPECT_EQ(fetcher->OpenURL(server().Url(refused)).size, 0u) << refused;
    }
    EXPECT_TRUE(std::filesystem::is_empty(spool.path()));
}

// A body fetched ahead in a file that the run never takes goes when the next run sorts anew.
TEST_P(CurlFetcherTest, BodiesFetchedAheadAndNotTakenLeaveNoFile) {
    server().Serve("/ahead/p.htm", {200, "text/html", "<img src=a.gif>"});
    server().Serve("/ahead/a.gif", {200, "image/gif", "GIF"});
    server().Serve("/ahead/slow.htm", {200, "text/html", "x", "", std::chrono::milliseconds(300)});
    const support::TempFolder spool;
    const auto inMemory = [](std::string_view, std::string_view headers) {
        return InStr(headers, "text/html") != 0;
    };
    fetcher_.SortBodies(spool.path(), inMemory);
    fetcher_.PlanWith(
        [this](std::string_view, std::string_view, std::string_view, std::string_view) {
            return std::vector<std::string>{server().Url("/ahead/a.gif")};
        });
    Open(server().Url("/ahead/p.htm"));
    Open(server().Url("/ahead/slow.htm"));  // meanwhile a.gif arrives, in a file
    EXPECT_EQ(server().Hits("/ahead/a.gif"), GetParam() ? 1 : 0);
    fetcher_.SortBodies(spool.path(), inMemory);
    EXPECT_TRUE(std::filesystem::is_empty(spool.path()));
}

TEST_P(CurlFetcherTest, DecodesDataAddressesLocally) {
    struct Case {
        const char* address;
        const char* bytes;
        const char* header;
    };

    const Case cases[] = {
        {"data:image/gif;base64,R0lGODlh", "GIF89a", "Content-Type: image/gif\r\n"},
        {"data:text/plain,a%20b%zz", "a b%zz", "Content-Type: text/plain\r\n"},
        {"data:,hi", "hi", "Content-Type: text/plain;charset=US-ASCII\r\n"},
        {"DATA:image/png;BASE64,iVBO Rw==", "\x89PNG", "Content-Type: image/png\r\n"},
        {"data:image/gif;base64,R0l*", "", ""},  // not base64
        {"data:image/gif", "", ""},              // no comma
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Open(c.address), c.bytes) << c.address;
        EXPECT_EQ(fetcher_.GetHeader(), c.header) << c.address;
    }
}

INSTANTIATE_TEST_SUITE_P(Fetchers, CurlFetcherTest, ::testing::Bool(), [](const auto& param) {
    return param.param ? "Concurrent" : "OneAtATime";
});

}  // namespace
