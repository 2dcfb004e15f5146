// Looks at the opponent's piles between two tables on loopback: the graveyard and the removed
// pile are public, the deck needs its owner's consent, empty piles are told, and what arrives
// fills the asking side's pile viewer. A stranger's lists and requests are taken with care.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/control.hpp"
#include "table/pile_viewer.hpp"
#include "tests/support/duel_pair.hpp"

namespace tw {
namespace {

using test::DuelPair;
using test::NetSide;
using Lines = std::vector<std::string>;

constexpr const char* kConsent = "Your Opponent wants to look at your deck. Pushing 'Yes' will show them your deck.";

// Ann (seat 1) and Bob (seat 2), connected and introduced, Ann with cards in every pile.
struct Pair : ::testing::Test {
    DuelPair pair;
    NetSide& ann = pair.ann;
    NetSide& bob = pair.bob;

    Pair() {
        EXPECT_TRUE(pair.Connect());
        EXPECT_TRUE(pair.Greet());
        ann.GiveDeck({"D1", "D2", "DRAWN", "D3"});
        auto& trash = ann.tw().piles.TrashCards;
        trash.redim(3);
        for (int i = 1; i <= 3; ++i) {
            trash[i].Name = "G" + std::to_string(i);
            trash[i].SetCode = "S";
        }
        trash[2].RemovedFromGame = true;
        Quiet();
    }
    void Quiet() {
        for (NetSide* s : {&ann, &bob}) {
            s->duel().chat.set_text("");
            s->tw().net.SentCommands.clear();
        }
    }
    // Pumps until the line shows in the side's duel log.
    bool Until(NetSide& side, const std::string& line) {
        return pair.PumpUntil([&] { return side.Logged(line); });
    }
    // What the side sent, without the pile counts.
    static Lines Sent(NetSide& side) {
        Lines out;
        for (const auto& c : side.Sent())
            if (c.rfind("us~", 0) != 0) out.push_back(c);
        return out;
    }
    win::View& BobsViewer() { return bob.tw().view(); }
};

TEST_F(Pair, AGraveyardLookIsAnsweredWithoutAQuestion) {
    bob.duel().Player1GY_Click();
    ASSERT_TRUE(Until(bob, "<Game> Bob has received Graveyard Data and is Viewing Opponents Graveyard"));
    EXPECT_TRUE(ann.Logged("<Game> Bob is requesting to look at Ann`s Graveyard"));
    EXPECT_TRUE(ann.Logged("<Game> Ann is sending Graveyard Data"));
    EXPECT_EQ(Sent(ann), (Lines{"rg~<S G1<S G3", "ch~<Game> Ann is sending Graveyard Data"}));
    EXPECT_TRUE(ann.host.questions().empty());

    auto& v = BobsViewer();
    EXPECT_TRUE(v.visible());
    EXPECT_EQ(v.owner(), &bob.duel());
    EXPECT_EQ(bob.tw().piles.PileViewMode, "OppTrash");
    EXPECT_EQ(v.caption(), "Viewing Opponents Graveyard");
    EXPECT_EQ(v.List2.items(), (Lines{"S G1", "S G3"}));
    EXPECT_EQ(v.Label1.caption(), "Number of Cards (2)");
    EXPECT_TRUE(v.Label2.visible());

    // The removed pile in the same window; closing it is told.
    Quiet();
    bob.duel().Player1RFG_Click();
    ASSERT_TRUE(Until(bob, "<Game> Bob has received RFG Data and is Viewing RFG"));
    EXPECT_EQ(v.List2.items(), Lines{"S G2"});
    EXPECT_EQ(v.caption(), "Viewing Opponents RFG");
    bob.tw().view.unload();
    EXPECT_TRUE(bob.Logged("<Game> Bob stopped looking at their opponents RFG"));
}

TEST_F(Pair, ADeckLookNeedsTheOwnersYes) {
    ann.host.expect_yes_no(kConsent, platform::MsgResult::Yes);
    bob.duel().ViewOppDeck_Click();
    ASSERT_TRUE(Until(bob, "<Game> Bob has received Opponents Deck Data and is Viewing Opponents Deck"));
    ASSERT_EQ(ann.host.questions().size(), 1u);
    EXPECT_EQ(ann.host.questions()[0].title, "Let Opponent View your deck?");
    EXPECT_EQ(ann.host.questions()[0].buttons, platform::MsgButtons::YesNo);
    EXPECT_TRUE(ann.Logged("<Game> Ann is sending Deck Data. (Ann, Dont forget to shuffle your deck)"));
    // From the top down, taken places left out.
    EXPECT_EQ(BobsViewer().List2.items(), (Lines{"S D1", "S D2", "S D3"}));
    EXPECT_EQ(BobsViewer().caption(), "Viewing Opponents Deck");
    EXPECT_EQ(bob.tw().piles.PileViewMode, "OppDeck");

    // No: the refusal on both sides, nothing else, and Bob's viewer as it was.
    Quiet();
    ann.host.expect_yes_no(kConsent, platform::MsgResult::No);
    bob.duel().ViewOppDeck_Click();
    ASSERT_TRUE(Until(bob, "<Game> Ann will not let opponent look at deck."));
    EXPECT_TRUE(ann.Logged("<Game> Ann will not let opponent look at deck."));
    EXPECT_EQ(Sent(ann), Lines{"ch~<Game> Ann will not let opponent look at deck."});
    EXPECT_EQ(BobsViewer().List2.items(), (Lines{"S D1", "S D2", "S D3"}));
}

TEST_F(Pair, ARepeatedDeckRequestWhileTheBoxIsOpenGetsNoAnswer) {
    const std::string asked = "<Game> Bob is asking permission to look at opponents deck.";
    ann.host.expect_yes_no(kConsent, platform::MsgResult::Yes, [&] {
        // Bob asks again while Ann still thinks: Ann's table goes on taking his commands in.
        bob.duel().ViewOppDeck_Click();
        EXPECT_TRUE(pair.PumpUntil([&] { return ann.CountLogged(asked) == 2; }));
    });
    bob.duel().ViewOppDeck_Click();
    ASSERT_TRUE(Until(bob, "<Game> Bob has received Opponents Deck Data and is Viewing Opponents Deck"));
    EXPECT_EQ(ann.CountLogged(asked), 2);
    EXPECT_EQ(ann.host.questions().size(), 1u);
    int lists = 0;
    for (const auto& c : Sent(ann)) lists += c.rfind("rd~", 0) == 0 ? 1 : 0;
    EXPECT_EQ(lists, 1);

    // Once answered, a new request asks again.
    ann.host.expect_yes_no(kConsent, platform::MsgResult::No);
    bob.duel().ViewOppDeck_Click();
    ASSERT_TRUE(Until(bob, "<Game> Ann will not let opponent look at deck."));
    EXPECT_EQ(ann.host.questions().size(), 2u);
}

TEST_F(Pair, AnEmptyPileIsToldAndNoListIsSent) {
    struct Case {
        const char* what;
        std::function<void(Tablewright&)> piles;
        void (win::FormA::*ask)();
        const char* line;
    };
    using F = win::FormA;
    const Case cases[] = {
        {"a deck with no place at all", [](Tablewright& tw) { tw.piles.DeckCards.redim(0); }, &F::ViewOppDeck_Click,
         "<Game> Ann has no cards in their Deck"},
        {"a deck of taken places", [](Tablewright& tw) { for (int i = 1; i <= tw.piles.DeckCards.ubound(); ++i) tw.piles.DeckCards[i].Name = "DRAWN"; },
         &F::ViewOppDeck_Click, "<Game> Ann has no cards in their deck"},
        {"a graveyard with removed cards only",
         [](Tablewright& tw) { for (int i = 1; i <= tw.piles.TrashCards.ubound(); ++i) tw.piles.TrashCards[i].RemovedFromGame = true; },
         &F::Player1GY_Click, "<Game> Ann has no cards in their Graveyard"},
        {"no graveyard at all", [](Tablewright& tw) { tw.piles.TrashCards.redim(0); }, &F::Player1RFG_Click,
         "<Game> Ann has no cards in their RFG"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ann.GiveDeck({"D1"});
        c.piles(ann.tw());
        Quiet();
        if (c.ask == &F::ViewOppDeck_Click) ann.host.expect_yes_no(kConsent, platform::MsgResult::Yes);
        (bob.duel().*c.ask)();
        ASSERT_TRUE(Until(bob, c.line));
        EXPECT_EQ(Sent(ann), Lines{std::string("ch~") + c.line});
        EXPECT_FALSE(bob.tw().view.loaded());
    }
}

TEST(PileLists, TheRemovedPileBringsTheViewerToTheFront) {
    struct Raised : platform::ControlObserver {
        const platform::Control* form = nullptr;
        int times = 0;
        void changed(platform::Control& c, platform::Prop p) override {
            if (&c == form && p == platform::Prop::ZOrder) ++times;
        }
    } raised;  // outlives the tables, whose windows report to it
    DuelPair pair;
    ASSERT_TRUE(pair.Connect());
    ASSERT_TRUE(pair.Greet());
    NetSide& bob = pair.bob;
    pair.ann.GiveDeck({"D1"});
    pair.ann.tw().piles.TrashCards.redim(1);
    pair.ann.tw().piles.TrashCards[1].Name = "G1";
    auto until = [&](const std::string& line) { return pair.PumpUntil([&] { return bob.CountLogged(line) > 0; }); };
    bob.app.observer = &raised;
    raised.form = &bob.tw().view();  // loaded, hidden, by this first touch

    bob.duel().Player1GY_Click();
    ASSERT_TRUE(until("<Game> Bob has received Graveyard Data and is Viewing Opponents Graveyard"));
    EXPECT_EQ(raised.times, 1) << "shown";
    bob.duel().chat.set_text("");
    bob.duel().Player1GY_Click();
    ASSERT_TRUE(until("<Game> Bob has received Graveyard Data and is Viewing Opponents Graveyard"));
    EXPECT_EQ(raised.times, 1) << "refilled in place";
    pair.ann.tw().piles.TrashCards[1].RemovedFromGame = true;
    bob.duel().Player1RFG_Click();
    ASSERT_TRUE(until("<Game> Bob has received RFG Data and is Viewing RFG"));
    EXPECT_EQ(raised.times, 2) << "brought to the front";
}

// A stranger's lists and requests, over a real socket: nothing of ours moves, no box opens, and
// the viewer shows the rows as they came.
TEST(LooksFromAStranger, ListsAndRequestsAreTakenWithCare) {
    struct Case {
        const char* what;
        std::vector<std::string> commands;
        Lines answers;  // what the table writes back, counts and line echoes left out
        std::function<void(test::PeerTable&)> check;
    };
    auto rows = [](test::PeerTable& p) { return p.tw().view().List2.items(); };
    std::string many;
    for (int i = 0; i < 3000; ++i) many += "<S C" + std::to_string(i);
    const Case cases[] = {
        {"an empty list", {"rd~"}, {"ch~<Game> Ann has received Opponents Deck Data and is Viewing Opponents Deck"},
         [](test::PeerTable& p) { EXPECT_FALSE(p.tw().view.loaded()); }},
        {"a list of nothing but marks", {"rg~<<<"}, {"ch~<Game> Ann has received Graveyard Data and is Viewing Opponents Graveyard"},
         [&](test::PeerTable& p) {
             EXPECT_TRUE(rows(p).empty());
             EXPECT_EQ(p.tw().view().Label1.caption(), "Number of Cards (0)");
         }},
        {"control bytes, no blank, and a name holding \"<\"", {"rr~<S a\x01" "b<nospace<S x<y"},
         {"ch~<Game> Ann has received RFG Data and is Viewing RFG"},
         [&](test::PeerTable& p) { EXPECT_EQ(rows(p), (Lines{"S a\x01" "b", "nospace", "S x", "y"})); }},
        {"three thousand rows", {"rg~" + many}, {"ch~<Game> Ann has received Graveyard Data and is Viewing Opponents Graveyard"},
         [&](test::PeerTable& p) { EXPECT_EQ(rows(p).size(), 3000u); }},
        {"a pile letter the table does not know", {"sg~Q", "sg~", "sg~DX"}, {}, nullptr},
        {"letters in any case", {"SG~x", "sg~r"}, {"rg~<S Gone", "ch~<Game> Ann is sending Graveyard Data",
                                                  "rr~<S Away", "ch~<Game> Ann is sending RFG Data"},
         nullptr},
        {"a wish to be allowed an action", {"pe~searchdeck", "pe~drawcard"}, {"ok~searchdeck", "ok~drawcard"},
         [](test::PeerTable& p) {
             EXPECT_EQ(p.side.CountLogged("<Game> Opponent is about to look at their deck."), 1);
             EXPECT_FALSE(p.tw().view.loaded());
         }},
        {"the table's own command", {"ok~searchdeck", "ok~showcard"}, {},
         [](test::PeerTable& p) {
             EXPECT_FALSE(p.tw().view.loaded());
             EXPECT_TRUE(p.side.Logged("<Game> Ignored a malformed command from the opponent."));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::PeerTable p;
        auto& tw = p.tw();
        p.side.GiveDeck({"D1", "D2"});
        tw.piles.TrashCards.redim(2);
        tw.piles.TrashCards[1].Name = "Gone";
        tw.piles.TrashCards[1].SetCode = "S";
        tw.piles.TrashCards[2].Name = "Away";
        tw.piles.TrashCards[2].SetCode = "S";
        tw.piles.TrashCards[2].RemovedFromGame = true;
        const auto piles = [&] {
            Lines out;
            for (const auto* pile : {&tw.piles.DeckCards, &tw.piles.HandCards, &tw.piles.TrashCards, &tw.piles.ExtraDeckCards})
                for (int i = 0; i <= pile->ubound(); ++i)
                    out.push_back(std::to_string(i) + (*pile)[i].Name + ((*pile)[i].RemovedFromGame ? "*" : ""));
            return out;
        };
        const Lines before = piles();
        int n = 0;
        for (const auto& command : c.commands) {
            p.Send(command + "|$|" + std::to_string(n + 1) + "~" + std::to_string(n));
            ++n;
        }
        ASSERT_TRUE(p.reactor.wait_until([&] { return tw.net.ReceivedCount == n; }, 5000));
        // Whatever the rows, every move on them and every drop of them leaves our piles alone.
        if (auto* v = tw.view.peek()) {
            for (int r = 0; r < std::min(v->List2.list_count(), 5); ++r) {
                v->List2.set_list_index(r);
                v->PutintoHand_Click();
                v->PutIntoPlay_Click();
                v->RemoveFromGame_Click();
                v->PutintoDeck_Click();
                v->Command1_Click();
                v->Command2_Click();
                platform::DataObject data;
                data.set_data("view " + v->List2.text());
                int effect = 1;
                tw.FormA().playsurface.OLEDragDrop(data, effect, 1, 0, 500, 500);
                tw.FormA().hand.OLEDragDrop(data, effect, 1, 0, 10, 10);
            }
        }
        EXPECT_EQ(piles(), before);
        Lines answers;
        for (const auto& a : p.Answers())
            if (a.rfind("us~", 0) != 0) answers.push_back(a);
        EXPECT_EQ(answers, c.answers);
        EXPECT_TRUE(p.side.host.messages().empty());
        EXPECT_TRUE(p.side.host.questions().empty());
        if (c.check) c.check(p);
    }
}

}  // namespace
}  // namespace tw
