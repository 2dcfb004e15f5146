// Two real tables duel through a real Bridgehall, all three on one event loop and on loopback:
// the host table on the relay's host port, the joining table on its client port.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <string>

#include "cards/chat_input.hpp"
#include "cards/duel_log.hpp"
#include "net/handshake.hpp"
#include "net/receiver.hpp"
#include "net/send_command.hpp"
#include "table/field.hpp"
#include "tests/relay/relay_rig.hpp"
#include "tests/support/duel_pair.hpp"

namespace bh {
namespace {

using tw::test::NetSide;

struct RelayDuel {
    test::Rig relay;
    NetSide ann{relay.reactor, relay.clock};
    NetSide bob{relay.reactor, relay.clock};

    RelayDuel() {
        ann.Load("Ann");
        bob.Load("Bob");
        relay.Start();
    }

    bool PumpUntil(const std::function<bool()>& pred) { return relay.PumpUntil(pred); }

    // What a table in a relay mode does: its seat, the relay's port for it, and once connected
    // the challenge and the player information.
    bool Connect(NetSide& side, int seat) {
        auto& t = side.tw();
        tw::ResetFrameNumbers(t);
        t.net.PlayerNumber = seat;
        t.net.RelayMode = true;
        // The greeting is sent below, by hand, as the connection events would.
        side.socket().Connect = platform::Event<>::Handler{};
        side.socket().connect("127.0.0.1", relay.Port(seat - 1));
        if (!PumpUntil([&] {
                return side.socket().state() == platform::TcpSocket::StateConnected && relay.Connected(seat - 1);
            }))
            return false;
        tw::SendChallenge(t);
        tw::SendPlayerInfo(t, true);
        return true;
    }

    // The table connects as a player's does in its relay mode, greeting with its own connection
    // events.
    bool Arrive(NetSide& side, int seat) {
        auto& t = side.tw();
        tw::ResetFrameNumbers(t);
        t.net.PlayerNumber = seat;
        t.net.RelayMode = true;
        side.socket().connect("127.0.0.1", relay.Port(seat - 1));
        return PumpUntil([&] { return relay.Connected(seat - 1) && side.Logged("<Game> Connected!"); });
    }

