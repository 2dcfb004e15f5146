// The deck list's controls in the deck editor: adds from the result grid, take-offs, clearing
// and comments, with their boxes and the counts after each edit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/deckeditor/deck_list_fixture.hpp"

namespace tw {
namespace {

using Lines = std::vector<std::string>;
using platform::MsgIcon;
using platform::MsgResult;
using test::DeckEditorTest;

const std::string kSide = "-SIDE DECK-";

TEST_F(DeckEditorTest, AddsFromTheGridWithCountsAfterEachEdit) {
    pick("TST", "Card 1");
    dm().Command3.user_click();
    EXPECT_EQ(list(), (Lines{"1 Tst Card 1", kSide}));
    EXPECT_EQ(dm().NormalNum, 1);

    dm().Grid.user_double_click(1, 2);  // a double-click adds as well
    EXPECT_EQ(list(), (Lines{"2 Tst Card 1", kSide}));
    EXPECT_EQ(dm().NormalNum, 2);

    pick("TST", "Twin Drake");
    dm().Grid.user_key_down(13);  // and Enter
    EXPECT_EQ(dm().FusionNum, 1);

    pick("TST", "Card 1");
    dm().Command6.user_click();
    EXPECT_EQ(list(), (Lines{"2 Tst Card 1", "1 Tst Twin Drake", kSide, "1 Tst Card 1"}));
    EXPECT_EQ(dm().SideNum, 1);
    EXPECT_EQ(dm().Label6.caption(), "1");

    dm().Command3.user_click();
    EXPECT_EQ(last_text(), "You already have 3 TST Card 1 in your deck and Side Deck");
    EXPECT_EQ(host.messages().back().title, "Tablewright " + tw().VersionText);
    EXPECT_EQ(list(), (Lines{"2 Tst Card 1", "1 Tst Twin Drake", kSide, "1 Tst Card 1"}));
    EXPECT_EQ(dm().NormalNum, 2);
}

TEST_F(DeckEditorTest, RefusedAddsTellWhyAndChangeNothing) {
    lay({"1 Tst Lone Lantern", "2 Tst Pair Pike", kSide});
    const Lines before = list();

    pick("OTR", "Lone Lantern");
    dm().Command3.user_click();
    EXPECT_EQ(last_text(), "Lone Lantern is restricted to 1 per deck.");

    pick("TST", "Pair Pike");
    dm().Command6.user_click();
    EXPECT_EQ(last_text(), "Pair Pike is restricted to 2 per deck");

    pick("TST", "Forbidden Fang");
    dm().Command3.user_click();
    ASSERT_EQ(host.messages().size(), 3u);
    EXPECT_EQ(last_text(), "Forbidden Fang is banned in this format");
    EXPECT_EQ(host.messages().back().title, "Tablewright");
    EXPECT_EQ(host.messages().back().icon, MsgIcon::None);

    EXPECT_EQ(list(), before);
    EXPECT_EQ(dm().NormalNum, 3);
}

TEST_F(DeckEditorTest, AnEmptyCellOrTheHeaderRowAddsNothing) {
    pick("TST", "");
    dm().Command3.user_click();
    EXPECT_EQ(last_text(), "Pick a card from a set before you place it in your deck");
    pick("", "Card 1");
    dm().Command6.user_click();
    EXPECT_EQ(last_text(), "Select a set");

    // A search without hits leaves only the header row: no row is current.
    pick("TST", "Card 1");
    dm().Grid.set_rows(1);
    ASSERT_EQ(dm().Grid.row(), 0);
    dm().Command3.user_click();
    dm().Command6.user_click();
    dm().Grid.user_key_down(13);
    EXPECT_EQ(host.messages().size(), 2u);
    EXPECT_EQ(list(), Lines{kSide});
}

// A click on the header row leaves the current row where it was: it is about no card.
TEST_F(DeckEditorTest, HeaderClicksOnTheResultGridDoNothing) {
    pick("TST", "Card 1");
    lay({"1 Tst Card 2", kSide});
    dm().List1.user_click(0);
    ASSERT_EQ(dm().lblName.caption(), "Card 2");

    dm().Grid.user_click(0, 2);
    EXPECT_EQ(dm().lblName.caption(), "Card 2");
    dm().Grid.user_double_click(0, 1);
    EXPECT_EQ(list(), (Lines{"1 Tst Card 2", kSide}));
    EXPECT_EQ(dm().Grid.row(), 1);

    // The row itself still previews and adds.
    dm().Grid.user_click(1, 2);
    EXPECT_EQ(dm().lblName.caption(), "Card 1");
    dm().Grid.user_double_click(1, 2);
    EXPECT_EQ(list(), (Lines{"1 Tst Card 2", "1 Tst Card 1", kSide}));
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(DeckEditorTest, AnAddNeverMakesAFourthCopyOfAPrinting) {
    tw().cards.CardDatabase.push_back(test::MakeCard("Card 1", "OTR"));
    lay({"2 Tst Card 1", kSide, "1 Tst Card 1"});
    pick("OTR", "Card 1");
    dm().Command3.user_click();
    EXPECT_EQ(last_text(), "You already have 3 Tst Card 1 in your deck and Side Deck");
    EXPECT_EQ(list(), (Lines{"2 Tst Card 1", kSide, "1 Tst Card 1"}));
    EXPECT_EQ(dm().NormalNum, 2);
}

TEST_F(DeckEditorTest, TakingOffOneCopyAtATime) {
    lay({"//mine", "3 Tst Card 1", "1 Tst Card 2", kSide, "1 Tst Card 3"});
    dm().List1.set_list_index(1);
    dm().Command4.user_click();
    EXPECT_EQ(dm().List1.list(1), "2 Tst Card 1");
    EXPECT_EQ(dm().NormalNum, 3);

    dm().List1.set_list_index(2);
    dm().Command8.user_click();
    EXPECT_EQ(list(), (Lines{"//mine", "2 Tst Card 1", kSide, "1 Tst Card 3"}));
    EXPECT_EQ(dm().NormalNum, 2);

    dm().List1.set_list_index(2);  // the marker stays
    dm().Command4.user_click();
    dm().List1.set_list_index(0);  // a comment goes whole
    dm().Command4.user_click();
    EXPECT_EQ(list(), (Lines{"2 Tst Card 1", kSide, "1 Tst Card 3"}));

    // Double-click and Enter work only while the set box is enabled.
    dm().List1.user_double_click(2);
    EXPECT_EQ(list(), (Lines{"2 Tst Card 1", kSide}));
    EXPECT_EQ(dm().SideNum, 0);
    dm().Combo1.set_enabled(false);
    dm().List1.set_list_index(0);
    dm().List1.user_key_down(13);
    dm().List1.user_double_click(0);
    EXPECT_EQ(list(), (Lines{"2 Tst Card 1", kSide}));
    dm().Combo1.set_enabled(true);
    dm().List1.set_list_index(0);
    dm().List1.user_key_down(13);
    EXPECT_EQ(list(), (Lines{"1 Tst Card 1", kSide}));
    EXPECT_EQ(host.messages().size(), 0u);
}

TEST_F(DeckEditorTest, ClearingAsksFirst) {
    lay({"3 Tst Card 1", "1 Tst Twin Drake", kSide, "2 Tst Card 2"});
    host.expect_yes_no("Are you sure you want to clear your deck?", MsgResult::No);
    dm().Command7.user_click();
    EXPECT_EQ(list().size(), 4u);
    EXPECT_EQ(dm().NormalNum, 3);

    host.expect_yes_no("Are you sure you want to clear your deck?", MsgResult::Yes);
    dm().Command7.user_click();
    EXPECT_EQ(list(), Lines{kSide});
    EXPECT_EQ(dm().NormalNum, 0);
    EXPECT_EQ(dm().FusionNum, 0);
    EXPECT_EQ(dm().SideNum, 0);
    for (auto* l : {&dm().Label1, &dm().Label5, &dm().Label6, &dm().Monsters, &dm().Spells, &dm().Traps})
        EXPECT_EQ(l->caption(), "000") << l->name();
    ASSERT_EQ(host.questions().size(), 2u);
    EXPECT_EQ(host.questions().back().title, "Tablewright " + tw().VersionText);
    EXPECT_EQ(host.questions().back().buttons, platform::MsgButtons::YesNo);
}

TEST_F(DeckEditorTest, CommentsGoAboveTheSelectedLineAsTyped) {
    lay({"1 Tst Card 1", kSide, "1 Tst Card 2"});
    host.expect_input("Add your comment here", std::string("  side plan"));
    dm().List1.set_list_index(2);
    dm().Command12.user_click();
    EXPECT_EQ(list(), (Lines{"1 Tst Card 1", kSide, "//  side plan", "1 Tst Card 2"}));
    ASSERT_EQ(host.inputs().size(), 1u);
    EXPECT_EQ(host.inputs()[0].title, "ZQM");
    EXPECT_EQ(host.inputs()[0].default_text, "");

    // Nothing selected: above the first line.
    dm().List1.set_list_index(-1);
    host.expect_input("Add your comment here", std::string("top"));
    dm().Command12.user_click();
    EXPECT_EQ(list().front(), "//top");

    // Blanks only, or Cancel: nothing.
    host.expect_input("Add your comment here", std::string("   "));
    dm().Command12.user_click();
    host.expect_input("Add your comment here", std::nullopt);
    dm().Command12.user_click();
    EXPECT_EQ(list().size(), 5u);
    EXPECT_EQ(dm().NormalNum, 1);
    EXPECT_EQ(dm().SideNum, 1);

    // A long comment is cut where it is typed, to the 200 bytes any dropped line may have.
    host.expect_input("Add your comment here", std::string(300, 'n'));
    dm().List1.set_list_index(0);
    dm().Command12.user_click();
    EXPECT_EQ(list().front(), "//" + std::string(198, 'n'));
}

}  // namespace
}  // namespace tw
