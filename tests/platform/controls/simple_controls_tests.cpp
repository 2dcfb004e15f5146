#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls.hpp"
#include "platform/rt_error.hpp"
#include "surface.hpp"

namespace platform {
namespace {

using test::Surface;

TEST(CheckBox, CodeAndUserChangesClickOnlyOnChange) {
    Surface s;
    CheckBox c(&s, "Check1");
    std::vector<int> clicked;
    c.Click = [&] { clicked.push_back(c.value()); };  // Click sees the new value
    struct Step { const char* what; int arg; int want_value; } steps[] = {
        {"set", 1, 1}, {"set", 1, 1}, {"set", 2, 2}, {"user", 0, 1},  // grayed → checked
        {"user", 0, 0}, {"user", 0, 1}, {"set", 0, 0},
    };
    for (auto st : steps) {
        if (std::string(st.what) == "set") c.set_value(st.arg);
        else c.user_click();
        EXPECT_EQ(c.value(), st.want_value) << st.what << " " << st.arg;
    }
    EXPECT_EQ(clicked, (std::vector<int>{1, 2, 1, 0, 1, 0}));
    EXPECT_THROW(c.set_value(3), rt::RuntimeError);
    EXPECT_THROW(c.set_value(-1), rt::RuntimeError);
}

TEST(CheckBox, GrayedIsNeitherCheckedNorUnchecked) {
    Surface s;
    CheckBox c(&s, "hidecopies");
    c.set_value(2);
    // The programs test "checked" as value 1 and "unchecked" as value 0.
    EXPECT_NE(c.value(), 1);
    EXPECT_NE(c.value(), 0);
}

TEST(OptionButton, TurningOneOnTurnsItsSiblingsOffWithoutTheirClick) {
    Surface s;
    Frame other(&s, "Frame1");
    OptionButton first(&s, "Option1"), second(&s, "Option2"), elsewhere(&other, "Option3");
    int first_clicks = 0, second_clicks = 0;
    first.Click = [&] { ++first_clicks; };
    second.Click = [&] { ++second_clicks; };
    elsewhere.set_value(true);
    first.set_value(true);
    second.user_click();
    EXPECT_FALSE(first.value());
    EXPECT_TRUE(second.value());
    EXPECT_TRUE(elsewhere.value());  // another container is another group
    EXPECT_EQ(first_clicks, 1);
    EXPECT_EQ(second_clicks, 1);
    second.user_click();
    EXPECT_EQ(second_clicks, 1);
}

TEST(CommandButton, ClickAndKeyPress) {
    Surface s;
    CommandButton b(&s, "Command1");
    std::vector<std::string> log;
    b.Click = [&] { log.push_back("click"); };
    b.KeyPress = [&](int k) { log.push_back("key" + std::to_string(k)); };
    b.user_click();
    b.user_key_press(8);
    b.set_visible(false);
    b.user_click();
    EXPECT_EQ(log, (std::vector<std::string>{"click", "key8"}));
}

TEST(Frame, HidingItHidesWhatItHolds) {
    Surface s;
    Frame f(&s, "Frame1");
    CheckBox inside(&f, "MonsterCheck");
    EXPECT_TRUE(inside.shown());
    f.set_visible(false);
    EXPECT_TRUE(inside.visible());
    EXPECT_FALSE(inside.shown());
}

TEST(HScrollBar, ChangeHandlerSettingItselfBackTerminates) {
    Surface s;
    HScrollBar h(&s, "HScroll1");
    h.set_max(254);
    std::vector<int> seen;
    h.Change = [&] {
        seen.push_back(h.value());
        if (h.value() < 40) h.set_value(40);
    };
    h.user_scroll(10);
    EXPECT_EQ(h.value(), 40);
    h.set_value(40);
    h.user_scroll(300);  // the thumb stops at Max
    EXPECT_EQ(seen, (std::vector<int>{10, 40, 254}));
    try {
        h.set_value(255);
        ADD_FAILURE();
    } catch (const rt::RuntimeError& e) {
        EXPECT_EQ(e.number, 380);
    }
}

TEST(HScrollBar, NarrowingTheRangeMovesTheValueInside) {
    Surface s;
    HScrollBar h(&s, "HScroll1");
    h.set_max(254);
    h.set_value(200);
    int changes = 0;
    h.Change = [&] { ++changes; };
    h.set_max(100);
    EXPECT_EQ(h.value(), 100);
    h.set_min(120);  // Min above Max is a reversed range
    EXPECT_EQ(h.value(), 100);
    EXPECT_EQ(changes, 1);
}

TEST(ProgressBar, ValueIsClamped) {
    Surface s;
    ProgressBar p(&s, "ProgressBar1");
    struct Case { double set; double want; } cases[] = {{50, 50}, {-5, 0}, {100, 100}, {140, 100}};
    for (auto c : cases) {
        p.set_value(c.set);
        EXPECT_EQ(p.value(), c.want) << c.set;
    }
    p.set_max(80);
    EXPECT_EQ(p.value(), 80);
}

TEST(Shape, BorderColorAndKind) {
    Surface s;
    Shape sh(&s, "Shape1");
    sh.set_border_color(0x00FFFF);
    sh.set_shape(ShapeKind::RoundedRectangle);
    EXPECT_EQ(sh.border_color(), 0x00FFFFu);
    EXPECT_EQ(sh.shape(), ShapeKind::RoundedRectangle);
}

// Every setter reports its change to the mirror, once, and only when the value changed.
TEST(Mirror, SettersNotifyOnlyOnChange) {
    struct Recorder : ControlObserver {
        std::vector<Prop> props;
        void changed(Control&, Prop p) override { props.push_back(p); }
    } rec;
    Surface s;
    s.set_observer(&rec);
    Label l(&s, "Label1");
    ListBox lb(&s, "List1");
    l.set_caption("a");
    l.set_caption("a");
    lb.add_item("x");
    lb.set_list_index(0);
    lb.set_list_index(0);
    EXPECT_EQ(rec.props, (std::vector<Prop>{Prop::Caption, Prop::Items, Prop::ListIndex}));
    s.set_observer(nullptr);
}

}  // namespace
}  // namespace platform
