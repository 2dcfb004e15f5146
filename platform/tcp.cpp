#include "platform/tcp.hpp"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>

#include "platform/rt_error.hpp"

namespace platform {

namespace {

constexpr int kLookupPollMs = 10;
// The system resolver has its own time-outs; this only bounds a resolver that hangs.
constexpr std::int64_t kLookupLimitMs = 15000;
constexpr std::size_t kReadChunk = 64 * 1024;
constexpr int kReadsPerWake = 16;  // so that one flooding peer cannot hold the loop
// While no descriptor can be had, a pending connection keeps the listening socket readable; the
// listener rests this long before it tries to accept again instead of spinning on it.
constexpr std::int64_t kAcceptRetryMs = 250;

std::int64_t real_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

struct SocketError {
    int number;
    std::string description;
};

SocketError socket_error(int e) {
    switch (e) {
    case ECONNREFUSED: return {rt::ErrConnectionRefused, rt::error_description(rt::ErrConnectionRefused)};
    case ETIMEDOUT: return {rt::ErrTimedOut, rt::error_description(rt::ErrTimedOut)};
    case ECONNRESET:
    case ECONNABORTED:
    case EPIPE: return {rt::ErrConnectionReset, rt::error_description(rt::ErrConnectionReset)};
    case EADDRINUSE: return {rt::ErrAddressInUse, rt::error_description(rt::ErrAddressInUse)};
    default:
        return {rt::ErrSocketGeneric, rt::error_description(rt::ErrSocketGeneric) + ": " + std::strerror(e)};
    }
}

[[noreturn]] void throw_socket_error(int e) {
    SocketError se = socket_error(e);
    throw rt::RuntimeError(se.number, se.description);
}

std::string address_text(const sockaddr* sa) {
    char buf[INET6_ADDRSTRLEN] = {};
    if (sa->sa_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(sa)->sin_addr, buf, sizeof buf);
    } else if (sa->sa_family == AF_INET6) {
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(sa)->sin6_addr, buf, sizeof buf);
    }
    return buf;
}

int address_port(const sockaddr* sa) {
    if (sa->sa_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in*>(sa)->sin_port);
    if (sa->sa_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6*>(sa)->sin6_port);
    return 0;
}

void set_port(sockaddr* sa, int port) {
    if (sa->sa_family == AF_INET) reinterpret_cast<sockaddr_in*>(sa)->sin_port = htons(static_cast<std::uint16_t>(port));
    if (sa->sa_family == AF_INET6) reinterpret_cast<sockaddr_in6*>(sa)->sin6_port = htons(static_cast<std::uint16_t>(port));
}

// The programs type IPv4 addresses and listen on IPv4; a name with both kinds connects over IPv4.
const addrinfo* pick_address(const addrinfo* list) {
    for (const addrinfo* a = list; a; a = a->ai_next) {
        if (a->ai_family == AF_INET) return a;
    }
    for (const addrinfo* a = list; a; a = a->ai_next) {
        if (a->ai_family == AF_INET6) return a;
    }
    return nullptr;
}

// Binds the wildcard address of the family at port; SO_REUSEADDR for a fixed port, so that a
// quick reconnect from or relisten on it is not refused. Returns 0 or the errno.
int bind_local(int fd, int family, int port) {
    if (port != 0) {
        int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    }
    sockaddr_storage ss{};
    socklen_t len;
    if (family == AF_INET6) {
        auto* a = reinterpret_cast<sockaddr_in6*>(&ss);
        a->sin6_family = AF_INET6;
        a->sin6_addr = in6addr_any;
        len = sizeof *a;
    } else {
        auto* a = reinterpret_cast<sockaddr_in*>(&ss);
        a->sin_family = AF_INET;
        a->sin_addr.s_addr = htonl(INADDR_ANY);
        len = sizeof *a;
    }
    set_port(reinterpret_cast<sockaddr*>(&ss), port);
    return ::bind(fd, reinterpret_cast<sockaddr*>(&ss), len) == 0 ? 0 : errno;
}

