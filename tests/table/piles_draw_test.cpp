// Drawing, shuffling, compacting the hand and putting cards back into piles.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cards/helpers.hpp"
#include "platform/random.hpp"
#include "table/piles.hpp"
#include "tests/table/piles_fixture.hpp"

namespace tw {
namespace {

using test::NamesOf;
using test::PileOf;

std::vector<std::string> Cards(int n) {
    std::vector<std::string> v;
    for (int i = 1; i <= n; ++i) v.push_back("C" + std::to_string(i));
    return v;
}

struct Draw : test::PilesTest {
    void LoadDeck(const std::vector<std::string>& names) {
        tw.piles.DeckCards = PileOf(names);
        tw.piles.DeckLoaded = true;
    }
};

TEST_F(Draw, FirstDrawOfAFreshDeckMovesTheTopCardAndSendsTheNewCounts) {
    LoadDeck(Cards(40));
    DrawCard(tw, false);

    EXPECT_EQ(Hand(), (std::vector<std::string>{"C1"}));
    EXPECT_EQ(tw.piles.DeckRemaining, 39);
    EXPECT_EQ(tw.piles.DrawnCount, 1);
    EXPECT_EQ(tw.piles.DeckCards[1].Name, "C2");
    EXPECT_EQ(tw.piles.DeckCards[39].Name, "C40");
    EXPECT_EQ(tw.piles.DeckCards[40].Name, "DRAWN");
    EXPECT_EQ(tw.piles.DeckCards.ubound(), 40);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"ch~<Game> Me drew a card", "us~1:39:0:0:0"}));
    EXPECT_EQ(duel.Stats.text_matrix(2, 1), "39");
}

