// The hand list and the moves of one card out of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "cards/helpers.hpp"
#include "platform/host.hpp"
#include "platform/random.hpp"
#include "table/field.hpp"
#include "table/field_pictures.hpp"
#include "table/hand.hpp"
#include "table/piles.hpp"
#include "tests/table/piles_fixture.hpp"

namespace tw {
namespace {

using test::NamesOf;
using test::PileOf;
using Names = std::vector<std::string>;

struct HandMoves : test::PilesTest {
    HandMoves() {
        tw.piles.DeckLoaded = true;
        Reset();
    }
    // Hand A, B, C, D; deck C1, C2 and a tombstone; graveyard and table empty.
    void Reset() {
        ClearTable();
        GiveHand({"A", "B", "C", "D"});
        tw.piles.DeckCards = PileOf({"C1", "C2", "DRAWN"});
        tw.piles.TrashCards = rt::Array<Card>(0);
        tw.net.SentCommands.clear();
    }
    using Handler = void (win::FormA::*)();
    void Run(Handler handler) {
        win::FormA* form = &duel;  // not duel.*handler: the sanitizer misreads that form
        (form->*handler)();
    }
    // Takes every card off the table.
    void ClearTable() {
        for (std::int16_t s = kFirstFieldSlot; s <= kLastFieldSlot; ++s) RemoveFieldCard(tw, s);
        tw.field.FieldCards = rt::Array<Card>(kLastFieldSlot);
        tw.field.FieldGrid = rt::Array2D<std::int32_t>(3, 6);
        tw.net.SentCommands.clear();
    }
    // How many times the card lies in the hand, the piles and on the table.
    int Copies(const std::string& name) {
        int n = 0;
        for (const auto* pile : {&tw.piles.HandCards, &tw.piles.DeckCards, &tw.piles.TrashCards, &tw.piles.ExtraDeckCards, &tw.field.FieldCards})
            for (const Card& c : *pile) n += c.Name == name;
        return n;
    }
};

struct Move {
    const char* name;
    void (win::FormA::*handler)();
};
const Move kAllMoves[] = {
    {"graveyard", &win::FormA::putintrash2_Click},
    {"removed from game", &win::FormA::RemoveFromGameFromHand_Click},
    {"top of deck", &win::FormA::putontopofdeck_Click},
    {"bottom of deck", &win::FormA::BottomOfDeck_Click},
    {"shuffled in face up", &win::FormA::ShuffleIntoDeckFaceUp_Click},
    {"random discard", &win::FormA::DiscardRandom_Click},
    {"into play", &win::FormA::PutIntoPlay_Click},
    {"into play face down", &win::FormA::putintoplayfacedown_Click},
    {"into play face down sideways", &win::FormA::putintoplayfacedownhoriz_Click},
};

TEST_F(HandMoves, TheLastCardTakesThePlaceOfTheOneThatLeaves) {
    struct Case {
        const char* leaves;
        Names after;
    };
    const Case cases[] = {{"B", {"A", "D", "C"}}, {"D", {"A", "B", "C"}}, {"A", {"D", "B", "C"}}};
    for (const auto& move : kAllMoves) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(move.name) + ", " + c.leaves + " leaves");
            Reset();
            if (move.handler == &win::FormA::DiscardRandom_Click) {
                // The discard chooses for itself; steer it by the seed to the card wanted.
                const int want = c.leaves[0] - 'A';
                for (std::uint64_t seed = 1;; ++seed) {
                    platform::Random probe;
                    probe.seed(seed);
                    const int r = RandomInt(probe, fx.clock, 0, 4);
                    if ((r < 4 ? r : 0) == want) {
                        tw.random.seed(seed);
                        break;
                    }
                }
            } else {
                Select(c.leaves);
            }
            Run(move.handler);
            EXPECT_EQ(Hand(), c.after);
            EXPECT_EQ(Copies(c.leaves), 1) << "the card is in exactly one place";
        }
    }
}

