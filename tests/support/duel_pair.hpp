#pragma once
// Network play in one test: two Tablewright program objects on one event loop, connected
// through their duel windows' real sockets on loopback, and a table connected to a raw peer.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/handshake.hpp"
#include "net/receiver.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/net_config.hpp"
#include "platform/reactor.hpp"
#include "platform/rt.hpp"
#include "platform/scripted_host.hpp"
#include "platform/tcp.hpp"
#include "table/piles.hpp"
#include "tests/support/raw_peer.hpp"
#include "tests/support/temp_dir.hpp"

namespace tw::test {

// One player's program: its own desktop, folder and program object, on a shared loop.
struct NetSide {
    platform::ScriptedHost host;
    TempDir dir;
    platform::App app;
    std::unique_ptr<Tablewright> table;

    NetSide(platform::Reactor& reactor, platform::FakeClock& clock) : host(reactor, clock), app(reactor, host) {
        app.path = dir.path().string();
        app.prev_instance_check = [] { return false; };
        table = std::make_unique<Tablewright>(app);
        table->net_config = platform::NetConfig::ephemeral();
    }

    Tablewright& tw() { return *table; }
    win::FormA& duel() { return table->FormA(); }
    platform::TcpSocket& socket() { return duel().Winsock1; }

    // Loads the duel window for a player of that name and forgets what its load wrote and sent.
    void Load(const std::string& user) {
        WriteSetting(*table, "username", user);
        duel().chat.set_text("");
        table->net.SentCommands.clear();
    }

    // A deck in play, top card first (set "S").
    void GiveDeck(const std::vector<std::string>& names) {
        auto& deck = table->piles.DeckCards;
        deck.redim(static_cast<int>(names.size()));
        for (std::size_t i = 0; i < names.size(); ++i) {
            deck[static_cast<int>(i) + 1].Name = names[i];
            deck[static_cast<int>(i) + 1].SetCode = "S";
        }
        table->piles.DeckLoaded = true;
        RecountDeck(*table);
    }

    // The duel log, line by line.
    std::vector<std::string> Log() {
        std::vector<std::string> lines;
        const auto parts = rt::split(duel().chat.text(), "\r\n");
        for (int i = 0; i <= parts.ubound(); ++i)
            if (!parts[i].empty()) lines.push_back(parts[i]);
        return lines;
    }
    bool Logged(const std::string& line) {
        for (const auto& l : Log())
            if (l == line) return true;
        return false;
    }
    int CountLogged(const std::string& line) {
        int n = 0;
        for (const auto& l : Log()) n += l == line ? 1 : 0;
        return n;
    }

    std::vector<std::string> Sent() const {
        std::vector<std::string> out;
        for (const auto& c : table->net.SentCommands) out.push_back(c.command);
        return out;
    }

    // The duel socket listens on the side's listen port (0: a free one) and takes the first
    // request on itself, as the listening dialog does, without the greeting the connection events
    // send: the table hears only what the test sends. Returns the port.
    int Listen() {
        auto& s = socket();
        s.set_local_port(table->net_config.listen_port);
        s.ConnectionRequest = [&s](long id) {
            s.close();
            s.accept(id);
        };
        s.listen();
        return s.bound_port();
    }
};

// Two tables: Ann listens (seat 1), Bob connects (seat 2).
struct DuelPair {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    NetSide ann{reactor, clock};
    NetSide bob{reactor, clock};

    DuelPair() {
        ann.Load("Ann");
        bob.Load("Bob");
    }

    // Pumps the loop until pred holds; false after the bounded wait of real time.
    bool PumpUntil(const std::function<bool()>& pred, int ms = 5000) { return reactor.wait_until(pred, ms); }

    // Connects the two duel sockets, frames numbered from 0 both ways; neither side greets.
    bool Connect() {
        for (NetSide* s : {&ann, &bob}) ResetFrameNumbers(s->tw());
        ann.tw().net.PlayerNumber = 1;
        bob.tw().net.PlayerNumber = 2;
        const int port = ann.Listen();
        auto& b = bob.socket();
        b.Connect = platform::Event<>::Handler{};
        b.set_local_port(bob.tw().net_config.direct_local_port);
        b.connect("127.0.0.1", port);
        return PumpUntil([&] {
            return ann.socket().state() == platform::TcpSocket::StateConnected &&
                   b.state() == platform::TcpSocket::StateConnected;
        });
    }

    // What both sides send once connected: the challenge and the player information. Returns
    // when both have accepted the other's answer.
    bool Greet() {
        SendChallenge(bob.tw());
        SendPlayerInfo(bob.tw(), true);
        SendChallenge(ann.tw());
        SendPlayerInfo(ann.tw(), true);
        return PumpUntil([&] {
            return ann.CountLogged("<Game> Handshake Accepted") == 2 &&
                   bob.CountLogged("<Game> Handshake Accepted") == 2;
        });
    }
};

// One table whose duel socket is connected to a raw peer.
struct PeerTable {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    NetSide side{reactor, clock};
    RawPeer peer{reactor};
    std::uint64_t written = 0;

    PeerTable() {
        side.Load("Ann");
        ResetFrameNumbers(side.tw());
        side.tw().net.PlayerNumber = 1;
        peer.connect(side.Listen());
        reactor.wait_until([&] { return side.socket().state() == platform::TcpSocket::StateConnected; }, 5000);
    }

    Tablewright& tw() { return side.tw(); }

    // Writes bytes and pumps until the table has taken them in (or its socket is gone).
    void Write(std::string_view bytes) {
        peer.write(bytes);
        written += bytes.size();
        reactor.wait_until(
            [&] {
                return tw().net.ReceiveBuffer.total_bytes() >= written ||
                       side.socket().state() != platform::TcpSocket::StateConnected;
            },
            5000);
    }
    void Send(std::string_view body) { Write(WireFrame(body)); }

    // The commands the table has written to the peer since the last call, without counts.
    std::vector<std::string> Answers() {
        answers_.append(peer.read());
        std::vector<std::string> out;
        while (auto piece = answers_.next()) {
            if (piece->kind != DuelFrameReader::Piece::Frame) continue;
            if (auto frame = OpenFrame(piece->text, false)) out.push_back(WithoutCount(frame->text));
        }
        return out;
    }

private:
    DuelFrameReader answers_;
};

}  // namespace tw::test
