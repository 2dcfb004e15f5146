#include "platform/tcp.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.hpp"
#include "platform/reactor.hpp"
#include "platform/rt_error.hpp"

namespace platform {
namespace {

// Listens on a free port and hands the first request to the same control, as the programs do.
void listen_and_accept(TcpSocket& server) {
    server.set_local_port(0);
    server.ConnectionRequest = [&server](long id) {
        server.close();
        server.accept(id);
    };
    server.listen();
}

// A port that nothing listens on now.
int closed_port(Reactor& reactor) {
    TcpSocket probe(reactor);
    probe.listen();
    const int port = probe.bound_port();
    probe.close();
    return port;
}

// A plain blocking client outside the reactor, for a peer that never reads.
int raw_connect(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    return fd;
}

std::string pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
    return s;
}

class TcpSocketTest : public ::testing::Test {
protected:
    bool run(const std::function<bool()>& pred, int ms = 5000) { return reactor.run_until(pred, ms); }

    void connect_pair(TcpSocket& server, TcpSocket& client) {
        listen_and_accept(server);
        client.connect("127.0.0.1", server.bound_port());
        ASSERT_TRUE(run([&] { return client.state() == TcpSocket::StateConnected &&
                                     server.state() == TcpSocket::StateConnected; }));
    }

    SystemClock clock;
    Reactor reactor{clock};
};

TEST_F(TcpSocketTest, ListensAndAcceptsOnTheSameControlWhichThenStopsListening) {
    TcpSocket server(reactor, "link", 0), client(reactor);
    listen_and_accept(server);
    EXPECT_EQ(server.state(), TcpSocket::StateListening);
    const int port = server.bound_port();
    ASSERT_GT(port, 0);

    int connects = 0;
    client.Connect = [&] { ++connects; };
    client.connect("127.0.0.1", port);
    EXPECT_EQ(client.state(), TcpSocket::StateConnecting);
    EXPECT_EQ(connects, 0) << "events come from the loop, not from inside connect()";
    ASSERT_TRUE(run([&] { return connects == 1 && server.state() == TcpSocket::StateConnected; }));

    EXPECT_EQ(client.state(), TcpSocket::StateConnected);
    EXPECT_EQ(server.remote_host_ip(), "127.0.0.1");
    EXPECT_EQ(server.remote_port(), client.bound_port());
    EXPECT_EQ(client.local_ip(), "127.0.0.1");

    client.send_data("hello");
    ASSERT_TRUE(run([&] { return server.peek_data() == "hello"; }));

    // Closing to accept ended listening: nobody takes a second caller.
    TcpSocket late(reactor);
    int error = 0;
    late.Error = [&](int n, const std::string&) { error = n; };
    late.connect("127.0.0.1", port);
    ASSERT_TRUE(run([&] { return error != 0; }));
    EXPECT_EQ(error, rt::ErrConnectionRefused);
}

TEST_F(TcpSocketTest, ARequestNotAcceptedByItsHandlerIsRefusedAndListeningGoesOn) {
    TcpSocket server(reactor), first(reactor), second(reactor);
    server.listen();
    const int port = server.bound_port();
    int requests = 0;
    server.ConnectionRequest = [&](long) { ++requests; };
    int closes = 0;
    first.Close = [&] { ++closes; };
    first.connect("127.0.0.1", port);
    ASSERT_TRUE(run([&] { return closes == 1; }));
    EXPECT_EQ(first.state(), TcpSocket::StateClosing);
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(server.state(), TcpSocket::StateListening);

    server.ConnectionRequest = [&](long id) {
        server.close();
        server.accept(id);
    };
    second.connect("127.0.0.1", port);
    ASSERT_TRUE(run([&] { return server.state() == TcpSocket::StateConnected; }));
}

TEST_F(TcpSocketTest, ConnectsFromAFixedLocalPortAndCanReuseItAtOnce) {
    const int local = closed_port(reactor);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        TcpSocket server(reactor), client(reactor);
        listen_and_accept(server);
        client.set_local_port(local);
        client.connect("127.0.0.1", server.bound_port());
        ASSERT_TRUE(run([&] { return server.state() == TcpSocket::StateConnected; }));
        EXPECT_EQ(server.remote_port(), local);
        EXPECT_EQ(client.bound_port(), local);
        // Our side closes first, so the port is left waiting in the system; the second round
        // binds it again regardless.
        client.close();
        ASSERT_TRUE(run([&] { return server.state() == TcpSocket::StateClosing; }));
        server.close();
        ASSERT_TRUE(run([&] { return reactor.watches().empty(); }));
    }
}