TEST_F(HandMoves, AHandOfOneIsEmptyAfterAnyMove) {
    for (const auto& move : kAllMoves) {
        SCOPED_TRACE(move.name);
        Reset();
        GiveHand({"A"});
        Select("A");
        Run(move.handler);
        EXPECT_EQ(Hand(), Names{});
        EXPECT_EQ(tw.piles.HandCards.ubound(), 0);
    }
}

TEST_F(HandMoves, PileMovesWithoutASelectionDoNothing) {
    const auto deck = tw.piles.DeckCards;
    for (const auto& move : kAllMoves) {
        if (move.handler == &win::FormA::DiscardRandom_Click) continue;
        SCOPED_TRACE(move.name);
        Run(move.handler);
    }
    EXPECT_EQ(Hand(), (Names{"A", "B", "C", "D"}));
    EXPECT_EQ(tw.piles.DeckCards, deck);
    EXPECT_EQ(tw.piles.TrashCards.ubound(), 0);
    EXPECT_EQ(Sent(), Names{});
    EXPECT_EQ(Notices(), Names{});
}

TEST_F(HandMoves, EachPileMoveLogsTheCardFirstAndSendsOldThenNewCounts) {
    struct Case {
        const char* what;
        void (win::FormA::*handler)();
        std::string line;
        std::string counts_with_line, counts_after;
    };
    const Case cases[] = {
        {"graveyard", &win::FormA::putintrash2_Click, "Me put {card='B' set='S'} from their hand into the graveyard",
         "us~4:2:0:0:0", "us~3:2:1:0:0"},
        {"removed from game", &win::FormA::RemoveFromGameFromHand_Click, "Me removed {card='B' set='S'} from the game.",
         "us~4:2:0:0:0", "us~3:2:0:1:0"},
        // The deck moves put the card in before the line: it is counted twice there.
        {"top of deck", &win::FormA::putontopofdeck_Click,
         "Me put {card='B' set='S'} from their hand to the top of the deck.", "us~4:3:0:0:0", "us~3:3:0:0:0"},
        {"bottom of deck", &win::FormA::BottomOfDeck_Click,
         "Me put {card='B' set='S'} from their hand to the bottom of their deck", "us~4:3:0:0:0", "us~3:3:0:0:0"},
        {"shuffled in face up", &win::FormA::ShuffleIntoDeckFaceUp_Click,
         "Me put {card='B' set='S'} from their hand to their deck FACE UP", "us~4:3:0:0:0", "us~3:3:0:0:0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Reset();
        Select("B");
        Run(c.handler);
        EXPECT_EQ(Sent(), (Names{"ch~<Game> " + c.line, c.counts_with_line, c.counts_after}));
        EXPECT_EQ(duel.Stats.text_matrix(1, 1), "3");
    }
}

TEST_F(HandMoves, WhereTheCardEndsUpAndWithWhichFlags) {
    auto setup = [&] {
        GiveHand({"A", "B", "C", "D"});
        tw.piles.HandCards[2].Flipped = true;
        tw.piles.HandCards[2].Horizontal = true;
        tw.piles.HandCards[2].RemovedFromGame = true;  // a mark it must not carry into the graveyard
        tw.piles.DeckCards = PileOf({"C1", "C2", "DRAWN"});
        tw.piles.TrashCards = PileOf({"G1"});
        Select("B");
    };

    setup();
    duel.putintrash2_Click();
    ASSERT_EQ(NamesOf(tw.piles.TrashCards), (Names{"G1", "B"}));
    EXPECT_FALSE(tw.piles.TrashCards[2].Flipped || tw.piles.TrashCards[2].Horizontal || tw.piles.TrashCards[2].RemovedFromGame);

    setup();
    duel.RemoveFromGameFromHand_Click();
    ASSERT_EQ(NamesOf(tw.piles.TrashCards), (Names{"G1", "B"}));
    EXPECT_TRUE(tw.piles.TrashCards[2].RemovedFromGame);
    EXPECT_FALSE(tw.piles.TrashCards[2].Flipped || tw.piles.TrashCards[2].Horizontal);

    setup();
    duel.putontopofdeck_Click();
    EXPECT_EQ(NamesOf(tw.piles.DeckCards), (Names{"B", "C1", "C2"}));
    EXPECT_FALSE(tw.piles.DeckCards[1].Flipped || tw.piles.DeckCards[1].Horizontal);
    EXPECT_EQ(tw.piles.DrawnCount, 0);

    setup();
    duel.BottomOfDeck_Click();
    EXPECT_EQ(NamesOf(tw.piles.DeckCards), (Names{"C1", "C2", "B"}));
    EXPECT_FALSE(tw.piles.DeckCards[3].Flipped || tw.piles.DeckCards[3].Horizontal);

    setup();
    tw.random.seed(3);
    duel.ShuffleIntoDeckFaceUp_Click();
    auto deck = NamesOf(tw.piles.DeckCards);
    std::sort(deck.begin(), deck.end());
    EXPECT_EQ(deck, (Names{"B", "C1", "C2"}));
    for (const Card& c : tw.piles.DeckCards) {
        if (c.Name == "B") {
            EXPECT_TRUE(c.Flipped && !c.Horizontal) << "it lies face up inside the deck";
        }
    }

    // Drawn later, it is announced face up.
    while (tw.piles.DeckCards[1].Name != "B") DrawCard(tw, false);
    tw.net.SentCommands.clear();
    DrawCard(tw, false);
    EXPECT_EQ(tw.net.SentCommands.at(0).command, "ch~<Game> Me drew a FACE UP {card='B' set='S'}");
}

TEST_F(HandMoves, AFullDeckGrowsRatherThanLoseItsBottomCard) {
    struct Case {
        const char* what;
        void (win::FormA::*handler)();
        Names deck;  // empty: any order
    };
    const Case cases[] = {
        {"top", &win::FormA::putontopofdeck_Click, {"B", "C1", "C2"}},
        {"bottom", &win::FormA::BottomOfDeck_Click, {"C1", "C2", "B"}},
        {"shuffled in face up", &win::FormA::ShuffleIntoDeckFaceUp_Click, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GiveHand({"A", "B", "C", "D"});
        tw.piles.DeckCards = PileOf({"C1", "C2"});
        tw.net.SentCommands.clear();
        Select("B");
        Run(c.handler);
        auto deck = NamesOf(tw.piles.DeckCards);
        if (c.deck.empty()) {
            std::sort(deck.begin(), deck.end());
            EXPECT_EQ(deck, (Names{"B", "C1", "C2"}));
        } else {
            EXPECT_EQ(deck, c.deck);
        }
        EXPECT_EQ(Hand(), (Names{"A", "D", "C"}));
        EXPECT_EQ(Copies("B"), 1);
        EXPECT_EQ(Sent().back(), "us~3:3:0:0:0");
        EXPECT_EQ(Notices(), Names{}) << "no error report";
    }
}

TEST_F(HandMoves, ACardNamedWithTheMarkerInsideStaysACardInTheDeck) {
    GiveHand({"UNDRAWN Beast"});
    Select("UNDRAWN Beast");
    duel.BottomOfDeck_Click();
    EXPECT_EQ(NamesOf(tw.piles.DeckCards), (Names{"C1", "C2", "UNDRAWN Beast"}));
    EXPECT_EQ(Sent().back(), "us~0:3:0:0:0");
}

TEST_F(HandMoves, AFailingMoveIsReportedUnderItsName) {
    tw.piles.DeckCards = rt::Array<Card>();  // no deck array at all
    Select("B");
    duel.putontopofdeck_Click();
    EXPECT_EQ(Sent(), (Names{"sc~Me"}));
    ASSERT_EQ(Notices().size(), 1u);
    EXPECT_NE(Notices()[0].find("PutOnTopOfDeck"), std::string::npos);
    EXPECT_EQ(Hand(), (Names{"A", "B", "C", "D"}));
}

// ---------------------------------------------------------------------------------------------

TEST_F(HandMoves, RandomDiscardOfAnEmptyHandSaysSo) {
    GiveHand({});
    duel.DiscardRandom_Click();
    EXPECT_EQ(Notices(), (Names{"You have no card to Randomly Discard"}));
    EXPECT_EQ(Sent(), (Names{"ch~<Game> Me has no cards in their hand to Randomly Discard", "us~0:2:0:0:0"}));
}

TEST_F(HandMoves, RandomDiscardTakesEveryCardSometimesAndLogsIt) {
    std::vector<int> chosen(4);
    for (std::uint64_t seed = 1; seed <= 200; ++seed) {
        GiveHand({"A", "B", "C", "D"});
        tw.piles.HandCards[3].Flipped = true;  // the graveyard gets the card as it was
        tw.piles.TrashCards = rt::Array<Card>(0);
        tw.net.SentCommands.clear();
        tw.random.seed(seed);
        duel.DiscardRandom_Click();
        ASSERT_EQ(tw.piles.TrashCards.ubound(), 1);
        const Card& gone = tw.piles.TrashCards[1];
        ++chosen[static_cast<std::size_t>(gone.Name[0] - 'A')];
        EXPECT_EQ(gone.Flipped, gone.Name == "C");
        ASSERT_EQ(Sent(), (Names{"ch~<Game> Me discards {card='" + gone.Name + "' set='S'} at random from their hand.",
                                 "us~4:2:0:0:0", "us~3:2:1:0:0"}));
    }
    for (int n : chosen) EXPECT_GT(n, 20);
}

// ---------------------------------------------------------------------------------------------

struct IntoPlay : HandMoves {
    // Every slot taken.
    void FillTable() {
        for (int i = kFirstFieldSlot; i <= kLastFieldSlot; ++i) OpenControl(tw, false, -1, false);
        ASSERT_EQ(OpenControl(tw, true, -1, false), kNoFreeSlot);
    }
    // The placed copy of the card, or null.
    const Card* OnTable(const std::string& name) {
        for (int s = kFirstFieldSlot; s <= kLastFieldSlot; ++s)
            if (tw.field.FieldCards[s].Name == name) return &tw.field.FieldCards[s];
        return nullptr;
    }
};

TEST_F(IntoPlay, EachVariantPlacesTheCardWithItsFaceAndLine) {
    struct Case {
        const char* what;
        void (win::FormA::*handler)();
        bool flipped, horizontal;
        std::string own_line;  // "" for none besides the placement's own
    };
    const Case cases[] = {
        {"face up", &win::FormA::PutIntoPlay_Click, false, false, ""},
        {"face down", &win::FormA::putintoplayfacedown_Click, true, false,
         "ch~<Game> Me placed a card from their hand face down."},
        {"face down sideways", &win::FormA::putintoplayfacedownhoriz_Click, true, true,
         "ch~<Game> Me placed a card from their hand face down and horizontal."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Reset();
        Select("B");
        Run(c.handler);
        const Card* placed = OnTable("B");
        ASSERT_NE(placed, nullptr);
        EXPECT_EQ(placed->Flipped, c.flipped);
        EXPECT_EQ(placed->Horizontal, c.horizontal);
        EXPECT_EQ(Hand(), (Names{"A", "D", "C"}));
        const auto sent = Sent();
        if (c.own_line.empty()) {
            // The placement's own line is the only one.
            Names lines;
            for (const auto& s : sent)
                if (s.rfind("ch~", 0) == 0) lines.push_back(s);
            EXPECT_EQ(lines, (Names{"ch~<Game> Me has put down a {card='B' set='S'}"}));
            EXPECT_EQ(sent.back(), "us~3:2:0:0:0");
        } else {
            ASSERT_GE(sent.size(), 2u);
            EXPECT_EQ(sent[sent.size() - 2], c.own_line);
            EXPECT_EQ(sent.back(), "us~3:2:0:0:0");
        }
        // A face-down line never names the card.
        if (c.flipped) {
            for (const auto& s : sent) EXPECT_EQ(s.find("'B'"), std::string::npos) << s;
        }
    }
}

TEST_F(IntoPlay, AFullTableKeepsTheCardInTheHand) {
    FillTable();
    for (auto handler : {&win::FormA::PutIntoPlay_Click, &win::FormA::putintoplayfacedown_Click,
                         &win::FormA::putintoplayfacedownhoriz_Click}) {
        Select("B");
        Run(handler);
    }
    duel.hand.set_list_index(-1);
    duel.PutIntoPlay_Click();  // the table is checked before the selection
    EXPECT_EQ(Notices(), Names(4, "Sorry there cannot be more then 25 cards total in play"));
    EXPECT_EQ(Hand(), (Names{"A", "B", "C", "D"}));
    EXPECT_FALSE(tw.piles.HandCards[2].Flipped || tw.piles.HandCards[2].Horizontal);
    EXPECT_EQ(Sent(), Names{});
}

TEST_F(IntoPlay, ADoubleClickPlaysTheCardFaceUp) {
    duel.show();
    duel.hand.user_double_click(2);
    ASSERT_NE(OnTable("C"), nullptr);
    EXPECT_FALSE(OnTable("C")->Flipped);
    EXPECT_EQ(Hand(), (Names{"A", "B", "D"}));
}

// ---------------------------------------------------------------------------------------------

struct HandList : HandMoves {
    HandList() { duel.show(); }
};

TEST_F(HandList, RightClickSelectsTheItemUnderThePointerAndOpensItsMenu) {
    fx.host.expect_popup("putintrash2");
    duel.hand.user_mouse_down(2, 0, 100, 2 * platform::ListBox::item_height_twips + 20);
    EXPECT_EQ(Hand(), (Names{"A", "B", "D"}));
    EXPECT_EQ(NamesOf(tw.piles.TrashCards), (Names{"C"}));
    EXPECT_EQ(fx.host.expectations_left(), 0u);
}

TEST_F(HandList, RightClickBelowTheItems) {
    const double below = 10 * platform::ListBox::item_height_twips;
    // Nothing selected: no menu (an unexpected one would fail the test).
    duel.hand.user_mouse_down(2, 0, 100, below);
    EXPECT_EQ(duel.hand.list_index(), -1);

    // With a card selected, its menu.
    Select("D");
    fx.host.expect_popup(std::nullopt);
    duel.hand.user_mouse_down(2, 0, 100, below);
    EXPECT_EQ(duel.hand.list_index(), 3);
    EXPECT_EQ(fx.host.expectations_left(), 0u);
}

TEST_F(HandList, ClicksStartNoDragAndADragCarriesTheHandText) {
    duel.hand.user_click(1);  // a drag would be unscripted here
    EXPECT_EQ(duel.hand.list_index(), 1);

    platform::DataObject data;
    int allowed = 1;
    duel.hand.OLEStartDrag(data, allowed);
    EXPECT_EQ(data.get_data(platform::DataObject::TextFormat), "hand B");
}

TEST(DragText, KindAndItem) {
    EXPECT_EQ(DragText(kHandDrag, "Blue Dragon"), "hand Blue Dragon");
    EXPECT_EQ(DragTextKind("view 3 Blue"), "view");
    EXPECT_EQ(DragTextKind("View 3"), "View") << "compared exactly by the readers";
    EXPECT_EQ(DragTextItem("hand Blue Dragon"), "Blue Dragon");
    EXPECT_EQ(DragTextItem("hand"), "");
}

}  // namespace
}  // namespace tw
