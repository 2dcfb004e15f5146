// The relay: frames passed from one client to the other through a real Bridgehall on loopback,
// in both frame kinds, and the relay frame's encoding and decoding alone.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>
#include <string_view>

#include "bench/scratch_folder.hpp"
#include "net/duel_frame.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/net_config.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"
#include "platform/tcp.hpp"
#include "relay/bridgehall.hpp"
#include "relay/form1.hpp"
#include "relay/relay_frame.hpp"

namespace {

constexpr int kRelayed = 10'000;

// A client outside the program's socket code; writing and reading pump the relay's loop so that
// neither side waits on a full buffer.
struct Client {
    platform::Reactor& reactor;
    int fd = -1;
    explicit Client(platform::Reactor& r, int port) : reactor(r) {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) fd = -1;
        else ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    ~Client() {
        if (fd >= 0) ::close(fd);
    }
    void write(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n > 0) bytes.remove_prefix(static_cast<std::size_t>(n));
            else if (n < 0 && (errno == EAGAIN || errno == EINTR)) reactor.pump(0);
            else return;
        }
    }
    std::string read() {
        std::string out;
        char buf[1 << 16];
        for (;;) {
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0) return out;
            out.append(buf, static_cast<std::size_t>(n));
        }
    }
};

// Counts end markers across reads (a marker may be split between two).
struct EndCounter {
    std::string_view marker;
    char last = 0;
    long count = 0;
    void add(const std::string& bytes) {
        for (char c : bytes) {
            if (last == marker[0] && c == marker[1]) ++count;
            last = c;
        }
    }
};

struct Relay {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    platform::ScriptedHost host{reactor, clock};
    tw::bench::ScratchFolder folder{"tw-bench-relay"};
    platform::App app{reactor, host};
    std::unique_ptr<bh::Bridgehall> relay;

    Relay() {
        app.path = folder.path.string();
        relay = std::make_unique<bh::Bridgehall>(app);
        relay->net_config = platform::NetConfig::ephemeral();
        bh::Main(*relay);
        relay->Form1().Command1.user_click();
    }
    int port(int i) { return relay->Form1().Winsock1[i].bound_port(); }
};

std::string FrameOf(bool relay_kind, const std::string& message, int n) {
    if (relay_kind) return *bh::RelayFrame(message, {33, 34, 35, 36, 37});
    return tw::DuelFrame(10, tw::FrameBody(message, n + 1, n % 256));
}

// kRelayed life-point commands from the host's client to the joining client per iteration;
// timed from the first byte written to the last frame read.
void BM_RelayedFramesPerSecond(benchmark::State& state) {
    const bool relay_kind = state.range(0) == 1;
    Relay r;
    Client a(r.reactor, r.port(0));
    Client b(r.reactor, r.port(1));
    EndCounter at_b{relay_kind ? bh::kRelayFrameEnd : tw::kFrameEnd};
    // Each announces itself, which tells the relay its frame kind; then both hold "pd~c".
    a.write(FrameOf(relay_kind, "mi~Ann:20:1:0:", 0));
    b.write(FrameOf(relay_kind, "mi~Bob:20:2:0:", 0));
    r.reactor.wait_until([&] { return r.relay->links[0].kind != bh::FrameKind::Unknown &&
                                      r.relay->links[1].kind != bh::FrameKind::Unknown; }, 5000);
    r.reactor.pump(10);
    at_b.add(b.read());
    const long base = at_b.count;

    std::string batch;
    for (int i = 0; i < kRelayed; ++i) batch += FrameOf(relay_kind, "nl~" + std::to_string(7000 + i % 1000), i + 1);
    long expected = base;
    for (auto _ : state) {
        expected += kRelayed;
        // Written in slices, reading the far end between them, as two live clients would.
        constexpr std::size_t kSlice = 16 * 1024;
        for (std::size_t at = 0; at < batch.size(); at += kSlice) {
            a.write(std::string_view(batch).substr(at, kSlice));
            r.reactor.pump(0);
            at_b.add(b.read());
        }
        while (at_b.count < expected) {
            r.reactor.pump(1);
            at_b.add(b.read());
        }
    }
    state.SetItemsProcessed(state.iterations() * kRelayed);
    state.SetLabel(relay_kind ? "relay frames" : "duel frames");
}
BENCHMARK(BM_RelayedFramesPerSecond)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

const std::string kChat = "ch~<Ann> (9:05:01 PM) a chat line of a usual length, with a card name in it";

void BM_RelayFrameEncode(benchmark::State& state) {
    bh::Offsets o = {33, 34, 35, 36, 37};
    for (auto _ : state) {
        auto frame = bh::RelayFrame(kChat, o);
        benchmark::DoNotOptimize(frame);
        o[0] = o[0] == 41 ? 33 : o[0] + 1;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kChat.size()));
}
BENCHMARK(BM_RelayFrameEncode);

void BM_RelayFrameDecode(benchmark::State& state) {
    const std::string frame = *bh::RelayFrame(kChat, {33, 34, 35, 36, 37});
    for (auto _ : state) {
        auto message = bh::OpenRelayFrame(frame);
        benchmark::DoNotOptimize(message);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kChat.size()));
}
BENCHMARK(BM_RelayFrameDecode);

}  // namespace
