#include "http_server.hpp"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace tw::test {
namespace {

enum Kind { Page, Never, Cut, Redirect };

int bound_socket(int& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket");
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) throw std::runtime_error("bind");
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    return fd;
}

}  // namespace

struct HttpServer::Conn {
    int fd;
    platform::Reactor::WatchId watch = 0;
    std::string in, out;
    bool answered = false;
    bool close_when_sent = false;
};

HttpServer::HttpServer(platform::Reactor& reactor) : reactor_(reactor) {
    listen_fd_ = bound_socket(port_);
    if (::listen(listen_fd_, 16) != 0) throw std::runtime_error("listen");
    listen_watch_ = reactor_.watch(listen_fd_, platform::IoReadable, [this](unsigned) { accept_all(); });
}

HttpServer::~HttpServer() {
    while (!conns_.empty()) drop(conns_.begin()->first);
    reactor_.unwatch(listen_watch_);
    ::close(listen_fd_);
}

std::string HttpServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void HttpServer::page(const std::string& path, std::string body) { routes_[path] = {Page, std::move(body)}; }
void HttpServer::never_answer(const std::string& path) { routes_[path] = {Never, {}}; }
void HttpServer::cut_short(const std::string& path, std::string partial) { routes_[path] = {Cut, std::move(partial)}; }
void HttpServer::redirect(const std::string& path, std::string location) {
    routes_[path] = {Redirect, std::move(location)};
}

void HttpServer::accept_all() {
    for (;;) {
        int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) return;
        auto c = std::make_unique<Conn>();
        c->fd = fd;
        c->watch = reactor_.watch(fd, platform::IoReadable, [this, fd](unsigned ready) { on_conn(fd, ready); });
        conns_[fd] = std::move(c);
    }
}

void HttpServer::on_conn(int fd, unsigned ready) {
    auto it = conns_.find(fd);
    if (it == conns_.end()) return;
    Conn& c = *it->second;
    if (ready & (platform::IoReadable | platform::IoError)) {
        char buf[4096];
        for (;;) {
            ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n > 0) { c.in.append(buf, static_cast<std::size_t>(n)); continue; }
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) { drop(fd); return; }
            break;
        }
        std::size_t eoh = c.in.find("\r\n\r\n");
        if (!c.answered && eoh != std::string::npos) {
            c.answered = true;
            std::string line = c.in.substr(0, c.in.find("\r\n"));
            requests_.push_back(line);
            std::size_t sp1 = line.find(' '), sp2 = line.rfind(' ');
            answer(c, line.substr(sp1 + 1, sp2 - sp1 - 1));
        }
    }
    while (!c.out.empty()) {
        ssize_t n = ::send(fd, c.out.data(), c.out.size(), MSG_NOSIGNAL);
        if (n > 0) { c.out.erase(0, static_cast<std::size_t>(n)); continue; }
        if (errno == EAGAIN || errno == EWOULDBLOCK) break;
        drop(fd);
        return;
    }
    if (c.out.empty() && c.close_when_sent) { drop(fd); return; }
    reactor_.modify(c.watch, platform::IoReadable | (c.out.empty() ? 0u : platform::IoWritable));
}

void HttpServer::answer(Conn& c, const std::string& target) {
    auto r = routes_.find(target);
    auto reply = [&](const std::string& status, const std::string& headers, const std::string& body,
                     std::size_t declared) {
        c.out = "HTTP/1.0 " + status + "\r\nContent-Type: text/html\r\nContent-Length: " +
                std::to_string(declared) + "\r\n" + headers + "Connection: close\r\n\r\n" + body;
        c.close_when_sent = true;
    };
    if (r == routes_.end()) {
        const std::string body = "<html><body>No such page</body></html>";
        reply("404 Not Found", "", body, body.size());
        return;
    }
    switch (r->second.kind) {
    case Page: reply("200 OK", "", r->second.data, r->second.data.size()); break;
    case Never: break;
    case Cut: reply("200 OK", "", r->second.data, r->second.data.size() + 1000); break;
    case Redirect: reply("302 Found", "Location: " + r->second.data + "\r\n", "", 0); break;
    }
}

void HttpServer::drop(int fd) {
    auto it = conns_.find(fd);
    if (it == conns_.end()) return;
    reactor_.unwatch(it->second->watch);
    ::close(fd);
    conns_.erase(it);
}

int closed_port() {
    int port = 0;
    int fd = bound_socket(port);
    ::close(fd);
    return port;
}

}  // namespace tw::test
