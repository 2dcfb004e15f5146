// Two tables on one event loop, connected through their duel windows' sockets on loopback.
#include <gtest/gtest.h>

#include <string>

#include "cards/chat_input.hpp"
#include "cards/duel_log.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/send_command.hpp"
#include "table/piles.hpp"
#include "tests/support/duel_pair.hpp"

namespace tw {
namespace {

using test::DuelPair;
using test::NetSide;

void Send(NetSide& side, const std::string& command) {
    std::int32_t cls = 0;
    SendCommand(side.tw(), command, cls);
}

TEST(TwoTables, GreetEachOtherAndStayInStep) {
    DuelPair pair;
    ASSERT_TRUE(pair.Connect());
    ASSERT_TRUE(pair.Greet());
    auto& ann = pair.ann;
    auto& bob = pair.bob;

    // Each side's first frame was number 0: the challenge, dispatched and marked.
    EXPECT_EQ(ann.tw().net.ReceiveHistory[0].rfind("DONE hs~", 0), 0u) << ann.tw().net.ReceiveHistory[0];
    EXPECT_EQ(bob.tw().net.ReceiveHistory[0].rfind("DONE hs~", 0), 0u) << bob.tw().net.ReceiveHistory[0];
    ASSERT_TRUE(pair.PumpUntil([&] {
        return ann.Logged("<Game> Your Opponent is Bob") && bob.Logged("<Game> Your Opponent is Ann");
    }));
    EXPECT_EQ(ann.tw().net.PlayerNames[2], "Bob");
    EXPECT_EQ(bob.tw().net.PlayerNames[1], "Ann");
    EXPECT_EQ(ann.duel().Player2GY.caption(), "Search Bob GY (Blue)");
    EXPECT_EQ(bob.duel().Player1GY.caption(), "Search Ann GY (Yellow)");

    // Life points.
    Send(ann, "nl~7200");
    ASSERT_TRUE(pair.PumpUntil([&] { return bob.tw().duel.OppLP == 7200; }));
    EXPECT_EQ(bob.duel().Text2.caption(), "7200");

    // Pile counts fill the opponent's column.
    ann.GiveDeck({"Ember Drake", "Salt Wyrm", "Grey Tide"});
    UpdateStats(ann.tw());
    ASSERT_TRUE(pair.PumpUntil([&] { return bob.duel().Stats.text_matrix(2, 2) == "3"; }));
    EXPECT_EQ(bob.duel().Stats.text_matrix(1, 2), "0");

    // Chat, the frame markers and the count mark in it included.
    SubmitChatInput(ann.tw(), "hello Bob");
    AddChat(bob.tw(), "a~~^^b |$| c", "Bob", true);
    ASSERT_TRUE(pair.PumpUntil([&] { return bob.Logged("<Ann> hello Bob") && ann.Logged("<Bob> ab |$| c"); }));

    // A ping is answered with the count.
    Send(bob, "ping~x");
    ASSERT_TRUE(pair.PumpUntil([&] { return bob.tw().errors.LastReceivedCommand.rfind("pong~", 0) == 0; }));
    EXPECT_EQ(ann.Sent().back().rfind("pong~", 0), 0u);

    // Neither side saw a gap, a dropped piece or a box, and the meter shows no tampering.
    for (NetSide* s : {&ann, &bob}) {
        EXPECT_EQ(s->tw().net.GarbledCount, 0);
        EXPECT_EQ(s->tw().net.HackLevel, 0);
        EXPECT_EQ(s->duel().hack.caption(), "0%");
        EXPECT_TRUE(s->host.messages().empty());
        for (const auto& c : s->Sent()) EXPECT_NE(c.rfind("rp~", 0), 0u) << c;
    }
}

TEST(TwoTables, FramesRunAroundTheRingWithoutAGap) {
    DuelPair pair;
    ASSERT_TRUE(pair.Connect());
    for (int i = 0; i < 600; ++i) Send(pair.ann, "nl~" + std::to_string(i));
    ASSERT_TRUE(pair.PumpUntil([&] { return pair.bob.tw().duel.OppLP == 599; }));
    EXPECT_EQ(pair.bob.tw().net.ReceivedCount, 600);
    EXPECT_EQ(pair.bob.tw().net.ReceiveSeq, 599 % 256);
    EXPECT_TRUE(pair.bob.Sent().empty());  // no "rp~" and nothing else went back
}

}  // namespace
}  // namespace tw
