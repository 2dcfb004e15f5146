#pragma once
// A tiny HTTP/1.0 server on 127.0.0.1 for page-loading tests, driven by the same reactor as the
// browser under test. It serves canned answers by path and records each request line.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/reactor.hpp"

namespace tw::test {

class HttpServer {
public:
    explicit HttpServer(platform::Reactor& reactor);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    int port() const { return port_; }
    std::string url(const std::string& path) const;

    // 200 with this body.
    void page(const std::string& path, std::string body);
    // Reads the request and never answers.
    void never_answer(const std::string& path);
    // Promises a longer body than it sends, then closes.
    void cut_short(const std::string& path, std::string partial);
    // 302 to location.
    void redirect(const std::string& path, std::string location);
    // Any other path: 404 with a body of its own, which must not become the document.

    const std::vector<std::string>& request_lines() const { return requests_; }
    int open_connections() const { return static_cast<int>(conns_.size()); }

private:
    struct Conn;
    struct Route { int kind; std::string data; };
    void accept_all();
    void on_conn(int fd, unsigned ready);
    void answer(Conn& c, const std::string& target);
    void drop(int fd);

    platform::Reactor& reactor_;
    int listen_fd_ = -1;
    int port_ = 0;
    platform::Reactor::WatchId listen_watch_ = 0;
    std::map<std::string, Route> routes_;
    std::map<int, std::unique_ptr<Conn>> conns_;
    std::vector<std::string> requests_;
};

// A loopback port with nothing listening on it.
int closed_port();

}  // namespace tw::test
