// A local HTTP server for tests: it listens on 127.0.0.1 at a port the system picks, serves
// the routes a test sets, and counts the requests for each path.
#pragma once

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

namespace httplib {
class Server;
struct Response;
}  // namespace httplib

namespace support {

struct Route {
    Route() = default;

    Route(int statusCode, std::string type, std::string content, std::string redirectTo = "",
          std::chrono::milliseconds wait = {})
        : status(statusCode),
          contentType(std::move(type)),
          body(std::move(content)),
          location(std::move(redirectTo)),
          delay(wait) {}

    int status = 200;
    std::string contentType = "text/html";
    std::string body;
    std::string location;               // sent as "Location" when set, for redirects
    std::chrono::milliseconds delay{};  // before the answer, as a slow server takes
};

class HttpServer {
public:
    // Like most servers, it compresses text for clients that accept it. A benchmark that
    // compares clients which ask differently turns that off, so both get the same bytes and the
    // server's compression time is nobody's.
    enum class Compression { On, Off };

    explicit HttpServer(Compression compression = Compression::On);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Serves `route` for GET requests of `path` exactly as sent (query and %-escapes kept);
    // other paths answer 404.
    void Serve(const std::string& path, Route route);

    // "http://127.0.0.1:PORT" followed by `path`.
    std::string Url(std::string_view path) const;

    // "127.0.0.1_PORT": the folder a run keeps this server's files in.
    std::string SiteFolder() const;

    // How many requests asked for `path` so far.
    int Hits(const std::string& path) const;

    // The most requests that were being answered at one time.
    int MostAtOnce() const { return mostAtOnce_; }

private:
    void Answer(const std::string& path, httplib::Response& response);

    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::map<std::string, Route> routes_;
    std::map<std::string, int> hits_;
    std::atomic<int> atOnce_{0};
    std::atomic<int> mostAtOnce_{0};
};

}  // namespace support
