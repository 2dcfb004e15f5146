// A duel through the relay with every program a process of its own, on the relay's and the
// tables' own ports: a headless Bridgehall, a headless table on the relay's host seat (mode 3) and
// one on its client seat (mode 4), each driven by a script and printing what happens.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/rt.hpp"
#include "tests/support/child_process.hpp"
#include "tests/support/temp_dir.hpp"

namespace bh {
namespace {

using namespace std::chrono_literals;
using tw::test::ChildProcess;
using tw::test::TempDir;

// The sample set with every card of the deck renamed to hold byte 146 (the typographic
// apostrophe of the ANSI page), and that deck: fourteen such cards three times.
struct SetAndDeck {
    std::string set, deck;
};
SetAndDeck RenamedSampleSet() {
    const std::string sample = TempDir::read(std::string(TW_SOURCE_DIR) + "/data/zqm.set");
    SetAndDeck out;
    int cards = 0;
    std::size_t from = 0;
    while (from < sample.size()) {
        std::size_t end = sample.find('\n', from);
        if (end == std::string::npos) end = sample.size();
        std::string line = sample.substr(from, end - from);
        from = end + 1;
        const auto f = rt::split(line, "|");
        const bool card = f.ubound() >= 5;
        const bool extra = card && (f.at(4).find("Fusion") != std::string::npos ||
                                    f.at(4).find("Synchro") != std::string::npos);
        if (card && !extra && cards < 14) {
            const std::string name = f.at(1) + "\x92s Echo";
            line.replace(line.find('|') + 1, f.at(1).size(), name);
            out.deck += "3|" + rt::split(f.at(3), ";").at(0) + "|" + name + "\r\n";
            ++cards;
        }
        out.set += line + "\n";
    }
    out.deck += "-SIDE DECK-\r\n";
    return out;
}

struct Table {
    std::string name;
    TempDir dir;
    std::unique_ptr<ChildProcess> process;

