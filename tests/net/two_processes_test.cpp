// Two Tablewright processes duel over loopback from their duel windows' own controls: each is
// the headless program, driven by a script of what its player does, and prints its duel log.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <thread>
#include <string>
#include <vector>

#include "net/duel_frame.hpp"
#include "net/xmpp_stream.hpp"
#include "net/xmpp_texts.hpp"
#include "platform/clock.hpp"
#include "platform/reactor.hpp"
#include "tests/support/child_process.hpp"
#include "tests/support/prosody_server.hpp"
#include "tests/support/raw_peer.hpp"
#include "tests/support/temp_dir.hpp"

namespace tw {
namespace {

using namespace std::chrono_literals;
using test::ChildProcess;
using test::TempDir;

constexpr auto kStep = 20s;  // a generous bound on one exchange; a passing run takes far less

std::vector<std::string> Fields(const std::string& line, char sep) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = line.find(sep, from);
        out.push_back(line.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos) return out;
        from = at + 1;
    }
}

// A deck of the sample set: fourteen cards three times, and one extra-deck card twice.
std::string SampleDeck() {
    const std::string set = TempDir::read(std::string(TW_SOURCE_DIR) + "/data/zqm.set");
    std::string deck;
    int main_cards = 0;
    bool extra = false;
    std::size_t from = 0;
    while (from < set.size()) {
        std::size_t end = set.find('\n', from);
        if (end == std::string::npos) end = set.size();
        const auto f = Fields(set.substr(from, end - from), '|');
        from = end + 1;
        if (f.size() < 6) continue;
        const std::string set_code = Fields(f[3], ';')[0];
        const bool extra_kind = f[4].find("Fusion") != std::string::npos || f[4].find("Synchro") != std::string::npos;
        if (extra_kind && !extra) {
            deck += "2|" + set_code + "|" + f[1] + "\r\n";
            extra = true;
        } else if (!extra_kind && main_cards < 14) {
            deck += "3|" + set_code + "|" + f[1] + "\r\n";
            ++main_cards;
        }
    }
    return deck + "-SIDE DECK-\r\n";
}

// One player's program folder and process.
struct Player {
    std::string name;
    TempDir dir;
    std::unique_ptr<ChildProcess> process;

    explicit Player(std::string user) : name(std::move(user)) {
        dir.write("zqm.set", TempDir::read(std::string(TW_SOURCE_DIR) + "/data/zqm.set"));
        dir.write("decks/duel.dek", SampleDeck());
    }
    std::string Deck() const { return "deck:" + (dir / "decks/duel.dek").string(); }

    void Start(std::vector<std::string> options, const std::vector<std::string>& steps) {
        std::vector<std::string> args = {"--folder", dir.path().string(), "--user", name, "--timeout", "20"};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), steps.begin(), steps.end());
        process = std::make_unique<ChildProcess>(TW_HEADLESS, args);
    }
    // The port it listens on, once it says so.
    int ListenPort() {
        const auto line = process->ReadUntil("PORT ", kStep);
        return line ? std::stoi(line->substr(5)) : 0;
    }
    int Finish() { return process->Wait(60s); }

    // The output lines of one kind ("LOG", "SENT", ...), without the kind.
    std::vector<std::string> Of(const std::string& kind) const {
        std::vector<std::string> out;
        for (const auto& l : process->Lines())
            if (l.rfind(kind + " ", 0) == 0) out.push_back(l.substr(kind.size() + 1));
        return out;
    }
    int Count(const std::string& kind, const std::string& part) const {
        int n = 0;
        for (const auto& l : Of(kind)) n += l.find(part) != std::string::npos ? 1 : 0;
        return n;
    }
    std::string Output() const {
        std::string all;
        for (const auto& l : process->Lines()) all += l + "\n";
        return all;
    }
};

