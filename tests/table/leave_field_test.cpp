// An own card leaving the table for a pile: each way's order of what it sends and writes, where
// the card lands, and that no card is lost or doubled on the way.
#include <gtest/gtest.h>

#include <string>

#include "table/field_slots.hpp"
#include "tests/table/by_hand_fixture.hpp"

namespace tw {
namespace {

using test::ByHand;
using test::ByHandTable;
using test::Census;
using test::Lines;
using test::Monster;
using test::PileOf;

const std::string kCard = "{card='Jarrow Drake' set='BWX'}";

// Seat 1 with three cards in the hand, three in the deck over one taken place, one in the extra
// deck over one taken place, and Jarrow Drake on the table in slot 1.
struct Leave : ByHandTable {
    int s = 0;
    explicit Leave(Card card = Monster("Jarrow Drake")) {
        tw.net.PlayerNumber = 1;
        GiveHand({"H1", "H2", "H3"});
        tw.piles.DeckCards = PileOf({"D1", "D2", "D3", "DRAWN"});
        tw.piles.ExtraDeckCards = PileOf({"X1", "DRAWN"});
        s = Put(card);
        tw.field.SelectedSlot = static_cast<std::int16_t>(s);
    }
};

struct Way {
    const char* name;
    void (win::FormA::*handler)();
    const char* lands;  // the card's place afterwards
};
const Way kWays[] = {
    {"top of the deck", &win::FormA::field2deck_Click, "deck"},
    {"graveyard", &win::FormA::putintrash_Click, "graveyard"},
    {"hand", &win::FormA::ReturnToHand2_Click, "hand"},
    {"out of the game", &win::FormA::RemoveFromGameFromPlay_Click, "rfg"},
};

// Answers the removal's question with Yes.
void Answer(ByHandTable& t, const Way& way) {
    if (way.handler == &win::FormA::RemoveFromGameFromPlay_Click)
        t.fx.host.expect_yes_no("Are you sure you want to remove", platform::MsgResult::Yes);
}

TEST(LeaveTheField, EachWayInItsOwnOrder) {
    struct Case {
        const Way& way;
        bool face_down;
        Lines sent;
    };
    const std::string us = "us~3:3:0:0:1";
    const Case cases[] = {
        {kWays[0], false,
         {"rc~1", "ch~<Game> Ann put " + kCard + " from their field to the top of the deck.", "us~3:4:0:0:1",
          "us~3:4:0:0:1", "us~3:4:0:0:1"}},
        {kWays[0], true,
         {"rc~1", "ch~<Game> Ann put a face down card from their field to the top of the deck.", "us~3:4:0:0:1",
          "us~3:4:0:0:1", "us~3:4:0:0:1"}},
        // The graveyard's line comes before the card is in it.
        {kWays[1], false,
         {"rc~1", "ch~<Game> Ann put " + kCard + " into the graveyard", us, "us~3:3:1:0:1", "us~3:3:1:0:1"}},
        {kWays[1], true,
         {"rc~1", "ch~<Game> Ann put " + kCard + " into the graveyard", us, "us~3:3:1:0:1", "us~3:3:1:0:1"}},
        // The hand's line counts the returned card; the peer hears of it before it is taken off.
        {kWays[2], false,
         {"ch~<Game> Ann returned " + kCard + " to their hand. (4 cards in their hand)", "us~4:3:0:0:1", "rc~1",
          "us~4:3:0:0:1"}},
        {kWays[2], true,
         {"ch~<Game> Ann returned a Face Down card to  to their hand. (4 cards in their hand)", "us~4:3:0:0:1",
          "rc~1", "us~4:3:0:0:1"}},
        {kWays[3], false,
         {"rc~1", us, "ch~<Game> Ann removed " + kCard + " from the game", us, "us~3:3:0:1:1"}},
        {kWays[3], true,
         {"rc~1", us, "ch~<Game> Ann removed " + kCard + " from the game", us, "us~3:3:0:1:1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.way.name) + (c.face_down ? ", face down" : ", face up"));
        Card card = Monster("Jarrow Drake");
        card.Flipped = c.face_down;
        Leave t(card);
        t.tw.field.FieldCards[t.s].Counters = 2;
        Census expected = t.Where();
        expected["Jarrow Drake"] = {c.way.lands};

        Answer(t, c.way);
        t.Click(c.way.handler);
        EXPECT_EQ(t.Sent(), c.sent);
        EXPECT_EQ(t.Where(), expected);
        EXPECT_FALSE(t.duel.cardstencil.exists(t.s));
        EXPECT_TRUE(t.tw.field.FieldCards[t.s].Name.empty()) << "the slot is free";
        EXPECT_EQ(t.tw.field.FieldGrid(2, 1), -1) << "and so is its place";

        // In its pile it lies face up and upright, without the counters it had on the table.
        const Card* landed = nullptr;
        for (const auto* pile : {&t.tw.piles.DeckCards, &t.tw.piles.HandCards, &t.tw.piles.TrashCards})
            for (const Card& e : *pile)
                if (e.Name == "Jarrow Drake") landed = &e;
        ASSERT_NE(landed, nullptr);
        EXPECT_FALSE(landed->Flipped);
        EXPECT_FALSE(landed->Horizontal);
        EXPECT_EQ(landed->Counters, 0);
    }
}

TEST(LeaveTheField, OnTopOfTheDeckItIsTheNextCardDrawn) {
    Leave t;
    t.duel.field2deck_Click();
    EXPECT_EQ(test::NamesOf(t.tw.piles.DeckCards), (Lines{"Jarrow Drake", "D1", "D2", "D3"}));
    EXPECT_EQ(t.tw.piles.DrawnCount, 0);
    // A deck with no taken place left grows rather than pushing its bottom card out.
    t.Put(Monster("Quill Drake"));
    t.tw.field.SelectedSlot = 1;
    t.duel.field2deck_Click();
    EXPECT_EQ(test::NamesOf(t.tw.piles.DeckCards), (Lines{"Quill Drake", "Jarrow Drake", "D1", "D2", "D3"}));
}

TEST(LeaveTheField, AnExtraDeckCardGoesBackToTheExtraDeck) {
    Card fusion = Monster("Vesper Chimera");
    fusion.Fusion = true;
    Leave t(fusion);
    t.duel.ReturnToHand2_Click();
    EXPECT_EQ(t.SentCommands(), (Lines{"ch~<Game> Ann returned {card='Vesper Chimera' set='BWX'} to their Extra Deck.",
                                       "rc~1"}));
    EXPECT_EQ(test::NamesOf(t.tw.piles.ExtraDeckCards), (Lines{"X1", "Vesper Chimera"})) << "into the taken place";
    EXPECT_EQ(t.duel.hand.items(), (Lines{"H1", "H2", "H3"}));

    // One that did not come from this extra deck: no taken place, so the extra deck grows.
    t.Put(fusion);
    t.tw.field.SelectedSlot = 1;
    t.duel.ReturnToHand2_Click();
    EXPECT_EQ(test::NamesOf(t.tw.piles.ExtraDeckCards), (Lines{"X1", "Vesper Chimera", "Vesper Chimera"}));
    EXPECT_EQ(t.Where()["Vesper Chimera"], (Lines{"extra", "extra"}));

    // Into the graveyard it goes like any card.
    t.Put(fusion);
    t.tw.field.SelectedSlot = 1;
    t.duel.putintrash_Click();
    EXPECT_EQ(t.Where()["Vesper Chimera"], (Lines{"graveyard", "extra", "extra"}));
}

TEST(LeaveTheField, ATokenOnlyLeavesTheGame) {
    Card token = Monster("Pebble Token");
    token.SetCode = "Token";
    for (const Way& way : {kWays[0], kWays[1], kWays[2]}) {
        SCOPED_TRACE(way.name);
        Leave t(token);
        const Census before = t.Where();
        t.Click(way.handler);
        ASSERT_FALSE(t.fx.host.messages().empty());
        EXPECT_EQ(t.fx.host.messages().back().text,
                  "If a Token does this, it is removed from the game. Please Select Remove from Game");
        EXPECT_EQ(t.Where(), before);
        EXPECT_TRUE(t.Sent().empty());
    }
    Leave t(token);
    t.duel.RemoveFromGameFromPlay_Click();  // no question for a token
    EXPECT_EQ(t.SentCommands(), (Lines{"rc~1", "ch~<Game> Ann removed {card='Pebble Token' set='Token'} from the game"}));
    EXPECT_TRUE(t.Where()["Pebble Token"].empty()) << "kept in no pile";
    EXPECT_EQ(t.tw.piles.TrashCards.ubound(), 0);
}

TEST(LeaveTheField, TheRemovalAsksFirstAndChecksAgainAfterTheAnswer) {
    {
        Leave t;
        const Census before = t.Where();
        t.fx.host.expect_yes_no("Are you sure you want to remove Jarrow Drake from play?", platform::MsgResult::No);
        t.duel.RemoveFromGameFromPlay_Click();
        EXPECT_EQ(t.fx.host.questions().back().title, "Tablewright Version 9.1");
        EXPECT_EQ(t.Where(), before);
        EXPECT_TRUE(t.Sent().empty());
    }
    struct Meanwhile {
        const char* what;
        std::function<void(Leave&)> happens;
        bool removed;  // whether the card asked about leaves
    };
    const Meanwhile cases[] = {
        {"the card changed hands", [](Leave& t) { t.tw.field.FieldCards[t.s].Controller = 2; }, false},
        {"the card left and another took its slot",
         [](Leave& t) {
             RemoveFieldCard(t.tw, static_cast<std::int16_t>(t.s));
             t.Put(Monster("Quill Drake"));
         },
         false},
        {"the pointer passed over another card: still the card asked about",
         [](Leave& t) { t.tw.field.SelectedSlot = 2; }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Leave t;
        t.Put(Monster("Other"));
        t.tw.field.SelectedSlot = static_cast<std::int16_t>(t.s);
        t.fx.host.expect_yes_no("Are you sure", platform::MsgResult::Yes, [&] { c.happens(t); });
        t.duel.RemoveFromGameFromPlay_Click();
        EXPECT_EQ(t.Where()["Other"], Lines{"field"});
        if (c.removed) {
            EXPECT_EQ(t.Where()["Jarrow Drake"], Lines{"rfg"});
        } else {
            EXPECT_TRUE(t.SentCommands().empty());
            EXPECT_EQ(t.tw.piles.TrashCards.ubound(), 0);
        }
    }
}

TEST(LeaveTheField, NothingLeavesThatIsNotOwn) {
    for (const Way& way : kWays) {
        SCOPED_TRACE(way.name);
        Leave t;
        t.tw.field.FieldCards[t.s].Controller = 2;
        const Census before = t.Where();
        const auto notices = t.fx.host.messages().size();
        t.Click(way.handler);
        t.tw.field.SelectedSlot = -1;
        t.Click(way.handler);
        EXPECT_EQ(t.Where(), before);
        EXPECT_TRUE(t.Sent().empty());
        EXPECT_EQ(t.fx.host.messages().size(), notices);
    }
}

TEST(LeaveTheField, RefreshesThePileViewerWhereItShowsThePile) {
    struct Case {
        const Way& way;
        const char* mode;
        bool visible;
        int refreshes;
    };
    const Case cases[] = {
        {kWays[0], "deck", false, 1},      {kWays[0], "ViewTop 5", true, 1}, {kWays[0], "ViewTop 5", false, 0},
        {kWays[0], "trash", true, 0},      {kWays[1], "trash", false, 1},    {kWays[1], "deck", true, 0},
        {kWays[2], "deck", true, 0},       {kWays[3], "trash", true, 1},     {kWays[3], "rfg", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.way.name) + " with the viewer on \"" + c.mode + "\"" +
                     (c.visible ? ", shown" : ", hidden"));
        Leave t;
        t.tw.piles.PileViewMode = c.mode;
        t.viewer_visible = c.visible;
        Answer(t, c.way);
        t.Click(c.way.handler);
        EXPECT_EQ(t.refreshes, c.refreshes);
    }
}

}  // namespace
}  // namespace tw