TEST_F(TcpSocketTest, ListeningOnAPortInUseThrowsAndStaysClosed) {
    TcpSocket holder(reactor), second(reactor);
    holder.listen();
    second.set_local_port(holder.bound_port());
    try {
        second.listen();
        FAIL() << "listen on a busy port succeeded";
    } catch (const rt::RuntimeError& e) {
        EXPECT_EQ(e.number, rt::ErrAddressInUse);
    }
    EXPECT_EQ(second.state(), TcpSocket::StateClosed);
    EXPECT_EQ(second.bound_port(), 0);
}

TEST_F(TcpSocketTest, ManyFramesSentInOneBurstArriveWholeAndInOrder) {
    TcpSocket server(reactor), client(reactor);
    connect_pair(server, client);

    std::vector<std::string> sent, got;
    client.set_send_cap(std::size_t{8} << 20);  // the whole burst may wait here
    for (int i = 0; i < 2000; ++i) {
        // Sizes up to 4 KB, so that the burst is more than the system buffers hold.
        std::string body = std::to_string(i) + "~" + std::string(static_cast<std::size_t>((i * 37) % 4000), 'x');
        sent.push_back(body);
        client.send_data(body + "~^");
    }
    int arrivals = 0;
    // Takes every whole frame and leaves a partial one for the next arrival.
    server.DataArrival = [&](long) {
        ++arrivals;
        std::string held = server.peek_data();
        std::size_t start = 0, end;
        while ((end = held.find("~^", start)) != std::string::npos) {
            got.push_back(server.get_data(end + 2 - start).substr(0, end - start));
            start = end + 2;
        }
    };
    ASSERT_TRUE(run([&] { return got.size() == sent.size(); }, 20000));
    EXPECT_EQ(got, sent);
    EXPECT_EQ(server.bytes_received(), 0u);
    EXPECT_GT(arrivals, 1);
}

TEST_F(TcpSocketTest, EveryByteValueArrivesIntact) {
    TcpSocket server(reactor), client(reactor);
    connect_pair(server, client);
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::string payload = all + std::string("\0\0\xff\xfe", 4) + all;
    server.send_data(payload);
    ASSERT_TRUE(run([&] { return client.bytes_received() >= payload.size(); }));
    EXPECT_EQ(client.peek_data(), payload);
    EXPECT_EQ(client.get_data(1), std::string(1, '\0'));
    EXPECT_EQ(client.get_data(), payload.substr(1));
}

TEST_F(TcpSocketTest, PeerCloseDeliversTheLastBytesWhileStillConnectedThenCloses) {
    TcpSocket server(reactor), client(reactor);
    connect_pair(server, client);

    std::vector<std::string> log;
    client.DataArrival = [&](long total) {
        log.push_back("data " + std::to_string(total) + " state " + std::to_string(client.state()));
        // A receiver that takes one frame and leaves the rest behind a misplaced marker.
        const std::size_t end = client.peek_data().find("~^");
        if (end != std::string::npos) client.get_data(end + 2);
    };
    client.Close = [&] {
        log.push_back("close state " + std::to_string(client.state()) + " holds " + client.peek_data());
    };
    // Bytes and the end of the stream reach the client together, before it reads anything.
    server.send_data("Disconnected~^ has quit~^");
    server.close();
    ASSERT_TRUE(run([&] { return client.state() == TcpSocket::StateClosing; }));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "data 25 state 7");
    EXPECT_EQ(log[1], "close state 8 holds  has quit~^");
    EXPECT_THROW(client.send_data("x"), rt::RuntimeError);
    client.close();
    EXPECT_EQ(client.state(), TcpSocket::StateClosed);
    EXPECT_EQ(client.bytes_received(), 0u);
}