// Sends what it can of a closed connection's queue, ends our side, and reads to the peer's end
// (closing with unread input would reset the connection and could cost the peer our last bytes).
// Owned by its own watch and timer callbacks, so the reactor keeps it alive while it works and
// frees it, with the descriptor, if the reactor goes first.
class Drain : public std::enable_shared_from_this<Drain> {
public:
    Drain(Reactor& r, int fd, std::string out) : reactor_(r), fd_(fd), out_(std::move(out)) {}
    ~Drain() {
        if (fd_ >= 0) ::close(fd_);
    }

    static void start(Reactor& r, int fd, std::string out, int limit_ms) {
        auto d = std::make_shared<Drain>(r, fd, std::move(out));
        if (d->out_.empty()) d->end_output();
        d->watch_ = r.watch(fd, d->out_.empty() ? IoReadable : IoWritable,
                            [d](unsigned ready) { d->on_ready(ready); });
        d->timer_ = r.add_timer(limit_ms, [d] { d->finish(); });
    }

private:
    void end_output() { ::shutdown(fd_, SHUT_WR); }

    void on_ready(unsigned) {
        if (fd_ < 0) return;
        if (off_ < out_.size()) {
            for (;;) {
                ssize_t n = ::send(fd_, out_.data() + off_, out_.size() - off_, MSG_NOSIGNAL);
                if (n > 0) {
                    off_ += static_cast<std::size_t>(n);
                    if (off_ == out_.size()) break;
                    continue;
                }
                if (n < 0 && errno == EINTR) continue;
                if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
                finish();
                return;
            }
            out_.clear();
            end_output();
            reactor_.modify(watch_, IoReadable);
            return;
        }
        char buf[4096];
        for (;;) {
            ssize_t n = ::recv(fd_, buf, sizeof buf, 0);
            if (n > 0) continue;
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
            finish();  // the peer's end, or an error
            return;
        }
    }

    void finish() {
        if (fd_ < 0) return;
        ::close(fd_);
        fd_ = -1;
        reactor_.unwatch(watch_);
        reactor_.cancel_timer(timer_);
    }

    Reactor& reactor_;
    int fd_;
    std::string out_;
    std::size_t off_ = 0;
    Reactor::WatchId watch_ = 0;
    Reactor::TimerId timer_ = 0;
};

}  // namespace

// A getaddrinfo_a request polled from a reactor timer, so the loop never waits for the resolver.
// The request block is glibc's to write until the lookup is over, so it lives apart from this
// object and is abandoned rather than freed if the lookup cannot be ended.
class TcpSocket::Lookup : public std::enable_shared_from_this<Lookup> {
public:
    using Done = std::function<void(const addrinfo* result)>;  // null: not found

    Lookup(Reactor& r, Done done) : reactor_(r), done_(std::move(done)) {}

    ~Lookup() {
        if (!req_) return;
        if (!over()) {
            try_cancel();
            const gaicb* list[1] = {&req_->cb};
            const std::int64_t until = real_ms() + 3000;
            while (!over() && real_ms() < until) {
                timespec ts{0, 50 * 1000 * 1000};
                gai_suspend(list, 1, &ts);
            }
            if (!over()) {
                (void)req_.release();  // still in glibc's hands
                return;
            }
        }
        if (req_->cb.ar_result) freeaddrinfo(req_->cb.ar_result);
    }

    bool start(const std::string& host) {
        req_ = std::make_unique<Request>();
        req_->host = host;
        req_->hints.ai_family = AF_UNSPEC;
        req_->hints.ai_socktype = SOCK_STREAM;
        req_->cb.ar_name = req_->host.c_str();
        req_->cb.ar_request = &req_->hints;
        gaicb* list[1] = {&req_->cb};
        if (getaddrinfo_a(GAI_NOWAIT, list, 1, nullptr) != 0) {
            req_.reset();
            return false;
        }
        started_ms_ = real_ms();
        arm();
        return true;
    }

    // The socket no longer wants the answer.
    void cancel() {
        done_ = nullptr;
        if (req_) try_cancel();
    }

private:
    struct Request {
        std::string host;
        addrinfo hints{};
        gaicb cb{};
    };

    // A request taken off glibc's queue keeps reading "in progress", so that is recorded here.
    void try_cancel() {
        if (gai_cancel(&req_->cb) == EAI_CANCELED) cancelled_ = true;
    }
    bool over() const { return cancelled_ || gai_error(&req_->cb) != EAI_INPROGRESS; }

