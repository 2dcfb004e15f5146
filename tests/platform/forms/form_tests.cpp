#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "harness.hpp"
#include "platform/rt.hpp"
#include "platform/timer.hpp"

namespace formtest {
namespace {

class Forms : public ::testing::Test {
protected:
    Program p;
    std::vector<std::string> log;
    std::function<void(LogForm&)> setup;  // applied to every new instance
    FormSlot<LogForm> slot{[this] {
        auto f = std::make_unique<LogForm>(p.app, log);
        if (setup) setup(*f);
        return f;
    }};
};

TEST_F(Forms, LoadsOnFirstTouchOnlyOnce) {
    EXPECT_FALSE(slot.loaded());
    EXPECT_EQ(slot.peek(), nullptr);
    EXPECT_TRUE(log.empty());

    EXPECT_FALSE(slot().visible());  // reading a property is a touch
    EXPECT_TRUE(slot.loaded());
    slot().load();
    slot->set_caption("changed");
    EXPECT_EQ(slot().caption(), "changed");
    EXPECT_EQ(log, (std::vector<std::string>{"f.load"}));
}

TEST_F(Forms, ShowTwiceIsOneWindowBroughtForward) {
    slot().show();
    const auto id = slot().hwnd();
    slot().show();
    EXPECT_TRUE(slot().visible());
    EXPECT_EQ(p.app.forms().size(), 1u);
    EXPECT_EQ(slot().hwnd(), id);
    EXPECT_EQ(log, (std::vector<std::string>{"f.load", "f.activate"}));
}

TEST_F(Forms, HideOnUnloadedFormLoadsItFirst) {
    setup = [](LogForm& f) { f.on_load = [&f] { f.show(); }; };
    slot().set_visible(false);
    EXPECT_TRUE(slot.loaded());
    EXPECT_FALSE(slot().visible());
    EXPECT_EQ(log, (std::vector<std::string>{"f.load", "f.activate"}));
}

TEST_F(Forms, UnloadResetsToDesignStateAndDestroysLater) {
    slot().show();
    slot().set_caption("run time");
    const auto first_id = slot().hwnd();
    EXPECT_TRUE(slot.unload());
    EXPECT_FALSE(slot.loaded());
    EXPECT_EQ(p.app.pending_destruction(), 1u);
    p.reactor.pump(0);
    EXPECT_EQ(p.app.pending_destruction(), 0u);
    EXPECT_EQ(log, (std::vector<std::string>{"f.load", "f.activate", "f.unload", "f.terminate", "f.destroyed"}));

    EXPECT_EQ(slot().caption(), "design");
    EXPECT_FALSE(slot().visible());
    EXPECT_NE(slot().hwnd(), first_id);
}

TEST_F(Forms, UnloadCancelledKeepsTheFormAsItWas) {
    setup = [](LogForm& f) { f.on_unload = [](bool& cancel) { cancel = true; }; };
    slot().show();
    slot().set_caption("kept");
    EXPECT_FALSE(slot.unload());
    EXPECT_TRUE(slot.loaded());
    EXPECT_TRUE(slot().visible());
    EXPECT_EQ(slot().caption(), "kept");
    EXPECT_EQ(log, (std::vector<std::string>{"f.load", "f.activate", "f.unload"}));
}

TEST_F(Forms, UnloadOfAFormNeverLoadedDoesNothing) {
    EXPECT_TRUE(slot.unload());
    EXPECT_FALSE(slot.loaded());
    EXPECT_TRUE(log.empty());
}

// The form's own load unloads it (through a second form's load, as when a loader hands over to
// the main window) and then carries on with its own members and a nested loop.
TEST_F(Forms, UnloadedInsideItsOwnLoadIsNotDestroyedUnderIt) {
    FormSlot<LogForm> next{[this] {
        auto f = std::make_unique<LogForm>(p.app, log, "next");
        f->on_load = [this] { slot.unload(); };
        return f;
    }};
    setup = [&](LogForm& f) {
        f.on_load = [&] {
            f.show();
            next().show();
            EXPECT_FALSE(slot.loaded());
            p.app.do_events();
            f.set_caption("still here");
            f.button.set_left(100);
            log.push_back("load continues: " + f.caption());
        };
    };
    LogForm& f = slot();
    EXPECT_FALSE(f.loaded());
    EXPECT_FALSE(f.visible());
    EXPECT_FALSE(slot.loaded());
    p.reactor.pump(0);
    EXPECT_EQ(log, (std::vector<std::string>{"f.load", "f.activate", "next.load", "f.unload", "f.terminate",
                                             "next.activate", "load continues: still here", "f.destroyed"}));
    // A later touch builds a fresh form.
    setup = nullptr;
    EXPECT_EQ(slot().caption(), "design");
}

TEST_F(Forms, UnloadedInsideItsControlsClickIsNotDestroyedUnderIt) {
    setup = [&](LogForm& f) {
        f.button.Click = [&] {
            slot.unload();
            f.button.set_top(5);
            log.push_back("click continues");
        };
    };
    slot().show();
    slot().button.user_click();
    EXPECT_EQ(p.app.pending_destruction(), 1u);
    p.reactor.pump(0);
    EXPECT_EQ(log.back(), "f.destroyed");
    EXPECT_EQ(log[log.size() - 2], "click continues");
}

// A nested loop inside the handler runs the loop's tasks; the form must outlive the handler.
TEST_F(Forms, NestedLoopAfterUnloadInsideDispatchDoesNotDestroy) {
    setup = [&](LogForm& f) {
        f.button.Click = [&] {
            slot.unload();
            p.app.do_events();
            p.reactor.run_until([] { return false; }, 5);
            f.button.set_top(5);
            log.push_back("click continues");
        };
    };
    slot().show();
    {
        App::Dispatch user_action(p.app);
        slot().button.user_click();
    }
    EXPECT_EQ(log.back(), "click continues");
    p.reactor.run_until([&] { return p.app.pending_destruction() == 0; });
    EXPECT_EQ(log.back(), "f.destroyed");
}

// Unloaded from a task of the loop that then runs a nested loop: still not destroyed under it.
TEST_F(Forms, UnloadInsideLoopCallbackWithNestedLoop) {
    slot().show();
    LogForm* f = &slot();
    bool ran = false;
    p.reactor.post([&] {
        slot.unload();
        p.app.do_events();
        f->set_caption("still here");
        log.push_back("task continues");
        ran = true;
    });
    EXPECT_TRUE(p.reactor.run_until([&] { return ran && p.app.pending_destruction() == 0; }));
    EXPECT_EQ(log.back(), "f.destroyed");
    EXPECT_EQ(log[log.size() - 2], "task continues");
}

class TimerForm : public LogForm {
public:
    TimerForm(App& app, std::vector<std::string>& log) : LogForm(app, log) {
        timer.set_interval(100);
        timer.Tick = [this] { ++ticks; };
        button.Click = [this] {
            unload();
            timer.set_enabled(false);
            timer.set_enabled(true);  // an unloaded form's code cannot start it again
        };
    }
    Timer timer{this, "Timer1"};
    int ticks = 0;
};

TEST_F(Forms, UnloadingStopsItsTimersAndLoadRestartsThem) {
    FormSlot<TimerForm> ts([this] { return std::make_unique<TimerForm>(p.app, log); });
    TimerForm* first = &ts();
    p.clock.advance(100);
    p.reactor.pump(0);
    EXPECT_EQ(first->ticks, 1);
    {
        App::Dispatch user_action(p.app);  // keeps the form alive to look at it
        ts().button.user_click();
        p.clock.advance(500);
        p.reactor.pump(0);
        EXPECT_EQ(first->ticks, 1);
        EXPECT_FALSE(first->timer.running());
    }
    // A fresh load starts the designed timer again.
    TimerForm& second = ts();
    EXPECT_NE(&second, first);
    p.clock.advance(100);
    p.reactor.pump(0);
    EXPECT_EQ(second.ticks, 1);
}

TEST_F(Forms, ObserverSeesFormsLoadedAndUnloaded) {
    struct Seen : ControlObserver {
        std::vector<std::string> log;
        void created(Control& c) override { log.push_back("+" + c.name()); }
        void destroyed(Control& c) override { log.push_back("-" + c.name()); }
        void changed(Control& c, Prop p) override {
            if (p == Prop::Caption) log.push_back(c.name() + ".caption");
        }
    } seen;
    p.app.observer = &seen;
    slot().set_caption("x");
    slot.unload();
    slot().set_caption("y");  // the unloaded instance is silent; the new one is mirrored
    p.reactor.pump(0);
    EXPECT_EQ(seen.log, (std::vector<std::string>{"+f", "f.caption", "-f", "+f", "f.caption"}));
    slot.unload();
    p.reactor.pump(0);
}

TEST_F(Forms, OwnerIsForgottenWhenTheOwnerGoes) {
    LogForm owned(p.app, log, "owned");
    slot().show();
    owned.show(&slot());
    EXPECT_EQ(owned.owner(), &slot());
    slot.unload();
    p.reactor.pump(0);
    EXPECT_EQ(owned.owner(), nullptr);
}

TEST_F(Forms, ACentredFormFirstShowsOverTheMiddleOfItsOwner) {
    slot().move(3000, 1500, 12000, 9000);
    slot().show();
    struct Case {
        platform::StartUpPosition position;
        bool with_owner;
        double left, top;
    };
    for (const Case& c : {Case{platform::StartUpPosition::CenterOwner, true, 3000 + 4000, 1500 + 3000},
                          Case{platform::StartUpPosition::CenterOwner, false, 0, 0},
                          Case{platform::StartUpPosition::Manual, true, 0, 0}}) {
        LogForm owned(p.app, log, "owned");
        owned.move(0, 0, 4000, 3000);
        owned.set_start_up_position(c.position);
        owned.show(c.with_owner ? &slot() : nullptr);
        EXPECT_EQ(owned.left(), c.left);
        EXPECT_EQ(owned.top(), c.top);
        // Put elsewhere, hidden and shown again: it stays where it was put.
        owned.move(100, 200, 4000, 3000);
        owned.hide();
        owned.show(&slot());
        EXPECT_EQ(owned.left(), 100);
        EXPECT_EQ(owned.top(), 200);
    }
    // An owner near the screen's top-left corner never puts the form off it.
    slot().move(0, 0, 2000, 2000);
    LogForm owned(p.app, log, "owned");
    owned.move(0, 0, 4000, 3000);
    owned.set_start_up_position(platform::StartUpPosition::CenterOwner);
    owned.show(&slot());
    EXPECT_EQ(owned.left(), 0);
    EXPECT_EQ(owned.top(), 0);
}

TEST_F(Forms, KeyPreviewDecidesWhoHearsAKeyFirst) {
    struct Case {
        bool preview;
        bool focus;
        std::vector<std::string> heard;
    };
    const Case cases[] = {
        {true, true, {"form 65", "button 65"}},
        {false, true, {"button 65"}},
        {true, false, {"form 65"}},
        {false, false, {"form 65"}},
    };
    for (const auto& c : cases) {
        LogForm f(p.app, log);
        std::vector<std::string> heard;
        f.KeyDown = [&](int k, int) { heard.push_back("form " + std::to_string(k)); };
        f.button.KeyDown = [&](int k, int) { heard.push_back("button " + std::to_string(k)); };
        f.set_key_preview(c.preview);
        if (c.focus) f.set_focus(f.button);
        f.show();
        f.user_key_down(65, 2);
        EXPECT_EQ(heard, c.heard) << "preview " << c.preview << " focus " << c.focus;
    }
}

TEST_F(Forms, KeysDoNotReachAFocusedControlThatIsGone) {
    LogForm f(p.app, log);
    std::vector<int> heard;
    f.set_key_preview(true);
    f.KeyDown = [&](int k, int) { heard.push_back(k); };
    {
        Button temp(&f, "temp");
        temp.KeyDown = [&](int, int) { ADD_FAILURE() << "key delivered to an unloaded control"; };
        f.set_focus(temp);
    }
    f.user_key_down(13, 0);
    EXPECT_EQ(heard, (std::vector<int>{13}));
}

// --- End ------------------------------------------------------------------------------------

TEST_F(Forms, EndPassesThroughSkipTheFailingStep) {
    bool after = false;
    setup = [&](LogForm& f) {
        f.button.Click = [&] {
            try {
                rt::try_step([&] { p.app.end(); });
            } catch (const std::exception&) {
                ADD_FAILURE() << "End was caught as an error";
            }
            after = true;
        };
    };
    EXPECT_THROW(slot().button.user_click(), ProgramEnd);
    EXPECT_FALSE(after);
    EXPECT_TRUE(p.app.ended());
    EXPECT_TRUE(log.size() == 1 && log[0] == "f.load") << "End runs no unload procedures";
}

TEST_F(Forms, RunReturnsWhenAHandlerEnds) {
    Timer t(&slot(), "Timer1");
    t.set_interval(1000);
    int ticks = 0;
    t.Tick = [&] {
        if (++ticks == 3) p.app.end();
        p.clock.advance(1000);
    };
    p.clock.advance(1000);
    p.app.run();
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(p.app.ended());
}

TEST_F(Forms, EndFromFormUnloadLeavesUnloadAtOnce) {
    setup = [this](LogForm& f) { f.on_unload = [this](bool&) { p.app.end(); }; };
    slot().show();
    EXPECT_THROW(slot.unload(), ProgramEnd);
    EXPECT_TRUE(p.app.ended());
    EXPECT_EQ(log.back(), "f.unload");
}

// --- several programs in one process -----------------------------------------------------------

TEST(TwoApps, ShareOneLoopButNothingElse) {
    FakeClock clock;
    Reactor reactor(clock);
    ScriptedHost host_a(reactor, clock), host_b(reactor, clock);
    App a(reactor, host_a), b(reactor, host_b);
    a.title = "A";
    b.title = "B";
    std::vector<std::string> log;
    FormSlot<LogForm> fa([&] { return std::make_unique<LogForm>(a, log, "a"); });
    FormSlot<LogForm> fb([&] { return std::make_unique<LogForm>(b, log, "b"); });

    Timer ta(&fa(), "t"), tb(&fb(), "t");
    int ticks_a = 0, ticks_b = 0;
    ta.Tick = [&] { ++ticks_a; };
    tb.Tick = [&] { ++ticks_b; };
    ta.set_interval(100);
    tb.set_interval(100);

    a.msg_box("hello");
    b.msg_box("hello");
    ASSERT_EQ(host_a.messages().size(), 1u);
    EXPECT_EQ(host_a.messages()[0].title, "A");
    EXPECT_EQ(host_b.messages()[0].title, "B");
    EXPECT_EQ(a.forms().size(), 1u);
    EXPECT_EQ(b.forms().size(), 1u);

    EXPECT_THROW(a.end(), ProgramEnd);
    EXPECT_FALSE(b.ended());
    clock.advance(250);
    reactor.pump(0);
    EXPECT_EQ(ticks_a, 0) << "an ended program's timers are silent";
    EXPECT_EQ(ticks_b, 1);
}

TEST(AppBasics, CommandLineAndScreen) {
    Program p;
    const char* argv[] = {"/opt/tw/tablewright", "-ocg"};
    p.app.set_command_line(2, argv);
    EXPECT_EQ(p.app.command, "-ocg");
    const char* argv3[] = {"tw", "a", "b c"};
    p.app.set_command_line(3, argv3);
    EXPECT_EQ(p.app.command, "a b c");
    p.app.set_command_line(1, argv);
    EXPECT_EQ(p.app.command, "");

    EXPECT_EQ(p.app.screen().twips_per_pixel_x, 15);
    p.host.set_twips_per_pixel(12);
    EXPECT_EQ(p.app.screen().twips_per_pixel_y, 12);

    EXPECT_FALSE(p.app.prev_instance());
    p.app.prev_instance_check = [] { return true; };
    EXPECT_TRUE(p.app.prev_instance());
}

}  // namespace
}  // namespace formtest