TEST_F(TcpSocketTest, DataArrivalIsNotReenteredWhileItsHandlerPumps) {
    TcpSocket server(reactor), client(reactor);
    connect_pair(server, client);

    int depth = 0, max_depth = 0;
    std::vector<std::string> log;
    bool server_heard = false;
    server.DataArrival = [&](long) { server_heard = true; };
    client.DataArrival = [&](long) {
        max_depth = std::max(max_depth, ++depth);
        log.push_back(client.peek_data() + " " + std::to_string(client.state()));
        if (log.size() == 1) {
            // As a message box would: the loop runs on, other sockets included, while more
            // bytes and then the peer's end come for this one.
            server.send_data("second");
            client.send_data("ping");
            EXPECT_TRUE(reactor.wait_until([&] { return server_heard; }, 3000));
            server.close();
            for (int i = 0; i < 20; ++i) reactor.pump(2);
            EXPECT_EQ(client.peek_data(), "first") << "bytes that came meanwhile wait in the socket";
            EXPECT_EQ(client.state(), TcpSocket::StateConnected);
        }
        --depth;
    };
    client.Close = [&] { log.push_back("close " + std::to_string(client.state())); };
    server.send_data("first");
    ASSERT_TRUE(run([&] { return client.state() == TcpSocket::StateClosing; }));
    EXPECT_EQ(max_depth, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"first 7", "firstsecond 7", "close 8"}));
}

TEST_F(TcpSocketTest, ConnectErrorsComeAsErrorEventsFromTheLoop) {
    struct Case {
        std::string host;
        bool open_port;  // false: a port nothing listens on
        int number;
    };
    const Case cases[] = {
        {"127.0.0.1", false, rt::ErrConnectionRefused},
        {"", true, rt::ErrHostNotFound},
        {std::string("local\0host", 10), true, rt::ErrHostNotFound},
    };
    TcpSocket listener(reactor);
    listener.listen();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.host);
        TcpSocket client(reactor);
        std::vector<int> errors;
        std::string description;
        bool connected = false;
        client.Connect = [&] { connected = true; };
        client.Error = [&](int n, const std::string& d) {
            errors.push_back(n);
            description = d;
        };
        client.connect(c.host, c.open_port ? listener.bound_port() : closed_port(reactor));
        EXPECT_TRUE(errors.empty());
        ASSERT_TRUE(run([&] { return !errors.empty(); }, 20000));
        for (int i = 0; i < 5; ++i) reactor.pump(1);
        EXPECT_EQ(errors, std::vector<int>{c.number});
        EXPECT_EQ(description, rt::error_description(c.number));
        EXPECT_FALSE(connected);
        EXPECT_EQ(client.state(), TcpSocket::StateError);
        client.close();
        EXPECT_EQ(client.state(), TcpSocket::StateClosed);
    }
}

TEST_F(TcpSocketTest, ResolvesAHostName) {
    TcpSocket server(reactor), client(reactor);
    listen_and_accept(server);
    bool connected = false;
    client.Connect = [&] { connected = true; };
    client.Error = [&](int, const std::string& d) { ADD_FAILURE() << d; };
    client.connect("localhost", server.bound_port());
    EXPECT_EQ(client.state(), TcpSocket::StateConnecting);
    ASSERT_TRUE(run([&] { return connected && server.state() == TcpSocket::StateConnected; }, 20000));
    EXPECT_EQ(client.remote_host(), "localhost");
    EXPECT_EQ(client.remote_host_ip(), "127.0.0.1");
}

