#pragma once
// A Bridgehall on the test's event loop with free ports, and raw clients that speak either frame
// kind to it over loopback.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
#include "tests/support/raw_peer.hpp"
#include "tests/support/temp_dir.hpp"

namespace bh::test {

// A client of the relay outside the program's socket code. A relay-frame client writes and reads
// relay frames; a duel-frame client writes duel frames numbered from 0 and reads duel frames.
struct Client {
    Client(platform::Reactor& reactor, FrameKind kind)
        : kind(kind),
          peer(reactor),
          reader(kind == FrameKind::Relay ? tw::DuelFrameReader(kRelayFrameStart, kRelayFrameEnd)
                                          : tw::DuelFrameReader()) {}

    FrameKind kind;
    tw::test::RawPeer peer;
    tw::DuelFrameReader reader;
    int next_number = 0;
    int count = 0;

    // What arrived, in order: relay frames' messages, or duel frames' texts with their counts.
    std::vector<std::string> got;
    std::vector<std::optional<int>> numbers;  // duel frames' numbers
    std::string raw;                          // every byte that arrived

    void Write(std::string_view bytes) { peer.write(bytes); }
    // The frame a well-behaved client of this kind writes for the message.
    std::string Frame(const std::string& message) {
        if (kind == FrameKind::Relay) return *RelayFrame(message, {33, 34, 35, 36, 37});
        return tw::DuelFrame(10, tw::FrameBody(message, ++count, next_number++ % 256));
    }
    void Send(const std::string& message) { Write(Frame(message)); }

    void Poll() {
        const std::string bytes = peer.read();
        raw += bytes;
        reader.append(bytes);
        while (auto piece = reader.next()) {
            if (piece->kind != tw::DuelFrameReader::Piece::Frame) continue;
            if (kind == FrameKind::Relay) {
                got.push_back(OpenRelayFrame(piece->text));
            } else if (auto f = tw::OpenFrame(piece->text, false)) {
                got.push_back(f->text);
                numbers.push_back(f->number);
            }
        }
    }
    bool Has(const std::string& message) {
        Poll();
        for (const auto& g : got)
            if (g == message) return true;
        return false;
    }
};

struct Rig {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    platform::ScriptedHost host{reactor, clock};
    tw::test::TempDir dir;
    platform::App app{reactor, host};
    std::unique_ptr<Bridgehall> relay;

    Rig() {
        app.path = dir.path().string();
        relay = std::make_unique<Bridgehall>(app);
        relay->net_config = platform::NetConfig::ephemeral();
        Main(*relay);
    }

    win::Form1& form() { return relay->Form1(); }
    platform::TcpSocket& socket(int i) { return form().Winsock1[i]; }
    bool Connected(int i) { return socket(i).state() == platform::TcpSocket::StateConnected; }
    int Port(int i) { return socket(i).bound_port(); }
    // A generous bound: a megabyte through the sanitizers on a loaded machine takes seconds, and a
    // passing wait ends as soon as pred holds.
    bool PumpUntil(const std::function<bool()>& pred, int ms = 30000) { return reactor.wait_until(pred, ms); }

    void Start() { form().Command1.user_click(); }
    void Quit() { form().Command2.user_click(); }
    void Operator(const std::string& text) {
        form().Text1.user_edit(text);
        form().Command3.user_click();
    }

    const std::vector<std::string>& Log() { return form().List1.items(); }
    bool Logged(const std::string& line) {
        for (const auto& l : Log())
            if (l == line) return true;
        return false;
    }

    // The client connects to socket i and the relay takes it. A small receive buffer makes a
    // client that never reads fill up soon.
    bool Join(Client& c, int i, int receive_buffer = 0) {
        c.peer.connect(Port(i), receive_buffer);
        return PumpUntil([&] { return Connected(i); });
    }

    // A host and a client of the given kinds, each having announced itself, and each holding
    // the relay's "pd~c". Then nothing of the start is left unread.
    bool Pair(Client& host_side, Client& client_side) {
        Start();
        if (!Join(host_side, 0)) return false;
        host_side.Send("mi~Ann:20:1:0:");
        if (!PumpUntil([&] { return relay->RelayPlayerNames[0] == "Ann"; })) return false;
        if (!Join(client_side, 1)) return false;
        client_side.Send("mi~Bob:20:2:0:");
        return PumpUntil([&] {
            return host_side.Has(Expect(host_side, "pd~c")) && client_side.Has(Expect(client_side, "pd~c")) &&
                   host_side.Has(Expect(host_side, "mi~Bob:20:2:0:", Count(client_side))) && relay->RelayPlayerNames[1] == "Bob";
        });
    }

    // The text a client of that kind reads for a message: a duel-frame client sees the count -1
    // on the relay's own messages, or the sender's count on what the other side sent.
    static std::string Expect(const Client& c, const std::string& message, std::optional<int> count = -1) {
        if (c.kind == FrameKind::Relay) return message;
        return message + "|$|" + std::to_string(*count);
    }

    // The count a message of that client carries on to a duel-frame client.
    static int Count(const Client& from) { return from.kind == FrameKind::Duel ? from.count : -1; }

    // Sends a last chat line from one client and waits until the other has it: what came
    // before it has then been relayed.
    bool Through(Client& from, Client& to, const std::string& line = "ch~<X> end") {
        from.Send(line);
        const std::string expect = Expect(to, line, Count(from));
        return PumpUntil([&] { return to.Has(expect); });
    }
};

}  // namespace bh::test
