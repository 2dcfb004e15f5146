#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/control_array.hpp"
#include "platform/controls.hpp"
#include "platform/rt_error.hpp"
#include "surface.hpp"
#include "tests/platform/rt/error_of.hpp"

namespace platform {
namespace {

using test::Surface;

using rt::test::error_of;

struct Notes : ::testing::Test {
    Surface s;
    ControlArray<Label> note{&s, "StickyNote"};
    void SetUp() override {
        note[0].set_caption("Sticky Note");
        note[0].move(4005, 2985, 855, 855);
        note[0].set_back_color(8454143);
        note[0].set_visible(false);
    }
};

TEST_F(Notes, LoadMakesAHiddenCopyOfElementZero) {
    note[0].set_visible(true);
    Label& n = note.load(3);
    EXPECT_EQ(&n, &note[3]);
    EXPECT_EQ(n.index(), 3);
    EXPECT_EQ(n.name(), "StickyNote");
    EXPECT_EQ(n.caption(), "Sticky Note");
    EXPECT_EQ(n.left(), 4005);
    EXPECT_EQ(n.width(), 855);
    EXPECT_EQ(n.back_color(), 8454143u);
    EXPECT_FALSE(n.visible());
    EXPECT_EQ(n.parent(), &s);
    EXPECT_EQ(s.find("StickyNote", 3), &n);
    EXPECT_EQ(error_of([&] { note.load(3); }), rt::ErrAlreadyLoaded);
}

TEST_F(Notes, ElementZeroCannotBeUnloadedAndMissingOnesDoNotExist) {
    EXPECT_EQ(error_of([&] { note.unload(0); }), rt::ErrCannotUnload);
    EXPECT_EQ(error_of([&] { note.unload(5); }), rt::ErrElementMissing);
    EXPECT_EQ(error_of([&] { (void)note[5]; }), rt::ErrElementMissing);
    EXPECT_TRUE(note.exists(0));
    EXPECT_FALSE(note.exists(5));
}

TEST_F(Notes, UboundFollowsTheHighestLoadedIndex) {
    note.load(1);
    note.load(2);
    note.load(5);
    EXPECT_EQ(note.ubound(), 5);
    EXPECT_EQ(note.count(), 4);
    note.unload(5);
    EXPECT_EQ(note.ubound(), 2);
    EXPECT_FALSE(note.exists(5));
    EXPECT_EQ(s.find("StickyNote", 5), nullptr);
    note.unload(1);
    EXPECT_EQ(note.ubound(), 2);
    std::vector<int> order;
    for (auto it = note.begin(); it != note.end(); ++it) order.push_back(it.index());
    EXPECT_EQ(order, (std::vector<int>{0, 2}));
    note.load(1);  // a freed index can be loaded again
    std::vector<int> indices;
    for (Label& l : note) indices.push_back(l.index());
    EXPECT_EQ(indices, (std::vector<int>{0, 1, 2}));
}

TEST_F(Notes, EventsSetOnceOnTheArrayCarryTheIndex) {
    std::vector<std::string> log;
    note.load(2);
    note.Click = [&](int i) { log.push_back("click" + std::to_string(i)); };
    note.MouseDown = [&](int i, int b, int, double x, double) {
        log.push_back("down" + std::to_string(i) + "/" + std::to_string(b) + "/" + std::to_string(int(x)));
    };
    note.Change = [&](int i) { log.push_back("change" + std::to_string(i)); };
    note.load(7);  // loaded after the handlers were set
    for (int i : {2, 7}) note[i].set_visible(true);
    note[7].user_click(12, 0);
    note[2].set_caption("memo");
    EXPECT_EQ(log, (std::vector<std::string>{"down7/1/12", "click7", "change2"}));
}

TEST_F(Notes, AnElementUnloadedFromItsOwnHandlerOutlivesTheCall) {
    note.load(4);
    note[4].set_visible(true);
    int clicks = 0;
    note.MouseDown = [&](int i, int, int, double, double) {
        note.unload(i);
        note.load(i);  // the freed index is usable at once
    };
    note.Click = [&](int) { ++clicks; };
    Label* old = &note[4];
    old->user_click();  // ASan reports a use after free if the element went at once
    EXPECT_EQ(clicks, 0);  // the unloaded element is deaf
    EXPECT_NE(&note[4], old);
    EXPECT_FALSE(note[4].visible());
    note.MouseDown = nullptr;
    note.unload(4);  // frees the retired element too
    EXPECT_EQ(s.find("StickyNote", 4), nullptr);
}

TEST(ControlArray, DesignedElementsExistAndStayLoaded) {
    Surface s;
    ControlArray<CommandButton> keys(&s, "Command1", 10);
    EXPECT_EQ(keys.count(), 10);
    EXPECT_EQ(keys.ubound(), 9);
    EXPECT_TRUE(keys[9].visible());
    EXPECT_EQ(error_of([&] { keys.unload(9); }), rt::ErrCannotUnload);
    std::vector<std::string> log;
    keys.KeyPress = [&](int i, int k) { log.push_back(std::to_string(i) + ":" + std::to_string(k)); };
    keys[3].user_key_press('+');
    EXPECT_EQ(log, (std::vector<std::string>{"3:43"}));
}

TEST(ControlArray, TheMirrorSeesLoadsAndUnloads) {
    struct Recorder : ControlObserver {
        std::vector<std::string> log;
        void created(Control& c) override { log.push_back("+" + std::to_string(c.index())); }
        void destroyed(Control& c) override { log.push_back("-" + std::to_string(c.index())); }
        void changed(Control&, Prop) override {}
    } rec;
    Surface s;
    {
        ControlArray<PictureBox> cards(&s, "cardstencil");
        s.set_observer(&rec);
        cards.load(1);
        cards.unload(1);
        cards.load(2);
    }
    EXPECT_EQ(rec.log, (std::vector<std::string>{"+1", "-1", "+2", "-2", "-0"}));
    s.set_observer(nullptr);
}

// Works for a control without events of its own.
TEST(ControlArray, ControlsWithoutEventsToo) {
    Surface s;
    ControlArray<Shape> shapes(&s, "Shape1");
    shapes[0].set_border_color(0xFF);
    EXPECT_EQ(shapes.load(1).border_color(), 0xFFu);
}

}  // namespace
}  // namespace platform