// Each part is found in a later output line than the part before it.
void ExpectInOrder(const Player& p, const std::vector<std::string>& parts) {
    const auto& lines = p.process->Lines();
    std::size_t at = 0;
    for (const auto& part : parts) {
        while (at < lines.size() && lines[at].find(part) == std::string::npos) ++at;
        ASSERT_LT(at, lines.size()) << p.name << " never showed, in order: " << part << "\n" << p.Output();
        ++at;
    }
}

std::vector<std::string> ConnectTo(const std::string& address) {
    return {"connect", "mode:0", "address:" + address, "connect"};
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(TwoProcesses, DuelFromTheirPanelsToTheQuit) {
    Player ann("Ann"), bob("Bob");
    ann.Start({"--port", "listen=0"},
              {ann.Deck(), "listen", "wait:Handshake Accepted", "wait:has put down a", "wait:<Bob> hello Ann",
               "chat:hi Bob", "wait:Game was Soft Reset!", "wait:Disconnected!", "quit"});
    const int port = ann.ListenPort();
    ASSERT_GT(port, 0) << ann.Output();
    bob.Start({"--port", "listen=" + std::to_string(port), "--port", "direct_local=0"},
              Join(Join({bob.Deck()}, ConnectTo("127.0.0.1")),
                   {"wait:Handshake Accepted", "wait:Handshake Accepted", "draw:2", "place", "chat:hello Ann",
                    "wait:<Ann> hi Bob", "softreset", "usedeck", "quit"}));
    EXPECT_EQ(bob.Finish(), 0) << bob.Output();
    EXPECT_EQ(ann.Finish(), 0) << ann.Output();

    // The listening side: accepted, challenged and introduced itself before its own lines.
    ExpectInOrder(ann, {"LOG <Game> Ann is waiting for a connection...", "LOG <Game> Connected!", "SENT hs~",
                        "SENT mi~Ann:20:1:0:", "LOG <Game> Ann loaded their deck (42 in Deck, 2 in extra)",
                        "LOG <Game> Ann shuffled the deck", "LOG <Game> Your Opponent is Bob",
                        "LOG <Game> Handshake Accepted", "LOG <Game> Bob has put down a ", "LOG <Bob> hello Ann",
                        "LOG <Ann> hi Bob", "LOG <Game> Bob is now at 8000 LP)",
                        "LOG <Game> Bob`s Game was Soft Reset!", "LOG <Game> Bob has shuffled their deck",
                        "LOG <Game> Disconnected", "LOG <Game> Disconnected!", "LOG <Game> Ann has quit", "END quit"});
    // The connecting side: challenge and information first, then its own lines.
    ExpectInOrder(bob, {"LOG <Game> Connecting...", "SENT hs~", "SENT mi~Bob:20:2:0:", "LOG <Game> Connected!",
                        "LOG <Game> Bob shuffled the deck", "LOG <Game> Your Opponent is Ann",
                        "LOG <Game> Ann loaded their deck (42 in Deck, 2 in extra)", "LOG <Game> Handshake Accepted",
                        "SENT lc~", "LOG <Game> Bob has put down a ", "LOG <Ann> hi Bob", "SENT nl~8000",
                        "LOG <Game> Bob`s Game was Soft Reset!", "LOG <Game> Bob has shuffled their deck",
                        "SENT ch~<Game> Disconnected", "LOG <Game> Bob has quit", "END quit"});
    for (const Player* p : {&ann, &bob}) {
        // Each side accepted the other's answer and saw the other accept its own.
        EXPECT_EQ(p->Count("LOG", "<Game> Handshake Accepted"), 2) << p->Output();
        // The challenge: 16 digits, none of them 0.
        for (const auto& c : p->Of("SENT"))
            if (c.rfind("hs~", 0) == 0) EXPECT_EQ(c.find_first_not_of("123456789", 3), std::string::npos) << c;
        EXPECT_TRUE(p->Of("BOX").empty()) << p->Output();
    }
    // The quit's line stays on the quitting table: the connection was closed before it.
    EXPECT_EQ(ann.Count("LOG", "Bob has quit"), 0);
    EXPECT_EQ(bob.Count("SENT", "has quit"), 0);
}

// The ports a person opens between two machines: the listener's 7238, the connector's 7237. The
// only test on the fixed ports; a collision with another run on this machine fails it.
TEST(TwoProcesses, FixedPortsAndAReconnectRightAfterAQuit) {
    Player ann("Ann"), bob("Bob"), bob2("Bob");
    ann.Start({}, {ann.Deck(), "listen", "wait:Handshake Accepted", "wait:Disconnected!", "reset", ann.Deck(),
                   "listen", "wait:Handshake Accepted", "wait:<Bob> again", "wait:Disconnected!", "quit"});
    ASSERT_EQ(ann.ListenPort(), 7238) << ann.Output();
    bob.Start({}, Join(Join({bob.Deck()}, ConnectTo("127.0.0.1")), {"wait:Handshake Accepted", "quit"}));
    EXPECT_EQ(bob.Finish(), 0) << bob.Output();
    ASSERT_EQ(ann.ListenPort(), 7238) << ann.Output();
    // The same local port again at once, while the last connection from it may still linger.
    bob2.Start({}, Join(Join({bob2.Deck()}, ConnectTo("localhost")),
                        {"wait:Handshake Accepted", "chat:again", "quit"}));
    EXPECT_EQ(bob2.Finish(), 0) << bob2.Output();
    EXPECT_EQ(ann.Finish(), 0) << ann.Output();

    ExpectInOrder(bob, {"PEER 127.0.0.1 7238", "LOG <Game> Handshake Accepted", "END quit"});
    ExpectInOrder(bob2, {"PEER 127.0.0.1 7238", "LOG <Game> Handshake Accepted", "END quit"});
    ExpectInOrder(ann, {"PEER 127.0.0.1 7237", "LOG <Game> Handshake Accepted", "LOG <Game> Disconnected!",
                        "ASK Are you sure you want to reset?", "LOG <Game> Game Reset!",
                        "LOG <Game> Ann loaded their deck", "PORT 7238", "PEER 127.0.0.1 ",
                        "LOG <Game> Handshake Accepted", "LOG <Bob> again", "LOG <Game> Ann has quit"});
}

// A client of the chat server outside the program: it registers accounts and plays a stranger.
class ChatClient {
public:
    explicit ChatClient(int port) : peer_(reactor_) {
        peer_.connect(port);
        peer_.write(XmppStreamHeader(test::ProsodyServer::kHost));
    }
    void Write(const std::string& text) { peer_.write(text); }
    // The type of the server's answer with this id ("result", "error"); "" when none came within
    // ten seconds.
    std::string Answer(const std::string& id) {
        const auto until = std::chrono::steady_clock::now() + 10s;
        for (;;) {
            while (auto stanza = scanner_.next())
                if (stanza->name == "iq" && stanza->id == id) return stanza->type;
            if (std::chrono::steady_clock::now() > until) return "";
            std::this_thread::sleep_for(10ms);
            const std::string got = peer_.read();
            heard_ += got;
            scanner_.append(got);
        }
    }
    const std::string& Heard() const { return heard_; }

private:
    platform::FakeClock clock_;
    platform::Reactor reactor_{clock_};
    test::RawPeer peer_;
    std::string heard_;
    XmppStreamScanner scanner_;
};

void Register(int port, const std::string& name, const std::string& password) {
    ChatClient c(port);
    c.Write(XmppRegistration(name, password));
    ASSERT_EQ(c.Answer("jcl_20"), "result") << name << "\n" << c.Heard();
}

std::vector<std::string> ServerOptions(const test::ProsodyServer& server) {
    return {"--jabber", test::ProsodyServer::kHost, "--port", "xmpp=" + std::to_string(server.port())};
}

// Ann in the first server mode duels bob, Bob in the second duels ann: neither reaches the other,
// both reach the chat server.
TEST(TwoProcesses, AServerDuelThroughTheChatServer) {
    test::ProsodyServer server;
    // Bob's account exists before Ann writes to it: the server keeps what comes for an account
    // that is offline, and refuses what comes for none.
    Register(server.port(), "bob", "bob pw");
    Register(server.port(), "eve", "eve pw");
    const std::string line = std::string("a<b & c \x92 d");

    Player ann("Ann"), bob("Bob");
    ann.Start(ServerOptions(server),
              Join(Join({ann.Deck(), "account:ann=ann & pw"}, {"connect", "mode:1", "address:bob", "connect"}),
                   {"wait:Waiting for opponent", "wait:Handshake Accepted", "wait:Handshake Accepted",
                    "chat:" + line, "wait:<Bob> got it", "quit"}));
    ASSERT_TRUE(ann.process->ReadUntil("LOG <Game> Waiting for opponent", kStep)) << ann.Output();

    // Eve writes duel frames to Ann, the one as if Bob chatted, the other setting the life points.
    ChatClient eve(server.port());
    eve.Write(XmppDuelLogin("eve", "eve pw"));
    ASSERT_EQ(eve.Answer("set_01"), "result") << eve.Heard();
    eve.Write(JabberDuelMessage("ann", "localhost", EncodeWire(FrameBody("ch~<Bob> injected by eve", 1, 0))));
    eve.Write(JabberDuelMessage("ann", "localhost", EncodeWire(FrameBody("nl~100", 2, 1))));

    // Bob logs in only now: Ann's challenge and information wait for him at the server.
    bob.Start(ServerOptions(server),
              Join(Join({bob.Deck(), "account:bob=bob pw"}, {"connect", "mode:2", "address:ann", "connect"}),
                   {"wait:Handshake Accepted", "wait:Handshake Accepted", "wait:<Ann> a<b", "chat:got it", "quit"}));
    EXPECT_EQ(bob.Finish(), 0) << bob.Output();
    EXPECT_EQ(ann.Finish(), 0) << ann.Output();

    ExpectInOrder(ann, {"ACCOUNT Username Verified.", "SENT hs~", "SENT mi~Ann:",
                        "LOG <Game> Connected!", "LOG <Game> Waiting for opponent...", "LOG <Game> Your Opponent is Bob",
                        "LOG <Game> Handshake Accepted", "LOG <Ann> " + line, "LOG <Bob> got it", "END quit"});
    ExpectInOrder(bob, {"ACCOUNT Username Verified.", "SENT hs~", "SENT mi~Bob:", "LOG <Game> Your Opponent is Ann",
                        "LOG <Game> Handshake Accepted", "LOG <Ann> " + line, "SENT ch~<Bob> got it", "END quit"});
    for (const Player* p : {&ann, &bob}) {
        EXPECT_EQ(p->Count("LOG", "<Game> Handshake Accepted"), 2) << p->Output();
        EXPECT_EQ(p->Count("LOG", "Server login failed."), 0) << p->Output();
        EXPECT_TRUE(p->Of("BOX").empty()) << p->Output();
    }
    // The chat line came through whole: markup signs and the cp1252 quote byte.
    EXPECT_EQ(bob.Count("LOG", "<Ann> " + line), 1) << bob.Output();
    // Nothing Eve wrote reached Ann's table.
    EXPECT_EQ(ann.Count("LOG", "injected"), 0) << ann.Output();
    EXPECT_EQ(ann.Count("LOG", "at 100 LP"), 0) << ann.Output();
}

TEST(TwoProcesses, AServerDuelLoginWithAWrongPasswordIsSaid) {
    test::ProsodyServer server;
    Register(server.port(), "carl", "right");
    Player carl("Carl");
    carl.Start(ServerOptions(server),
               Join(Join({carl.Deck(), "login:carl=wrong"}, {"connect", "mode:1", "address:bob", "connect"}),
                    {"wait:Server login failed.", "quit"}));
    EXPECT_EQ(carl.Finish(), 0) << carl.Output();
    ExpectInOrder(carl, {"LOG <Game> Connected!", "LOG <Game> Server login failed.", "END quit"});
    EXPECT_EQ(carl.Count("LOG", "Handshake Accepted"), 0) << carl.Output();
}

}  // namespace
}  // namespace tw
