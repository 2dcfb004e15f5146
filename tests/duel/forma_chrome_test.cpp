// The duel window's way out, its title drag and its chat input, driven as a person does.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "cards/game_log.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/files.hpp"
#include "platform/rt_error.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

constexpr const char* kQuitQuestion = "Are you sure you want to quit?";

struct DuelChrome : ::testing::Test {
    test::TableFixture fx;
    Tablewright& tw = fx.tw();
    win::FormA& duel = fx.LoadDuelWindow("Rook");
};

TEST_F(DuelChrome, EveryWayOfClosingAsksAndNoKeepsTheTableAsItWas) {
    struct Way {
        const char* name;
        std::function<void()> close;
    };
    const Way ways[] = {
        {"close picture", [&] { duel.Command16.user_click(); }},
        {"Quit item", [&] { duel.quit_Click(); }},
        {"the desktop's close", [&] { duel.unload(); }},
        {"Ctrl+Q",
         [&] {
             fx.host.set_key_down(17, true);
             duel.user_key_down('Q', 0);
             fx.host.set_key_down(17, false);
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        fx.host.expect_yes_no(kQuitQuestion, platform::MsgResult::No);
        way.close();
        EXPECT_EQ(fx.host.expectations_left(), 0u);
        EXPECT_FALSE(fx.app.ended());
        ASSERT_TRUE(tw.FormA.loaded());
        EXPECT_EQ(tw.FormA.peek(), &duel);
        EXPECT_TRUE(duel.visible());
        EXPECT_EQ(duel.chat.text(), "");
    }
    ASSERT_EQ(fx.host.questions().size(), 4u);
    EXPECT_EQ(fx.host.questions()[0].title, "Tablewright Version 9.1");
    EXPECT_EQ(fx.host.questions()[0].buttons, platform::MsgButtons::YesNo);
}

TEST_F(DuelChrome, YesWritesTheClosingLineIntoTheGameLogAndEndsTheProgram) {
    const auto log = fx.dir.path() / "Logs" / "duel.qlra";
    platform::make_folder_one_level(log.parent_path());
    tw.log.LogFileName = log.string();
    tw.log.LoggingOn = true;
    duel.chat.set_text("<Rook> good game\r\n");

    fx.host.expect_yes_no(kQuitQuestion, platform::MsgResult::Yes);
    EXPECT_THROW(duel.Command16.user_click(), platform::ProgramEnd);
    EXPECT_TRUE(fx.app.ended());
    EXPECT_EQ(duel.chat.text(), "<Rook> good game\r\n<Game> Rook has quit\r\n");
    ASSERT_TRUE(platform::file_exists(log));
    EXPECT_EQ(platform::read_file(log), GameLogFileText(duel.chat.text()));
}

TEST_F(DuelChrome, WithoutLoggingQuitWritesNoLogFile) {
    tw.log.LogFileName = (fx.dir.path() / "never.qlra").string();
    tw.log.LoggingOn = false;
    fx.host.expect_yes_no(kQuitQuestion, platform::MsgResult::Yes);
    EXPECT_THROW(duel.unload(), platform::ProgramEnd);
    EXPECT_FALSE(platform::file_exists(fx.dir.path() / "never.qlra"));
}

TEST_F(DuelChrome, EnterAndSendSubmitTheInputLineAndEmptyTheBox) {
    struct Case {
        const char* typed;
        bool by_enter;
        const char* log;   // the duel log afterwards
        std::int32_t lp;   // the own life points afterwards
    };
    const Case cases[] = {
        {"hello there", true, "<Rook> hello there\r\n", 8000},
        {"hello there", false, "<Rook> hello there\r\n", 8000},
        {"/sub 500", true, "<Game> Rook`s LP is now 7500(-500)\r\n", 7500},
        {"/add 300", false, "<Game> Rook`s LP is now 8300 (+300)\r\n", 8300},
        {"/lp 1200", true, "<Game> Rook`s LP is now 1200\r\n", 1200},
        {"", true, "", 8000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + (c.by_enter ? " Enter" : " Send"));
        tw.duel.MyLP = 8000;
        duel.chat.set_text("");
        duel.chattext.user_type(c.typed);
        if (c.by_enter) duel.chattext.user_key_down(13);
        else duel.chatsend.user_click();
        EXPECT_EQ(duel.chat.text(), c.log);
        EXPECT_EQ(tw.duel.MyLP, c.lp);
        EXPECT_EQ(duel.chattext.text(), "");
    }
}

TEST_F(DuelChrome, OtherKeysInTheInputBoxSubmitNothing) {
    duel.chattext.user_type("half a line");
    for (int key : {10, 32, 65, 9}) duel.chattext.user_key_down(key);
    EXPECT_EQ(duel.chat.text(), "");
    EXPECT_EQ(duel.chattext.text(), "half a line");
}

TEST_F(DuelChrome, TheTitlePictureAndTheTitleTextBothDragTheWindow) {
    // Presses on the title text are taken at the text's place on the picture.
    const double text_left = duel.lblTitle.left(), text_top = duel.lblTitle.top();
    struct Case {
        const char* where;
        platform::Control* control;
        double press_x, press_y;
    } cases[] = {
        {"picture", &duel.Image6, 6000, 100},
        {"title text", &duel.lblTitle, 40, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        duel.move(1000, 2000);
        auto press = [&](auto& ctl) {
            ctl.user_mouse_down(1, 0, c.press_x, c.press_y);
            ctl.user_mouse_move(1, 0, c.press_x + 300, c.press_y - 45);
            ctl.user_mouse_up(1, 0, c.press_x + 300, c.press_y - 45);
            ctl.user_mouse_move(0, 0, c.press_x + 900, c.press_y);  // released: stays
        };
        if (c.control == &duel.lblTitle) press(duel.lblTitle);
        else press(duel.Image6);
        EXPECT_DOUBLE_EQ(duel.left(), 1300);
        EXPECT_DOUBLE_EQ(duel.top(), 1955);
    }
    // A grab on the text and a move over the picture keep the grabbed point under the pointer.
    duel.move(1000, 2000);
    duel.lblTitle.user_mouse_down(1, 0, 40, 20);
    duel.Image6.user_mouse_move(1, 0, text_left + 40 + 60, text_top + 20);
    EXPECT_DOUBLE_EQ(duel.left(), 1060);
    EXPECT_DOUBLE_EQ(duel.top(), 2000);
}

TEST_F(DuelChrome, TheMinimisePictureMinimisesTheWindow) {
    EXPECT_FALSE(tw.duel.UserMinimized);
    duel.Image3.user_click();
    EXPECT_EQ(duel.window_state(), platform::WindowState::Minimized);
    EXPECT_TRUE(tw.duel.UserMinimized);  // the player's own doing
}

}  // namespace
}  // namespace tw
