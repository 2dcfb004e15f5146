#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls.hpp"
#include "platform/rt_error.hpp"
#include "surface.hpp"

namespace platform {
namespace {

using test::Surface;

TEST(Label, ChangeFiresOnlyWhenTheCaptionChanges) {
    Surface s;
    Label l(&s, "Label1");
    int changes = 0;
    l.Change = [&] { ++changes; };
    l.set_caption("8000");
    l.set_caption("8000");
    l.set_caption("7000");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(l.caption(), "7000");
}

TEST(Label, ChangeHandlerSettingItsOwnCaptionTerminates) {
    Surface s;
    Label l(&s, "Text1");
    std::vector<std::string> seen;
    // A life-point label clamps itself to "0" from its own Change handler.
    l.Change = [&] {
        seen.push_back(l.caption());
        if (l.caption().front() == '-') l.set_caption("0");
    };
    l.set_caption("-300");
    EXPECT_EQ(l.caption(), "0");
    EXPECT_EQ(seen, (std::vector<std::string>{"-300", "0"}));
}

TEST(Label, UserClickOrderAndDoubleClick) {
    Surface s;
    Label l(&s, "Label5");
    std::vector<std::string> log;
    l.MouseDown = [&](int b, int, double x, double y) {
        log.push_back("down" + std::to_string(b) + "@" + std::to_string(int(x)) + "," +
                      std::to_string(int(y)));
    };
    l.Click = [&] { log.push_back("click"); };
    l.DblClick = [&] { log.push_back("dbl"); };
    l.MouseUp = [&](int, int, double, double) { log.push_back("up"); };
    l.user_click(30, 45);
    EXPECT_EQ(log, (std::vector<std::string>{"down1@30,45", "click", "up"}));
    log.clear();
    l.user_double_click();
    EXPECT_EQ(log, (std::vector<std::string>{"down1@0,0", "click", "up", "dbl", "up"}));
}

TEST(UserInput, DisabledOrHiddenControlsIgnoreTheUser) {
    Surface s;
    Frame frame(&s, "Frame1");
    Label inside(&frame, "Label1");
    TextBox box(&s, "Text1");
    int clicks = 0, changes = 0;
    inside.Click = [&] { ++clicks; };
    box.Change = [&] { ++changes; };

    frame.set_enabled(false);
    inside.user_click();
    frame.set_enabled(true);
    frame.set_visible(false);
    EXPECT_FALSE(inside.shown());
    inside.user_click();
    frame.set_visible(true);
    inside.user_click();
    EXPECT_EQ(clicks, 1);

    box.set_enabled(false);
    box.user_edit("typed");
    EXPECT_EQ(box.text(), "");
    box.set_text("code");  // code still reaches a disabled box
    EXPECT_EQ(changes, 1);
}

TEST(TextBox, EditsFocusAndKeys) {
    Surface s;
    TextBox t(&s, "Text4");
    std::vector<std::string> log;
    t.Change = [&] { log.push_back("change:" + t.text()); };
    t.GotFocus = [&] { log.push_back("got"); };
    t.LostFocus = [&] { log.push_back("lost"); };
    t.KeyDown = [&](int key, int shift) { log.push_back("key" + std::to_string(key) + "/" + std::to_string(shift)); };
    t.Click = [&] { log.push_back("click"); };
    t.DblClick = [&] { log.push_back("dbl"); };

    t.user_got_focus();
    t.user_edit("abc");
    t.user_edit("abc");
    t.user_key_down(13, 2);
    t.user_double_click();
    t.user_lost_focus();
    EXPECT_EQ(log, (std::vector<std::string>{"got", "change:abc", "key13/2", "click", "dbl", "lost"}));

    // The placeholder test reads the colour back.
    t.set_fore_color(0x808080);
    EXPECT_EQ(t.fore_color(), 0x808080u);
    t.set_password_char('*');
    EXPECT_EQ(t.password_char(), '*');
}

}  // namespace
}  // namespace platform