    void arm() {
        auto self = shared_from_this();
        reactor_.add_timer(kLookupPollMs, [self] { self->poll(); });
    }

    void poll() {
        if (!over()) {
            if (done_ && real_ms() - started_ms_ > kLookupLimitMs) {
                try_cancel();
                report(nullptr);
            }
            if (!over()) arm();
            return;
        }
        report(!cancelled_ && gai_error(&req_->cb) == 0 ? req_->cb.ar_result : nullptr);
    }

    void report(const addrinfo* result) {
        if (!done_) return;
        Done d = std::move(done_);
        done_ = nullptr;
        d(result);
    }

    Reactor& reactor_;
    Done done_;
    std::unique_ptr<Request> req_;
    std::int64_t started_ms_ = 0;
    bool cancelled_ = false;
};

TcpSocket::TcpSocket(Reactor& reactor, std::string name, int index)
    : reactor_(reactor), name_(std::move(name)), index_(index), alive_(std::make_shared<bool>(true)) {}

TcpSocket::~TcpSocket() {
    *alive_ = false;
    close();
    for (auto& [id, fd] : pending_) ::close(fd);
}

void TcpSocket::set_local_port(int port) {
    if (port < 0 || port > 65535) throw rt::RuntimeError(rt::ErrInvalidCall);
    local_port_ = port;
}

int TcpSocket::bound_port() const {
    if (fd_ < 0) return 0;
    sockaddr_storage ss{};
    socklen_t len = sizeof ss;
    if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&ss), &len) != 0) return 0;
    return address_port(reinterpret_cast<sockaddr*>(&ss));
}

std::string TcpSocket::local_ip() const {
    if (fd_ >= 0 && (state_ == StateConnected || state_ == StateClosing)) {
        sockaddr_storage ss{};
        socklen_t len = sizeof ss;
        if (::getsockname(fd_, reinterpret_cast<sockaddr*>(&ss), &len) == 0) {
            return address_text(reinterpret_cast<sockaddr*>(&ss));
        }
    }
    std::string found = "127.0.0.1";
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return found;
    for (ifaddrs* i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
        if (!(i->ifa_flags & IFF_UP) || (i->ifa_flags & IFF_LOOPBACK)) continue;
        found = address_text(i->ifa_addr);
        break;
    }
    ::freeifaddrs(list);
    return found;
}

void TcpSocket::set_receive_cap(std::size_t bytes) {
    if (bytes == 0) throw rt::RuntimeError(rt::ErrInvalidCall);
    cap_ = bytes;
}

void TcpSocket::reset_connection() {
    ++gen_;
    in_.clear();
    out_.clear();
    out_off_ = 0;
    write_failed_ = false;
    send_overflowed_ = false;
    arrival_pending_ = false;
    eof_pending_ = false;
    error_pending_ = 0;
}

