// Deck counts: the totals the size rules read, the kind tallies, and what the labels show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program/tablewright.hpp"
#include "deckeditor/deck_counts.hpp"
#include "deckeditor/deckmaker.hpp"
#include "tests/deckeditor/editor_fixture.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

Card Printing(const char* name, const char* set, const char* group, bool fusion = false) {
    Card c;
    c.Name = name;
    c.SetCode = set;
    c.Group = group;
    c.Fusion = fusion;
    return c;
}

struct CountsTest : ::testing::Test, test::TableFixture {
    CountsTest() {
        tw().cards.CardDatabase = {Printing("Ash Wolf", "SA", "Beast"),
                             Printing("Tide Call", "SA", "Spell Card"),
                             Printing("Pit Snare", "SB", "Trap Card"),
                             Printing("Twin Drake", "SB", "Dragon/Fusion", true),
                             Card{}};
    }
};

TEST_F(CountsTest, TotalsAndKindsByRegion) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        DeckCounts want;  // Normal, Fusion, Side, Monsters, Spells, Traps
    };
    const Case cases[] = {
        {"marker alone", {"-SIDE DECK-"}, {0, 0, 0, 0, 0, 0}},
        {"no marker: every line is the deck", {"2 SA Ash Wolf", "1 SA Tide Call"}, {3, 0, -1, 2, 1, 0}},
        {"each kind once",
         {"3 SA Ash Wolf", "2 sa tide call", "1 SB Pit Snare", "2 SB Twin Drake", "-SIDE DECK-"},
         {6, 2, 0, 3, 2, 1}},
        {"side deck counts every kind, extra-deck cards too",
         {"1 SA Ash Wolf", "-SIDE DECK-", "2 SB Twin Drake", "1 SB Pit Snare"},
         {1, 0, 3, 1, 0, 0}},
        {"an unknown card is a monster", {"2 ZZ Nobody", "-side deck-", "1 ZZ Nobody"}, {2, 0, 1, 2, 0, 0}},
        {"comments count nothing", {"//3 SA Ash Wolf", "/x", "-SIDE DECK-", "// 2 SA Ash Wolf"}, {0, 0, 0, 0, 0, 0}},
        {"a second marker starts the side deck again",
         {"1 SA Ash Wolf", "-SIDE DECK-", "2 SA Ash Wolf", "-SIDE DECK-", "1 SA Ash Wolf"},
         {1, 0, 1, 1, 0, 0}},
        {"unreadable lines are skipped, the rest still counted",
         {"x SA Ash Wolf", "3SA", "", "1 SA Ash Wolf", "-SIDE DECK-", "two SA Ash Wolf", "2 SA Ash Wolf"},
         {1, 0, 2, 1, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> lines = c.lines;
        EXPECT_EQ(CountDeck(tw(), lines), c.want);
        EXPECT_EQ(lines, c.lines);
    }
}

TEST_F(CountsTest, MoreThanThreeCopiesAreCutBackToThree) {
    std::vector<std::string> lines = {"5 SA Ash Wolf", "3 SA Tide Call", "-SIDE DECK-", "9 SB Twin Drake",
                                      "12 SB Pit Snare"};
    const DeckCounts n = CountDeck(tw(), lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"3 SA Ash Wolf", "3 SA Tide Call", "-SIDE DECK-",
                                               "3 SB Twin Drake", "3 SB Pit Snare"}));
    EXPECT_EQ(n, (DeckCounts{6, 0, 6, 3, 3, 0}));
}

// The window's recount: the public numbers and the six labels, plain digits.
struct WindowCountsTest : test::EditorTest {
    win::DeckMaker& Loaded() {
        returning_player();
        start();
        return editor();
    }
    static std::vector<std::string> Labels(win::DeckMaker& dm) {
        return {dm.Label1.caption(), dm.Label5.caption(), dm.Label6.caption(),
                dm.Monsters.caption(), dm.Spells.caption(), dm.Traps.caption()};
    }
    static void Show(win::DeckMaker& dm, const std::vector<std::string>& lines) {
        dm.List1.clear();
        for (const auto& l : lines) dm.List1.add_item(l);
        dm.ComputeDeckAmount();
    }
};

TEST_F(WindowCountsTest, LabelsAndNumbersFollowEachRecount) {
    auto& dm = Loaded();
    Show(dm, {"-SIDE DECK-"});
    EXPECT_EQ(Labels(dm), (std::vector<std::string>{"0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(dm.SideNum, 0);

    // The sample set: Alpha a Beast in "SA", Beta a field spell in "SB".
    Show(dm, {"5 SA Alpha", "2 SB Beta", "-SIDE DECK-", "1 SA Alpha"});
    EXPECT_EQ(dm.List1.list(0), "3 SA Alpha");
    EXPECT_EQ(Labels(dm), (std::vector<std::string>{"5", "0", "1", "3", "2", "0"}));
    EXPECT_EQ(dm.NormalNum, 5);
    EXPECT_EQ(dm.FusionNum, 0);
    EXPECT_EQ(dm.SideNum, 1);

    // Without a marker the number says so while the label shows 0.
    Show(dm, {"1 SA Alpha"});
    EXPECT_EQ(dm.SideNum, -1);
    EXPECT_EQ(dm.Label6.caption(), "0");
    EXPECT_EQ(dm.NormalNum, 1);
}

}  // namespace
}  // namespace tw
