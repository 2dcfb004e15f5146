// A drag from a list box is modal: the source fills the data, the host carries the drag, and
// the target's drop runs before the drag call returns.
#include <gtest/gtest.h>

#include "platform/controls.hpp"
#include "tests/platform/forms/harness.hpp"

namespace formtest {
namespace {

class Table : public Form {
public:
    explicit Table(App& app) : Form(app, "table") {}
    ListBox hand{this, "hand"};
    PictureBox playsurface{this, "playsurface"};
    ListBox deck{this, "deck"};
};

TEST(OleDrag, DropRunsOnTheTargetBeforeTheDragReturns) {
    Program p;
    Table t(p.app);
    t.show();
    std::vector<std::string> log;
    t.hand.add_item("Ember Drake");
    t.hand.OLEStartDrag = [&](DataObject& d, int&) {
        log.push_back("start");
        d.set_data("hand " + t.hand.list(0));
    };
    t.playsurface.OLEDragDrop = [&](DataObject& d, int&, int button, int shift, double x, double y) {
        log.push_back("drop " + d.get_data() + " " + std::to_string(button) + " " + std::to_string(shift) +
                      " " + std::to_string(int(x)) + "," + std::to_string(int(y)));
    };
    p.host.expect_drop(t.playsurface, 1200, 3400, 1, 1);
    t.hand.begin_ole_drag();
    log.push_back("returned");
    EXPECT_EQ(log, (std::vector<std::string>{"start", "drop hand Ember Drake 1 1 1200,3400", "returned"}));
}

TEST(OleDrag, DroppedOnAListOrNowhere) {
    Program p;
    Table t(p.app);
    t.show();
    std::string got;
    t.hand.OLEStartDrag = [&](DataObject& d, int&) { d.set_data("view 3"); };
    t.deck.OLEDragDrop = [&](DataObject& d, int&, int, int, double, double y) {
        got = d.get_data() + "@" + std::to_string(int(y));
    };
    p.host.expect_drop(t.deck, 0, 390);
    t.hand.begin_ole_drag();
    EXPECT_EQ(got, "view 3@390");

    got.clear();
    p.host.expect_no_drop();
    t.hand.begin_ole_drag();
    EXPECT_EQ(got, "");
    EXPECT_EQ(p.host.expectations_left(), 0u);
}

}  // namespace
}  // namespace formtest