void TcpSocket::drop_fd() {
    if (accept_timer_) reactor_.cancel_timer(accept_timer_);
    accept_timer_ = 0;
    if (read_watch_) reactor_.unwatch(read_watch_);
    if (write_watch_) reactor_.unwatch(write_watch_);
    read_watch_ = write_watch_ = 0;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void TcpSocket::raise_error(int number, const std::string& description) {
    drop_fd();
    state_ = StateError;
    Error(number, description);
}

void TcpSocket::fail_later(int number, std::string description) {
    std::weak_ptr<bool> alive = alive_;
    const std::uint64_t gen = gen_;
    reactor_.post([this, alive, gen, number, description = std::move(description)] {
        auto a = alive.lock();
        if (!a || !*a || gen_ != gen) return;
        raise_error(number, description);
    });
}

void TcpSocket::connect(std::string host, int port) {
    if (state_ != StateClosed) throw rt::RuntimeError(rt::ErrSocketInvalidOperation);
    remote_host_ = std::move(host);
    remote_port_ = port;
    connect();
}

void TcpSocket::connect() {
    if (state_ != StateClosed) throw rt::RuntimeError(rt::ErrSocketInvalidOperation);
    if (remote_port_ < 1 || remote_port_ > 65535) throw rt::RuntimeError(rt::ErrInvalidCall);
    reset_connection();
    remote_ip_.clear();
    state_ = StateConnecting;

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST;
    addrinfo* numeric = nullptr;
    if (!remote_host_.empty() && ::getaddrinfo(remote_host_.c_str(), nullptr, &hints, &numeric) == 0) {
        start_connect(numeric);
        ::freeaddrinfo(numeric);
        return;
    }
    if (remote_host_.empty() || remote_host_.find('\0') != std::string::npos) {
        fail_later(rt::ErrHostNotFound, rt::error_description(rt::ErrHostNotFound));
        return;
    }
    std::weak_ptr<bool> alive = alive_;
    const std::uint64_t gen = gen_;
    lookup_ = std::make_shared<Lookup>(reactor_, [this, alive, gen](const addrinfo* result) {
        auto a = alive.lock();
        if (!a || !*a || gen_ != gen) return;
        auto keep = std::move(lookup_);  // this callback runs inside it
        if (result && pick_address(result)) {
            start_connect(result);
        } else {
            raise_error(rt::ErrHostNotFound, rt::error_description(rt::ErrHostNotFound));
        }
    });
    if (!lookup_->start(remote_host_)) {
        lookup_.reset();
        fail_later(rt::ErrHostNotFound, rt::error_description(rt::ErrHostNotFound));
    }
}

void TcpSocket::start_connect(const void* list) {
    const addrinfo* ai = pick_address(static_cast<const addrinfo*>(list));
    if (!ai) {
        fail_later(rt::ErrHostNotFound, rt::error_description(rt::ErrHostNotFound));
        return;
    }
    sockaddr_storage to{};
    std::memcpy(&to, ai->ai_addr, ai->ai_addrlen);
    set_port(reinterpret_cast<sockaddr*>(&to), remote_port_);
    remote_ip_ = address_text(reinterpret_cast<sockaddr*>(&to));

    // A connect from the local port; failing that (and allowed), one from a port of the system's.
    auto attempt = [&](bool bind_port, int& fd) {
        fd = ::socket(ai->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) return errno;
        int err = bind_port ? bind_local(fd, ai->ai_family, local_port_) : 0;
        if (err == 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&to), ai->ai_addrlen) != 0 && errno != EINPROGRESS)
            err = errno;
        if (err != 0) {
            ::close(fd);
            fd = -1;
        }
        return err;
    };
    int fd = -1;
    int err = attempt(local_port_ != 0, fd);
    if ((err == EADDRINUSE || err == EADDRNOTAVAIL) && local_port_ != 0 && local_port_optional_) err = attempt(false, fd);
    if (err != 0) {
        SocketError se = socket_error(err);
        fail_later(se.number, se.description);
        return;
    }
    fd_ = fd;
    write_watch_ = reactor_.watch(fd, IoWritable, [this](unsigned ready) { on_connect_ready(ready); });
}

void TcpSocket::on_connect_ready(unsigned) {
    int err = 0;
    socklen_t len = sizeof err;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
    if (err == 0) {
        sockaddr_storage ss{};
        socklen_t sl = sizeof ss;
        if (::getpeername(fd_, reinterpret_cast<sockaddr*>(&ss), &sl) != 0) err = errno ? errno : ECONNREFUSED;
    }
    if (err != 0) {
        SocketError se = socket_error(err);
        raise_error(se.number, se.description);
        return;
    }
    const int fd = fd_;
    reactor_.unwatch(write_watch_);
    write_watch_ = 0;
    fd_ = -1;
    become_connected(fd);
    Connect();
}

void TcpSocket::become_connected(int fd) {
    fd_ = fd;
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    state_ = StateConnected;
    read_watch_ = reactor_.watch(fd, IoReadable, [this](unsigned ready) { on_readable(ready); });
    write_watch_ = reactor_.watch(fd, 0, [this](unsigned) { on_writable(); });
}

