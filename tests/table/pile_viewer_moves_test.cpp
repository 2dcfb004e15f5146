// The pile viewer's moves: what each does in each look, the line it writes and where that line
// falls against the placement's own, and that no move loses or doubles a card, even where a pile
// has no free place or a row no longer shows its card.
#include <gtest/gtest.h>

#include <map>
#include <algorithm>
#include <iterator>
#include <optional>
#include <random>
#include <utility>
#include <string>
#include <vector>

#include "net/received_commands.hpp"
#include "table/field.hpp"
#include "table/field_slots.hpp"
#include "table/pile_viewer.hpp"
#include "tests/table/looks_fixture.hpp"

namespace tw {
namespace {

using test::Lines;
using test::LooksTable;
using test::NamesOf;
using test::PileOf;
using Move = void (win::View::*)();

// Piles with one card of each kind in each place: D2 lies face up in the deck, GX and RX are
// extra-deck cards in the graveyard and the removed-from-game pile.
struct MoveTable : LooksTable {
    MoveTable() {
        tw.piles.DeckCards = PileOf({"D1", "D2", "D3", "DRAWN"});
        tw.piles.DeckCards[2].Flipped = true;
        tw.piles.ExtraDeckCards = PileOf({"X1", "DRAWN", "X2"});
        for (int i = 1; i <= 3; ++i) tw.piles.ExtraDeckCards[i].Fusion = true;
        tw.piles.TrashCards = PileOf({"G1", "R1", "GX", "RX"});
        tw.piles.TrashCards[2].RemovedFromGame = true;
        tw.piles.TrashCards[3].Fusion = true;
        tw.piles.TrashCards[4].Fusion = true;
        tw.piles.TrashCards[4].RemovedFromGame = true;
        GiveHand({"H1"});
        RecountDeck(tw);
        Quiet();
    }
    void RunMove(Move move) { (Viewer().*move)(); }
};

struct Moves : ::testing::Test, MoveTable {};

TEST(ViewerMoves, EachMoveByLook) {
    struct Case {
        const char* mode;
        const char* row;
        Move move;
        Lines log;          // after "<Game> Ann"
        const char* to;     // where the card is afterwards; null: nothing moved
        Lines rows;         // the viewer's rows afterwards
    };
    using V = win::View;
    const std::string d1 = "{card='D1' set='S'}", d2 = "{card='D2' set='S'}", x2 = "{card='X2' set='S'}";
    const std::string g1 = "{card='G1' set='S'}", r1 = "{card='R1' set='S'}";
    const std::string gx = "{card='GX' set='S'}", rx = "{card='RX' set='S'}";
    const Case cases[] = {
        {"deck", "*S D2", &V::PutintoHand_Click, {" put " + d2 + " in their hand from Deck"}, "hand",
         {"S D1", "S D3"}},
        // Cards from the deck and the extra deck are told after the placement's own line ...
        {"deck", "S D1", &V::PutIntoPlay_Click,
         {" has put down a " + d1, " put " + d1 + " from their deck into play"}, "field", {"*S D2", "S D3"}},
        {"deck", "*S D2", &V::RemoveFromGame_Click, {" removed " + d2 + " from their deck to RFG"}, "rfg",
         {"S D1", "S D3"}},
        {"deck", "S D1", &V::PutintoDeck_Click, {}, nullptr, {"S D1", "*S D2", "S D3"}},
        {"ViewTop 2", "S D1", &V::PutintoHand_Click, {" put " + d1 + " in their hand from Deck"}, "hand",
         {"*S D2"}},
        {"ViewTop 2", "*S D2", &V::PutIntoPlay_Click,
         {" has put down a " + d2, " put " + d2 + " from their deck into play"}, "field", {"S D1"}},
        // ... and a removal from the top of the deck lists the top cards afresh, never more.
        {"ViewTop 2", "S D1", &V::RemoveFromGame_Click, {" removed " + d1 + " from their deck to RFG"}, "rfg",
         {"*S D2", "S D3"}},
        {"fusion", "S X2", &V::PutIntoPlay_Click,
         {" has put down a " + x2, " put " + x2 + " from their Extra Deck into play"}, "field", {"S X1"}},
        {"fusion", "S X1", &V::PutintoHand_Click, {}, nullptr, {"S X1", "S X2"}},
        {"fusion", "S X1", &V::RemoveFromGame_Click, {}, nullptr, {"S X1", "S X2"}},
        // ... cards from the graveyard and the removed-from-game pile before it.
        {"trash", "S G1", &V::PutIntoPlay_Click,
         {" put " + g1 + " from the Graveyard into play", " has put down a " + g1}, "field", {"S GX"}},
        {"rfg", "S R1", &V::PutIntoPlay_Click, {" put " + r1 + " from RFG into play", " has put down a " + r1},
         "field", {"S RX"}},
        {"trash", "S G1", &V::PutintoHand_Click, {" put " + g1 + " in their hand from Graveyard"}, "hand",
         {"S GX"}},
        {"rfg", "S R1", &V::PutintoHand_Click, {" put " + r1 + " in their hand from RFG"}, "hand", {"S RX"}},
        {"trash", "S GX", &V::PutintoHand_Click, {" returned " + gx + " to their Extra Deck from Graveyard"},
         "extra", {"S G1"}},
        {"rfg", "S RX", &V::PutintoHand_Click, {" returned " + rx + " to their Extra Deck from RFG"}, "extra",
         {"S R1"}},
        {"trash", "S G1", &V::RemoveFromGame_Click, {" removed " + g1 + " from their graveyard to RFG"}, "rfg",
         {"S GX"}},
        {"rfg", "S R1", &V::RemoveFromGame_Click, {}, nullptr, {"S R1", "S RX"}},
        {"trash", "S G1", &V::PutintoDeck_Click, {" put " + g1 + " from their graveyard to the top of the deck."},
         "deck", {"S GX"}},
        {"rfg", "S R1", &V::PutintoDeck_Click, {" put " + r1 + " from their RFG to the top of the deck."}, "deck",
         {"S RX"}},
        {"trash", "S GX", &V::PutintoDeck_Click,
         {" returned " + gx + " from their graveyard to their Extra Deck."}, "extra", {"S G1"}},
        {"rfg", "S RX", &V::PutintoDeck_Click, {" returned " + rx + " from their RFG to their Extra Deck."},
         "extra", {"S R1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " / " + c.row + " / log line " +
                     (c.log.empty() ? std::string("none") : c.log.back()));
        MoveTable t;
        t.Open(c.mode);
        t.SelectRow(c.row);
        const std::size_t notices = t.Notices().size();
        auto expected = t.Where();
        const std::string row = c.row;
        const std::string name = row.substr(row.find(' ') + 1);
        if (c.to) expected[name] = Lines{c.to};
        t.RunMove(c.move);

        Lines log;
        for (const auto& line : c.log) log.push_back("<Game> Ann" + line);
        EXPECT_EQ(t.Log(), log);
        EXPECT_EQ(t.Where(), expected);
        EXPECT_EQ(t.Rows(), c.rows);
        EXPECT_EQ(t.Viewer().Label1.caption(), "Number of Cards (" + std::to_string(c.rows.size()) + ")");
        EXPECT_EQ(t.Notices().size(), notices);
    }
}

TEST_F(Moves, CardsKeepOrLoseTheirFaceAsTheyLeaveTheDeck) {
    Open("deck");
    SelectRow("*S D2");
    Viewer().PutintoHand_Click();
    EXPECT_TRUE(tw.piles.HandCards[2].Flipped) << "a face-up card keeps its face in the hand";
    EXPECT_EQ(duel.hand.items(), (Lines{"H1", "D2"}));

    tw.piles.DeckCards[2].Flipped = true;  // D3, face up too
    Open("deck");
    SelectRow("*S D3");
    Viewer().PutIntoPlay_Click();
    const int s = tw.field.SelectedSlot;
    EXPECT_EQ(tw.field.FieldCards[s].Name, "D3");
    EXPECT_FALSE(tw.field.FieldCards[s].Flipped) << "put into play face up";
    EXPECT_EQ(SentCommands().front(), "lc~" + std::to_string(s) + "~D3:S");
}

TEST_F(Moves, AFullTableRefusesEveryLookBeforeAnythingElse) {
    for (int i = kFirstFieldSlot; i <= kLastFieldSlot; ++i) OpenControl(tw, false, -1, false);
    ASSERT_EQ(OpenControl(tw, true, -1, false), kNoFreeSlot);
    const std::string refusal = "Sorry there cannot be more then 25 cards total in play";
    for (const char* mode : {"deck", "ViewTop 2", "fusion", "trash", "rfg", "OppTrash"}) {
        SCOPED_TRACE(mode);
        if (std::string(mode) == "OppTrash")
            DI_RD(tw, "rg", "<S G1");
        else
            Open(mode);
        Quiet();
        const auto before = Where();
        const std::size_t shown = Notices().size();
        Viewer().List2.set_list_index(-1);
        Viewer().PutIntoPlay_Click();
        Viewer().List2.set_list_index(0);
        Viewer().PutIntoPlay_Click();
        EXPECT_EQ(Notices().size(), shown + 2);
        EXPECT_EQ(Notices().back(), refusal);
        EXPECT_EQ(Where(), before);
        EXPECT_TRUE(Log().empty());
        EXPECT_TRUE(Sent().empty());
    }
}

TEST(ViewerMoves, NoCardIsLostWhereAPileHasNoFreePlace) {
    using Counts = std::map<std::string, int>;
    struct Case {
        const char* what;
        const char* mode;
        const char* row;
        Move move;
        bool extra_full;  // the extra deck has no taken place
        bool deck_full;   // the deck has no taken place
        Counts changes;   // by place
        Lines extra, deck;
    };
    using V = win::View;
    const Case cases[] = {
        {"extra-deck card from the graveyard to the hand", "trash", "S GX", &V::PutintoHand_Click, true, false,
         {{"graveyard", -1}, {"extra", 1}}, {"X1", "X2", "GX"}, {"D1", "D2", "D3", "DRAWN"}},
        {"extra-deck card from the removed pile on top of the deck", "rfg", "S RX", &V::PutintoDeck_Click, true,
         false, {{"rfg", -1}, {"extra", 1}}, {"X1", "X2", "RX"}, {"D1", "D2", "D3", "DRAWN"}},
        {"extra-deck card into a taken place", "trash", "S GX", &V::PutintoDeck_Click, false, false,
         {{"graveyard", -1}, {"extra", 1}}, {"X1", "GX", "X2"}, {"D1", "D2", "D3", "DRAWN"}},
        {"on top of a deck without a taken place", "trash", "S G1", &V::PutintoDeck_Click, false, true,
         {{"graveyard", -1}, {"deck", 1}}, {"X1", "DRAWN", "X2"}, {"G1", "D1", "D2", "D3"}},
        {"on top of a deck with one", "rfg", "S R1", &V::PutintoDeck_Click, false, false,
         {{"rfg", -1}, {"deck", 1}}, {"X1", "DRAWN", "X2"}, {"R1", "D1", "D2", "D3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MoveTable t;
        if (c.extra_full) t.tw.piles.ExtraDeckCards = PileOf({"X1", "X2"});
        if (c.deck_full) t.tw.piles.DeckCards = PileOf({"D1", "D2", "D3"});
        Counts expected = t.Counts();
        for (const auto& [place, n] : c.changes) expected[place] += n;
        t.Open(c.mode);
        t.SelectRow(c.row);
        t.RunMove(c.move);
        EXPECT_EQ(t.Counts(), expected);
        EXPECT_EQ(NamesOf(t.tw.piles.ExtraDeckCards), c.extra);
        EXPECT_EQ(NamesOf(t.tw.piles.DeckCards), c.deck);
    }
}

TEST(ViewerMoves, ARowThatNoLongerShowsItsCardMovesNothing) {
    struct Case {
        const char* mode;
        const char* row;
        Move move;
        const char* notice;
    };
    using V = win::View;
    const Case cases[] = {
        {"ViewTop 2", "S D1", &V::PutintoHand_Click, "Card Not Found"},
        {"ViewTop 2", "S D1", &V::PutIntoPlay_Click, "Card Not Found"},
        {"ViewTop 2", "S D1", &V::RemoveFromGame_Click, "Card Not Found"},
        {"deck", "S D1", &V::PutintoHand_Click, "Card Not Found"},
        {"trash", "S G1", &V::PutintoDeck_Click, "Card Not Found"},
        {"trash", "S G1", &V::PutintoHand_Click, "Card Not Found"},
        {"trash", "S G1", &V::RemoveFromGame_Click, "Card Not Found"},
        {"fusion", "S X1", &V::PutIntoPlay_Click, "Card Not Found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + c.row);
        MoveTable t;
        t.Open(c.mode);
        t.SelectRow(c.row);
        // The card left behind the viewer's back; its row stays.
        for (auto* pile : {&t.tw.piles.DeckCards, &t.tw.piles.TrashCards, &t.tw.piles.ExtraDeckCards})
            for (int i = 1; i <= pile->ubound(); ++i)
                if ("S " + (*pile)[i].Name == c.row) (*pile)[i].Name = "DRAWN";
        const auto before = t.Where();
        t.RunMove(c.move);
        EXPECT_EQ(t.Where(), before);
        ASSERT_FALSE(t.Notices().empty());
        EXPECT_EQ(t.Notices().back(), c.notice);
        EXPECT_TRUE(t.Log().empty());
    }
}

TEST_F(Moves, ADeckWithNoCardLeftSaysSo) {
    Open("deck");
    SelectRow("S D1");
    for (int i = 1; i <= tw.piles.DeckCards.ubound(); ++i) tw.piles.DeckCards[i].Name = "DRAWN";
    for (Move move : {&win::View::PutintoHand_Click, &win::View::PutIntoPlay_Click}) {
        Quiet();
        RunMove(move);
        EXPECT_EQ(Notices().back(), "You have no more cards in your deck");
        EXPECT_EQ(Log(), Lines{"<Game> Ann is out of cards"});
    }
    EXPECT_EQ(duel.hand.items(), Lines{"H1"});
}

TEST_F(Moves, CopiesOfOneCardAreTakenInTheirOrder) {
    // Two copies in the graveyard and one in the removed pile, told apart by their text.
    tw.piles.TrashCards = PileOf({"G1", "G1", "G1"});
    tw.piles.TrashCards[1].Desc = "first";
    tw.piles.TrashCards[2].Desc = "removed";
    tw.piles.TrashCards[2].RemovedFromGame = true;
    tw.piles.TrashCards[3].Desc = "second";
    Open("trash");
    EXPECT_EQ(Rows(), (Lines{"S G1", "S G1"}));
    SelectRow("S G1");
    Viewer().PutintoHand_Click();
    EXPECT_EQ(tw.piles.HandCards[2].Desc, "first");
    EXPECT_EQ(Rows(), Lines{"S G1"});
    Open("rfg");
    SelectRow("S G1");
    Viewer().PutintoHand_Click();
    EXPECT_EQ(tw.piles.HandCards[3].Desc, "removed");

    // A graveyard card removed from the game keeps its place, and comes back to it.
    tw.piles.TrashCards = PileOf({"A", "B", "C"});
    Open("trash");
    SelectRow("S A");
    Viewer().RemoveFromGame_Click();
    EXPECT_EQ(Rows(), (Lines{"S B", "S C"}));
    duel.RFG2GY_Click();
    Open("trash");
    EXPECT_EQ(Rows(), (Lines{"S A", "S B", "S C"}));

    // From the deck, the topmost copy goes out of the game, whichever row was pressed.
    tw.piles.DeckCards = PileOf({"D1", "D9", "D1"});
    tw.piles.DeckCards[1].Desc = "top";
    tw.piles.DeckCards[3].Desc = "lower";
    Open("deck");
    Viewer().List2.set_list_index(2);
    Viewer().RemoveFromGame_Click();
    EXPECT_EQ(tw.piles.TrashCards[tw.piles.TrashCards.ubound()].Desc, "top");
    EXPECT_EQ(Rows(), (Lines{"S D9", "S D1"}));
    EXPECT_EQ(tw.piles.DeckCards[2].Desc, "lower");
}

TEST_F(Moves, ARowDroppedOnTheHandGoesIntoTheHandWhereTheLookAllowsIt) {
    auto drop = [&](const std::string& text) {
        platform::DataObject data;
        data.set_data(text);
        int effect = 1;
        duel.hand.OLEDragDrop(data, effect, 1, 0, 100, 100);
    };
    Open("deck");
    SelectRow("*S D2");
    drop("view *S D2");
    EXPECT_EQ(duel.hand.items(), (Lines{"H1", "D2"}));
    EXPECT_EQ(Log(), Lines{"<Game> Ann put {card='D2' set='S'} in their hand from Deck"});

    // The extra deck and the opponent's piles give nothing to the hand; a hand drag neither.
    Open("fusion");
    SelectRow("S X1");
    drop("view S X1");
    DI_RD(tw, "rg", "<S G1");
    Viewer().List2.set_list_index(0);
    Quiet();
    const auto before = Where();
    drop("view S G1");
    drop("hand H1");
    EXPECT_EQ(Where(), before);
    EXPECT_TRUE(Log().empty());

    // Before a deck is in play the hand takes nothing and says why.
    tw.piles.DeckLoaded = false;
    drop("view S G1");
    EXPECT_EQ(Notices().back(), "Please goto file then to deck and make or load a deck");
    EXPECT_EQ(Where(), before);
}

// Every move of the table, the hand, the piles and the viewer itself, in seeded random order,
// with a look open on a random pile: after each step the open look lists exactly its pile, so
// that no row offers a card that left and every card that arrived can be moved from the window.
TEST(ViewerMoves, AnOpenLookFollowsItsPileThroughEveryMove) {
    using F = win::FormA;
    using V = win::View;
    const char* const modes[] = {"deck", "ViewTop 3", "fusion", "trash", "rfg"};
    const std::vector<std::pair<const char*, void (F::*)()>> table_moves = {
        {"draw", &F::drawcard_Click},
        {"hand into play", &F::PutIntoPlay_Click},
        {"hand into play face down", &F::putintoplayfacedown_Click},
        {"hand to the graveyard", &F::putintrash2_Click},
        {"hand out of the game", &F::RemoveFromGameFromHand_Click},
        {"hand on top of the deck", &F::putontopofdeck_Click},
        {"hand under the deck", &F::BottomOfDeck_Click},
        {"hand shuffled in face up", &F::ShuffleIntoDeckFaceUp_Click},
        {"random discard", &F::DiscardRandom_Click},
        {"field on top of the deck", &F::field2deck_Click},
        {"field to the graveyard", &F::putintrash_Click},
        {"field back to hand or extra deck", &F::ReturnToHand2_Click},
        {"field out of the game", &F::RemoveFromGameFromPlay_Click},
        {"deck to hand", &F::Deck2Hand_Click},
        {"deck to the graveyard", &F::Deck2GY_Click},
        {"deck out of the game", &F::Deck2RFG_Click},
        {"graveyard to hand", &F::GY2Hand_Click},
        {"graveyard to deck", &F::GY2Deck_Click},
        {"graveyard out of the game", &F::GY2RFG_Click},
        {"removed to hand", &F::RFG2Hand_Click},
        {"removed to deck", &F::RFG2Deck_Click},
        {"removed to the graveyard", &F::RFG2GY_Click},
        {"hand under the deck, all", &F::Hand2Deck_Click},
        {"hand to the graveyard, all", &F::Hand2GY_Click},
        {"hand out of the game, all", &F::Hand2RFG_Click},
        {"top card discarded", &F::DiscardTop_Click},
        {"shuffle", &F::Shuffle_Click},
        {"deck flipped", &F::FlipDeck_Click},
    };
    const std::vector<std::pair<const char*, void (V::*)()>> viewer_moves = {
        {"row into hand", &V::PutintoHand_Click},   {"row into play", &V::PutIntoPlay_Click},
        {"row on top of the deck", &V::PutintoDeck_Click}, {"row out of the game", &V::RemoveFromGame_Click},
        {"row up", &V::Command1_Click},             {"row down", &V::Command2_Click},
    };
    // The rows a look at the mode's pile shows.
    const auto expected_rows = [](Tablewright& tw, const std::string& mode, std::size_t shown) {
        Lines rows;
        const bool top = IsTopOfDeckMode(mode);
        const ShownPile pile = mode == kViewExtra ? ShownPile::Extra
                               : mode == kViewGraveyard ? ShownPile::Graveyard
                               : mode == kViewRemoved   ? ShownPile::Removed
                                                        : ShownPile::Deck;
        for (const Card* c : ShownEntries(tw, pile)) rows.push_back(ViewerRow(*c, pile == ShownPile::Deck));
        // A look at the top of the deck may have fewer rows than it asked for once cards were
        // taken from it, but those it has are the top cards.
        if (top) rows.resize(std::min(rows.size(), std::min(shown, static_cast<std::size_t>(TopOfDeckCount(mode)))));
        return rows;
    };

    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        test::LooksTable t;
        Tablewright& tw = t.tw;
        tw.net.PlayerNumber = 1;
        tw.piles.DeckCards = PileOf({"D1", "D2", "D3", "D4", "D5", "D6", "D7", "D8", "D9", "D10"});
        tw.piles.ExtraDeckCards = PileOf({"X1", "X2", "X3", "X4"});
        for (int i = 1; i <= 4; ++i) tw.piles.ExtraDeckCards[i].Fusion = true;
        t.GiveHand({"H1", "H2", "H3"});
        RecountDeck(tw);
        t.Quiet();
        std::mt19937 rng(seed);
        const auto pick = [&rng](std::size_t n) { return static_cast<int>(std::uniform_int_distribution<std::size_t>(0, n - 1)(rng)); };
        std::string last = "start";
        for (int step = 0; step < 120; ++step) {
            const int kind = pick(4);
            if (kind == 0) {
                const char* mode = modes[pick(std::size(modes))];
                t.Open(mode);
                last = std::string("open ") + mode;
            } else if (kind == 1 && t.Shown()) {
                const auto& [name, move] = viewer_moves[static_cast<std::size_t>(pick(viewer_moves.size()))];
                const int rows = t.Viewer().List2.list_count();
                t.Viewer().List2.set_list_index(rows > 0 ? pick(static_cast<std::size_t>(rows)) : -1);
                (t.Viewer().*move)();
                last = name;
            } else {
                const auto& [name, move] = table_moves[static_cast<std::size_t>(pick(table_moves.size()))];
                if (t.duel.hand.list_count() > 0)
                    t.duel.hand.set_list_index(pick(static_cast<std::size_t>(t.duel.hand.list_count())));
                std::vector<int> own;
                for (int s = kFirstFieldSlot; s <= kLastFieldSlot; ++s)
                    if (t.duel.cardstencil.exists(s) && IsOwnCard(tw, tw.field.FieldCards[s])) own.push_back(s);
                tw.field.SelectedSlot = static_cast<std::int16_t>(own.empty() ? 0 : own[static_cast<std::size_t>(pick(own.size()))]);
                if (move == &F::RemoveFromGameFromPlay_Click && tw.field.SelectedSlot != 0)
                    t.fx.host.expect_yes_no("Are you sure you want to remove", platform::MsgResult::Yes);
                t.Click(move);
                last = name;
            }
            t.Quiet();
            if (!t.Shown()) continue;
            ASSERT_EQ(t.Rows(), expected_rows(tw, tw.piles.PileViewMode, t.Rows().size()))
                << "step " << step << ", after \"" << last << "\" with the look on \"" << tw.piles.PileViewMode << "\"";
        }
    }
}

}  // namespace
}  // namespace tw
