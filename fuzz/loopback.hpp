#pragma once
// The far end of a program's socket for the targets that feed it over real loopback
// connections: a plain TCP connection (or listener) outside the program's socket code, the
// pieces an input is split into, and a count of what the program has taken, so that each piece
// is handed over in a data event of its own.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/reactor.hpp"
#include "platform/tcp.hpp"

namespace tw::fuzz {

// Pumps the loop until pred holds or the real time given has passed. The clock is left alone:
// a target's fake clock moves only when the target moves it, so no timer fires while bytes are
// on their way. The time is generous: a wait ends as soon as pred holds, and one that runs out
// on a loaded machine would be taken for a finding.
inline bool PumpUntil(platform::Reactor& reactor, const std::function<bool()>& pred, int ms = 10000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > until) return false;
        reactor.pump(1);
    }
    return true;
}

// One end of a loopback connection, non-blocking once made. A write never blocks the one loop:
// while the kernel's buffer is full the reactor is pumped, so the program goes on reading.
class LoopbackEnd {
public:
    LoopbackEnd() = default;
    // Without delay: each piece must go out as it is written, not wait for the program's
    // acknowledgement of the last one.
    explicit LoopbackEnd(int fd) : fd_(fd) {
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
        const int one = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    }
    ~LoopbackEnd() { close(); }
    LoopbackEnd(LoopbackEnd&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    LoopbackEnd& operator=(LoopbackEnd&& o) noexcept {
        if (this != &o) {
            close();
            fd_ = o.fd_;
            o.fd_ = -1;
        }
        return *this;
    }
    LoopbackEnd(const LoopbackEnd&) = delete;
    LoopbackEnd& operator=(const LoopbackEnd&) = delete;

    // A connection to 127.0.0.1:port; a listening program's socket takes it in the kernel.
    static LoopbackEnd Connect(int port) {
        LoopbackEnd end = TryConnect(port);
        if (!end.open()) std::abort();
        return end;
    }
    // The same, closed when nothing listens on the port.
    static LoopbackEnd TryConnect(int port) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) std::abort();
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
            ::close(fd);
            return LoopbackEnd();
        }
        return LoopbackEnd(fd);
    }

    bool open() const { return fd_ >= 0; }

    // False when the program closed the connection before taking everything.
    bool write(platform::Reactor& reactor, std::string_view bytes) {
        while (!bytes.empty() && fd_ >= 0) {
            const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n > 0) {
                bytes.remove_prefix(static_cast<std::size_t>(n));
            } else if (n < 0 && errno == EINTR) {
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                reactor.pump(1);
            } else {
                return false;
            }
        }
        return bytes.empty();
    }

    // Everything the program has sent since the last call; closed says whether it has closed.
    std::string read(bool* closed = nullptr) {
        std::string out;
        char buf[65536];
        if (closed) *closed = false;
        while (fd_ >= 0) {
            const ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
            if (n > 0) {
                out.append(buf, static_cast<std::size_t>(n));
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (closed && (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))) *closed = true;
            break;
        }
        return out;
    }

    void close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

// A listening port on 127.0.0.1 that a program's socket connects to.
class LoopbackListener {
public:
    LoopbackListener() {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd_, 8) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            std::abort();
        port_ = ntohs(a.sin_port);
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
    }
    ~LoopbackListener() { ::close(fd_); }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    int port() const { return port_; }

    // The connection the program made, pumping the loop until it is there; closed when it does
    // not come within the real time given.
    LoopbackEnd accept(platform::Reactor& reactor, int ms = 10000) {
        LoopbackEnd end;
        PumpUntil(
            reactor,
            [&] {
                const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
                if (fd >= 0) end = LoopbackEnd(fd);
                return end.open();
            },
            ms);
        return end;
    }

private:
    int fd_ = -1;
    int port_ = 0;
};

// The pieces an input is cut into on its way through the socket: sizes from 1 to 64 bytes
// mostly, now and then a large one, in a sequence the seed chooses, so that a marker, a
// character reference or a count can be cut at any place.
inline std::vector<std::string_view> Pieces(std::string_view bytes, std::uint32_t seed) {
    std::vector<std::string_view> out;
    std::uint32_t x = seed * 2654435761u + 1;
    while (!bytes.empty()) {
        x = x * 1103515245u + 12345u;
        const std::uint32_t r = x >> 16;
        const std::size_t size = r % 8 == 0 ? 4096 + r % 8192 : 1 + r % 64;
        out.push_back(bytes.substr(0, size));
        bytes.remove_prefix(out.back().size());
    }
    return out;
}

// Counts the bytes a program's socket has handed to its data event, which takes them all.
// Installed around the socket's own handler.
struct TakenCount {
    std::size_t bytes = 0;
    void Install(platform::TcpSocket& socket) {
        auto inner = socket.DataArrival;
        socket.DataArrival = [this, &socket, inner](long total) {
            bytes += socket.bytes_received();
            if (inner) inner(total);
        };
    }
};

}  // namespace tw::fuzz