TEST_F(Draw, AnnouncementDependsOnShowFaceUpDeckAndFaceUpCard) {
    struct Case {
        const char* what;
        bool show, deck_face_up, card_face_up;
        std::string line;
    };
    const Case cases[] = {
        {"hidden", false, false, false, "Me drew a card"},
        {"shown", true, false, false, "Me drew a {card='C1' set='S'}"},
        {"face-up deck names the next card", true, true, false,
         "Me drew a {card='C1' set='S'}. The next card in the deck is {card='C2' set='S'}"},
        {"a card lying face up in the deck is always named", false, false, true, "Me drew a FACE UP {card='C1' set='S'}"},
        {"face up in a face-up deck", false, true, true,
         "Me drew a FACE UP {card='C1' set='S'}. The next card in the deck is {card='C2' set='S'}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GiveHand({});
        tw.net.SentCommands.clear();
        LoadDeck({"C1", "C2"});
        tw.piles.DeckCards[1].Flipped = c.card_face_up;
        tw.piles.DeckCards[1].Horizontal = true;
        tw.piles.DeckFaceUp = c.deck_face_up;
        DrawCard(tw, c.show);
        ASSERT_FALSE(tw.net.SentCommands.empty());
        EXPECT_EQ(tw.net.SentCommands[0].command, "ch~<Game> " + c.line);
        // The hand holds the card with its table flags cleared; the last drawn card is the
        // copy taken before, the face-up mark already gone.
        EXPECT_FALSE(tw.piles.HandCards[1].Flipped);
        EXPECT_FALSE(tw.piles.HandCards[1].Horizontal);
        EXPECT_EQ(tw.piles.LastDrawnCard.Name, "C1");
        EXPECT_FALSE(tw.piles.LastDrawnCard.Flipped);
        EXPECT_TRUE(tw.piles.LastDrawnCard.Horizontal);
    }
}

TEST_F(Draw, LastCardOfAFaceUpDeckNamesNoEmptyNextCard) {
    LoadDeck({"C1"});
    tw.piles.DeckFaceUp = true;
    DrawCard(tw, true);
    EXPECT_EQ(tw.net.SentCommands.at(0).command, "ch~<Game> Me drew a {card='C1' set='S'}");
}

TEST_F(Draw, EmptyDeckChangesNothingThePlayerSees) {
    LoadDeck({"C1"});
    DrawCard(tw, false);
    tw.net.SentCommands.clear();
    const auto deck = tw.piles.DeckCards;
    DrawCard(tw, true);
    EXPECT_EQ(Notices(), std::vector<std::string>{});
    EXPECT_EQ(Sent(), std::vector<std::string>{});
    EXPECT_EQ(duel.hand.items(), (std::vector<std::string>{"C1"}));
    EXPECT_EQ(tw.piles.DeckCards, deck);
    // The spare element for the card that was not there.
    EXPECT_EQ(tw.piles.HandCards.ubound(), 2);
    EXPECT_EQ(tw.piles.HandCards[2], Card{});
}

TEST_F(Draw, DeckArrayWithoutElementOneIsAnEmptyDeck) {
    tw.piles.DeckCards = rt::Array<Card>(0);
    tw.piles.DeckLoaded = true;
    duel.drawcard_Click();
    EXPECT_EQ(Notices(), std::vector<std::string>{});
    EXPECT_EQ(Sent(), std::vector<std::string>{});
}

TEST_F(Draw, ANameHoldingTheMarkerIsStillACard) {
    LoadDeck({"UNDRAWN Beast", "C2"});
    DrawCard(tw, true);
    EXPECT_EQ(Hand(), (std::vector<std::string>{"UNDRAWN Beast"}));
    EXPECT_EQ(tw.piles.DeckCards[1].Name, "C2");
}

TEST_F(Draw, MenuCommandsWithoutADeck) {
    duel.drawcard_Click();
    EXPECT_EQ(Notices(), std::vector<std::string>{});
    EXPECT_FALSE(tw.piles.PlayedOffline);

    duel.DrawAndShow_Click();
    EXPECT_EQ(Notices(), (std::vector<std::string>{"Please goto file then to deck and make or load a deck"}));
    EXPECT_TRUE(tw.piles.PlayedOffline);
    EXPECT_EQ(Sent(), std::vector<std::string>{});
}

TEST_F(Draw, MenuCommandsDrawMarkOfflinePlayAndShowAsTheyShould) {
    LoadDeck({"C1", "C2", "C3"});
    duel.drawcard_Click();
    EXPECT_TRUE(tw.piles.PlayedOffline);
    tw.piles.DeckFaceUp = true;
    duel.drawcard_Click();  // a face-up deck always shows the card
    duel.DrawAndShow_Click();
    EXPECT_EQ(Sent(), (std::vector<std::string>{
                          "ch~<Game> Me drew a card",
                          "us~1:2:0:0:0",
                          "ch~<Game> Me drew a {card='C2' set='S'}. The next card in the deck is {card='C3' set='S'}",
                          "us~2:1:0:0:0",
                          "ch~<Game> Me drew a {card='C3' set='S'}",
                          "us~3:0:0:0:0",
                      }));
    EXPECT_EQ(Hand(), (std::vector<std::string>{"C1", "C2", "C3"}));
}

TEST_F(Draw, MenuCommandReportsAFailureToThePeerAndThePlayer) {
    tw.piles.DeckLoaded = true;
    tw.piles.DeckCards = rt::Array<Card>();  // no deck array at all
    duel.drawcard_Click();
    EXPECT_EQ(Sent(), (std::vector<std::string>{"sc~Me"}));
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_NE(Notices()[0].find("DrawCard"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------

struct Shuffle : test::PilesTest {};

// Judged by its results over many shuffles: the same cards come back, live ones on top after
// the recount, and every card reaches every place about as often as any other.
TEST_F(Shuffle, EveryCardReachesEveryPlaceAndNoneIsLostOrDoubled) {
    constexpr int kCards = 10, kRounds = 600;
    auto names = Cards(kCards);
    names.insert(names.end(), {"DRAWN", "DRAWN", "DRAWN"});
    auto sorted = Cards(kCards);
    std::sort(sorted.begin(), sorted.end());
    // seen[card][place]: how often card Ck ended at place p + 1.
    std::vector<std::vector<int>> seen(kCards, std::vector<int>(kCards, 0));
    int unchanged = 0;
    for (int round = 0; round < kRounds; ++round) {
        tw.piles.DeckCards = PileOf(names);
        for (int i = 11; i <= 13; ++i) tw.piles.DeckCards[i].SetCode = "T" + std::to_string(i);
        tw.random.seed(static_cast<std::uint64_t>(round) + 1);
        ShuffleDeck(tw);
        RecountDeck(tw);
        ASSERT_EQ(tw.piles.DeckRemaining, kCards);
        std::vector<std::string> live = NamesOf(tw.piles.DeckCards);
        ASSERT_EQ(live.size(), names.size());
        EXPECT_EQ(std::count(live.begin(), live.end(), "DRAWN"), 3);
        live.resize(kCards);
        if (live == Cards(kCards)) ++unchanged;
        std::vector<std::string> check = live;
        std::sort(check.begin(), check.end());
        ASSERT_EQ(check, sorted) << "round " << round;
        for (int p = 0; p < kCards; ++p) ++seen[std::stoi(live[p].substr(1)) - 1][p];
    }
    EXPECT_EQ(unchanged, 0);
    // Each count is kRounds / kCards = 60 on average, with a spread of about 7.
    for (int k = 0; k < kCards; ++k)
        for (int p = 0; p < kCards; ++p)
            EXPECT_TRUE(seen[k][p] >= 25 && seen[k][p] <= 95) << "C" << k + 1 << " at " << p + 1 << ": " << seen[k][p];
    EXPECT_EQ(tw.piles.DeckCards[0], Card{});
}

TEST_F(Shuffle, WritesNothingAndSendsNothing) {
    tw.piles.DeckCards = PileOf(Cards(5));
    ShuffleDeck(tw);
    EXPECT_EQ(Sent(), std::vector<std::string>{});
    EXPECT_EQ(Notices(), std::vector<std::string>{});
}

TEST_F(Shuffle, DecksWithoutRoomToMove) {
    // One card and no tombstone stays as it is.
    tw.piles.DeckCards = PileOf({"C1"});
    ShuffleDeck(tw);
    EXPECT_EQ(NamesOf(tw.piles.DeckCards), (std::vector<std::string>{"C1"}));

    // The deck a soft reset leaves shuffles without a word.
    tw.piles.DeckCards = rt::Array<Card>(60);
    ShuffleDeck(tw);
    EXPECT_EQ(Notices(), std::vector<std::string>{});
    RecountDeck(tw);
    EXPECT_EQ(tw.piles.DeckCards[1], Card{});
    EXPECT_EQ(tw.piles.DeckRemaining, 1);

    // Only a deck array with nothing after element 0 has no cards left to shuffle.
    tw.piles.DeckCards = rt::Array<Card>(0);
    ShuffleDeck(tw);
    EXPECT_EQ(Notices(), (std::vector<std::string>{"There are no cards left in the deck"}));
}

// ---------------------------------------------------------------------------------------------

struct Compact : test::PilesTest {};

TEST_F(Compact, DropsTakenAndEmptyEntriesAndRefillsTheList) {
    tw.piles.HandCards = PileOf({"A", "DRAWN", "", "UNDRAWN", "B", ""});
    duel.hand.clear();
    for (const char* n : {"A", "x", "y", "UNDRAWN", "B"}) duel.hand.add_item(n);
    duel.hand.set_list_index(1);
    CompactHand(tw);
    EXPECT_EQ(Hand(), (std::vector<std::string>{"A", "UNDRAWN", "B"}));
    EXPECT_EQ(tw.piles.HandCards.ubound(), 3);
    EXPECT_EQ(tw.piles.HandCards[0], Card{});
    EXPECT_EQ(duel.hand.list_index(), -1);

    tw.piles.HandCards = PileOf({"DRAWN"});
    CompactHand(tw);
    EXPECT_EQ(Hand(), std::vector<std::string>{});
    EXPECT_EQ(tw.piles.HandCards.ubound(), 0);
}

// ---------------------------------------------------------------------------------------------

struct IntoDeck : test::PilesTest {};

TEST_F(IntoDeck, TopAndBottomUseATombstoneOrGrowTheDeck) {
    struct Case {
        const char* what;
        std::vector<std::string> before;
        DeckEnd end;
        std::vector<std::string> after;
        int drawn_after;  // as the recount counts it
    };
    const Case cases[] = {
        {"top: the live cards move down over a tombstone", {"C1", "DRAWN", "C2", "DRAWN"}, DeckEnd::Top,
         {"X", "C1", "C2", "DRAWN"}, 1},
        {"bottom: directly under the last live card", {"DRAWN", "C1", "C2", "DRAWN"}, DeckEnd::Bottom,
         {"C1", "C2", "X", "DRAWN"}, 1},
        {"top of a full deck grows it: no card pushed out", {"C1", "C2"}, DeckEnd::Top, {"X", "C1", "C2"}, 0},
        {"bottom of a full deck grows it", {"C1", "C2"}, DeckEnd::Bottom, {"C1", "C2", "X"}, 0},
        {"a deck array with no element 1", {}, DeckEnd::Top, {"X"}, 0},
        {"a deck whose cards have all left", {"DRAWN", "DRAWN", "DRAWN"}, DeckEnd::Bottom, {"X", "DRAWN", "DRAWN"}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        tw.piles.DeckCards = PileOf(c.before);
        PutCardInDeck(tw, test::Named("X"), c.end);
        RecountDeck(tw);
        EXPECT_EQ(NamesOf(tw.piles.DeckCards), c.after);
        EXPECT_EQ(tw.piles.DrawnCount, c.drawn_after);
    }
}

TEST_F(IntoDeck, CountersStayTrueWithoutARecount) {
    tw.piles.DeckCards = PileOf({"C1", "C2", "DRAWN"});
    RecountDeck(tw);
    PutCardInDeck(tw, test::Named("X"), DeckEnd::Top);
    EXPECT_EQ(tw.piles.DrawnCount, 0);
    tw.piles.DeckCards = PileOf({"C1"});
    PutCardInDeck(tw, test::Named("X"), DeckEnd::Top);
    EXPECT_EQ(tw.piles.DrawnCount, 0);
}

TEST(FreePileEntry, FindsTheFirstTakenEntryOrGrowsThePile) {
    auto extra = PileOf({"F1", "DRAWN", "F2", "DRAWN"});
    EXPECT_EQ(FreePileEntry(extra, 0, false), 2);

    auto full = PileOf({"F1", "", "F2"});
    EXPECT_EQ(FreePileEntry(full, 1, true), 2);
    EXPECT_EQ(FreePileEntry(full, 3, true), 4) << "nothing free from element 3 on";
    EXPECT_EQ(NamesOf(full), (std::vector<std::string>{"F1", "", "F2", "DRAWN"}));

    auto named = PileOf({"UNDRAWN"});
    EXPECT_EQ(FreePileEntry(named, 1, false), 2) << "only the whole name marks a taken entry";
}

}  // namespace
}  // namespace tw
