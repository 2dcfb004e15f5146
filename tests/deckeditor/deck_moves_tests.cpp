// Rearranging the deck list: one copy between deck and side deck, lines up and down, and lines
// dropped onto the list, with the checks, the limits and the counts after each.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "deckeditor/deck_moves.hpp"
#include "platform/host.hpp"
#include "tests/deckeditor/deck_list_fixture.hpp"

namespace tw {
namespace {

using Lines = std::vector<std::string>;
using test::DeckEditorTest;

const std::string S = "-SIDE DECK-";
const std::string kComment =
    "If you want to move a comment to the side deck, just click it and DRAAAAAG it down to the bottom";

// One row of the list is 13 pixels, 195 twips; a point this far down lies inside row k.
constexpr double RowMiddle(int k) { return k * 195 + 97; }

struct DeckMovesTest : DeckEditorTest {
    void select(int index) {
        if (index >= 0)
            dm().List1.user_click(index);
        else
            dm().List1.set_list_index(-1);
    }
    Lines messages() const {
        Lines out;
        for (const auto& m : host.messages()) out.push_back(m.text);
        return out;
    }
};

TEST_F(DeckMovesTest, OneCopyBetweenDeckAndSideDeck) {
    struct Case {
        const char* what;
        Lines lines;
        int selected;
        bool to_side;  // Command10, else Command9
        Lines after;   // the lines as they were when the move is refused
        std::string says;
    };
    const Case cases[] = {
        // To the side deck.
        {"the only copy goes to the end of a side deck without it", {"1 Tst Card 1", "1 Tst Card 2", S},
         0, true, {"1 Tst Card 2", S, "1 Tst Card 1"}, ""},
        {"a copy raises the side line of its printing", {"2 Tst Card 1", S, "1 Tst Card 2", "1 Tst Card 1"},
         0, true, {"1 Tst Card 1", S, "1 Tst Card 2", "2 Tst Card 1"}, ""},
        {"a side line of another printing keeps its set", {"1 Tst Pair Pike", S, "1 Otr Pair Pike"},
         0, true, {S, "1 Otr Pair Pike", "1 Tst Pair Pike"}, ""},
        {"a side line one over the limit puts the copy back", {"1 Tst Lone Lantern", S, "2 Tst Lone Lantern"},
         0, true, {"1 Tst Lone Lantern", S, "2 Tst Lone Lantern"}, "lone lantern is restricted to 1 per deck."},
        {"a deck line left over the limit refuses too", {"3 Tst Lone Lantern", S},
         0, true, {"3 Tst Lone Lantern", S}, "lone lantern is restricted to 1 per deck."},
        {"no line is raised past the limit", {"1 Tst Lone Lantern", S, "1 Tst Lone Lantern"},
         0, true, {"1 Tst Lone Lantern", S, "1 Tst Lone Lantern"}, "lone lantern is restricted to 1 per deck."},
        {"nor past three copies", {"1 Tst Card 1", S, "3 Tst Card 1"},
         0, true, {"1 Tst Card 1", S, "3 Tst Card 1"}, "card 1 is restricted to 3 per deck."},
        {"a four-character set code finds the card's limit", {"1 Qvr1 Long Wyrm", S, "2 Qvr1 Long Wyrm"},
         0, true, {"1 Qvr1 Long Wyrm", S, "2 Qvr1 Long Wyrm"}, "long wyrm is restricted to 1 per deck."},
        {"and moves like any other", {"2 Qvr1 Card 9", S, "1 Qvr1 Card 9"},
         0, true, {"1 Qvr1 Card 9", S, "2 Qvr1 Card 9"}, ""},
        {"a list without a marker gets it back", {"1 Tst Card 1", "1 Tst Card 2"},
         1, true, {"1 Tst Card 1", S, "1 Tst Card 2"}, ""},
        {"a side line is not a deck line", {"1 Tst Card 1", S, "1 Tst Card 2"},
         2, true, {"1 Tst Card 1", S, "1 Tst Card 2"}, "Please Select a Card in your Deck"},
        {"nor is the marker", {"1 Tst Card 1", S}, 1, true, {"1 Tst Card 1", S}, "Please Select a Card in your Deck"},
        {"nothing selected", {"1 Tst Card 1", S}, -1, true, {"1 Tst Card 1", S},
         "Pick a card from the Deck before you place it in your Side Deck"},
        {"a comment moves only by dragging", {"//note", S}, 0, true, {"//note", S}, kComment},
        {"as does a line without a count", {"dropped text", S}, 0, true, {"dropped text", S}, kComment},
        {"a one-character line is passed over", {"x", S}, 0, true, {"x", S}, ""},
        // Back to the deck.
        {"the only copy goes directly above the marker", {"1 Tst Card 2", S, "1 Tst Card 1"},
         2, false, {"1 Tst Card 2", "1 Tst Card 1", S}, ""},
        {"a copy raises the deck line of its printing", {"1 Tst Card 1", "1 Tst Card 2", S, "2 Tst Card 2"},
         3, false, {"1 Tst Card 1", "2 Tst Card 2", S, "1 Tst Card 2"}, ""},
        {"a deck line one over the limit puts the copy back", {"2 Tst Lone Lantern", S, "1 Tst Lone Lantern"},
         2, false, {"2 Tst Lone Lantern", S, "1 Tst Lone Lantern"}, "lone lantern is restricted to 1 per deck."},
        {"no deck line is raised past the limit", {"2 Tst Pair Pike", "1 Tst Card 1", S, "1 Tst Pair Pike"},
         3, false, {"2 Tst Pair Pike", "1 Tst Card 1", S, "1 Tst Pair Pike"}, "pair pike is restricted to 2 per deck."},
        {"the set choice is not asked on the way back", {S, "1 Tst Card 5"}, 1, false, {"1 Tst Card 5", S}, ""},
        {"a deck line is not a side line", {"1 Tst Card 1", S, "1 Tst Card 2"},
         0, false, {"1 Tst Card 1", S, "1 Tst Card 2"}, "Please Select a Card in your Side Deck"},
        {"without a marker there is no side deck", {"1 Tst Card 1"}, 0, false, {"1 Tst Card 1"},
         "Please Select a Card in your Side Deck"},
        {"nothing selected, back", {"1 Tst Card 1", S}, -1, false, {"1 Tst Card 1", S}, "Pick a card first"},
        {"the marker, back", {"1 Tst Card 1", S}, 1, false, {"1 Tst Card 1", S}, ""},
        {"a side comment moves only by dragging", {S, "//later"}, 1, false, {S, "//later"}, kComment},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        lay(c.lines);
        select(c.selected);
        const auto told = host.messages().size();
        (c.to_side ? dm().Command10 : dm().Command9).user_click();
        EXPECT_EQ(list(), c.after);
        if (c.says.empty()) {
            EXPECT_EQ(host.messages().size(), told);
        } else {
            ASSERT_EQ(host.messages().size(), told + 1);
            EXPECT_EQ(last_text(), c.says);
        }
    }
}

TEST_F(DeckMovesTest, MovesAreCountedAndTheSetChoiceIsAskedOnlyOnTheWayToTheSide) {
    lay({"2 Tst Card 1", "1 Tst Twin Drake", S});
    select(0);
    dm().Command10.user_click();
    EXPECT_EQ(dm().NormalNum, 1);
    EXPECT_EQ(dm().FusionNum, 1);
    EXPECT_EQ(dm().SideNum, 1);
    EXPECT_EQ(dm().Label6.caption(), "1");

    dm().Combo1.clear();
    select(0);
    dm().Command10.user_click();
    EXPECT_EQ(last_text(), "Select a set");
    EXPECT_EQ(dm().SideNum, 1);

    select(3);
    dm().Command9.user_click();
    EXPECT_EQ(list(), (Lines{"2 Tst Card 1", "1 Tst Twin Drake", S}));
    EXPECT_EQ(dm().NormalNum, 2);
    EXPECT_EQ(dm().SideNum, 0);

    // A refused move leaves the counts as the last recount left them.
    lay({"1 Tst Lone Lantern", S, "2 Tst Lone Lantern"});
    select(0);
    dm().Command10.user_click();
    EXPECT_EQ(dm().SideNum, 2);
    EXPECT_EQ(dm().NormalNum, 1);
}

TEST_F(DeckMovesTest, UpAndDownAcrossTheMarker) {
    const struct {
        const char* what;
        int selected;
        bool up;
        Lines after;
        int selected_after;
    } cases[] = {
        {"up on the first line", 0, true, {"1 Tst Card 1", "1 Tst Card 2", S, "1 Tst Card 3"}, 0},
        {"down on the last line", 3, false, {"1 Tst Card 1", "1 Tst Card 2", S, "1 Tst Card 3"}, 3},
        {"the marker stays", 2, true, {"1 Tst Card 1", "1 Tst Card 2", S, "1 Tst Card 3"}, 2},
        {"the marker stays, down", 2, false, {"1 Tst Card 1", "1 Tst Card 2", S, "1 Tst Card 3"}, 2},
        {"nothing selected", -1, false, {"1 Tst Card 1", "1 Tst Card 2", S, "1 Tst Card 3"}, -1},
        {"a deck line up", 1, true, {"1 Tst Card 2", "1 Tst Card 1", S, "1 Tst Card 3"}, 0},
        {"the first side line up into the deck", 3, true, {"1 Tst Card 1", "1 Tst Card 2", "1 Tst Card 3", S}, 2},
        {"the last deck line down into the side deck", 1, false, {"1 Tst Card 1", S, "1 Tst Card 2", "1 Tst Card 3"}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        lay({"1 Tst Card 1", "1 Tst Card 2", S, "1 Tst Card 3"});
        select(c.selected);
        (c.up ? dm().Command13 : dm().Command15).user_click();
        EXPECT_EQ(list(), c.after);
        EXPECT_EQ(dm().List1.list_index(), c.selected_after);
    }
    lay({"1 Tst Card 1", "1 Tst Card 2", S, "1 Tst Card 3"});
    select(3);
    dm().Command13.user_click();
    EXPECT_EQ(dm().NormalNum, 3);
    EXPECT_EQ(dm().SideNum, 0);
    // The line moved is the one the preview shows.
    EXPECT_NE(dm().selectedcard.text().find("Card 3"), std::string::npos);
}

TEST_F(DeckMovesTest, ADroppedLineGoesBelowTheLineUnderThePointer) {
    const Lines start = {"1 Tst Card 1", "1 Tst Card 2", "1 Tst Card 3", S, "1 Tst Card 4"};
    struct Case {
        const char* what;
        std::optional<std::string> text;  // nullopt: data with no plain-text form
        double y;                         // twips from the list's top
        Lines after;
    };
    const Case cases[] = {
        {"between two lines, from above", "1 Tst Card 1", RowMiddle(1),
         {"1 Tst Card 2", "1 Tst Card 1", "1 Tst Card 3", S, "1 Tst Card 4"}},
        {"from below, across the marker", "1 Tst Card 4", RowMiddle(0),
         {"1 Tst Card 1", "1 Tst Card 4", "1 Tst Card 2", "1 Tst Card 3", S}},
        {"onto itself", "1 Tst Card 2", RowMiddle(1), start},
        {"the marker like any line", S, RowMiddle(4),
         {"1 Tst Card 1", "1 Tst Card 2", "1 Tst Card 3", "1 Tst Card 4", S}},
        {"on the boundary the upper line wins", "1 Tst Card 3", 195,
         {"1 Tst Card 1", "1 Tst Card 3", "1 Tst Card 2", S, "1 Tst Card 4"}},
        {"half a pixel above the boundary rounds to even, the upper line", "1 Tst Card 3", 187.5,
         {"1 Tst Card 1", "1 Tst Card 3", "1 Tst Card 2", S, "1 Tst Card 4"}},
        {"half a pixel below it, the lower line", "1 Tst Card 3", 202.5, start},
        {"at the very top", "1 Tst Card 4", 0,
         {"1 Tst Card 1", "1 Tst Card 4", "1 Tst Card 2", "1 Tst Card 3", S}},
        {"below the last line nothing", "1 Tst Card 1", RowMiddle(5), start},
        {"above the list nothing", "1 Tst Card 1", -20, start},
        {"text from outside is a new line", "//from outside", RowMiddle(3),
         {"1 Tst Card 1", "1 Tst Card 2", "1 Tst Card 3", S, "//from outside", "1 Tst Card 4"}},
        {"several lines: the first one only", "1 Tst Card 4\r\n1 Tst Card 1\r\n", RowMiddle(0),
         {"1 Tst Card 1", "1 Tst Card 4", "1 Tst Card 2", "1 Tst Card 3", S}},
        {"a bare LF ends the line too", "1 Tst Card 4\n1 Tst Card 1", RowMiddle(0),
         {"1 Tst Card 1", "1 Tst Card 4", "1 Tst Card 2", "1 Tst Card 3", S}},
        {"an empty first line adds nothing", "\r\n1 Tst Card 1", RowMiddle(0), start},
        {"data that is no text adds nothing", std::nullopt, RowMiddle(0), start},
        {"a long text is cut at 200 bytes", std::string(300, 'x'), RowMiddle(4),
         {"1 Tst Card 1", "1 Tst Card 2", "1 Tst Card 3", S, "1 Tst Card 4", std::string(200, 'x')}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        lay(start);
        platform::DataObject data;
        if (c.text) data.set_data(*c.text);
        int effect = 1;
        dm().List1.OLEDragDrop(data, effect, 1, 0, 100, c.y);
        EXPECT_EQ(list(), c.after);
    }
}

TEST_F(DeckMovesTest, ALineDraggedWithTheMouseMovesAndIsCounted) {
    lay({"1 Tst Card 1", "1 Tst Card 2", S, "1 Tst Card 3"});
    dm().List1.user_click(3);
    host.expect_drop(dm().List1, 100, RowMiddle(0));
    dm().List1.user_drag();
    EXPECT_EQ(list(), (Lines{"1 Tst Card 1", "1 Tst Card 3", "1 Tst Card 2", S}));
    EXPECT_EQ(dm().NormalNum, 3);
    EXPECT_EQ(dm().SideNum, 0);

    // A scrolled list counts rows from its first shown line.
    dm().List1.set_top_index(2);
    dm().List1.user_click(0);
    host.expect_drop(dm().List1, 100, RowMiddle(1));
    dm().List1.user_drag();
    EXPECT_EQ(list(), (Lines{"1 Tst Card 3", "1 Tst Card 2", S, "1 Tst Card 1"}));
    EXPECT_EQ(dm().SideNum, 1);
    EXPECT_EQ(dm().GetListItemFromPt(dm().List1, 0, RowMiddle(2)), -1);
}

// A drag that starts in the list moves the line it started on, whole and by its place; only text
// from outside is cut to 200 bytes and found by its text.
TEST_F(DeckMovesTest, ALineDraggedWithinTheListMovesWholeFromItsOwnPlace) {
    const std::string long_comment = "//" + std::string(250, 'c');
    struct Case {
        const char* what;
        Lines start;
        int dragged;
        int onto;
        Lines after;
    };
    const Case cases[] = {
        {"a comment longer than 200 bytes", {"1 Tst Card 1", long_comment, "1 Tst Card 2", S}, 1, 2,
         {"1 Tst Card 1", "1 Tst Card 2", long_comment, S}},
        {"the lower of two equal lines, upwards", {"//x", "1 Tst Card 1", "//x", S}, 2, 0,
         {"//x", "//x", "1 Tst Card 1", S}},
        {"the upper of two equal lines, downwards", {"1 Tst Card 1", "1 Tst Card 2", S, "1 Tst Card 1"}, 0, 2,
         {"1 Tst Card 2", S, "1 Tst Card 1", "1 Tst Card 1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        lay(c.start);
        dm().List1.user_click(c.dragged);
        host.expect_drop(dm().List1, 100, RowMiddle(c.onto));
        dm().List1.user_drag();
        EXPECT_EQ(list(), c.after);
    }

    // A drag that ended elsewhere leaves nothing behind: text from outside is cut as before.
    lay({"1 Tst Card 1", long_comment, S});
    dm().List1.user_click(1);
    host.expect_no_drop();
    dm().List1.user_drag();
    platform::DataObject data;
    data.set_data(long_comment);
    int effect = 1;
    dm().List1.OLEDragDrop(data, effect, 1, 0, 100, RowMiddle(0));
    EXPECT_EQ(list(), (Lines{"1 Tst Card 1", long_comment.substr(0, 200), long_comment, S}));
}

}  // namespace
}  // namespace tw