TEST_F(TcpSocketTest, ANameLookupOutlivesASocketClosedOrDestroyedMeanwhile) {
    TcpSocket server(reactor), closed(reactor);
    auto destroyed = std::make_unique<TcpSocket>(reactor);
    listen_and_accept(server);
    int events = 0;
    for (TcpSocket* s : {&closed, destroyed.get()}) {
        s->Connect = [&] { ++events; };
        s->Error = [&](int, const std::string&) { ++events; };
        s->connect("localhost", server.bound_port());
    }
    closed.close();
    destroyed.reset();
    reactor.run_until([] { return false; }, 300);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(server.state(), TcpSocket::StateListening);
}

TEST_F(TcpSocketTest, TheReceiveCapCutsOffAFloodingPeer) {
    TcpSocket server(reactor), client(reactor);
    connect_pair(server, client);
    client.set_receive_cap(64 * 1024);
    std::vector<int> errors;
    client.Error = [&](int n, const std::string&) { errors.push_back(n); };
    client.DataArrival = [&](long) {};  // never finds a whole frame, takes nothing
    bool server_saw_end = false;
    server.Close = [&] { server_saw_end = true; };
    server.Error = [&](int, const std::string&) { server_saw_end = true; };

    server.send_data(std::string(1024 * 1024, 'z'));
    ASSERT_TRUE(run([&] { return !errors.empty() && server_saw_end; }));
    EXPECT_EQ(errors, std::vector<int>{rt::ErrReceiveBufferFull});
    EXPECT_EQ(client.state(), TcpSocket::StateError);
    EXPECT_EQ(client.bytes_received(), 64u * 1024);
}

// A peer that never reads cannot make the socket hold more than its send cap: the connection
// ends once, from the loop, as if the peer had closed, and nothing more is sent or read.
TEST_F(TcpSocketTest, APeerThatNeverReadsIsCutOffOnceAtTheSendCap) {
    TcpSocket server(reactor);
    listen_and_accept(server);
    const int peer = raw_connect(server.bound_port());
    ASSERT_TRUE(run([&] { return server.state() == TcpSocket::StateConnected; }));
    int closes = 0, errors = 0, arrivals = 0;
    bool sending = false, raised_inside = false;
    server.Close = [&] {
        ++closes;
        raised_inside |= sending;
        EXPECT_EQ(server.state(), TcpSocket::StateClosing);
    };
    server.Error = [&](int, const std::string&) { ++errors; };
    server.DataArrival = [&](long) { ++arrivals; };

    const std::string chunk(16 * 1024, 'w');
    std::size_t most = 0;
    for (int i = 0; i < 4096 && !server.send_overflowed(); ++i) {
        sending = true;
        server.send_data(chunk);
        sending = false;
        most = std::max(most, server.queued_bytes());
        reactor.pump(0);
    }
    ASSERT_TRUE(server.send_overflowed());
    EXPECT_LE(most, TcpSocket::kSendCap);
    EXPECT_EQ(server.queued_bytes(), 0u);
    EXPECT_NO_THROW(server.send_data(chunk));  // the rest of the handler's answers go nowhere
    ASSERT_TRUE(run([&] { return closes == 1; }));
    EXPECT_FALSE(raised_inside);
    ASSERT_EQ(::send(peer, "late", 4, MSG_NOSIGNAL), 4);
    for (int i = 0; i < 20; ++i) reactor.pump(5);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(arrivals, 0);
    server.close();
    EXPECT_FALSE(server.send_overflowed());
    ::close(peer);
}

