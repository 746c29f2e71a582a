#include "tests/support/http_server.h"

#include <chrono>
#include <stdexcept>

#include <httplib.h>

namespace support {

HttpServer::HttpServer(Compression compression) : server_(std::make_unique<httplib::Server>()) {
    if (compression == Compression::Off) {
        // The library decides on compression from the request's Accept-Encoding alone.
        server_->set_pre_routing_handler([](const httplib::Request& request, httplib::Response&) {
            const_cast<httplib::Request&>(request).headers.erase("Accept-Encoding");
            return httplib::Server::HandlerResponse::Unhandled;
        });
    }
    server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        const int now = ++atOnce_;
        for (int most = mostAtOnce_; now > most && !mostAtOnce_.compare_exchange_weak(most, now);) {
        }
        Answer(request.target, response);  // as sent: query and escapes kept
        --atOnce_;
    });
    server_->new_task_queue = [] { return new httplib::ThreadPool(24); };
    server_->set_tcp_nodelay(true);          // else each kept-alive request waits for a delayed ACK
    server_->set_keep_alive_max_count(100);  // as real servers allow, not a new connection per 5
    port_ = server_->bind_to_any_port("127.0.0.1");
    if (port_ <= 0) {
        throw std::runtime_error("the test server could not bind 127.0.0.1");
    }
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    for (int i = 0; i < 500 && !server_->is_running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

HttpServer::~HttpServer() {
    server_->stop();
    thread_.join();
}

void HttpServer::Answer(const std::string& path, httplib::Response& response) {
    Route route(404, "text/html", "not here");
    {
        std::lock_guard lock(mutex_);
        ++hits_[path];
        if (const auto found = routes_.find(path); found != routes_.end()) {
            route = found->second;
        }
    }
    std::this_thread::sleep_for(route.delay);
    response.status = route.status;
    if (!route.location.empty()) {
        response.set_header("Location", route.location);
    }
    response.set_content(route.body, route.contentType.c_str());
}

void HttpServer::Serve(const std::string& path, Route route) {
    std::lock_guard lock(mutex_);
    routes_[path] = std::move(route);
}

std::string HttpServer::Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::string HttpServer::SiteFolder() const {
    return "127.0.0.1_" + std::to_string(port_);
}

int HttpServer::Hits(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto hits = hits_.find(path);
    return hits == hits_.end() ? 0 : hits->second;
}

}  // namespace support
