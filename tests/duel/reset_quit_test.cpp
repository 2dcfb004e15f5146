// Reset, soft reset and quit of the duel window, on two tables connected through their panels:
// what each keeps, what it sends before the connection goes, and the order of its steps.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cards/about.hpp"
#include "cards/duel_log.hpp"
#include "cards/log_coding.hpp"
#include "cards/settings.hpp"
#include "cards/settings_window.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/deckmaker.hpp"
#include "duel/forma.hpp"
#include "net/connect3.hpp"
#include "net/listenwindow.hpp"
#include "net/macro_window.hpp"
#include "net/send_command.hpp"
#include "platform/rt_error.hpp"
#include "platform/tcp.hpp"
#include "table/field.hpp"
#include "table/piles.hpp"
#include "tests/support/duel_pair.hpp"

namespace tw {
namespace {

using platform::MsgButtons;
using platform::MsgResult;
using platform::TcpSocket;
using test::NetSide;

constexpr const char* kResetConnected =
    "You are currently playing a game, resetting will disconnect you, Do you want to reset?";
constexpr const char* kSoftReset = "Do you want to soft reset?";
constexpr const char* kQuit = "Are you sure you want to quit?";

void Send(Tablewright& tw, const std::string& command) {
    std::int32_t cls = 0;
    SendCommand(tw, command, cls);
}

// The text a game log file keeps.
std::string ReadGameLog(const std::string& file) {
    std::string body = test::TempDir::read(file);
    while (!body.empty() && (body.back() == '\n' || body.back() == '\r')) body.pop_back();
    const auto plain = FromDottedDecimal(body);
    return plain ? LogScramble(*plain) : "(not a game log)";
}

// Two players who started their duel from their panels, each with a deck and the deck editor
// behind the duel window, as the hand-over leaves them.
struct Duel : test::DuelPair {
    Duel() {
        for (NetSide* s : {&ann, &bob}) {
            WriteSetting(s->tw(), "firsttime", "no");
            s->tw().DeckMaker();
            s->GiveDeck({"Ember Drake", "Salt Wyrm", "Grey Tide", "Ashen Golem"});
            s->duel().show();
        }
        ann.duel().Command2.user_click();
        bob.tw().net_config.listen_port = ann.socket().bound_port();
        auto& d = bob.duel();
        d.Command3.user_click();
        d.Text4.user_got_focus();
        d.Text4.user_edit("127.0.0.1");
        d.Command3.user_click();
        EXPECT_TRUE(PumpUntil([&] {
            return ann.CountLogged("<Game> Handshake Accepted") == 2 && bob.CountLogged("<Game> Handshake Accepted") == 2;
        }));
    }
    // A card of the player's put on the table from the hand.
    void PutDown(NetSide& s, const std::string& name) {
        Card card;
        card.Name = name;
        card.SetCode = "S";
        std::int32_t own = 0;
        PutCardOnField(s.tw(), card, own);
    }
};

TEST(Reset, ClosesTheConnectionAndEmptiesTheTableInItsOrder) {
    Duel duel;
    auto& ann = duel.ann;
    auto& bob = duel.bob;
    auto& tw = ann.tw();
    auto& d = ann.duel();
    duel.PutDown(ann, "Ember Drake");
    duel.PutDown(ann, "Salt Wyrm");
    tw.log.LoggingOn = true;
    tw.duel.MyLP = 1200;
    tw.duel.OppLP = 300;
    tw.duel.Phase = 4;
    const Card field_record = tw.field.FieldCards[1];
    const std::string old_log = tw.log.LogFileName;
    // Bob's counts reached Ann's grid.
    ASSERT_TRUE(duel.PumpUntil([&] { return !d.Stats.text_matrix(2, 2).empty(); }));

    // No leaves everything as it was, the log's name included.
    ann.host.expect_yes_no(kResetConnected, MsgResult::No);
    d.ResetGame.Click();
    EXPECT_EQ(tw.log.LogFileName, old_log);
    EXPECT_EQ(ann.socket().state(), TcpSocket::StateConnected);
    EXPECT_TRUE(d.cardstencil.exists(1));

    ann.host.expect_yes_no(kResetConnected, MsgResult::Yes);
    d.ResetGame.Click();
    ASSERT_EQ(ann.host.questions().size(), 2u);
    EXPECT_EQ(ann.host.questions().back().title, "Tablewright " + tw.VersionText);

    // The peer heard the two closing lines, then the connection went.
    ASSERT_TRUE(duel.PumpUntil([&] { return bob.Logged("<Game> Disconnected!"); }));
    const auto bob_log = bob.Log();
    const auto stopped = std::find(bob_log.begin(), bob_log.end(), "<Game> Ann stopped waiting for a connection");
    ASSERT_NE(stopped, bob_log.end());
    ASSERT_NE(stopped + 1, bob_log.end());
    EXPECT_EQ(*(stopped + 1), "<Game> Disconnected");
    EXPECT_FALSE(bob.Logged("<Game> Game Reset!"));

    // The closing lines went into the new log file; logging stopped before "Game Reset!".
    EXPECT_NE(tw.log.LogFileName, old_log);
    const std::string saved = ReadGameLog(tw.log.LogFileName);
    EXPECT_NE(saved.find("<Game> Ann stopped waiting for a connection\r\n<Game> Disconnected\r\n"), std::string::npos)
        << saved;
    EXPECT_EQ(saved.find("Game Reset!"), std::string::npos);
    EXPECT_FALSE(tw.log.LoggingOn);

    EXPECT_EQ(ann.Log(), std::vector<std::string>{"<Game> Game Reset!"});
    EXPECT_EQ(ann.socket().state(), TcpSocket::StateClosed);
    EXPECT_EQ(tw.net.PlayerNumber, 0);
    EXPECT_EQ(tw.duel.MyLP, 8000);
    EXPECT_EQ(tw.duel.OppLP, 8000);
    EXPECT_EQ(d.Text1.caption(), "8000");
    EXPECT_EQ(d.Text2.caption(), "8000");
    EXPECT_EQ(tw.net.SendSeq, 0);
    EXPECT_EQ(tw.net.ReceiveSeq, 0);
    EXPECT_EQ(tw.piles.DeckCards.ubound(), 60);
    for (int i = 0; i <= 60; ++i) EXPECT_FALSE(IsLiveEntry(tw.piles.DeckCards[i])) << i;
    EXPECT_EQ(tw.piles.HandCards.ubound(), 0);
    EXPECT_EQ(tw.piles.TrashCards.ubound(), 0);
    EXPECT_EQ(tw.piles.ExtraDeckCards.ubound(), 0);
    for (int r = 0; r <= 3; ++r)
        for (int c = 0; c <= 6; ++c) EXPECT_EQ(tw.field.FieldGrid(r, c), 0);
    for (int slot = 1; slot <= 24; ++slot) EXPECT_FALSE(d.cardstencil.exists(slot));
    EXPECT_FALSE(d.cardstencil[0].visible());
    EXPECT_FALSE(tw.piles.DeckLoaded);
    EXPECT_FALSE(tw.net.ServerDuel);
    EXPECT_FALSE(d.gameplay.enabled());
    EXPECT_TRUE(d.Command2.enabled());
    EXPECT_TRUE(d.Command3.enabled());
    EXPECT_TRUE(d.Check1.enabled());
    EXPECT_EQ(d.hack.caption(), "");
    for (int row = 1; row <= 5; ++row) EXPECT_EQ(d.Stats.text_matrix(row, 2), "") << row;
    // Kept: the phase and the field's records.
    EXPECT_EQ(tw.duel.Phase, 4);
    EXPECT_EQ(tw.field.FieldCards[1].Name, field_record.Name);

    // Back at the deck editor, every control of it usable.
    EXPECT_FALSE(d.visible());
    auto& editor = tw.DeckMaker();
    EXPECT_TRUE(editor.visible());
    EXPECT_EQ(editor.caption(), "Deck Shop");
    for (const platform::Control* c : std::initializer_list<const platform::Control*>{
             &editor.Command1, &editor.Command5, &editor.Grid, &editor.File1, &editor.Combo1, &editor.NameContains})
        EXPECT_TRUE(c->enabled()) << c->name();
    EXPECT_TRUE(ann.host.messages().empty());
}

TEST(Reset, UnconnectedAndFromTheDeckItem) {
    test::DuelPair pair;
    auto& ann = pair.ann;
    auto& d = ann.duel();
    WriteSetting(ann.tw(), "firsttime", "no");
    ann.tw().DeckMaker();
    d.show();
    ann.GiveDeck({"Ember Drake"});
    ann.host.expect_yes_no("Are you sure you want to reset?", MsgResult::Yes);
    d.Deck.Click();
    ASSERT_EQ(ann.host.questions().size(), 1u);
    EXPECT_EQ(ann.host.questions()[0].title, "Tablewright");
    EXPECT_EQ(ann.Log(), std::vector<std::string>{"<Game> Game Reset!"});
    // The panel is left in its picture view, emptied.
    EXPECT_FALSE(d.selectedcard.visible());
    EXPECT_TRUE(d.lblName.visible());
    EXPECT_EQ(d.lblName.caption(), "");
    EXPECT_FALSE(d.Combo1.visible());
    EXPECT_FALSE(ann.tw().piles.DeckLoaded);
    EXPECT_TRUE(ann.tw().DeckMaker().visible());
    // Nothing went anywhere, and a second reset is as safe.
    EXPECT_TRUE(ann.host.messages().empty());
    ann.host.expect_yes_no("Are you sure you want to reset?", MsgResult::Yes);
    d.show();
    d.ResetGame.Click();
    EXPECT_EQ(ann.Log(), std::vector<std::string>{"<Game> Game Reset!"});
}

TEST(SoftReset, KeepsTheConnectionAndTheCountsAndLocksTheEditor) {
    Duel duel;
    auto& ann = duel.ann;
    auto& bob = duel.bob;
    auto& tw = ann.tw();
    auto& d = ann.duel();
    duel.PutDown(ann, "Ember Drake");
    tw.log.LoggingOn = true;
    // Forty commands each way, the last setting the life points; returns when both arrived.
    auto exchange = [&](int ann_lp, int bob_lp) {
        for (int i = 39; i >= 0; --i) {
            Send(tw, "nl~" + std::to_string(ann_lp + i));
            Send(bob.tw(), "nl~" + std::to_string(bob_lp + i));
        }
        return duel.PumpUntil([&] { return bob.tw().duel.OppLP == ann_lp && tw.duel.OppLP == bob_lp; });
    };
    ASSERT_TRUE(exchange(1500, 2500));
    tw.duel.MyLP = 1500;
    const auto ann_meter = tw.net.HackLevel;
    const auto bob_meter = bob.tw().net.HackLevel;
    const std::string log_name = tw.log.LogFileName;
    const auto send_seq = tw.net.SendSeq;

    ann.host.expect_yes_no(kSoftReset, MsgResult::No);
    d.SoftReset.Click();
    EXPECT_EQ(tw.duel.MyLP, 1500);
    EXPECT_TRUE(d.visible());

    ann.host.expect_yes_no(kSoftReset, MsgResult::Yes);
    d.SoftReset.Click();
    EXPECT_EQ(ann.host.questions().back().title, "Tablewright");
    EXPECT_EQ(ann.host.questions().back().text.find(kSoftReset), 0u);

    // The connection, seat, log, frame numbers and the opponent's life points stay.
    EXPECT_EQ(ann.socket().state(), TcpSocket::StateConnected);
    EXPECT_EQ(tw.net.PlayerNumber, 1);
    EXPECT_EQ(tw.log.LogFileName, log_name);
    EXPECT_TRUE(tw.log.LoggingOn);
    EXPECT_GT(tw.net.SendSeq, send_seq);
    EXPECT_EQ(tw.duel.OppLP, 2500);
    EXPECT_EQ(d.Text2.caption(), "2500");
    EXPECT_EQ(tw.duel.MyLP, 8000);
    EXPECT_EQ(d.Text1.caption(), "8000");
    EXPECT_FALSE(d.cardstencil.exists(1));
    EXPECT_EQ(tw.piles.DeckCards.ubound(), 60);
    // The shuffle of the emptied deck shows no box.
    EXPECT_TRUE(ann.host.messages().empty());
    EXPECT_EQ(ann.Log(), (std::vector<std::string>{"<Game> Ann`s Game was Soft Reset!",
                                                   "<Game> Ann has shuffled their deck"}));

    // The opponent's table has this player at 8000 and the three lines.
    ASSERT_TRUE(duel.PumpUntil([&] { return bob.Logged("<Game> Ann has shuffled their deck"); }));
    EXPECT_EQ(bob.tw().duel.OppLP, 8000);
    for (const char* line : {"<Game> Ann is now at 8000 LP)", "<Game> Ann`s Game was Soft Reset!"})
        EXPECT_TRUE(bob.Logged(line)) << line;

    // The deck editor can only take the deck back to the duel.
    auto& editor = tw.DeckMaker();
    EXPECT_FALSE(d.visible());
    EXPECT_TRUE(editor.visible());
    EXPECT_EQ(editor.caption(), "Deck Shop (Search/Set Options Locked)");
    EXPECT_EQ(editor.Label4.caption(), "Tablewright " + tw.VersionText + " (Search/Set Options Locked)");
    EXPECT_TRUE(editor.Command5.enabled());
    for (const platform::Control* c : std::initializer_list<const platform::Control*>{
             &editor.Command1, &editor.Grid, &editor.File1, &editor.Combo1, &editor.Combo3, &editor.NameContains})
        EXPECT_FALSE(c->enabled()) << c->name();

    // Both tables go on counting the same commands: neither meter rises.
    ASSERT_TRUE(exchange(7000, 2000));
    EXPECT_EQ(tw.net.HackLevel, ann_meter);
    EXPECT_EQ(bob.tw().net.HackLevel, bob_meter);

    // A reset afterwards unlocks the editor.
    d.show();
    ann.host.expect_yes_no(kResetConnected, MsgResult::Yes);
    d.ResetGame.Click();
    EXPECT_EQ(editor.caption(), "Deck Shop");
    EXPECT_TRUE(editor.Command1.enabled());
}

TEST(SoftReset, WithoutAConnectionWritesItsLinesOnly) {
    test::DuelPair pair;
    auto& ann = pair.ann;
    WriteSetting(ann.tw(), "firsttime", "no");
    ann.tw().DeckMaker();
    ann.duel().show();
    ann.host.expect_yes_no(kSoftReset, MsgResult::Yes);
    ann.duel().SoftReset.Click();
    EXPECT_EQ(ann.Log().size(), 2u);
    EXPECT_TRUE(ann.Sent().size() > 0);
    for (const auto& c : ann.tw().net.SentCommands) EXPECT_FALSE(c.connected);
    EXPECT_TRUE(ann.host.messages().empty());
}

TEST(Quit, EndsThePeerConnectionBeforeTheLastLineAndSavesTheLog) {
    Duel duel;
    auto& ann = duel.ann;
    auto& bob = duel.bob;
    auto& tw = bob.tw();
    auto& d = bob.duel();
    duel.PutDown(bob, "Salt Wyrm");
    tw.log.LoggingOn = true;
    tw.about().show(&d);
    tw.settings().show();
    tw.MacroWindow().show(&d);
    tw.net.SentCommands.clear();

    // The close button and the Quit item ask, once even when asked again meanwhile; No keeps the
    // table, its cards and the connection.
    bob.host.expect_yes_no(kQuit, MsgResult::No, [&] { d.quit.Click(); });
    d.Command16.user_click();
    bob.host.expect_yes_no(kQuit, MsgResult::No);
    d.quit.Click();
    ASSERT_EQ(bob.host.questions().size(), 2u);
    EXPECT_EQ(bob.host.questions()[0].title, "Tablewright " + tw.VersionText);
    EXPECT_TRUE(d.cardstencil.exists(1));
    EXPECT_EQ(bob.socket().state(), TcpSocket::StateConnected);

    bob.host.expect_yes_no(kQuit, MsgResult::Yes);
    EXPECT_THROW(d.Command16.user_click(), platform::ProgramEnd);
    EXPECT_TRUE(bob.app.ended());

    // The table was cleared first: 25 refreshes of the counts, then the connect dialog's line.
    std::vector<std::string> delivered;
    for (const auto& c : tw.net.SentCommands)
        if (c.connected) delivered.push_back(c.command);
    ASSERT_GE(delivered.size(), 26u);
    for (int i = 0; i < 25; ++i) EXPECT_EQ(delivered[i].rfind("us~", 0), 0u) << delivered[i];
    EXPECT_EQ(delivered[25], "ch~<Game> Disconnected");
    EXPECT_EQ(std::count(delivered.begin(), delivered.end(), "ch~<Game> Bob has quit"), 0);

    // Every other window closed; the deck editor's closing did not end the program early.
    for (bool open : {tw.connect3.loaded(), tw.listenwindow.loaded(), tw.about.loaded(), tw.settings.loaded(),
                      tw.DeckMaker.loaded(), tw.MacroWindow.loaded()})
        EXPECT_FALSE(open);
    const auto log = bob.Log();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "<Game> Disconnected");
    EXPECT_EQ(log.back(), "<Game> Bob has quit");
    const std::string saved = ReadGameLog(tw.log.LogFileName);
    EXPECT_TRUE(saved.ends_with("\r\n<Game> Bob has quit\r\n")) << saved;

    // The opponent saw the line and the connection drop, and no quit line.
    ASSERT_TRUE(duel.PumpUntil([&] { return ann.Logged("<Game> Disconnected!"); }));
    EXPECT_TRUE(ann.Logged("<Game> Disconnected"));
    EXPECT_FALSE(ann.Logged("<Game> Bob has quit"));
}

}  // namespace
}  // namespace tw
