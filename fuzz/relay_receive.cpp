// A real Bridgehall between two clients on real loopback connections, both fed from one input:
// the relay tells each client's frame kind from its first start marker, keeps what is meant for
// a client whose kind it does not know yet, holds what a client says while its partner cannot
// take it, and sends every message on in the kind of the client it goes to.
//
// Input: one byte that seeds the frames' outer offsets, then steps. A step's first byte h names
// the client (h & 1, 0 the host's port, 1 the joining one's) and what it does (h >> 1): 0 closes
// its connection, 127 lets ten seconds pass, any other count sends that many of the bytes that
// follow. A client that is not connected connects before it sends; one that the relay no longer
// listens for sends nothing.
//
// Whatever the clients send: no box opens and the relay's log stays bounded, as does what it
// keeps for each client; a client receives nothing before it has framed something and then only
// whole frames of its own kind; and what a client receives, the relay's own lines aside, is what
// the other client sent with a two-letter code, in the order sent (some may be missing: a client
// that leaves takes what was held for it along), framed anew for the receiver's kind.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/loopback.hpp"
#include "fuzz/program_fixture.hpp"
#include "net/duel_frame.hpp"
#include "platform/net_config.hpp"
#include "platform/rt.hpp"
#include "platform/tcp.hpp"
#include "relay/bridgehall.hpp"
#include "relay/form1.hpp"
#include "relay/relay_frame.hpp"
#include "relay/relaying.hpp"

namespace {

using bh::FrameKind;

constexpr int kClose = 0;
constexpr int kWait = 127;

struct Fixture : tw::fuzz::ProgramFixture {
    std::unique_ptr<bh::Bridgehall> relay;
    tw::fuzz::TakenCount taken[2];
    std::uint32_t offsets_seed = 0;

