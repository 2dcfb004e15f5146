// Whole piles moved at once and the deck operations: where every card ends, the line each
// writes, what the peer is sent, and when the pile viewer is refreshed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/table/by_hand_fixture.hpp"

namespace tw {
namespace {

using test::ByHand;
using test::ByHandTable;
using test::Census;
using test::Lines;
using test::NamesOf;
using test::PileOf;

Card Entry(const std::string& name, bool removed, bool fusion = false) {
    Card c = test::Named(name);
    c.RemovedFromGame = removed;
    c.Fusion = fusion;
    c.Flipped = true;  // whatever a card carried, it arrives face up and upright
    c.Horizontal = true;
    return c;
}

// Two cards in the deck over one taken place, two in the hand, a graveyard and a removed pile
// in one array (each with an extra-deck card, a taken place between them), one extra-deck card
// over one taken place.
struct Piles : ByHandTable {
    Piles() {
        GiveHand({"H1", "H2"});
        tw.piles.DeckCards = PileOf({"D1", "D2", "DRAWN"});
        tw.piles.TrashCards = rt::Array<Card>(5);
        tw.piles.TrashCards[1] = Entry("G1", false);
        tw.piles.TrashCards[2] = Entry("R1", true);
        tw.piles.TrashCards[3] = Entry("GX", false, true);
        tw.piles.TrashCards[4] = Entry("DRAWN", false);
        tw.piles.TrashCards[5] = Entry("RX", true, true);
        tw.piles.ExtraDeckCards = PileOf({"X1", "DRAWN"});
        Quiet();
    }
};

struct Move {
    const char* name;
    void (win::FormA::*handler)();
    std::string line;
    Census moved;  // the cards that changed places, and where they are now
};

const Move kMoves[] = {
    {"hand to deck", &win::FormA::Hand2Deck_Click, "Ann put their hand on the bottom of their deck.",
     {{"H1", {"deck"}}, {"H2", {"deck"}}}},
    {"hand to graveyard", &win::FormA::Hand2GY_Click, "Ann discarded their hand.",
     {{"H1", {"graveyard"}}, {"H2", {"graveyard"}}}},
    {"hand to removed", &win::FormA::Hand2RFG_Click, "Ann removed their hand from the game.",
     {{"H1", {"rfg"}}, {"H2", {"rfg"}}}},
    {"deck to hand", &win::FormA::Deck2Hand_Click, "Ann moved their deck to their hand.",
     {{"D1", {"hand"}}, {"D2", {"hand"}}}},
    {"deck to graveyard", &win::FormA::Deck2GY_Click, "Ann moved their deck to the Graveyard",
     {{"D1", {"graveyard"}}, {"D2", {"graveyard"}}}},
    {"deck to removed", &win::FormA::Deck2RFG_Click, "Ann removed their deck from the game.",
     {{"D1", {"rfg"}}, {"D2", {"rfg"}}}},
    {"graveyard to hand", &win::FormA::GY2Hand_Click,
     "Ann moved their Graveyard to their hand (Any Fusion/Synchro were returned to Extra Deck)",
     {{"G1", {"hand"}}, {"GX", {"extra"}}}},
    {"graveyard to deck", &win::FormA::GY2Deck_Click, "Ann moved their Graveyard to their Deck.",
     {{"G1", {"deck"}}, {"GX", {"extra"}}}},
    {"graveyard to removed", &win::FormA::GY2RFG_Click, "Ann removed their Graveyard from the game.",
     {{"G1", {"rfg"}}, {"GX", {"rfg"}}}},
    {"removed to hand", &win::FormA::RFG2Hand_Click,
     "Ann put their removed from game cards into their hand (Any Fusion/Synchro were returned to Extra Deck).",
     {{"R1", {"hand"}}, {"RX", {"extra"}}}},
    {"removed to deck", &win::FormA::RFG2Deck_Click, "Ann moved their removed from game cards to their Deck.",
     {{"R1", {"deck"}}, {"RX", {"extra"}}}},
    {"removed to graveyard", &win::FormA::RFG2GY_Click,
     "Ann put their removed from game cards into their Graveyard.", {{"R1", {"graveyard"}}, {"RX", {"graveyard"}}}},
};

TEST(WholePileMoves, EveryCardEndsInOnePlace) {
    for (const Move& m : kMoves) {
        SCOPED_TRACE(m.name);
        Piles t;
        Census expected = t.Where();
        for (const auto& [name, places] : m.moved) expected[name] = places;

        t.Click(m.handler);
        EXPECT_EQ(t.Where(), expected);
        EXPECT_EQ(t.Log(), Lines{"<Game> " + m.line});
        EXPECT_EQ(t.SentCommands(), Lines{"ch~<Game> " + m.line}) << "no command of its own";
        // Between the graveyard and the removed pile a card only changes its flag, in place.
        const bool in_place = m.handler == &win::FormA::GY2RFG_Click || m.handler == &win::FormA::RFG2GY_Click;
        for (const auto* pile : {&t.tw.piles.DeckCards, &t.tw.piles.HandCards, &t.tw.piles.TrashCards, &t.tw.piles.ExtraDeckCards})
            for (const Card& c : *pile)
                if (m.moved.count(c.Name) && !in_place) {
                    EXPECT_FALSE(c.Flipped) << c.Name;
                    EXPECT_FALSE(c.Horizontal) << c.Name;
                }
    }
}

TEST(WholePileMoves, TheCountsGoOutAfterTheLineAndAgainAtTheEnd) {
    Piles t;
    t.duel.Hand2GY_Click();
    EXPECT_EQ(t.Sent(), (Lines{"ch~<Game> Ann discarded their hand.", "us~0:2:4:2:1", "us~0:2:4:2:1"}));
    EXPECT_EQ(t.tw.piles.HandCards.ubound(), 0);

    // An empty pile moves nothing, and says so all the same.
    t.Quiet();
    t.duel.Hand2RFG_Click();
    EXPECT_EQ(t.Sent(), (Lines{"ch~<Game> Ann removed their hand from the game.", "us~0:2:4:2:1", "us~0:2:4:2:1"}));
}

TEST(WholePileMoves, TheDeckKeepsItsOrder) {
    Piles t;
    // The hand goes under the last live card in hand order; one taken place for two cards: the
    // deck grows rather than leave a card doubled in the hand.
    t.duel.Hand2Deck_Click();
    EXPECT_EQ(NamesOf(t.tw.piles.DeckCards), (Lines{"D1", "D2", "H1", "H2"}));
    EXPECT_TRUE(t.duel.hand.items().empty());

    // The graveyard comes in under the last card, its first card highest.
    t.tw.piles.TrashCards[3].Fusion = false;
    t.duel.GY2Deck_Click();
    EXPECT_EQ(NamesOf(t.tw.piles.DeckCards), (Lines{"D1", "D2", "H1", "H2", "G1", "GX"}));

    // Into the deck and out again: the removed cards reach the graveyard, not the removed pile.
    t.tw.piles.TrashCards[5].Fusion = false;
    t.duel.RFG2Deck_Click();
    t.duel.Deck2GY_Click();
    EXPECT_EQ(t.Where()["R1"], Lines{"graveyard"});
    EXPECT_EQ(t.Where()["RX"], Lines{"graveyard"});
}

TEST(WholePileMoves, AnExtraDeckCardFindsAPlaceInTheExtraDeck) {
    Piles t;
    t.tw.piles.ExtraDeckCards = PileOf({"X1"});  // no taken place: it came from the opponent's extra deck
    t.duel.GY2Hand_Click();
    t.duel.RFG2Hand_Click();
    EXPECT_EQ(NamesOf(t.tw.piles.ExtraDeckCards), (Lines{"X1", "GX", "RX"}));
    EXPECT_EQ(t.duel.hand.items(), (Lines{"H1", "H2", "G1", "R1"}));
}

TEST(WholePileMoves, RefreshThePileViewerWhereItShowsThatPile) {
    struct Case {
        void (win::FormA::*handler)();
        const char* mode;
        bool visible;
        int refreshes;
    };
    using F = win::FormA;
    const Case cases[] = {
        // The deck moved into the hand leaves a look at it with nothing to show: it is refreshed.
        {&F::Deck2Hand_Click, "deck", true, 1},    {&F::Deck2GY_Click, "deck", true, 1},
        {&F::Deck2RFG_Click, "deck", false, 0},    {&F::GY2Hand_Click, "", true, 1},
        {&F::RFG2GY_Click, "rfg", false, 0},       {&F::Hand2Deck_Click, "ViewTop 3", true, 1},
        {&F::Hand2Deck_Click, "ViewTop 3", false, 0}, {&F::Hand2Deck_Click, "deck", false, 1},
        {&F::Hand2Deck_Click, "trash", true, 0},   {&F::Hand2GY_Click, "trash", true, 2},
        {&F::Hand2GY_Click, "deck", true, 1},      {&F::Hand2GY_Click, "trash", false, 0},
        {&F::Hand2RFG_Click, "rfg", true, 2},      {&F::Hand2RFG_Click, "trash", true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.mode + "\"" + (c.visible ? ", shown" : ", hidden"));
        Piles t;
        t.tw.piles.PileViewMode = c.mode;
        t.viewer_visible = c.visible;
        t.Click(c.handler);
        EXPECT_EQ(t.refreshes, c.refreshes);
    }
}

struct Deck : ByHand {
    Deck() {
        tw.piles.DeckCards = PileOf({"D1", "D2", "D3", "DRAWN"});
        tw.piles.DeckCards[2].Flipped = true;  // shuffled in face up
        Quiet();
    }
};

TEST_F(Deck, DiscardingTheTopCardCountsItInTheDeckUntilItIsMarkedTaken) {
    viewer_visible = true;
    duel.DiscardTop_Click();
    EXPECT_EQ(Sent(), (Lines{"ch~<Game> Ann discarded {card='D1' set='S'} from the top of their deck.",
                             "us~0:3:1:0:0", "us~0:3:1:0:0", "us~0:2:1:0:0"}));
    EXPECT_EQ(NamesOf(tw.piles.DeckCards), (Lines{"D2", "D3", "DRAWN", "DRAWN"}));
    EXPECT_EQ(refreshes, 1);

    // Face up, the deck names its next card; the face-up card inside it lands face up like any.
    tw.piles.DeckFaceUp = true;
    Quiet();
    duel.DiscardTop_Click();
    EXPECT_EQ(Log(), (Lines{"<Game> Ann discarded {card='D2' set='S'} from the top of their deck.",
                            "<Game> Ann`s next card is {card='D3' set='S'}"}));
    EXPECT_FALSE(tw.piles.TrashCards[2].Flipped);
    // After the last card there is no next card to name.
    Quiet();
    duel.DiscardTop_Click();
    EXPECT_EQ(Log(), Lines{"<Game> Ann discarded {card='D3' set='S'} from the top of their deck."});
    // From an empty deck: only the counts and the viewer.
    Quiet();
    duel.DiscardTop_Click();
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(Sent(), Lines{"us~0:0:3:0:0"});
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(Where()["D1"], Lines{"graveyard"});
}

TEST_F(Deck, ShuffleNamesTheTopCardOfAFaceUpDeck) {
    duel.Shuffle_Click();
    EXPECT_EQ(Log(), Lines{"<Game> Ann shuffled the deck"});
    EXPECT_EQ(Sent(), (Lines{"ch~<Game> Ann shuffled the deck", "us~0:3:0:0:0"}));

    tw.piles.DeckFaceUp = true;
    Quiet();
    duel.Shuffle_Click();
    const std::string top = tw.piles.DeckCards[1].Name;
    EXPECT_EQ(Log(), Lines{"<Game> Ann shuffled the deck. Ann`s next card is {card='" + top + "' set='S'}"});
    EXPECT_EQ(refreshes, 0);

    // With no card left there is none to name, also when the deck has no place at all.
    for (int size : {3, 0}) {
        tw.piles.DeckCards = PileOf(std::vector<std::string>(static_cast<std::size_t>(size), "DRAWN"));
        Quiet();
        duel.Shuffle_Click();
        EXPECT_EQ(Log(), Lines{"<Game> Ann shuffled the deck"}) << size;
    }
    EXPECT_EQ(fx.host.messages().back().text, "There are no cards left in the deck");
}

TEST_F(Deck, FlipTurnsTheLiveCardsUpsideDown) {
    // Just handed over, with no taken place: the bottom card comes to the top.
    tw.piles.DeckCards = PileOf({"D1", "D2", "D3", "D4"});
    tw.piles.DeckCards[2].Flipped = true;
    duel.FlipDeck_Click();
    EXPECT_EQ(NamesOf(tw.piles.DeckCards), (Lines{"D4", "D3", "D2", "D1"}));
    EXPECT_TRUE(tw.piles.DeckFaceUp);
    EXPECT_TRUE(tw.piles.DeckCards[3].Flipped) << "the cards' own faces are not touched";
    EXPECT_EQ(Sent(), (Lines{"ch~<Game> Ann flips their deck over. The top card is {card='D4' set='S'}",
                             "us~0:4:0:0:0"}));
    Quiet();
    duel.FlipDeck_Click();
    EXPECT_EQ(NamesOf(tw.piles.DeckCards), (Lines{"D1", "D2", "D3", "D4"}));
    EXPECT_FALSE(tw.piles.DeckFaceUp);
    EXPECT_EQ(Log(), Lines{"<Game> Ann flips their deck over."});

    // Taken places stay behind the live cards.
    tw.piles.DeckCards = PileOf({"D1", "D2", "DRAWN", "D3"});
    duel.FlipDeck_Click();
    EXPECT_EQ(NamesOf(tw.piles.DeckCards), (Lines{"D3", "D2", "D1", "DRAWN"}));

    // An empty deck turned face up names no card.
    tw.piles.DeckCards = PileOf({"DRAWN", "DRAWN"});
    tw.piles.DeckFaceUp = false;
    Quiet();
    duel.FlipDeck_Click();
    EXPECT_EQ(Log(), Lines{"<Game> Ann flips their deck over."});
    EXPECT_EQ(refreshes, 0);
}

TEST_F(Deck, CtrlKeysShuffleDiscardAndFlip) {
    for (int key : {'S', 'T', 'O'}) duel.user_key_down(key, 2);
    EXPECT_TRUE(Log().empty()) << "not without Ctrl";

    fx.host.set_key_down(17, true);
    duel.user_key_down('S', 2);
    duel.user_key_down('T', 2);
    duel.user_key_down('O', 2);
    duel.user_key_down('X', 2);
    const Lines log = Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "<Game> Ann shuffled the deck");
    EXPECT_EQ(log[1].rfind("<Game> Ann discarded {card='", 0), 0u) << log[1];
    EXPECT_EQ(log[2].rfind("<Game> Ann flips their deck over. The top card is", 0), 0u) << log[2];
}

TEST_F(ByHand, APersonReachesTheMovesFromTheGameplayLabel) {
    GiveHand({"H1"});
    duel.lblGameplay.user_click();  // no deck in play: the menu stays shut
    duel.gameplay.set_enabled(true);
    fx.host.expect_popup("Hand2GY");
    duel.lblGameplay.user_click();
    EXPECT_EQ(fx.host.expectations_left(), 0u);
    EXPECT_EQ(Where()["H1"], Lines{"graveyard"});
}

}  // namespace
}  // namespace tw