    Table(std::string user, const SetAndDeck& sd) : name(std::move(user)) {
        dir.write("zqm.set", sd.set);
        dir.write("decks/duel.dek", sd.deck);
    }
    // A player who loads the deck, picks the relay mode in the connection panel, types the
    // relay's address and presses Connect; then the rest of the script.
    void Start(int mode, const std::vector<std::string>& then) {
        std::vector<std::string> args = {"--folder", dir.path().string(), "--user", name, "--timeout", "30",
                                         "deck:" + (dir / "decks/duel.dek").string(), "connect",
                                         "mode:" + std::to_string(mode), "address:127.0.0.1", "connect"};
        args.insert(args.end(), then.begin(), then.end());
        process = std::make_unique<ChildProcess>(TW_HEADLESS, args);
    }
};

std::vector<std::string> Of(const ChildProcess& p, const std::string& kind) {
    std::vector<std::string> out;
    for (const auto& l : p.Lines())
        if (l.rfind(kind + " ", 0) == 0) out.push_back(l.substr(kind.size() + 1));
    return out;
}
int Count(const ChildProcess& p, const std::string& kind, const std::string& part) {
    int n = 0;
    for (const auto& l : Of(p, kind)) n += l.find(part) != std::string::npos ? 1 : 0;
    return n;
}
std::string Output(const ChildProcess& p) {
    std::string all;
    for (const auto& l : p.Lines()) all += l + "\n";
    return all;
}
// Each part is found in a later output line than the part before it.
void ExpectInOrder(const ChildProcess& p, const std::vector<std::string>& parts) {
    const auto& lines = p.Lines();
    std::size_t at = 0;
    for (const auto& part : parts) {
        while (at < lines.size() && lines[at].find(part) == std::string::npos) ++at;
        ASSERT_LT(at, lines.size()) << "never showed, in order: " << part << "\n" << Output(p);
        ++at;
    }
}

// On the fixed ports (7237 and 7240 at the relay, 7238 and 7239 at the tables): a collision with
// another run on this machine at the same moment fails it.
TEST(RelayProcesses, TwoTablesDuelThroughARelayOnItsOwnPorts) {
    const SetAndDeck sd = RenamedSampleSet();
    Table ann("Ann", sd), bob("Bob", sd);
    ChildProcess relay(BH_HEADLESS, {"--timeout", "30", "start", "wait:Both Connected Duel Starting!",
                                     "wait:<Ann>hello", "say:good luck", "wait:Client Disconnected",
                                     "say:Bob has left", "wait:Host Disconnected"});
    ASSERT_TRUE(relay.ReadUntil("PORT client", 20s)) << Output(relay);
    ExpectInOrder(relay, {"PORT host 7237", "PORT client 7240"});

    // The host is alone at the relay when it challenges: the relay keeps that for the client.
    ann.Start(3, {"wait:Your Opponent is Bob", "chat:hello", "wait:<Relay> good luck", "wait:has put down a",
                  "chat:thanks", "wait:<Relay> Bob has left", "quit"});
    ASSERT_TRUE(relay.ReadUntil("LOG <Relay> Host Connected", 20s)) << Output(relay) << Output(*ann.process);
    bob.Start(4, {"wait:Handshake Accepted", "wait:<Relay> good luck", "draw:2", "place", "wait:<Ann> thanks",
                  "quit"});

    EXPECT_EQ(bob.process->Wait(60s), 0) << Output(*bob.process);
    EXPECT_EQ(ann.process->Wait(60s), 0) << Output(*ann.process);
    EXPECT_EQ(relay.Wait(60s), 0) << Output(relay);
    const ChildProcess& a = *ann.process;
    const ChildProcess& b = *bob.process;

    ExpectInOrder(relay, {"LOG <Relay> Now Listening!", "LOG <Relay> Host Connected", "LOG <Relay> Client Connected",
                          "LOG <Relay> Both Connected Duel Starting!", "LOG <Ann>hello",
                          "LOG <Relay> Client Disconnected", "LOG <Relay> Host Disconnected"});
    EXPECT_TRUE(Of(relay, "BOX").empty()) << Output(relay);

    // Each table came from its seat's own port to the relay's port for that seat.
    ExpectInOrder(a, {"PEER 127.0.0.1 7237", "SENT hs~", "SENT mi~Ann:",
                      "LOG <Game> Your Opponent is Bob", "LOG <Ann> hello", "LOG <Relay> good luck",
                      "LOG <Game> Bob has put down a ", "LOG <Ann> thanks", "LOG <Relay> Client Disconnected",
                      "LOG <Relay> Bob has left", "END quit"});
    ExpectInOrder(b, {"PEER 127.0.0.1 7240", "SENT hs~", "SENT mi~Bob:",
                      "LOG <Game> Your Opponent is Ann", "LOG <Game> Handshake Accepted", "LOG <Ann> hello",
                      "LOG <Relay> good luck", "SENT lc~", "LOG <Ann> thanks", "END quit"});

    // Both challenges found a partner: Ann's, kept while she was alone, reached Bob right after
    // his "pd~c". Each side answered the other's and accepted the other's answer, so neither
    // needed to answer "pd~c" with its information a third time.
    EXPECT_EQ(Count(a, "SENT", "mi~Ann:"), 2) << Output(a);
    EXPECT_EQ(Count(b, "SENT", "mi~Bob:"), 2) << Output(b);
    EXPECT_EQ(Count(a, "SENT", "dh~"), 1) << Output(a);
    EXPECT_EQ(Count(b, "SENT", "dh~"), 1) << Output(b);
    EXPECT_EQ(Count(b, "SENT", "ch~<Game> Handshake Accepted"), 1) << Output(b);
    EXPECT_EQ(Count(a, "SENT", "ch~<Game> Handshake Accepted"), 1) << Output(a);
    EXPECT_EQ(Count(a, "LOG", "<Game> Handshake Accepted"), 2) << Output(a);
    EXPECT_EQ(Count(b, "LOG", "<Game> Handshake Accepted"), 2) << Output(b);
    EXPECT_EQ(Count(b, "LOG", "<Game> Ann shuffled the deck"), 1) << Output(b);

    // The card Bob put down reached Ann under its own name, byte 146 and all.
    std::string placed;
    for (const auto& c : Of(b, "SENT"))
        if (c.rfind("lc~1~", 0) == 0) placed = c.substr(5, c.rfind(':') - 5);
    ASSERT_NE(placed.find("\x92s Echo"), std::string::npos) << Output(b);
    EXPECT_EQ(Count(a, "LOG", "<Game> Bob has put down a " + placed), 1) << placed << "\n" << Output(a);

    for (const ChildProcess* p : {&a, &b}) EXPECT_TRUE(Of(*p, "BOX").empty()) << Output(*p);
}

}  // namespace
}  // namespace bh
