#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls.hpp"
#include "platform/host.hpp"
#include "platform/rt_error.hpp"
#include "surface.hpp"

namespace platform {
namespace {

using test::Surface;

struct HandList : ::testing::Test {
    Surface s;
    ListBox hand{&s, "hand"};
    int clicks = 0;
    void SetUp() override {
        for (const char* n : {"Alpha", "Bravo", "Charlie"}) hand.add_item(n);
        hand.Click = [this] { ++clicks; };
    }
};

TEST_F(HandList, ListIndexSetInCodeClicksOnceAndNotAgainForTheSameValue) {
    hand.set_list_index(1);
    EXPECT_EQ(clicks, 1);
    hand.set_list_index(1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(hand.text(), "Bravo");
    hand.set_list_index(-1);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(hand.text(), "");
}

TEST_F(HandList, ListIndexOutOfRangeIsRefused) {
    for (int bad : {-2, 3}) {
        try {
            hand.set_list_index(bad);
            ADD_FAILURE() << bad;
        } catch (const rt::RuntimeError& e) {
            EXPECT_EQ(e.number, 380);
        }
    }
    EXPECT_EQ(hand.list_index(), -1);
    EXPECT_EQ(clicks, 0);
}

TEST_F(HandList, ClearDeselectsWithoutClick) {
    hand.set_list_index(2);
    hand.set_top_index(2);
    hand.clear();
    EXPECT_EQ(hand.list_count(), 0);
    EXPECT_EQ(hand.list_index(), -1);
    EXPECT_EQ(hand.top_index(), 0);
    EXPECT_EQ(clicks, 1);
}

TEST_F(HandList, InsertAndRemoveKeepTheSelectedItem) {
    hand.set_list_index(1);  // Bravo
    hand.add_item("Zero", 0);
    EXPECT_EQ(hand.list_index(), 2);
    EXPECT_EQ(hand.text(), "Bravo");
    hand.add_item("Last", hand.list_count());
    EXPECT_EQ(hand.list(4), "Last");
    hand.remove_item(0);
    EXPECT_EQ(hand.text(), "Bravo");
    hand.remove_item(1);  // Bravo itself
    EXPECT_EQ(hand.list_index(), -1);
    EXPECT_EQ(hand.items(), (std::vector<std::string>{"Alpha", "Charlie", "Last"}));
    EXPECT_EQ(clicks, 1);  // only the code set
    EXPECT_THROW(hand.add_item("x", 4), rt::RuntimeError);
    EXPECT_THROW(hand.remove_item(3), rt::RuntimeError);
}

TEST_F(HandList, ListItemsReadAndReplacedInPlace) {
    hand.set_list(0, "Delta");
    EXPECT_EQ(hand.list(0), "Delta");
    EXPECT_EQ(hand.list(3), "");
    EXPECT_EQ(hand.list(-1), "");
    EXPECT_THROW(hand.set_list(3, "x"), rt::RuntimeError);
}

TEST_F(HandList, UserClickOrderAndClickBeforeDblClick) {
    std::vector<std::string> log;
    hand.MouseDown = [&](int b, int, double, double) { log.push_back("down" + std::to_string(b) + ":" + std::to_string(hand.list_index())); };
    hand.Click = [&] { log.push_back("click:" + std::to_string(hand.list_index())); };
    hand.MouseUp = [&](int, int, double, double) { log.push_back("up"); };
    hand.DblClick = [&] { log.push_back("dbl:" + hand.text()); };

    hand.user_click(2);
    EXPECT_EQ(log, (std::vector<std::string>{"down1:-1", "click:2", "up"}));
    log.clear();
    // A user's click on the selected item still clicks.
    hand.user_double_click(2);
    EXPECT_EQ(log, (std::vector<std::string>{"down1:2", "click:2", "up", "dbl:Charlie", "up"}));
    log.clear();
    // Below the last item: no selection, no Click.
    hand.user_click(-1);
    EXPECT_EQ(log, (std::vector<std::string>{"down1:2", "up"}));
}

TEST_F(HandList, MouseDownCarriesTheRowPositionForTheHitTest) {
    hand.set_top_index(1);
    double y = -1;
    hand.MouseDown = [&](int, int, double, double yy) { y = yy; };
    hand.user_click(2);
    EXPECT_EQ(hand.index_at(y), 2);
}

TEST(ListBoxHitTest, IndexAtRoundsThenFloorsAndAddsTopIndex) {
    Surface s;
    ListBox l(&s, "List2");
    for (int i = 0; i < 10; ++i) l.add_item("row" + std::to_string(i));
    struct Case { int top; double y; int want; } cases[] = {
        {0, 0, 0},
        {0, 194.4, 0},
        {0, 194.5, 0},    // ties to even: 194
        {0, 194.6, 1},    // rounds to 195
        {0, 195, 1},
        {0, 389.5, 2},    // ties to even: 390
        {3, 10, 3},
        {3, 195 * 6.0, 9},
        {3, 195 * 7.0, -1},  // past the end
        {0, -1, -1},
    };
    for (auto c : cases) {
        l.set_top_index(c.top);
        EXPECT_EQ(l.index_at(c.y), c.want) << "top " << c.top << " y " << c.y;
    }
}

TEST(ListBoxHitTest, DropRowOnSharedBoundaryIsTheUpperRow) {
    Surface s;
    ListBox l(&s, "List1");
    for (int i = 0; i < 3; ++i) l.add_item("line");
    struct Case { int y; int want; } cases[] = {
        {0, 0}, {12, 0}, {13, 0}, {14, 1}, {26, 1}, {27, 2}, {39, 2}, {40, -1}, {-1, -1},
    };
    for (auto c : cases) EXPECT_EQ(l.drop_index_at_px(c.y), c.want) << c.y;
    l.set_top_index(1);
    EXPECT_EQ(l.drop_index_at_px(13), 1);
    EXPECT_EQ(l.drop_index_at_px(14), 2);
}

// The form layer's part of a drag, as a stand-in: the source fills the data, the drop runs
// before the begin-drag call returns.
TEST(ListBoxDrag, BeginDragRunsTheHookAndTheDropBeforeReturning) {
    Surface s;
    ListBox view(&s, "List2");
    ListBox hand(&s, "hand");
    view.add_item("Night Heron");
    view.set_list_index(0);
    std::vector<std::string> log;
    view.OLEStartDrag = [&](DataObject& d, int&) { d.set_data("view " + view.text()); };
    hand.OLEDragDrop = [&](DataObject& d, int&, int, int, double, double) { log.push_back("drop:" + d.get_data()); };
    view.drag_hook = [&](ListBox& src) {
        DataObject data;
        int allowed = 1;
        src.OLEStartDrag(data, allowed);
        int effect = 1;
        hand.OLEDragDrop(data, effect, 1, 0, 0, 0);
    };
    view.MouseDown = [&](int, int, double, double) {
        view.begin_ole_drag();
        log.push_back("after drag");
    };
    view.user_click(0);
    EXPECT_EQ(log, (std::vector<std::string>{"drop:view Night Heron", "after drag"}));

    ListBox none(&s, "List3");
    none.begin_ole_drag();  // no hook: nothing happens
}

TEST(ListBoxDrag, AutomaticModeDragsOnlyWithASelection) {
    Surface s;
    ListBox deck(&s, "List1");
    deck.add_item("line");
    int drags = 0;
    deck.drag_hook = [&](ListBox&) { ++drags; };
    deck.user_drag();  // manual mode
    deck.set_ole_drag_automatic(true);
    deck.user_drag();  // nothing selected
    deck.set_list_index(0);
    deck.user_drag();
    EXPECT_EQ(drags, 1);
}

TEST(ComboBox, TextIsTheSelectedEntryOrEmpty) {
    Surface s;
    ComboBox typebox(&s, "typebox");
    EXPECT_EQ(typebox.text(), "");
    typebox.add_item("Normal");
    typebox.add_item("Effect");
    EXPECT_EQ(typebox.text(), "");
    EXPECT_EQ(typebox.list_index(), -1);
    int clicks = 0;
    typebox.Click = [&] { ++clicks; };
    typebox.add_item("All", 0);
    typebox.set_list_index(0);
    EXPECT_EQ(typebox.text(), "All");
    typebox.set_list_index(0);
    EXPECT_EQ(clicks, 1);
    typebox.user_select(0);  // a user's pick of the same entry still clicks
    EXPECT_EQ(clicks, 2);
    typebox.set_enabled(false);
    typebox.user_select(1);
    EXPECT_EQ(typebox.text(), "All");
    typebox.clear();
    EXPECT_EQ(typebox.text(), "");
    EXPECT_EQ(clicks, 2);
}

}  // namespace
}  // namespace platform
