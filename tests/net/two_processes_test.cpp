// Two Tablewright processes duel over loopback from their duel windows' own controls: each is
// the headless program, driven by a script of what its player does, and prints its duel log.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/child_process.hpp"
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

}  // namespace
}  // namespace tw
