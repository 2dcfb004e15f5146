#include "net/dispatcher.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/send_command.hpp"
#include "tests/support/duel_pair.hpp"

namespace tw {
namespace {

using test::PeerTable;
using test::WireFrame;

struct Dispatcher : ::testing::Test {
    PeerTable t;
    Tablewright& tw = t.tw();
    win::FormA& duel = tw.FormA();
    int frame = 0;

    // One frame from the peer, numbered in order.
    void Send(const std::string& command_with_count) { t.Send(command_with_count + "~" + std::to_string(frame++)); }

    // The closing step hides the slot templates; showing one first makes the step visible.
    bool Closes(const std::string& command_with_count) {
        duel.Label5[0].set_visible(true);
        Send(command_with_count);
        return !duel.Label5[0].visible();
    }
};

TEST_F(Dispatcher, CountsEveryCommandOfThePeerAndClosesThoseCarriedOut) {
    EXPECT_TRUE(Closes("pong~0|$|1"));
    EXPECT_TRUE(Closes("wi~x|$|2"));
    EXPECT_TRUE(Closes("zzz~what|$|3"));  // a code with no row
    EXPECT_TRUE(Closes("rp~4|$|4"));
    EXPECT_FALSE(Closes("ig~x|$|5"));
    EXPECT_EQ(tw.net.ReceivedCount, 5);
    EXPECT_EQ(duel.hack.caption(), "0%");
    // The relay's own line carries -1: shown, not counted.
    Send("ch~<Relay> both players are here|$|-1");
    EXPECT_TRUE(t.side.Logged("<Relay> both players are here"));
    EXPECT_EQ(tw.net.ReceivedCount, 5);
    // A text without "~" is not a command at all.
    std::string plain = "hello|$|1";
    std::int32_t cls = 0;
    DetermineInfo(tw, plain, cls);
    EXPECT_EQ(tw.net.ReceivedCount, 5);
}

TEST_F(Dispatcher, TheCallersMessageKeepsTheCommandWithoutItsCount) {
    std::string message = "ch~<Ann> a|$|b|$|7";
    std::int32_t cls = 0;
    DetermineInfo(tw, message, cls);
    EXPECT_EQ(message, "ch~<Ann> a|$|b");
    EXPECT_TRUE(t.side.Logged("<Ann> a|$|b"));
}

TEST_F(Dispatcher, PileCountsFillTheOpponentsColumnOnlyWhenAllFiveCome) {
    Send("us~1:2:3:4:5|$|1");
    for (int row = 1; row <= 5; ++row) EXPECT_EQ(duel.Stats.text_matrix(row, 2), std::to_string(row));
    Send("us~7:8:9|$|2");
    for (int row = 1; row <= 5; ++row) EXPECT_EQ(duel.Stats.text_matrix(row, 2), std::to_string(row));
}

TEST_F(Dispatcher, LifePointsTakeOnlyAWholeNumber) {
    Send("nl~7200|$|1");
    EXPECT_EQ(tw.duel.OppLP, 7200);
    EXPECT_EQ(duel.Text2.caption(), "7200");
    for (const char* bad : {"nl~abc|$|2", "nl~7 000|$|3", "nl~|$|4", "nl~1e3|$|5"}) {
        Send(bad);
        EXPECT_EQ(tw.duel.OppLP, 7200) << bad;
    }
}

TEST_F(Dispatcher, ChatLinesAreShownAndAnsweredWithTheOwnPileCounts) {
    t.side.GiveDeck({"A", "B"});
    Send("ch~<Ann> hello|$|1");
    EXPECT_TRUE(t.side.Logged("<Ann> hello"));
    EXPECT_EQ(t.Answers(), std::vector<std::string>{"us~0:2:0:0:0"});

    Send("sc~Ann|$|2");
    EXPECT_TRUE(t.side.Logged("<Game> Ann has encountered an error and may become disconnected."));
    EXPECT_EQ(t.Answers(), (std::vector<std::string>{
                               "ch~<Game> Ann has encountered an error and may become disconnected.",
                               "us~0:2:0:0:0"}));
}

TEST_F(Dispatcher, PingInAnyCaseIsAnsweredWithTheOwnCount) {
    std::int32_t cls = 0;
    SendCommand(tw, "nl~8000", cls);
    SendCommand(tw, "nl~8000", cls);
    t.Answers();
    Send("PING~whatever|$|1");
    EXPECT_EQ(t.Answers(), std::vector<std::string>{"pong~2"});
}

TEST_F(Dispatcher, NotesMoveMirroredOnlyWhenTheyExist) {
    auto& note = duel.StickyNote.load(1);
    note.move(4005, 2985, 855, 855);
    duel.Label5[0].set_visible(true);
    Send("sl~2:100:200|$|1");  // no such note: nothing, not even the closing step
    EXPECT_TRUE(duel.Label5[0].visible());
    Send("sl~1:2985:4005|$|2");
    EXPECT_EQ(note.top(), duel.playsurface.height() - 2985 - 855);
    EXPECT_EQ(note.left(), 4005);
    EXPECT_FALSE(duel.Label5[0].visible());
}

TEST_F(Dispatcher, OwnCommandsRunUncountedAndOnlyTheirOwnRows) {
    tw.net.ReceivedCount = 3;
    duel.Label5[0].set_visible(true);
    RunOwnCommand(tw, "ok~searchdeck");
    EXPECT_FALSE(duel.Label5[0].visible());
    EXPECT_EQ(tw.net.ReceivedCount, 3);
    EXPECT_EQ(duel.hack.caption(), "");
    // The table's own entry point runs no row the peer sends.
    RunOwnCommand(tw, "nl~100");
    EXPECT_EQ(tw.duel.OppLP, 8000);
    EXPECT_EQ(tw.net.ReceivedCount, 3);
    EXPECT_TRUE(t.side.host.messages().empty());
}

TEST(CommandTable, EveryExampleFitsItsShapeAndEveryCodeIsListedOnce) {
    std::vector<std::string> codes;
    for (const CommandRow& row : CommandTable()) {
        EXPECT_TRUE(ArgsFit(row.shape, row.example)) << row.code << "~" << row.example;
        EXPECT_EQ(FindCommand(row.code), &row);
        EXPECT_EQ(FindCommand(rt::ucase(row.code)), &row);
        codes.emplace_back(row.code);
    }
    EXPECT_EQ(codes, (std::vector<std::string>{"ping", "pong", "ig", "ok", "pe", "pd", "us", "sl", "mn",
                                               "dn", "en", "dh", "hs", "ri", "sc", "wi", "m2", "cp",
                                               "mi", "rd", "rg", "rr", "sg", "nl", "ya", "vh", "ii",
                                               "si", "fc", "ac", "r2", "rc", "co", "mv", "ch", "lc"}));
    EXPECT_EQ(FindCommand("rp"), nullptr);
}

}  // namespace
}  // namespace tw
