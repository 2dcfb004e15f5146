#include <gtest/gtest.h>

#include <stdexcept>

#include "harness.hpp"
#include "platform/dialog.hpp"
#include "platform/menu.hpp"
#include "platform/rt.hpp"

namespace formtest {
namespace {

class Host : public ::testing::Test {
protected:
    Program p;
};

TEST_F(Host, UnscriptedQuestionFailsWithItsText) {
    try {
        // Not even a "skip the failing step" around it may hide the question.
        rt::try_step([&] { p.app.msg_box("Are you sure you want to quit?", MsgButtons::YesNo); });
        FAIL() << "the question was answered without a script";
    } catch (const UnscriptedQuestion& q) {
        EXPECT_NE(q.text().find("Are you sure you want to quit?"), std::string::npos);
        EXPECT_STREQ(q.what(), q.text().c_str());
    }
}

TEST_F(Host, EveryKindOfRequestNeedsAScript) {
    Form f(p.app, "f");
    CommonDialog dlg(&f, "comm1");
    Menu menu(&f, "File");
    Menu item(&menu, "Quit");
    const std::function<void()> requests[] = {
        [&] { p.app.input_box("How much LP do you have now?"); },
        [&] { p.host.popup(f, menu, std::nullopt); },
        [&] { dlg.show_open(); },
        [&] { p.host.drag(f, DataObject()); },
        [&] { p.app.msg_box("Reset?", MsgButtons::YesNoCancel); },
    };
    for (const auto& request : requests) EXPECT_THROW(request(), UnscriptedQuestion);
}

TEST_F(Host, ScriptIsConsumedInOrderAndMatchedByTextPart) {
    p.host.expect_yes_no("want to reset", MsgResult::No);
    p.host.expect_input("How much LP", std::string("1200"));
    p.host.expect_yes_no("quit", MsgResult::Yes);
    EXPECT_EQ(p.host.expectations_left(), 3u);

    EXPECT_EQ(p.app.msg_box("Are you sure you want to reset?", MsgButtons::YesNo), MsgResult::No);
    EXPECT_EQ(p.app.input_box("How much LP do you have now?", "", "8000"), "1200");
    // Out of order: the next expectation is the quit box.
    EXPECT_THROW(p.app.input_box("How much LP?"), UnscriptedQuestion);
    // The text does not match.
    EXPECT_THROW(p.app.msg_box("Clear deck?", MsgButtons::YesNo), UnscriptedQuestion);
    EXPECT_EQ(p.app.msg_box("Are you sure you want to quit?", MsgButtons::YesNo, MsgIcon::Question, "T 1"),
              MsgResult::Yes);
    EXPECT_EQ(p.host.expectations_left(), 0u);

    ASSERT_EQ(p.host.questions().size(), 2u);
    EXPECT_EQ(p.host.questions()[1].title, "T 1");
    ASSERT_EQ(p.host.inputs().size(), 1u);
    EXPECT_EQ(p.host.inputs()[0].default_text, "8000");
    EXPECT_EQ(p.host.inputs()[0].title, "Tablewright");
}

TEST_F(Host, CancelledInputGivesEmptyText) {
    p.host.expect_input("Change Note Text", std::nullopt);
    EXPECT_EQ(p.app.input_box("Change Note Text to what?", "", "old"), "");
}

TEST_F(Host, OkBoxesAreAnsweredAndRecorded) {
    EXPECT_EQ(p.app.msg_box("Numbers Only!", MsgButtons::OK, MsgIcon::Information, "Tablewright 9"),
              MsgResult::OK);
    p.app.msg_box("Attention!!");
    ASSERT_EQ(p.host.messages().size(), 2u);
    EXPECT_EQ(p.host.messages()[0].text, "Numbers Only!");
    EXPECT_EQ(p.host.messages()[0].title, "Tablewright 9");
    EXPECT_EQ(p.host.messages()[0].icon, MsgIcon::Information);
    EXPECT_EQ(p.host.messages()[1].title, "Tablewright");  // the program's title by default
    EXPECT_EQ(p.host.messages()[1].icon, MsgIcon::None);
}

TEST_F(Host, DragsAnswerTheScriptedTarget) {
    Form f(p.app, "f");
    Button target(&f, "playsurface");
    DataObject data;
    data.set_data("hand 3");
    p.host.expect_drop(target, 400, 800, 1, 1);
    p.host.expect_no_drop();
    auto drop = p.host.drag(f, data);
    ASSERT_TRUE(drop.has_value());
    EXPECT_EQ(drop->control, &target);
    EXPECT_EQ(drop->x, 400);
    EXPECT_EQ(drop->shift, 1);
    EXPECT_FALSE(p.host.drag(f, data).has_value());

    EXPECT_EQ(data.get_data(DataObject::TextFormat), "hand 3");
    EXPECT_EQ(data.get_data(2), "");
    data.clear();
    EXPECT_FALSE(data.get_format(DataObject::TextFormat));
}

TEST_F(Host, RecordsWhatGoesOutsideAndSetsInputState) {
    Form f(p.app, "FormA");
    p.host.open_url("http://example.invalid/rulings");
    EXPECT_TRUE(p.host.start_process("/opt/tw/Utilities/Bridgehall", {"-x"}, WindowStyle::MinimizedFocus));
    p.host.set_start_process_result(false);
    EXPECT_FALSE(p.host.start_process("/missing", {}, WindowStyle::NormalFocus));
    p.host.alert(f);
    p.host.set_topmost(f, true);
    p.host.set_topmost(f, false);
    EXPECT_TRUE(p.host.register_font("LCD-BOLD.TTF"));

    EXPECT_EQ(p.host.urls(), (std::vector<std::string>{"http://example.invalid/rulings"}));
    ASSERT_EQ(p.host.processes().size(), 2u);
    EXPECT_EQ(p.host.processes()[0].args, (std::vector<std::string>{"-x"}));
    EXPECT_EQ(p.host.alerts(), (std::vector<std::string>{"FormA"}));
    EXPECT_EQ(p.host.topmost_calls(), (std::vector<std::pair<std::string, bool>>{{"FormA", true}, {"FormA", false}}));
    EXPECT_EQ(p.host.fonts().size(), 1u);

    EXPECT_FALSE(p.host.is_active(f));
    p.host.set_active(&f);
    EXPECT_TRUE(p.host.is_active(f));
    EXPECT_FALSE(p.host.key_down(17));
    p.host.set_key_down(17, true);
    EXPECT_TRUE(p.host.key_down(17));
    p.host.set_cursor_pos({10, 20});
    EXPECT_EQ(p.host.cursor_pos_px().y, 20);

    f.refresh();
    EXPECT_EQ(p.host.repaints(), 1);
}

TEST_F(Host, DoEventsRunsTheLoopSleepOnlyMovesTheClock) {
    int ran = 0;
    p.reactor.post([&] { ++ran; });
    p.host.sleep_ms(300);
    EXPECT_EQ(ran, 0);
    EXPECT_EQ(p.clock.now_ms(), 300);
    p.app.do_events();
    EXPECT_EQ(ran, 1);
}

TEST_F(Host, Clipboard) {
    Clipboard clip(p.host);
    clip.set_text("127.0.0.1");
    EXPECT_EQ(clip.get_text(), "127.0.0.1");
    clip.clear();
    EXPECT_EQ(clip.get_text(), "");
}

// --- common dialog --------------------------------------------------------------------------

class Dialogs : public ::testing::Test {
protected:
    Program p;
    Form f{p.app, "settings"};
    CommonDialog comm1{&f, "comm1"};
    void SetUp() override { comm1.file_name = "/tw/decks/last.dek"; }
};

TEST_F(Dialogs, ChosenFileIsTaken) {
    p.host.expect_file(std::string("/tw/decks/new.dek"));
    EXPECT_TRUE(comm1.show_save());
    EXPECT_EQ(comm1.file_name, "/tw/decks/new.dek");
}

TEST_F(Dialogs, CancelKeepsTheNameAndRaisesOnlyWithCancelError) {
    p.host.expect_file(std::nullopt);
    EXPECT_FALSE(comm1.show_open());
    EXPECT_EQ(comm1.file_name, "/tw/decks/last.dek");

    comm1.cancel_error = true;
    p.host.expect_file(std::nullopt);
    try {
        comm1.show_save();
        FAIL() << "cancel did not raise";
    } catch (const rt::RuntimeError& e) {
        EXPECT_EQ(e.number, rt::ErrCancel);
    }
    EXPECT_EQ(comm1.file_name, "/tw/decks/last.dek");
}

TEST_F(Dialogs, HostSeesTheDialogsSettings) {
    struct Seen : ScriptedHost {
        using ScriptedHost::ScriptedHost;
        std::string filter, init_dir, preset;
        bool save = false;
        std::optional<std::string> file_dialog(const CommonDialog& d, bool s) override {
            filter = d.filter;
            init_dir = d.init_dir;
            preset = d.file_name;
            save = s;
            return std::nullopt;
        }
    } seen(p.reactor, p.clock);
    App app(p.reactor, seen);
    Form g(app, "DeckMaker");
    CommonDialog dlg(&g, "comm1");
    dlg.filter = "*.dek";
    dlg.init_dir = "/tw/decks";
    dlg.file_name = "a.dek";
    dlg.show_save();
    EXPECT_EQ(seen.filter, "*.dek");
    EXPECT_EQ(seen.init_dir, "/tw/decks");
    EXPECT_EQ(seen.preset, "a.dek");
    EXPECT_TRUE(seen.save);
}

}  // namespace
}  // namespace formtest
