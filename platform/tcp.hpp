#pragma once
// The TCP socket control: one connection or one listening port at a time, non-blocking, driven by
// the reactor. Every event is raised from the loop, never from inside the call that caused it.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/event.hpp"
#include "platform/reactor.hpp"

namespace platform {

class TcpSocket {
public:
    enum StateValue : int {
        StateClosed = 0,
        StateListening = 2,
        StateConnecting = 6,  // resolving the host name included
        StateConnected = 7,
        StateClosing = 8,     // the peer has closed its side
        StateError = 9,
    };
    static constexpr std::size_t kDefaultReceiveCap = std::size_t{1} << 20;
    // A peer that lets more than this wait to be sent to it is taken to have gone.
    static constexpr std::size_t kSendCap = std::size_t{1} << 20;
    static constexpr int kCloseDrainMs = 2000;

    // The reactor must outlive the socket.
    explicit TcpSocket(Reactor& reactor, std::string name = {}, int index = -1);
    ~TcpSocket();
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    const std::string& name() const { return name_; }
    int index() const { return index_; }

    // Bound by the next connect() or listen(); 0 lets the system choose.
    int local_port() const { return local_port_; }
    void set_local_port(int port);
    // Whether a connect whose local port cannot be had (a listener or a recent connection to the
    // same peer holds it) goes out from a port the system chooses instead of failing.
    bool local_port_optional() const { return local_port_optional_; }
    void set_local_port_optional(bool optional) { local_port_optional_ = optional; }
    // The port the socket is bound to now (the one the system chose for port 0); 0 without one.
    int bound_port() const;

    const std::string& remote_host() const { return remote_host_; }
    void set_remote_host(std::string host) { remote_host_ = std::move(host); }
    int remote_port() const { return remote_port_; }
    void set_remote_port(int port) { remote_port_ = port; }
    // The peer's numeric address once connecting or connected; "" before.
    const std::string& remote_host_ip() const { return remote_ip_; }

    int state() const { return state_; }
    // This end's address while connected, else the machine's first non-loopback IPv4 address.
    std::string local_ip() const;

    // Ends in the Connect event or the Error event. Throws only for a call in the wrong state
    // (not closed) or a port outside 1..65535.
    void connect(std::string host, int port);
    void connect();  // to remote_host() and remote_port()
    // Throws the bind or listen error; the socket then stays closed.
    void listen();
    // Takes a connection that ConnectionRequest offered; the socket must be closed (closing ends
    // listening). A request not accepted by the time its handler returns is refused.
    void accept(long request_id);
    // Any state, no error. Bytes still queued go on draining for about kCloseDrainMs in the loop.
    void close();

    // Only while connected; bytes go out in call order. When, after the system took what it
    // would, more than send_cap() bytes wait, the connection ends: nothing more is sent or read,
    // and the Close event follows from the loop as if the peer had closed. Later calls of that
    // connection do nothing.
    void send_data(std::string_view bytes);
    std::size_t send_cap() const { return send_cap_; }
    void set_send_cap(std::size_t bytes);
    // Bytes handed to send_data and not yet taken by the system.
    std::size_t queued_bytes() const { return out_.size() - out_off_; }
    // This connection was ended because its peer stopped taking what was sent.
    bool send_overflowed() const { return send_overflowed_; }
    // All bytes received and not yet taken.
    std::string peek_data() const { return in_; }
    std::string get_data();
    std::string get_data(std::size_t n);
    std::size_t bytes_received() const { return in_.size(); }

    // A peer that makes this socket hold more than this many untaken bytes is cut off.
    std::size_t receive_cap() const { return cap_; }
    void set_receive_cap(std::size_t bytes);

    Event<> Connect;
    Event<long> ConnectionRequest;  // requestID
    Event<long> DataArrival;        // bytes held
    Event<> Close;                  // the peer closed
    Event<int, std::string> Error;  // number, description

    class Lookup;  // a name lookup in flight

private:
    void start_connect(const void* addrinfo_list);
    void on_connect_ready(unsigned ready);
    void on_acceptable();
    void rest_listener();
    void on_readable(unsigned ready);
    void on_writable();
    void flush();
    void overflow();
    void settle();
    void become_connected(int fd);
    void drop_fd();
    void reset_connection();
    void fail_later(int number, std::string description);
    void raise_error(int number, const std::string& description);

    Reactor& reactor_;
    std::string name_;
    int index_;

    int local_port_ = 0;
    bool local_port_optional_ = false;
    std::string remote_host_;
    int remote_port_ = 0;
    std::string remote_ip_;
    int state_ = StateClosed;

    int fd_ = -1;
    Reactor::WatchId read_watch_ = 0;
    Reactor::WatchId write_watch_ = 0;
    Reactor::TimerId accept_timer_ = 0;  // a listener resting while descriptors run out
    std::shared_ptr<Lookup> lookup_;
    std::map<long, int> pending_;  // accepted descriptors by request id
    long next_request_ = 0;

    std::string in_;
    std::string out_;
    std::size_t out_off_ = 0;
    bool write_failed_ = false;
    bool send_overflowed_ = false;
    std::size_t cap_ = kDefaultReceiveCap;
    std::size_t send_cap_ = kSendCap;

    // Which connection a deferred step belongs to, and whether the object still exists.
    std::uint64_t gen_ = 0;
    std::shared_ptr<bool> alive_;

    bool in_arrival_ = false;
    bool arrival_pending_ = false;
    bool eof_pending_ = false;
    int error_pending_ = 0;  // errno
};

}  // namespace platform