    // Whether a frame with this command (its count taken off) was dispatched on the side.
    static bool Dispatched(NetSide& side, const std::string& command) {
        for (int n = 0; n <= 255; ++n)
            if (tw::test::WithoutCount(side.tw().net.ReceiveHistory[n]) == "DONE " + command) return true;
        return false;
    }
};

TEST(RelayDuel, TwoTablesDuelThroughTheRelay) {
    RelayDuel d;
    auto& ann = d.ann;
    auto& bob = d.bob;
    ASSERT_TRUE(d.Connect(ann, 1));
    ASSERT_TRUE(d.PumpUntil([&] { return d.relay.relay->RelayPlayerNames[0] == "Ann"; }));
    ASSERT_TRUE(d.Connect(bob, 2));
    EXPECT_EQ(d.relay.Log(), (std::vector<std::string>{"<Relay> Now Listening!", "<Relay> Host Connected",
                                                       "<Relay> Client Connected",
                                                       "<Relay> Both Connected Duel Starting!"}));

    // Both handshakes complete: what Ann sent while alone was kept for Bob and reached him after
    // "pd~c".
    ASSERT_TRUE(d.PumpUntil([&] {
        return bob.Logged("<Game> Your Opponent is Ann") && ann.Logged("<Game> Your Opponent is Bob") &&
               bob.Logged("<Game> Handshake Accepted") && ann.Logged("<Game> Handshake Accepted");
    }));
    const auto infos = [](NetSide& s) {
        int n = 0;
        for (const auto& c : s.Sent()) n += c.rfind("mi~", 0) == 0 ? 1 : 0;
        return n;
    };
    // The probe found each opening on its way, so neither sent its information a third time.
    EXPECT_EQ(infos(ann), 2) << "at connect and after the accepted handshake";
    EXPECT_EQ(infos(bob), 2) << "at connect and after the accepted handshake";
    EXPECT_EQ(d.relay.relay->RelayPlayerNames[1], "Bob");

    // Chat shows in the relay under the announced name; the operator reaches both tables.
    tw::SubmitChatInput(ann.tw(), "hello");
    ASSERT_TRUE(d.PumpUntil([&] { return bob.Logged("<Ann> hello") && d.relay.Logged("<Ann>hello"); }));
    d.relay.Operator("good luck");
    ASSERT_TRUE(d.PumpUntil([&] { return ann.Logged("<Relay> good luck") && bob.Logged("<Relay> good luck"); }));

    // A card put down crosses with every command, its name's byte 146 intact.
    tw::Card card;
    card.Name = "Rook\x92s Gambit";
    card.SetCode = "BWX";
    std::int32_t own = 0;
    ASSERT_GT(tw::PutCardOnField(ann.tw(), card, own), 0);
    ASSERT_TRUE(d.PumpUntil([&] { return RelayDuel::Dispatched(bob, "fc~1~0"); }));
    EXPECT_TRUE(RelayDuel::Dispatched(bob, "lc~1~Rook\x92s Gambit:BWX"));
    EXPECT_TRUE(RelayDuel::Dispatched(bob, "m2~1~" + std::to_string(ann.tw().field.FieldCards[1].GridRow) + ":" +
                                             std::to_string(ann.tw().field.FieldCards[1].GridCol)));
    bool line = false;
    for (const auto& l : bob.Log()) line |= l.find("has put down a {card='Rook\x92s Gambit' set='BWX'}") != std::string::npos;
    EXPECT_TRUE(line);

    // The relay's own frames are not counted, and no box came; both counts restarted at the
    // accepted handshakes, so neither meter moves.
    for (NetSide* s : {&ann, &bob}) {
        EXPECT_TRUE(s->host.messages().empty()) << s->tw().prefs.UserName;
        for (const auto& c : s->Sent()) EXPECT_NE(c, "rp~0") << "the relay's frames ask for no resend";
    }
    EXPECT_EQ(bob.tw().net.HackLevel, 0);
    EXPECT_EQ(ann.tw().net.HackLevel, 0);
    EXPECT_TRUE(d.relay.host.messages().empty());

    // A table that leaves is logged at the relay and told to the other, which stays connected.
    bob.socket().close();
    ASSERT_TRUE(d.PumpUntil([&] { return d.relay.Logged("<Relay> Client Disconnected"); }));
    ASSERT_TRUE(d.PumpUntil([&] { return ann.Logged("<Relay> Client Disconnected"); }));
    EXPECT_EQ(ann.socket().state(), platform::TcpSocket::StateConnected);
}

// The tables greet as a player's would, with their own connection events: the joining table
// sees the host's whole opening, sent while the host was alone at the relay, and over a long
// run of moves in both directions neither meter moves. Either table that leaves is told to the
// other.
TEST(RelayDuel, TheHostsOpeningReachesTheJoiningTableAndTheMetersStayGreen) {
    for (const int leaving : {1, 2}) {
        SCOPED_TRACE(leaving == 1 ? "the host leaves" : "the joining table leaves");
        RelayDuel d;
        auto& ann = d.ann;
        auto& bob = d.bob;
        ann.GiveDeck({"Ember Drake", "Salt Wyrm", "Grey Tide"});
        bob.GiveDeck({"Ember Drake", "Salt Wyrm"});
        ASSERT_TRUE(d.Arrive(ann, 1));
        ASSERT_TRUE(d.PumpUntil([&] { return d.relay.relay->RelayPlayerNames[0] == "Ann"; }));
        ASSERT_TRUE(d.Arrive(bob, 2));
        ASSERT_TRUE(d.PumpUntil([&] {
            return ann.CountLogged("<Game> Handshake Accepted") == 2 && bob.CountLogged("<Game> Handshake Accepted") == 2;
        }));
        EXPECT_TRUE(bob.Logged("<Game> Ann shuffled the deck"));
        EXPECT_TRUE(bob.Logged("<Game> Your Opponent is Ann"));
        EXPECT_TRUE(ann.Logged("<Game> Bob shuffled the deck"));

        // The two counts of each pair start within the meter's allowance and stay there.
        for (int move = 0; move < 50; ++move) {
            NetSide& mover = move % 2 == 0 ? ann : bob;
            NetSide& other = move % 2 == 0 ? bob : ann;
            tw::AddChat(mover.tw(), "move " + std::to_string(move), mover.tw().prefs.UserName, true);
            std::int32_t cls = 0;
            tw::SendCommand(mover.tw(), "nl~" + std::to_string(8000 - move), cls);
            ASSERT_TRUE(d.PumpUntil([&] { return other.tw().duel.OppLP == 8000 - move; }));
            for (int i = 0; i < 20; ++i) d.relay.reactor.pump(1);  // and the answers to it
            for (NetSide* s : {&ann, &bob}) {
                ASSERT_EQ(s->tw().net.HackLevel, 0) << s->tw().prefs.UserName << " after move " << move;
                EXPECT_EQ(s->duel().hack.caption(), "0%");
                EXPECT_EQ(s->tw().net.HackLight, "green.jpg");
            }
        }
        ASSERT_TRUE(d.PumpUntil([&] { return ann.Logged("<Bob> move 49") && bob.Logged("<Ann> move 48"); }));
        for (NetSide* s : {&ann, &bob}) {
            SCOPED_TRACE(s->tw().prefs.UserName);
            EXPECT_EQ(s->tw().net.HackLevel, 0);
            for (const auto& c : s->Sent()) EXPECT_NE(c.rfind("rp~", 0), 0u) << c;
            EXPECT_TRUE(s->host.messages().empty());
        }

        NetSide& gone = leaving == 1 ? ann : bob;
        NetSide& staying = leaving == 1 ? bob : ann;
        gone.socket().close();
        const std::string line = leaving == 1 ? "<Relay> Host Disconnected" : "<Relay> Client Disconnected";
        ASSERT_TRUE(d.PumpUntil([&] { return staying.Logged(line); }));
        EXPECT_TRUE(d.relay.Logged(line));
        EXPECT_TRUE(staying.host.messages().empty());
    }
}

// A host that says more while alone than the relay keeps loses its opening, challenge and
// player information with it. The joining table still learns who its opponent is: the host
// answers the relay's probe once the joining table's accept shows the opening never arrived.
TEST(RelayDuel, AHostWhoseOpeningTheRelayCouldNotKeepIsStillNamed) {
    RelayDuel d;
    auto& ann = d.ann;
    auto& bob = d.bob;
    ASSERT_TRUE(d.Arrive(ann, 1));
    const std::string filler(200, 'x');
    for (int i = 0; i < 200; ++i) tw::AddChat(ann.tw(), filler, "Ann", true);
    ASSERT_TRUE(d.PumpUntil([&] { return d.relay.Logged("<Relay> A message could not be sent."); }));
    ASSERT_TRUE(d.Arrive(bob, 2));

    ASSERT_TRUE(d.PumpUntil([&] {
        return bob.Logged("<Game> Your Opponent is Ann") && bob.Logged("<Game> Handshake Accepted");
    }));
    for (int i = 0; i < 20; ++i) d.relay.reactor.pump(1);
    EXPECT_EQ(bob.CountLogged("<Game> Handshake Accepted"), 1) << "his own: Ann's challenge never came";
    EXPECT_FALSE(RelayDuel::Dispatched(bob, "mi~Ann:20:1::")) << "Ann's challenge was never answered";
    EXPECT_EQ(bob.tw().net.PlayerNames[1], "Ann");
    EXPECT_EQ(bob.duel().Player1GY.caption(), "Search Ann GY (Yellow)");
    int infos = 0;
    for (const auto& c : ann.Sent()) infos += c == "mi~Ann:20:1:0:" ? 1 : 0;
    EXPECT_EQ(infos, 2) << "at connect, and for the probe once the opening was known lost";
}

}  // namespace
}  // namespace bh