    Fixture() {
        relay = std::make_unique<bh::Bridgehall>(app);
        relay->net_config = platform::NetConfig::ephemeral();
        // The offsets come from the input, so that a run can be repeated.
        relay->draw_offsets = [this] {
            bh::Offsets o;
            for (int& x : o) {
                offsets_seed = offsets_seed * 1103515245u + 12345u;
                x = 33 + static_cast<int>(offsets_seed >> 16) % 9;
            }
            return o;
        };
        bh::Main(*relay);
        for (int i = 0; i < 2; ++i) taken[i].Install(socket(i));
    }
    bh::win::Form1& form() { return relay->Form1(); }
    platform::TcpSocket& socket(int i) { return form().Winsock1[i]; }
    bool connected(int i) { return socket(i).state() == platform::TcpSocket::StateConnected; }
};

// One connection of a client: what it sent and what it received on it.
struct Session {
    std::string sent;
    std::string received;
};

struct Client {
    tw::fuzz::LoopbackEnd end;
    std::vector<Session> sessions;
};

std::string WithoutCount(std::string_view text) { return std::string(text.substr(0, text.rfind("|$|"))); }

// The frame kind a client's bytes announce, and where its frames start.
FrameKind KindOf(const std::string& sent, std::size_t& from) {
    const std::size_t duel = sent.find(tw::kFrameStart);
    const std::size_t relay = sent.find(bh::kRelayFrameStart);
    from = std::min(duel, relay);
    if (from == std::string::npos) return FrameKind::Unknown;
    return relay < duel ? FrameKind::Relay : FrameKind::Duel;
}

tw::DuelFrameReader ReaderOf(FrameKind kind) {
    return kind == FrameKind::Relay ? tw::DuelFrameReader(bh::kRelayFrameStart, bh::kRelayFrameEnd)
                                    : tw::DuelFrameReader();
}

// A message a client sent that the relay passes on: the frame as it came and the command.
struct Sent {
    FrameKind kind;
    std::string frame;
    std::string message;
};

std::vector<Sent> Passed(const Client& c) {
    std::vector<Sent> out;
    for (const Session& s : c.sessions) {
        std::size_t from = 0;
        const FrameKind kind = KindOf(s.sent, from);
        if (kind == FrameKind::Unknown) continue;
        auto reader = ReaderOf(kind);
        reader.append(std::string_view(s.sent).substr(from));
        while (auto piece = reader.next()) {
            if (piece->kind != tw::DuelFrameReader::Piece::Frame) continue;
            std::string message;
            if (kind == FrameKind::Relay) {
                message = bh::OpenRelayFrame(piece->text);
            } else if (auto f = tw::OpenFrame(piece->text, false)) {
                message = WithoutCount(f->text);
            }
            if (message.size() < 3 || message[2] != '~' || message.back() == '~' || rt::trim(message).empty())
                continue;
            out.push_back({kind, std::move(piece->text), std::move(message)});
        }
    }
    return out;
}

// A message as it reached a client: the frame and what the client reads in it.
struct Got {
    std::string frame;
    std::string message;
};

// What a client received on a connection: nothing before it framed anything, then whole frames of
// its kind and nothing else.
std::vector<Got> Received(const Session& s) {
    std::size_t from = 0;
    const FrameKind kind = KindOf(s.sent, from);
    if (kind == FrameKind::Unknown) {
        tw::fuzz::Require(s.received.empty());
        return {};
    }
    auto reader = ReaderOf(kind);
    reader.append(s.received);
    std::vector<Got> out;
    std::size_t framed = 0;
    while (auto piece = reader.next()) {
        tw::fuzz::Require(piece->kind == tw::DuelFrameReader::Piece::Frame);
        framed += piece->text.size();
        std::string message;
        if (kind == FrameKind::Relay) {
            message = bh::OpenRelayFrame(piece->text);
        } else {
            const auto f = tw::OpenFrame(piece->text, false);
            tw::fuzz::Require(f.has_value());
            message = WithoutCount(f->text);
        }
        out.push_back({std::move(piece->text), std::move(message)});
    }
    tw::fuzz::Require(framed == s.received.size() && reader.pending() == 0);
    return out;
}

bool RelaysOwn(const std::string& message) {
    return message == "pd~c" || message == "ch~<Relay> Host Disconnected" || message == "ch~<Relay> Client Disconnected";
}

// Whether a message that was sent reads as this when it reaches a client of that kind.
bool Matches(const Sent& sent, FrameKind to, const Got& got) {
    const std::string message = tw::RemoveFrameMarkers(sent.message, bh::kRelayFrameStart, bh::kRelayFrameEnd);
    if (to == FrameKind::Relay) {
        const auto payload = bh::EncodeMessage(message, {33, 33, 33, 33, 33});
        return payload && bh::DecodeMessage(*payload) == got.message;
    }
    if (sent.kind == FrameKind::Duel) return got.frame == sent.frame;
    const auto f = tw::OpenFrame(tw::DuelFrame(0, tw::EncodeWire(tw::FrameBody(tw::RemoveFrameMarkers(message), -1, 0))),
                                 false);
    return f && WithoutCount(f->text) == got.message;
}

// What `to` received from the other client, in order, among what `from` sent.
void CheckPassedOn(const Client& from, const Client& to) {
    const std::vector<Sent> sent = Passed(from);
    std::size_t next = 0;
    for (const Session& s : to.sessions) {
        std::size_t at = 0;
        const FrameKind kind = KindOf(s.sent, at);
        for (const Got& got : Received(s)) {
            if (RelaysOwn(got.message)) continue;
            while (next < sent.size() && !Matches(sent[next], kind, got)) ++next;
            tw::fuzz::Require(next < sent.size());
            ++next;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) { return tw::fuzz::WithoutLeakChecks(argc, argv); }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& f = tw::fuzz::Kept<Fixture>(1000);
    if (size < 1) return 0;
    auto& relay = *f.relay;
    f.offsets_seed = data[0];
    // A fresh pair of ports with nothing held, as after Quit and Start.
    f.form().Command2_Click();
    f.form().Command1_Click();
    f.form().List1.clear();
    const int ports[2] = {f.socket(0).bound_port(), f.socket(1).bound_port()};
    const long messages = f.host.message_count;

    Client clients[2];
    auto receive = [&](int i) {
        Client& c = clients[i];
        if (!c.end.open()) return;
        bool closed = false;
        c.sessions.back().received += c.end.read(&closed);
        if (closed) c.end.close();
    };
    auto settle = [&] {
        for (int i = 0; i < 2; ++i) receive(i);
    };

    std::string_view steps(reinterpret_cast<const char*>(data) + 1, size - 1);
    while (!steps.empty()) {
        const int i = static_cast<unsigned char>(steps[0]) & 1;
        const int what = static_cast<unsigned char>(steps[0]) >> 1;
        steps.remove_prefix(1);
        Client& c = clients[i];
        if (what == kClose) {
            if (c.end.open()) {
                c.end.close();
                tw::fuzz::PumpUntil(f.reactor, [&] { return !f.connected(i); });
            }
        } else if (what == kWait) {
            f.clock.advance(bh::Link::kProbationMs);
            f.reactor.pump(0);
        } else {
            const std::string_view bytes = steps.substr(0, static_cast<std::size_t>(what));
            steps.remove_prefix(bytes.size());
            if (!c.end.open()) {
                c.end = tw::fuzz::LoopbackEnd::TryConnect(ports[i]);
                if (!c.end.open()) continue;
                c.sessions.emplace_back();
                f.taken[i].bytes = 0;
                tw::fuzz::Require(tw::fuzz::PumpUntil(f.reactor, [&] { return f.connected(i); }));
            }
            if (c.end.write(f.reactor, bytes)) {
                c.sessions.back().sent += bytes;
                const std::size_t want = c.sessions.back().sent.size();
                tw::fuzz::PumpUntil(f.reactor, [&] { return f.taken[i].bytes == want || !f.connected(i); });
            } else {
                c.end.close();  // the relay had let it go
            }
        }
        settle();
        for (const bh::Link& link : relay.links) {
            tw::fuzz::Require(link.undetected.size() <= bh::Link::kMaxHeld);
            tw::fuzz::Require(link.reader.pending() <= tw::DuelFrameReader::kMaxUnended);
            tw::fuzz::Require(link.waiting_bytes <= 2 * bh::Link::kMaxHeld);
            tw::fuzz::Require(link.held_bytes <= bh::Link::kMaxHeld);
        }
    }
    // Everything the relay has sent arrives before it is looked at.
    tw::fuzz::PumpUntil(f.reactor, [&] { return f.socket(0).queued_bytes() == 0 && f.socket(1).queued_bytes() == 0; });
    settle();

    tw::fuzz::RequireNoBox(f.host, messages);
    tw::fuzz::Require(f.form().List1.list_count() <= bh::kMaxLogLines);
    CheckPassedOn(clients[0], clients[1]);
    CheckPassedOn(clients[1], clients[0]);
    return 0;
}
