// The card menu's actions on a card that stays on the table: what each sends and writes, in
// order, and what the table shows afterwards.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/table/by_hand_fixture.hpp"

namespace tw {
namespace {

using test::ByHand;
using test::ByHandTable;
using test::Lines;
using test::Monster;

const std::string kCard = "{card='Jarrow Drake' set='BWX'}";
const std::string kCounts = "us~0:0:0:0:0";

std::string PictureOf(win::FormA& duel, int s) {
    const auto& p = duel.cardstencil[s].picture();
    return p ? p->source.filename().string() : "";
}

struct Actions : ByHand {
    int s = 0;
    Actions() {
        tw.net.PlayerNumber = 1;
        s = Put(Monster("Jarrow Drake"));
        tw.field.SelectedSlot = static_cast<std::int16_t>(s);
    }
    Card& card() { return tw.field.FieldCards[s]; }
};

TEST_F(Actions, CountersGoUpAndDownAndShowBelowTheCard) {
    auto& label = duel.Label4[s];
    duel.AddCounter_Click();
    EXPECT_EQ(Sent(), (Lines{"ch~<Game> Ann has added a counter to " + kCard, kCounts, "ac~1"}));
    duel.AddCounter_Click();
    EXPECT_EQ(card().Counters, 2);
    EXPECT_EQ(label.caption(), "Counters: 2");
    EXPECT_TRUE(label.visible());
    EXPECT_EQ(label.top(), duel.cardstencil[s].top() + 1215);
    EXPECT_EQ(label.left(), duel.cardstencil[s].left());
    // It reads on any table picture: black on its own backing, as wide as the card.
    for (const platform::Label* l : {&label, &duel.Label5[s]}) {
        EXPECT_FALSE(l->transparent()) << l->name();
        EXPECT_EQ(l->fore_color(), 0u) << l->name();
        EXPECT_GE(l->back_color() & 0xFF, 0xC0u) << l->name();
    }
    EXPECT_GE(label.width(), duel.cardstencil[s].width());

    Quiet();
    duel.RemoveCounter_Click();
    EXPECT_EQ(Sent(), (Lines{"ch~<Game> Ann has removed a counter from " + kCard, kCounts, "r2~1"}));
    EXPECT_EQ(label.caption(), "Counters: 1");
    EXPECT_TRUE(label.visible());
    duel.RemoveCounter_Click();
    EXPECT_EQ(card().Counters, 0);
    EXPECT_FALSE(label.visible()) << "the last counter gone, the label goes";
    duel.RemoveCounter_Click();
    EXPECT_EQ(card().Counters, 0) << "never below none";
}

TEST_F(Actions, FlipTurnsTheCardOverAndTellsThePeerItsNameWhenItComesUp) {
    duel.FlipCardOver_Click();
    EXPECT_EQ(Sent(), (Lines{"fc~1~1", "ch~<Game> Ann has flipped " + kCard + " over", kCounts}));
    EXPECT_TRUE(card().Flipped);
    EXPECT_EQ(duel.Label5[s].caption(), "Face Down Card");
    EXPECT_FALSE(duel.Label5[s].visible());
    EXPECT_EQ(PictureOf(duel, s), "back.gif");

    Quiet();
    duel.Label5[s].set_enabled(false);
    duel.FlipCardOver_Click();
    EXPECT_EQ(Sent(), (Lines{"fc~1~0", "ii~1~Jarrow Drake:BWX", "ch~<Game> Ann has flipped " + kCard + " over",
                             kCounts}));
    EXPECT_FALSE(card().Flipped);
    EXPECT_EQ(duel.Label5[s].caption(), "Jarrow Drake");
    EXPECT_TRUE(duel.Label5[s].visible());
    EXPECT_TRUE(duel.Label5[s].enabled());
    EXPECT_EQ(PictureOf(duel, s), "monster.gif");
}

TEST_F(Actions, TurnFollowsThePicturesWidth) {
    struct Case {
        const char* what;
        bool flipped, flag_before;
        double width_before;
        std::string line;
        std::string sent;
        double width_after;
        bool flag_after;
    };
    const Case cases[] = {
        {"upright turns sideways", false, false, 855, "Ann turned " + kCard + " horizontal", "vh~1~1", 1215, true},
        {"sideways turns upright", false, true, 1215, "Ann turned " + kCard + " vertical", "vh~1~0", 855, false},
        {"face down, the line names no card", true, false, 855,
         "Ann turned {card='Face Down Card' set='NA'} horizontal", "vh~1~1", 1215, true},
    };
    duel.Label4[s].set_visible(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        card().Flipped = c.flipped;
        card().Horizontal = c.flag_before;
        duel.cardstencil[s].set_width(c.width_before);
        Quiet();
        duel.TurnCardHorizontal_Click();
        EXPECT_EQ(Sent(), (Lines{"ch~<Game> " + c.line, kCounts, c.sent}));
        EXPECT_EQ(card().Horizontal, c.flag_after);
        auto& picture = duel.cardstencil[s];
        EXPECT_EQ(picture.width(), c.width_after);
        EXPECT_EQ(picture.height(), c.width_after == 855 ? 1215 : 855);
        EXPECT_EQ(duel.Label4[s].top(), picture.top() + picture.height()) << "the counter label follows";
    }
    // Repainted from the flag: a face-up sideways card in its sideways frame.
    card().Flipped = false;
    card().Horizontal = false;
    duel.cardstencil[s].set_width(855);
    duel.TurnCardHorizontal_Click();
    EXPECT_EQ(PictureOf(duel, s), "hmonster.gif");
    EXPECT_EQ(duel.Shape1[s].width(), 1215);
    EXPECT_EQ(duel.Shape1[s].height(), 850);
}

TEST_F(Actions, FlipAndTurnIsATurnThenAFlip) {
    // Face down and sideways: it comes up upright.
    card().Flipped = true;
    card().Horizontal = true;
    duel.cardstencil[s].set_width(1215);
    duel.flipNturn_Click();
    EXPECT_EQ(Sent(), (Lines{"ch~<Game> Ann turned {card='Face Down Card' set='NA'} vertical", kCounts, "vh~1~0",
                             "fc~1~0", "ii~1~Jarrow Drake:BWX", "ch~<Game> Ann has flipped " + kCard + " over",
                             kCounts}));
    EXPECT_FALSE(card().Flipped);
    EXPECT_FALSE(card().Horizontal);

    // Face up and upright: it goes down sideways.
    Quiet();
    duel.flipNturn_Click();
    EXPECT_EQ(SentCommands(), (Lines{"ch~<Game> Ann turned " + kCard + " horizontal", "vh~1~1", "fc~1~1",
                                     "ch~<Game> Ann has flipped " + kCard + " over"}));
    EXPECT_TRUE(card().Flipped);
    EXPECT_TRUE(card().Horizontal);
    EXPECT_EQ(PictureOf(duel, s), "hback.gif");
}

TEST(GiveControl, HandsTheCardToTheOtherSeat) {
    struct Case {
        int seat, to;
        void (win::FormA::*give)();
        platform::Color border;
        std::string name;  // the opponent's, "" before it arrived
    };
    const Case cases[] = {
        {1, 2, &win::FormA::GiveToPlayer2_Click, 16711680, "Bob"},
        {2, 1, &win::FormA::GiveToPlayer1_Click, 65535, "Bob"},
        {1, 2, &win::FormA::GiveToPlayer2_Click, 16711680, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("seat " + std::to_string(c.seat) + " to " + std::to_string(c.to));
        ByHandTable t;
        t.tw.net.PlayerNumber = c.seat;
        t.tw.net.PlayerNames[static_cast<std::size_t>(c.to)] = c.name;
        const int s = t.Put(Monster("Jarrow Drake"));
        const Card placed = t.tw.field.FieldCards[s];
        ASSERT_EQ(t.tw.field.FieldGrid(placed.GridRow, placed.GridCol), s);
        t.tw.field.SelectedSlot = static_cast<std::int16_t>(s);
        t.Click(c.give);
        EXPECT_EQ(t.Sent(), (Lines{"co~1:" + std::to_string(c.to), "ii~1~Jarrow Drake:BWX",
                                   "ch~<Game> Ann gives control of " + kCard + " to " + c.name, kCounts}));
        EXPECT_EQ(t.tw.field.FieldCards[s].Controller, c.to);
        EXPECT_EQ(t.tw.field.FieldGrid(placed.GridRow, placed.GridCol), -1);
        EXPECT_EQ(t.duel.Shape1[s].border_color(), c.border);
        EXPECT_EQ(t.duel.cardstencil[s].left(), 2070) << "it stays where it lies";

        // Now the opponent's: the own-card actions leave it alone.
        t.Quiet();
        t.duel.AddCounter_Click();
        t.Click(c.give);
        EXPECT_TRUE(t.Sent().empty());
    }
}

TEST_F(ByHand, GivingAwayACardFromAFullRowLeavesTheOtherCardsPlaces) {
    for (int i = 1; i <= 5; ++i) Put(Monster("Row " + std::to_string(i)));
    tw.net.PlayerNumber = 1;
    for (int s = 1; s <= 5; ++s) tw.field.FieldCards[s].Controller = 1;
    Card sixth = Monster("Sixth");
    sixth.GridRow = 2;
    sixth.GridCol = 3;  // kept from an earlier time on the table
    const int s = Put(sixth);
    ASSERT_EQ(tw.field.FieldCards[s].GridCol, 3);
    tw.field.SelectedSlot = static_cast<std::int16_t>(s);
    duel.GiveToPlayer2_Click();
    EXPECT_EQ(tw.field.FieldCards[s].Controller, 2);
    EXPECT_EQ(tw.field.FieldGrid(2, 3), 3) << "the third card keeps its place";
}

TEST_F(Actions, ActivatingAnnouncesTheCardOrThatItLiesFaceDown) {
    duel.activateEffect_Click();
    card().Flipped = true;
    duel.activateEffect_Click();
    EXPECT_EQ(SentCommands(), (Lines{"ch~<Game> Ann activated the effect of " + kCard,
                                     "ch~<Game> Ann activated the effect of Face Down"}));
}

TEST_F(Actions, NothingActsOnTheOpponentsCardOrOnNoCard) {
    const auto handlers = {&win::FormA::AddCounter_Click,         &win::FormA::RemoveCounter_Click,
                           &win::FormA::FlipCardOver_Click,       &win::FormA::TurnCardHorizontal_Click,
                           &win::FormA::flipNturn_Click,          &win::FormA::GiveToPlayer1_Click,
                           &win::FormA::GiveToPlayer2_Click,      &win::FormA::activateEffect_Click};
    card().Counters = 1;
    const Card before = card();
    const double width = duel.cardstencil[s].width();
    for (int selected : {s, -1, 0, 24}) {
        card().Controller = selected == s ? 2 : 1;
        for (auto handler : handlers) {
            tw.field.SelectedSlot = static_cast<std::int16_t>(selected);
            Click(handler);
        }
    }
    card().Controller = before.Controller;
    EXPECT_EQ(card(), before);
    EXPECT_EQ(duel.cardstencil[s].width(), width);
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(Log().empty());
}

TEST_F(ByHand, ATokenFromTheTablesMenuIsPutDownAsAnOwnCard) {
    std::filesystem::copy_file(test::SampleImages().parent_path() / "token.ptcg", fx.dir.path() / "token.ptcg");
    duel.TokenRoot[0].set_caption("Pebble Token");
    duel.TokenRoot[0].set_enabled(true);
    tw.piles.DeckLoaded = true;  // the table's menu opens once a deck is in play

    fx.host.expect_popup("Pebble Token");
    duel.playsurface.user_mouse_down(2, 0, 100, 100);
    ASSERT_TRUE(duel.cardstencil.exists(1));
    EXPECT_EQ(tw.field.FieldCards[1].Name, "Pebble Token");
    EXPECT_EQ(tw.field.FieldCards[1].SetCode, "Token");
    EXPECT_EQ(tw.field.FieldCards[1].Def, "800");
    EXPECT_EQ(SentCommands(), (Lines{"lc~1~Pebble Token:Token", "mv~1~2070:3825", "m2~1~2:1",
                                     "ch~<Game> Ann has put down a {card='Pebble Token' set='Token'}", "fc~1~0",
                                     "mv~1~2070:3825"}));

    // A full table refuses it.
    for (int i = 2; i <= 24; ++i) OpenControl(tw, false, -1, false);
    Quiet();
    const auto notices = fx.host.messages().size();
    duel.TokenRoot_Click(0);
    ASSERT_EQ(fx.host.messages().size(), notices + 1);
    EXPECT_EQ(fx.host.messages().back().text, "Sorry there cannot be more then 25 cards total in play");
    EXPECT_TRUE(Sent().empty());
}

}  // namespace
}  // namespace tw