void TcpSocket::listen() {
    if (state_ != StateClosed) throw rt::RuntimeError(rt::ErrSocketInvalidOperation);
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) throw_socket_error(errno);
    // Also for a port the system chooses: the connections accepted here inherit it, so the same
    // port can be listened on again while one of them is still draining.
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    int err = bind_local(fd, AF_INET, local_port_);
    if (err == 0 && ::listen(fd, SOMAXCONN) != 0) err = errno;
    if (err != 0) {
        ::close(fd);
        throw_socket_error(err);
    }
    reset_connection();
    fd_ = fd;
    state_ = StateListening;
    read_watch_ = reactor_.watch(fd, IoReadable, [this](unsigned) { on_acceptable(); });
}

void TcpSocket::on_acceptable() {
    auto alive = alive_;
    const std::uint64_t gen = gen_;
    for (int i = 0; i < kReadsPerWake; ++i) {
        const int c = ::accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (c < 0) {
            const int e = errno;
            if (e == EINTR || e == ECONNABORTED) continue;
            if (e == EMFILE || e == ENFILE || e == ENOBUFS || e == ENOMEM) rest_listener();
            return;
        }
        const long id = ++next_request_;
        pending_[id] = c;
        ConnectionRequest(id);
        if (!*alive) return;  // the destructor closed the request
        // Nobody will ask for it later; holding it would only leak the descriptor.
        auto it = pending_.find(id);
        if (it != pending_.end()) {
            ::close(it->second);
            pending_.erase(it);
        }
        if (gen_ != gen) return;
    }
}

void TcpSocket::rest_listener() {
    if (accept_timer_) return;
    reactor_.modify(read_watch_, 0);
    // drop_fd() cancels the timer, so it never outlives the listener.
    accept_timer_ = reactor_.add_timer(kAcceptRetryMs, [this] {
        accept_timer_ = 0;
        if (state_ == StateListening && read_watch_) reactor_.modify(read_watch_, IoReadable);
    });
}

void TcpSocket::accept(long request_id) {
    if (state_ != StateClosed) throw rt::RuntimeError(rt::ErrSocketInvalidOperation);
    auto it = pending_.find(request_id);
    if (it == pending_.end()) throw rt::RuntimeError(rt::ErrInvalidCall);
    const int fd = it->second;
    pending_.erase(it);
    reset_connection();
    sockaddr_storage ss{};
    socklen_t len = sizeof ss;
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&ss), &len) == 0) {
        remote_ip_ = address_text(reinterpret_cast<sockaddr*>(&ss));
        remote_host_ = remote_ip_;
        remote_port_ = address_port(reinterpret_cast<sockaddr*>(&ss));
    }
    become_connected(fd);
}

void TcpSocket::close() {
    if (lookup_) {
        lookup_->cancel();
        lookup_.reset();
    }
    const bool drain = fd_ >= 0 && (state_ == StateConnected || state_ == StateClosing) && !write_failed_;
    if (drain) {
        if (read_watch_) reactor_.unwatch(read_watch_);
        if (write_watch_) reactor_.unwatch(write_watch_);
        read_watch_ = write_watch_ = 0;
        Drain::start(reactor_, fd_, out_.substr(out_off_), kCloseDrainMs);
        fd_ = -1;
    } else {
        drop_fd();
    }
    reset_connection();
    state_ = StateClosed;
}

void TcpSocket::send_data(std::string_view bytes) {
    if (send_overflowed_) return;
    if (state_ != StateConnected) throw rt::RuntimeError(rt::ErrSocketWrongState);
    if (write_failed_ || bytes.empty()) return;
    const bool idle = out_off_ == out_.size();
    if (!idle && bytes.size() > send_cap_ - queued_bytes()) {
        overflow();
        return;
    }
    if (out_off_ > 0 && (idle || out_off_ > out_.size() / 2)) {
        out_.erase(0, out_off_);
        out_off_ = 0;
    }
    out_.append(bytes.data(), bytes.size());
    if (idle) flush();
    if (queued_bytes() > send_cap_) overflow();
}

void TcpSocket::set_send_cap(std::size_t bytes) {
    if (bytes == 0) throw rt::RuntimeError(rt::ErrInvalidCall);
    send_cap_ = bytes;
}

void TcpSocket::flush() {
    while (out_off_ < out_.size()) {
        ssize_t n = ::send(fd_, out_.data() + out_off_, out_.size() - out_off_, MSG_NOSIGNAL);
        if (n > 0) {
            out_off_ += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            reactor_.modify(write_watch_, IoWritable);
            return;
        }
        // The connection is gone; the read side hears of it too and reports it in order, after
        // the bytes that came before.
        write_failed_ = true;
        break;
    }
    out_.clear();
    out_off_ = 0;
    reactor_.modify(write_watch_, 0);
}