TEST_F(TcpSocketTest, CloseFlushesQueuedBytesEvenWhenTheSocketIsGone) {
    auto server = std::make_unique<TcpSocket>(reactor);
    TcpSocket client(reactor);
    connect_pair(*server, client);

    const std::string payload = pattern(6 * 1024 * 1024);
    server->set_send_cap(payload.size() + 64);  // a queue this long is what is looked at here
    std::string got;
    client.DataArrival = [&](long) { got += client.get_data(); };
    bool closed = false;
    client.Close = [&] { closed = true; };
    server->send_data(payload);
    server->send_data("Disconnected~^");
    server->close();
    server.reset();

    ASSERT_TRUE(run([&] { return closed; }, 20000));
    EXPECT_EQ(got.size(), payload.size() + 14);
    EXPECT_TRUE(got == payload + "Disconnected~^");
    client.close();
    ASSERT_TRUE(run([&] { return reactor.watches().empty(); }));
}

TEST(TcpSocketDrain, GivesUpOnAPeerThatNeverReadsAfterTheLimit) {
    FakeClock clock;
    Reactor reactor(clock);
    TcpSocket server(reactor);
    listen_and_accept(server);
    const int peer = raw_connect(server.bound_port());
    ASSERT_TRUE(reactor.run_until([&] { return server.state() == TcpSocket::StateConnected; }));

    server.set_send_cap(std::size_t{32} << 20);
    server.send_data(std::string(16 * 1024 * 1024, 'q'));  // far more than the system buffers
    server.close();
    EXPECT_FALSE(reactor.watches().empty());
    ASSERT_TRUE(reactor.run_until([&] { return reactor.watches().empty(); }));
    EXPECT_GE(clock.now_ms(), TcpSocket::kCloseDrainMs);
    ::close(peer);
}

TEST(TcpSocketDrain, AReactorThatGoesFirstReleasesItsDrains) {
    FakeClock clock;
    int peer = -1;
    {
        Reactor reactor(clock);
        TcpSocket server(reactor);
        listen_and_accept(server);
        peer = raw_connect(server.bound_port());
        ASSERT_TRUE(reactor.run_until([&] { return server.state() == TcpSocket::StateConnected; }));
        server.set_send_cap(std::size_t{32} << 20);
        server.send_data(std::string(16 * 1024 * 1024, 'q'));
        server.close();
    }
    // Our end is closed: reading ends in the end of the stream or a reset, never blocks.
    char buf[65536];
    ssize_t n;
    while ((n = ::recv(peer, buf, sizeof buf, 0)) > 0) {
    }
    EXPECT_LE(n, 0);
    ::close(peer);
}

TEST_F(TcpSocketTest, CallsInTheWrongStateThrowAndCloseNeverDoes) {
    TcpSocket s(reactor);
    EXPECT_NO_THROW(s.close());
    EXPECT_NO_THROW(s.close());
    auto number_of = [](auto&& call) {
        try {
            call();
        } catch (const rt::RuntimeError& e) {
            return e.number;
        }
        return 0;
    };
    EXPECT_EQ(number_of([&] { s.send_data("x"); }), rt::ErrSocketWrongState);
    EXPECT_EQ(number_of([&] { s.accept(42); }), rt::ErrInvalidCall);
    EXPECT_EQ(number_of([&] { s.connect("127.0.0.1", 0); }), rt::ErrInvalidCall);
    EXPECT_EQ(number_of([&] { s.set_local_port(70000); }), rt::ErrInvalidCall);
    s.listen();
    EXPECT_EQ(number_of([&] { s.listen(); }), rt::ErrSocketInvalidOperation);
    EXPECT_EQ(number_of([&] { s.connect("127.0.0.1", 80); }), rt::ErrSocketInvalidOperation);
    s.close();
    EXPECT_EQ(s.state(), TcpSocket::StateClosed);
    EXPECT_EQ(s.bound_port(), 0);
}

