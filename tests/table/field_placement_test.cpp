#include "table/field.hpp"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/table/field_fixture.hpp"
#include "table/field_pictures.hpp"

namespace tw {
namespace {

using test::FieldFixture;
using test::LogLines;
using test::Monster;
using test::SpellCard;
using test::TrapCard;

using Lines = std::vector<std::string>;

// Takes `n` slots as if cards lay there.
void FillSlots(Tablewright& tw, int n) {
    for (int i = 0; i < n; ++i) OpenControl(tw, false, -1, false);
}

TEST(FieldGeometry, SeatTwoSeesTheRowsMirrored) {
    const double seat1[] = {505, 1990, 3825, 5340};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(FieldRowTop(0, row), seat1[row]);
        EXPECT_EQ(FieldRowTop(1, row), seat1[row]);
        EXPECT_EQ(FieldRowTop(2, row), seat1[3 - row]);
    }
    const double lefts[] = {810, 2070, 3330, 4590, 5850, 7110, 8370};
    for (int col = 0; col < 7; ++col) EXPECT_EQ(FieldColumnLeft(col), lefts[col]);
    EXPECT_EQ(FieldRowTop(1, 4), -1);
    EXPECT_EQ(FieldColumnLeft(7), -1);
    EXPECT_EQ(FieldColumnLeft(-1), -1);
}

// What an own placement sends, and what it writes to the duel log, in order.
TEST(PutCardOnField, SendsThePlacementInOrder) {
    const std::string us = "us~2:3:0:0:0";  // two in the hand, three in the deck
    const std::string put = "ch~<Game> Ann has put down a {card='Jarrow Drake' set='BWX'}";
    const std::string turned = "ch~<Game> Ann turned {card='Jarrow Drake' set='BWX'} horizontal";
    struct Case {
        const char* what;
        int seat;
        bool flipped, sideways, spell;
        Lines sends;
        double top;
    };
    const Case cases[] = {
        {"seat 1, face up", 1, false, false, false,
         {"lc~1~Jarrow Drake:BWX", "mv~1~2070:3825", "m2~1~2:1", put, us, "fc~1~0", "mv~1~2070:3825", us},
         3825},
        {"seat 2, face up: its monster row is row 1, seen at the same height", 2, false, false, false,
         {"lc~1~Jarrow Drake:BWX", "mv~1~2070:3825", "m2~1~1:1", put, us, "fc~1~0", "mv~1~2070:3825", us},
         3825},
        {"seat 1, spell", 1, false, false, true,
         {"lc~1~Jarrow Drake:BWX", "mv~1~2070:5340", "m2~1~3:1", put, us, "fc~1~0", "mv~1~2070:5340", us},
         5340},
        {"seat 2, spell", 2, false, false, true,
         {"lc~1~Jarrow Drake:BWX", "mv~1~2070:5340", "m2~1~0:1", put, us, "fc~1~0", "mv~1~2070:5340", us},
         5340},
        {"seat 1, face down", 1, true, false, false,
         {"lc~1~back:extras", "fc~1~1", "mv~1~2070:3825", "m2~1~2:1", "fc~1~1", "mv~1~2070:3825", us},
         3825},
        {"seat 2, face down", 2, true, false, false,
         {"lc~1~back:extras", "fc~1~1", "mv~1~2070:3825", "m2~1~1:1", "fc~1~1", "mv~1~2070:3825", us},
         3825},
        {"seat 1, face up sideways", 1, false, true, false,
         {"lc~1~Jarrow Drake:BWX", "mv~1~2070:3825", "m2~1~2:1", put, us, "fc~1~0", turned, us, "vh~1~1",
          "mv~1~2070:3825", us},
         3825},
        {"seat 2, face down sideways", 2, true, true, false,
         {"lc~1~back:extras", "fc~1~1", "mv~1~2070:3825", "m2~1~1:1", "fc~1~1", "vh~1~1", "mv~1~2070:3825",
          us},
         3825},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FieldFixture fx;
        auto& tw = fx.tw();
        tw.net.PlayerNumber = c.seat;
        fx.duel().hand.add_item("A");
        fx.duel().hand.add_item("B");
        tw.piles.DeckCards.redim(3);
        for (int i = 1; i <= 3; ++i) tw.piles.DeckCards[i] = Monster("Deck card");

        Card card = c.spell ? SpellCard("Jarrow Drake") : Monster("Jarrow Drake");
        card.Flipped = c.flipped;
        card.Horizontal = c.sideways;
        std::int32_t owner = 0;
        ASSERT_EQ(PutCardOnField(tw, card, owner), 1);

        EXPECT_EQ(fx.sent(), c.sends);
        for (const auto& s : tw.net.SentCommands) EXPECT_EQ(s.tag, 10 * c.seat) << s.command;
        if (c.flipped) {
            for (const auto& s : fx.sent()) EXPECT_EQ(s.find("Jarrow"), std::string::npos) << s;
        }

        Lines expected_log;
        if (!c.flipped) expected_log.push_back(put.substr(3));
        if (!c.flipped && c.sideways) expected_log.push_back(turned.substr(3));
        EXPECT_EQ(LogLines(fx.duel()), expected_log);

        auto& duel = fx.duel();
        EXPECT_EQ(duel.cardstencil[1].top(), c.top);
        EXPECT_EQ(duel.cardstencil[1].left(), 2070);
        EXPECT_EQ(duel.Label5[1].visible(), !c.flipped);
        EXPECT_EQ(duel.Label5[1].caption(), c.flipped ? "Face Down Card" : "Jarrow Drake");
    }
}

TEST(PutCardOnField, PlacesAnOwnCardAndKeepsTheCallersRecord) {
    FieldFixture fx;
    auto& tw = fx.tw();
    tw.net.PlayerNumber = 1;
    tw.cards.CardDatabase.push_back(Monster("Jarrow Drake"));
    Card card = Monster("Jarrow Drake");
    card.Atk = "0";
    card.CurrentAtk = "stale";
    card.Slot = 9;  // an own card takes the lowest free slot, not this
    std::int32_t owner = 0;

    ASSERT_EQ(PutCardOnField(tw, card, owner), 1);
    EXPECT_EQ(owner, 1);
    EXPECT_EQ(fx.host.slept_ms(), 300);
    EXPECT_EQ(card.Slot, 9);
    EXPECT_EQ(card.CurrentAtk, "stale");

    const Card& rec = tw.field.FieldCards[1];
    EXPECT_EQ(rec.Name, "Jarrow Drake");
    EXPECT_EQ(rec.Slot, 1);
    EXPECT_EQ(rec.Controller, 1);
    EXPECT_EQ(rec.CurrentAtk, "1800");  // from the card database
    EXPECT_EQ(rec.CurrentDef, "1200");
    EXPECT_EQ(rec.GridRow, 2);
    EXPECT_EQ(rec.GridCol, 1);
    EXPECT_EQ(tw.field.FieldGrid(2, 1), 1);
    EXPECT_EQ(tw.field.SelectedSlot, 1);

    auto& duel = fx.duel();
    EXPECT_TRUE(duel.cardstencil[1].visible());
    EXPECT_TRUE(duel.Shape1[1].visible());
    EXPECT_EQ(duel.Shape1[1].border_color(), kOwnBorderColour);
    EXPECT_EQ(duel.Shape1[1].left(), 2070);
    EXPECT_EQ(duel.Shape1[1].top(), 3825);
    EXPECT_EQ(duel.Label5[1].top(), 3825 - 160);
    EXPECT_EQ(duel.Label5[1].left(), 2070);
    ASSERT_TRUE(duel.cardstencil[1].picture());
    EXPECT_EQ(duel.cardstencil[1].picture()->source.filename(), "monster.gif");

    Card second = TrapCard("Quorrin's Backlash");
    owner = 0;
    EXPECT_EQ(PutCardOnField(tw, second, owner), 2);
    EXPECT_EQ(tw.field.FieldGrid(3, 1), 2);
    EXPECT_EQ(tw.field.SelectedSlot, 2);
}

TEST(PutCardOnField, ACardThePeerPlacedTakesItsSlotAndSendsNothing) {
    struct Case {
        const char* what;
        int seat, owner;
        double top;
        int row;
        platform::Color border;
    };
    const Case cases[] = {
        {"seat 1 receives seat 2's monster", 1, 2, 1990, 1, kSeat2BorderColour},
        {"seat 2 receives seat 1's monster", 2, 1, 1990, 2, kSeat1BorderColour},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FieldFixture fx;
        auto& tw = fx.tw();
        tw.net.PlayerNumber = c.seat;
        Card card = Monster("Jarrow Drake");
        card.Slot = 7;
        std::int32_t owner = c.owner;
        ASSERT_EQ(PutCardOnField(tw, card, owner), 7);
        EXPECT_EQ(fx.sent(), Lines{"us~0:0:0:0:0"});
        EXPECT_TRUE(LogLines(fx.duel()).empty());
        EXPECT_EQ(tw.field.FieldCards[7].Controller, c.owner);
        EXPECT_EQ(tw.field.FieldCards[7].GridRow, c.row);
        EXPECT_EQ(tw.field.FieldGrid(c.row, 1), 7);
        EXPECT_EQ(fx.duel().cardstencil[7].top(), c.top);
        EXPECT_EQ(fx.duel().Shape1[7].border_color(), c.border);
        EXPECT_FALSE(fx.duel().cardstencil.exists(1));
    }
}

// Whoever placed it, a card put on the table is the card the panel shows, and joins its history.
TEST(PutCardOnField, ShowsThePlacedCardInTheCardPanel) {
    struct Case {
        const char* what;
        Card card;
        std::int32_t owner;
        std::string shown;  // line 0 of the panel
        std::string history;
    };
    Card hidden = Monster("Jarrow Drake");
    hidden.Flipped = true;
    Card back = Monster("back", "extras");
    back.Slot = 6;
    Card theirs = TrapCard("Quorrin's Backlash");
    theirs.Slot = 5;
    const Case cases[] = {
        {"own card", Monster("Jarrow Drake"), 0, "Jarrow Drake", "BWX Jarrow Drake"},
        {"own card face down: the owner sees it", hidden, 0, "Jarrow Drake", "BWX Jarrow Drake"},
        {"the peer's card", theirs, 2, "Quorrin's Backlash", "BWX Quorrin's Backlash"},
        {"the peer's hidden card", back, 2, "Face Down Card", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FieldFixture fx;
        auto& tw = fx.tw();
        tw.net.PlayerNumber = 1;
        auto& panel = fx.duel().selectedcard;
        panel.set_text("Moss Golem\r\nAttrib: Earth");
        Card card = c.card;
        std::int32_t owner = c.owner;
        ASSERT_NE(PutCardOnField(tw, card, owner), 0);
        EXPECT_EQ(panel.text().substr(0, panel.text().find("\r\n")), c.shown);
        EXPECT_EQ(fx.duel().Combo1.list_count() > 0 ? fx.duel().Combo1.list(0) : "", c.history);
    }
}

TEST(PutCardOnField, AHiddenPeerCardIsShownAsABack) {
    FieldFixture fx;
    auto& tw = fx.tw();
    tw.net.PlayerNumber = 1;
    Card& rec = tw.field.FieldCards[4];
    rec.Name = "back";
    rec.SetCode = "extras";
    rec.Slot = 4;
    std::int32_t owner = 2;
    ASSERT_EQ(PutCardOnField(tw, rec, owner), 4);
    EXPECT_EQ(tw.field.FieldCards[4].Name, "Face Down Card");
    EXPECT_EQ(fx.duel().Label5[4].caption(), "Face Down Card");
    EXPECT_EQ(fx.duel().cardstencil[4].picture()->source.filename(), "back.gif");
}

// The peer's card replaces the one in its slot; the old card's place is given back.
TEST(PutCardOnField, AReplacedPeerCardFreesItsPlace) {
    FieldFixture fx;
    auto& tw = fx.tw();
    tw.net.PlayerNumber = 1;
    Card first = Monster("Jarrow Drake");
    first.Slot = 5;
    std::int32_t owner = 2;
    ASSERT_EQ(PutCardOnField(tw, first, owner), 5);
    ASSERT_EQ(tw.field.FieldGrid(1, 1), 5);

    Card second = SpellCard("Kestrin's Harvest");
    second.Slot = 5;
    ASSERT_EQ(PutCardOnField(tw, second, owner), 5);
    EXPECT_EQ(tw.field.FieldCards[5].Name, "Kestrin's Harvest");
    EXPECT_EQ(tw.field.FieldGrid(1, 1), -1);
    EXPECT_EQ(tw.field.FieldGrid(0, 1), 5);
}

TEST(PutCardOnField, PlacesNothingWithoutAUsableSlotOrName) {
    struct Case {
        const char* what;
        int taken;
        std::string name;
        int slot, owner;
        std::int64_t slept;
    };
    const Case cases[] = {
        {"a full table: no pause either", 24, "Jarrow Drake", 0, 0, 0},
        {"no name", 0, "", 0, 0, 300},
        {"a peer's slot 25", 0, "Jarrow Drake", 25, 2, 300},
        {"a peer's slot 0, the template's", 0, "Jarrow Drake", 0, 2, 300},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FieldFixture fx;
        auto& tw = fx.tw();
        tw.net.PlayerNumber = 1;
        FillSlots(tw, c.taken);
        Card card = Monster(c.name);
        card.Slot = c.slot;
        std::int32_t owner = c.owner;
        EXPECT_EQ(PutCardOnField(tw, card, owner), 0);
        EXPECT_EQ(fx.host.slept_ms(), c.slept);
        EXPECT_TRUE(fx.sent().empty());
        EXPECT_EQ(fx.duel().cardstencil.ubound(), c.taken);
        EXPECT_EQ(tw.field.SelectedSlot, -1);
    }
}

TEST(OpenControl, FindsTheLowestFreeSlot) {
    FieldFixture fx;
    auto& tw = fx.tw();
    auto& duel = fx.duel();

    EXPECT_EQ(OpenControl(tw, true, -1, false), 1);
    EXPECT_FALSE(duel.cardstencil.exists(1)) << "find only creates nothing";

    FillSlots(tw, 5);
    for (int s = 1; s <= 5; ++s) {
        EXPECT_TRUE(duel.cardstencil.exists(s));
        EXPECT_TRUE(duel.Label4.exists(s));
        EXPECT_TRUE(duel.Label5.exists(s));
        EXPECT_TRUE(duel.Shape1.exists(s));
        EXPECT_FALSE(duel.cardstencil[s].visible());
    }
    RemoveFieldCard(tw, 3);
    EXPECT_EQ(OpenControl(tw, true, -1, false), 3);
    EXPECT_EQ(OpenControl(tw, false, -1, false), 3);
    EXPECT_EQ(OpenControl(tw, true, -1, false), 6);
    EXPECT_EQ(OpenControl(tw, false, 12, true), 12);
    EXPECT_TRUE(duel.Shape1.exists(12));
    EXPECT_EQ(OpenControl(tw, true, -1, false), 6) << "gaps below the highest slot come first";

    FillSlots(tw, 18);  // 6 to 11 and 13 to 24
    EXPECT_EQ(duel.cardstencil.ubound(), 24);
    EXPECT_EQ(OpenControl(tw, true, -1, false), 25);
    EXPECT_EQ(OpenControl(tw, false, -1, false), 25);
    EXPECT_FALSE(duel.cardstencil.exists(25));
    EXPECT_EQ(tw.errors.LineMarker, "2215A");
}

TEST(GetCardLocation, TakesTheFirstFreePlaceOfTheOwnersRow) {
    struct Case {
        const char* what;
        int seat, owner;
        Card card;
        std::vector<std::pair<int, int>> taken;  // (row, column) already holding a card
        int row, col;
        bool entered;
    };
    const Case cases[] = {
        {"unconnected own monster", 0, 0, Monster("M"), {}, 2, 1, true},
        {"seat 1 own monster", 1, 1, Monster("M"), {}, 2, 1, true},
        {"seat 1 own trap", 1, 1, TrapCard("T"), {}, 3, 1, true},
        {"seat 1, the opponent's monster", 1, 2, Monster("M"), {}, 1, 1, true},
        {"seat 1, the opponent's spell", 1, 2, SpellCard("S"), {}, 0, 1, true},
        {"seat 2 own monster", 2, 2, Monster("M"), {}, 1, 1, true},
        {"seat 2 own spell", 2, 2, SpellCard("S"), {}, 0, 1, true},
        {"seat 2, the opponent's trap", 2, 1, TrapCard("T"), {}, 3, 1, true},
        {"taken places are skipped", 1, 1, Monster("M"), {{2, 1}, {2, 2}}, 2, 3, true},
        {"a full row: no place", 1, 1, Monster("M"), {{2, 1}, {2, 2}, {2, 3}, {2, 4}, {2, 5}}, 2, 4, false},
        {"own field spell: column 0, no grid entry", 1, 1, SpellCard("F", "Field"), {}, 2, 0, false},
        {"the opponent's field spell: column 6", 1, 2, SpellCard("F", "field"), {}, 1, 6, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FieldFixture fx;
        auto& tw = fx.tw();
        tw.net.PlayerNumber = c.seat;
        for (auto [r, col] : c.taken) tw.field.FieldGrid(r, col) = 20 + col;
        tw.field.FieldGrid(c.row, 0) = -1;  // a place given back counts as free too
        Card card = c.card;
        card.Slot = 8;
        card.GridCol = 4;  // as left from an earlier stay on the table
        GetCardLocation(tw, card, c.owner);
        EXPECT_EQ(card.GridRow, c.row);
        EXPECT_EQ(card.GridCol, c.col);
        int entries = 0;
        for (int r = 0; r < 4; ++r)
            for (int col = 0; col < 7; ++col) entries += tw.field.FieldGrid(r, col) == 8;
        EXPECT_EQ(entries, c.entered ? 1 : 0);
        if (c.entered) {
            EXPECT_EQ(tw.field.FieldGrid(c.row, c.col), 8);
        }
    }
}

TEST(GetCardLocation, ReportsAMissingGrid) {
    FieldFixture fx;
    auto& tw = fx.tw();
    tw.field.FieldGrid.erase();
    Card card = Monster("M");
    const auto before = fx.host.messages().size();
    GetCardLocation(tw, card, 0);
    ASSERT_EQ(fx.host.messages().size(), before + 1);
    EXPECT_NE(fx.host.messages().back().text.find("GetCardLocation"), std::string::npos);
}

// A sixth own monster finds no zone and keeps column 0, where the own field spell lies.
TEST(PositionFieldCard, MovesAnOwnCardOffAnotherOne) {
    FieldFixture fx;
    auto& tw = fx.tw();
    tw.net.PlayerNumber = 1;
    tw.random.seed(7);
    std::int32_t owner = 0;
    Card field = SpellCard("Kestrin's Harvest", "Field");
    ASSERT_EQ(PutCardOnField(tw, field, owner), 1);
    for (int i = 0; i < 5; ++i) {
        Card m = Monster("Jarrow Drake");
        PutCardOnField(tw, m, owner);
    }
    Card sixth = Monster("Jarrow Drake");
    ASSERT_EQ(PutCardOnField(tw, sixth, owner), 7);
    EXPECT_EQ(tw.field.FieldCards[7].GridCol, 0);

    auto& duel = fx.duel();
    const std::set<double> spots = {500, 1000, 1500, 2000, 2500};
    const auto& moved = duel.cardstencil[7];
    EXPECT_TRUE(spots.count(moved.top()) && spots.count(moved.left())) << moved.left() << "," << moved.top();
    EXPECT_EQ(duel.Shape1[7].top(), moved.top());
    EXPECT_EQ(duel.Label5[7].top(), moved.top() - 160);
    EXPECT_EQ(fx.sent().back(), "us~0:0:0:0:0");
    const std::string last_move = fx.sent()[fx.sent().size() - 2];
    EXPECT_EQ(last_move, "mv~7~" + std::to_string(static_cast<int>(moved.left())) + ":" +
                             std::to_string(static_cast<int>(moved.top())));

    // The opponent's card on the same spot stays where the grid puts it.
    tw.field.FieldCards[1].Controller = 2;
    tw.field.FieldCards[7].Controller = 2;
    duel.cardstencil[7].move(810, 3825);
    PositionFieldCard(tw, 7);
    EXPECT_EQ(duel.cardstencil[7].left(), 810);
    EXPECT_EQ(duel.cardstencil[7].top(), 3825);
}

}  // namespace
}  // namespace tw