// Every answer a peer can make us give is small, so a peer that lets a megabyte wait is not
// reading at all; holding more for it would only let it fill our memory.
void TcpSocket::overflow() {
    send_overflowed_ = true;
    write_failed_ = true;  // what waits is dropped with the descriptor, not drained
    out_.clear();
    out_.shrink_to_fit();
    out_off_ = 0;
    if (read_watch_) reactor_.modify(read_watch_, 0);
    if (write_watch_) reactor_.modify(write_watch_, 0);
    std::weak_ptr<bool> alive = alive_;
    const std::uint64_t gen = gen_;
    reactor_.post([this, alive, gen] {
        auto a = alive.lock();
        if (!a || !*a || gen_ != gen || state_ != StateConnected) return;
        if (read_watch_) reactor_.unwatch(read_watch_);
        read_watch_ = 0;
        arrival_pending_ = eof_pending_ = false;
        error_pending_ = 0;
        state_ = StateClosing;
        Close();
    });
}

void TcpSocket::on_writable() {
    flush();
}

void TcpSocket::on_readable(unsigned ready) {
    bool got = false;
    bool eof = false;
    int err = 0;
    char buf[kReadChunk];
    // Reads up to the cap, so that the handler can take what it holds; only a buffer that is
    // still full when more comes is an overflow.
    const bool full = in_.size() >= cap_;
    for (int i = 0; i < kReadsPerWake; ++i) {
        const std::size_t room = cap_ > in_.size() ? cap_ - in_.size() : 0;
        if (room == 0 && (got || !full)) break;
        const ssize_t n = ::recv(fd_, buf, std::max<std::size_t>(1, std::min(sizeof buf, room)), 0);
        if (n > 0) {
            if (room == 0) {
                raise_error(rt::ErrReceiveBufferFull, rt::error_description(rt::ErrReceiveBufferFull));
                return;
            }
            in_.append(buf, static_cast<std::size_t>(n));
            got = true;
            continue;
        }
        if (n == 0) {
            eof = true;
            break;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) err = errno;
        break;
    }
    if (!got && !eof && !err && (ready & IoError)) {
        int so = 0;
        socklen_t len = sizeof so;
        if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &so, &len) == 0 && so != 0) err = so;
    }
    if (got) arrival_pending_ = true;
    if (eof || err) {
        // Nothing more will come; keep the descriptor for our own queue until the report.
        reactor_.modify(read_watch_, 0);
        if (eof) eof_pending_ = true;
        if (err) error_pending_ = err;
    }
    settle();
}

// Raises what the reads left pending, in order: the arrivals while still connected, then the
// peer's close or the error. Never inside another arrival of this socket: the one on the stack
// picks up what is pending when its handler returns.
void TcpSocket::settle() {
    if (in_arrival_) return;
    auto alive = alive_;
    {
        in_arrival_ = true;
        struct Leave {
            TcpSocket& s;
            std::shared_ptr<bool>& alive;
            ~Leave() {
                if (*alive) s.in_arrival_ = false;
            }
        } leave{*this, alive};
        while (arrival_pending_) {
            arrival_pending_ = false;
            DataArrival(static_cast<long>(in_.size()));
            if (!*alive) return;
        }
    }
    if (eof_pending_) {
        eof_pending_ = false;
        error_pending_ = 0;
        if (read_watch_) reactor_.unwatch(read_watch_);
        read_watch_ = 0;
        state_ = StateClosing;
        Close();
        return;
    }
    if (error_pending_) {
        SocketError se = socket_error(error_pending_);
        error_pending_ = 0;
        raise_error(se.number, se.description);
    }
}

std::string TcpSocket::get_data() {
    std::string all;
    all.swap(in_);
    return all;
}

std::string TcpSocket::get_data(std::size_t n) {
    n = std::min(n, in_.size());
    std::string head = in_.substr(0, n);
    in_.erase(0, n);
    return head;
}

}  // namespace platform