// Lowers the soft descriptor limit to the lowest free number for one scope, so that the next
// descriptor the process asks for fails with EMFILE.
class NoFreeDescriptor {
public:
    NoFreeDescriptor() {
        ::getrlimit(RLIMIT_NOFILE, &old_);
        const int probe = ::dup(2);
        ::close(probe);
        rlimit low = old_;
        low.rlim_cur = static_cast<rlim_t>(probe);
        ok_ = probe >= 0 && ::setrlimit(RLIMIT_NOFILE, &low) == 0;
    }
    ~NoFreeDescriptor() { lift(); }
    void lift() {
        if (ok_) ::setrlimit(RLIMIT_NOFILE, &old_);
        ok_ = false;
    }
    bool ok() const { return ok_; }

private:
    rlimit old_{};
    bool ok_ = false;
};

// The sanitizers check a virtual call's target once per type, through a pipe, which cannot be
// had while descriptors are exhausted: one request taken and refused before that keeps their
// checks quiet.
void warm_up(Reactor& reactor, TcpSocket& server) {
    auto handler = server.ConnectionRequest;
    bool seen = false;
    server.ConnectionRequest = [&](long) { seen = true; };
    const int fd = raw_connect(server.bound_port());
    EXPECT_TRUE(reactor.run_until([&] { return seen; }));
    ::close(fd);
    server.ConnectionRequest = handler;
}

TEST(TcpListener, RestsWhileNoDescriptorIsLeftAndAcceptsOnceOneIs) {
    FakeClock clock;
    Reactor reactor{clock};
    TcpSocket server(reactor);
    int requests = 0;
    server.ConnectionRequest = [&](long id) {
        ++requests;
        server.close();
        server.accept(id);
    };
    server.set_local_port(0);
    server.listen();
    warm_up(reactor, server);
    // The kernel completes the connection in the listener's backlog; only accepting needs a
    // descriptor.
    const int peer = raw_connect(server.bound_port());

    // What the loop polls for (a watch that asks for nothing is not polled at all).
    auto listener_events = [&]() -> unsigned {
        const auto w = reactor.watches();
        return w.empty() ? 0u : w.size() == 1 ? w[0].events : 99u;
    };
    ASSERT_EQ(listener_events(), IoReadable);
    // Only plain values are taken while exhausted: the test's own reports need descriptors too.
    bool exhausted_ok = false;
    unsigned after_first = 99, after_many = 99;
    int requests_while_exhausted = -1, state_while_exhausted = -1;
    {
        NoFreeDescriptor exhausted;
        exhausted_ok = exhausted.ok();
        reactor.pump(0);
        after_first = listener_events();
        for (int i = 0; i < 100; ++i) reactor.pump(0);
        after_many = listener_events();
        requests_while_exhausted = requests;
        state_while_exhausted = server.state();
    }
    ASSERT_TRUE(exhausted_ok);
    // Watching a socket that stays readable while accepting fails would spin the loop.
    EXPECT_EQ(after_first, 0u);
    EXPECT_EQ(after_many, 0u);
    EXPECT_EQ(requests_while_exhausted, 0);
    EXPECT_EQ(state_while_exhausted, TcpSocket::StateListening);
    // Descriptors are free again: the retry timer wakes the listener, which takes the caller.
    ASSERT_TRUE(reactor.run_until([&] { return server.state() == TcpSocket::StateConnected; }));
    EXPECT_EQ(requests, 1);
    EXPECT_GT(clock.now_ms(), 0);

    ::close(peer);
}

TEST(TcpListener, ClosingARestingListenerLeavesNoTimerBehind) {
    FakeClock clock;
    Reactor reactor{clock};
    TcpSocket server(reactor);
    server.set_local_port(0);
    server.listen();
    warm_up(reactor, server);
    const int peer = raw_connect(server.bound_port());
    bool exhausted_ok = false;
    {
        NoFreeDescriptor exhausted;
        exhausted_ok = exhausted.ok();
        reactor.pump(0);
    }
    ASSERT_TRUE(exhausted_ok);
    ASSERT_TRUE(reactor.next_deadline_ms().has_value());
    server.close();
    EXPECT_FALSE(reactor.next_deadline_ms().has_value());
    EXPECT_TRUE(reactor.watches().empty());
    ::close(peer);
}

}  // namespace
}  // namespace platform
