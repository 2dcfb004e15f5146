// Two tables in two processes, connected over loopback: a command from one table's SendCommand
// to the handler on the other. The goal is a median under 200 µs.
//
// The other process stamps each arrival inside its chat handler against the time the sender put
// into the command; both read the machine's one monotonic clock. The sender times the round trip
// too, from SendCommand to the pile counts the handler sends back.
#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bench/scratch_folder.hpp"
#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/receiver.hpp"
#include "net/send_command.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/net_config.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"
#include "platform/tcp.hpp"

namespace {

constexpr std::size_t kChatKeep = 4096;

std::int64_t MonotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// One player's program in a folder of its own.
struct Side {
    tw::bench::ScratchFolder folder;
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    platform::ScriptedHost host{reactor, clock};
    platform::App app{reactor, host};
    std::unique_ptr<tw::Tablewright> table;

    explicit Side(const std::string& name) : folder("tw-bench-connect-" + name) {
        app.path = folder.path.string();
        app.prev_instance_check = [] { return false; };
        table = std::make_unique<tw::Tablewright>(app);
        table->net_config = platform::NetConfig::ephemeral();
        tw::WriteSetting(*table, "username", name);
        table->FormA();
        tw::ResetFrameNumbers(*table);
    }
    platform::TcpSocket& socket() { return table->FormA().Winsock1; }
};

bool WriteAll(int fd, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool ReadAll(int fd, void* data, std::size_t size) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = ::read(fd, p, size);
        if (n <= 0) return false;
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// The other process: listens, stamps every chat line's arrival, and reports the stamps when the
// sender goes away.
void Receiver(int port_out, int stamps_out) {
    std::vector<double> one_way_us;
    {
        Side bob("Bob");
        auto& tw = *bob.table;
        auto& socket = bob.socket();
        tw.net.PlayerNumber = 1;
        socket.set_local_port(0);
        socket.listen();
        const int port = socket.bound_port();
        WriteAll(port_out, &port, sizeof port);
        auto& chat = tw.FormA().chat;
        std::string last;
        chat.Change = [&] {
            const std::int64_t now = MonotonicNs();
            const std::string& text = chat.text();
            const std::size_t at = text.rfind("<Ann> ");
            if (at == std::string::npos) return;
            const std::string stamp = text.substr(at + 6, text.find('\r', at) - at - 6);
            if (stamp == last) return;  // the same line coloured
            last = stamp;
            one_way_us.push_back(static_cast<double>(now - std::stoll(stamp)) / 1000.0);
        };
        bool was_connected = false;
        for (;;) {
            bob.reactor.pump(50);
            const bool connected = socket.state() == platform::TcpSocket::StateConnected;
            if (connected) was_connected = true;
            if (was_connected && !connected) break;
            // A box that grows for ever would make every line dearer than the last.
            if (chat.text().size() > kChatKeep) chat.set_text("");
        }
    }
    const std::uint64_t n = one_way_us.size();
    WriteAll(stamps_out, &n, sizeof n);
    if (n > 0) WriteAll(stamps_out, one_way_us.data(), n * sizeof(double));
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

void BM_CommandToTheOtherProcess(benchmark::State& state) {
    int port_pipe[2], stamps_pipe[2];
    if (::pipe(port_pipe) != 0 || ::pipe(stamps_pipe) != 0) {
        state.SkipWithError("no pipe");
        return;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(port_pipe[0]);
        ::close(stamps_pipe[0]);
        Receiver(port_pipe[1], stamps_pipe[1]);
        ::_exit(0);
    }
    ::close(port_pipe[1]);
    ::close(stamps_pipe[1]);
    int port = 0;
    std::vector<double> round_trip_us;
    {
        Side ann("Ann");
        auto& tw = *ann.table;
        auto& socket = ann.socket();
        tw.net.PlayerNumber = 2;
        if (!ReadAll(port_pipe[0], &port, sizeof port)) {
            state.SkipWithError("the other process did not listen");
        } else {
            socket.connect("127.0.0.1", port);
            ann.reactor.wait_until([&] { return socket.state() == platform::TcpSocket::StateConnected; }, 5000);
            // The greeting both tables exchange on connecting is over before the first trip.
            std::int32_t seen = -1;
            while (seen != tw.net.ReceivedCount) {
                seen = tw.net.ReceivedCount;
                ann.reactor.wait_until([] { return false; }, 200);
            }
        }
        for (auto _ : state) {
            if (socket.state() != platform::TcpSocket::StateConnected) {
                state.SkipWithError("not connected");
                break;
            }
            const std::int32_t answered = tw.net.ReceivedCount;
            const std::int64_t start = MonotonicNs();
            std::int32_t cls = 0;
            tw::SendCommand(tw, "ch~<Ann> " + std::to_string(start), cls);
            // The handler's pile counts come back.
            while (tw.net.ReceivedCount == answered && socket.state() == platform::TcpSocket::StateConnected)
                ann.reactor.pump(1);
            round_trip_us.push_back(static_cast<double>(MonotonicNs() - start) / 1000.0);
        }
        socket.close();
    }
    std::uint64_t n = 0;
    std::vector<double> one_way_us;
    if (ReadAll(stamps_pipe[0], &n, sizeof n) && n > 0) {
        one_way_us.resize(n);
        ReadAll(stamps_pipe[0], one_way_us.data(), n * sizeof(double));
    }
    ::close(port_pipe[0]);
    ::close(stamps_pipe[0]);
    ::waitpid(child, nullptr, 0);
    state.counters["one_way_median_us"] = Percentile(one_way_us, 0.5);
    state.counters["one_way_p99_us"] = Percentile(one_way_us, 0.99);
    state.counters["round_trip_median_us"] = Percentile(round_trip_us, 0.5);
    state.counters["commands_stamped"] = static_cast<double>(one_way_us.size());
}
BENCHMARK(BM_CommandToTheOtherProcess)->Unit(benchmark::kMicrosecond)->Iterations(20000);

}  // namespace
