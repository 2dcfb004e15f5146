#include "table/piles.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "duel/forma.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

Card Named(const std::string& name, bool removed = false) {
    Card c;
    c.Name = name;
    c.SetCode = "SET-001";
    c.RemovedFromGame = removed;
    return c;
}

// A pile of these names in elements 1 on, element 0 empty.
rt::Array<Card> Pile(const std::vector<std::string>& names) {
    rt::Array<Card> a(static_cast<int>(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i) a[static_cast<int>(i) + 1] = Named(names[i]);
    return a;
}

std::vector<std::string> Names(const rt::Array<Card>& a) {
    std::vector<std::string> out;
    for (int i = 1; i <= a.ubound(); ++i) out.push_back(a[i].Name);
    return out;
}

TEST(RecountDeck, PutsLiveCardsFirstAndCounts) {
    struct Case {
        const char* what;
        std::vector<std::string> before, after;
        int remaining, drawn;
    };
    const std::vector<std::string> reset_after = [] {
        std::vector<std::string> v(60, "");
        v[1] = "DRAWN";
        return v;
    }();
    const Case cases[] = {
        {"live cards keep their order", {"A", "DRAWN", "B", "", "C"}, {"A", "B", "C", "DRAWN", "DRAWN"}, 3, 2},
        {"only the whole name DRAWN marks a taken entry", {"xDRAWNx", "DRAWN", "A"}, {"xDRAWNx", "A", "DRAWN"}, 2, 1},
        {"lower-case drawn is a card", {"drawn"}, {"drawn"}, 1, 0},
        {"no live card: an empty top entry, then one tombstone", {"DRAWN", "DRAWN", "", "DRAWN"},
         {"", "DRAWN", "", "DRAWN"}, 1, 1},
        {"the deck a reset leaves", std::vector<std::string>(60, ""), reset_after, 1, 1},
        {"one empty entry", {"DRAWN"}, {""}, 1, 0},
        {"no entry beyond element 0", {}, {}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TableFixture fx;
        auto& tw = fx.tw();
        tw.piles.DeckCards = Pile(c.before);
        tw.piles.DeckCards[0] = Card{};
        RecountDeck(tw);
        EXPECT_EQ(Names(tw.piles.DeckCards), c.after);
        EXPECT_EQ(tw.piles.DeckCards[0], Card{});
        EXPECT_EQ(tw.piles.DeckRemaining, c.remaining);
        EXPECT_EQ(tw.piles.DrawnCount, c.drawn);
    }
}

TEST(RecountDeck, MovesWholeRecords) {
    test::TableFixture fx;
    auto& tw = fx.tw();
    tw.piles.DeckCards = Pile({"DRAWN", "A"});
    tw.piles.DeckCards[2].Flipped = true;
    RecountDeck(tw);
    EXPECT_TRUE(tw.piles.DeckCards[1].Flipped);
    EXPECT_EQ(tw.piles.DeckCards[1].SetCode, "SET-001");
}

struct Stats : ::testing::Test {
    test::TableFixture fx;
    Tablewright& tw = fx.tw();
    // The window's load sends lines of its own.
    Stats() {
        tw.FormA();
        tw.net.SentCommands.clear();
    }

    std::vector<std::string> Column(int col) {
        std::vector<std::string> out;
        for (int row = 1; row <= 5; ++row) out.push_back(tw.FormA().Stats.text_matrix(row, col));
        return out;
    }
};

TEST_F(Stats, CountsEveryPileIntoTheGridAndSendsThem) {
    auto& duel = tw.FormA();
    for (const char* name : {"A", "B", "C"}) duel.hand.add_item(name);
    tw.piles.HandCards = Pile({"A", "B", "C", ""});  // one element longer than the list
    std::vector<std::string> deck(40, "Card");
    deck[0] = "DRAWN";
    tw.piles.DeckCards = Pile(deck);
    tw.piles.TrashCards = Pile({"G1", "DRAWN", "G2"});
    tw.piles.TrashCards[2].RemovedFromGame = true;  // a taken entry counts nowhere
    tw.piles.TrashCards[3].RemovedFromGame = true;
    tw.piles.TrashCards.redim_preserve(5);
    tw.piles.TrashCards[4] = Named("R2", true);
    tw.piles.TrashCards[5] = Named("G3");
    tw.piles.ExtraDeckCards = Pile({"F1", "DRAWN", "", "F2"});
    tw.net.PlayerNumber = 1;

    UpdateStats(tw);

    EXPECT_EQ(Column(1), (std::vector<std::string>{"3", "39", "2", "2", "2"}));
    ASSERT_EQ(tw.net.SentCommands.size(), 1u);
    EXPECT_EQ(tw.net.SentCommands[0].command, "us~3:39:2:2:2");
    EXPECT_EQ(tw.net.SentCommands[0].tag, 10);
    // The deck was recounted on the way.
    EXPECT_EQ(tw.piles.DeckRemaining, 39);
    EXPECT_EQ(tw.piles.DrawnCount, 1);
    EXPECT_EQ(tw.piles.DeckCards[40].Name, "DRAWN");
}

TEST_F(Stats, EmptyPilesCountZeroAndLeaveTheOpponentsColumn) {
    auto& grid = tw.FormA().Stats;
    for (int row = 1; row <= 5; ++row) grid.set_text_matrix(row, 2, "7");
    UpdateStats(tw);
    EXPECT_EQ(Column(1), (std::vector<std::string>(5, "0")));
    EXPECT_EQ(Column(2), (std::vector<std::string>(5, "7")));
    EXPECT_EQ(tw.net.SentCommands.back().command, "us~0:0:0:0:0");
}

}  // namespace
}  // namespace tw
