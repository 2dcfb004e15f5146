#include <gtest/gtest.h>

#include <algorithm>

#include "harness.hpp"
#include "platform/control_array.hpp"
#include "platform/menu.hpp"
#include "platform/timer.hpp"

namespace formtest {
namespace {

// A form with a bar menu (File > Settings, Quit) and a hidden pop-up (Card > Play > Face up).
class MenuForm : public Form {
public:
    explicit MenuForm(App& app) : Form(app, "FormA") {
        file.set_caption("&File");
        settings.set_caption("&Settings...");
        quit.set_caption("&Quit");
        quit.set_shortcut_text("Ctrl+Q");
        card.set_visible(false);
        play.set_caption("Play");
        face_up.set_caption("Face up");
        discard.set_caption("Discard");
        std::vector<Menu*> all{&file, &settings, &quit, &card, &play, &face_up, &discard};
        for (Menu* m : all) m->Click = [this, m] { log.push_back(m->name()); };
    }
    std::vector<std::string> log;
    Menu file{this, "File"};
    Menu settings{&file, "Settings"};
    Menu quit{&file, "Quit"};
    Menu card{this, "CardInPlay"};
    Menu play{&card, "Play"};
    Menu face_up{&play, "FaceUp"};
    Menu discard{&card, "Discard"};
};

class Menus : public ::testing::Test {
protected:
    Program p;
    MenuForm f{p.app};
};

TEST_F(Menus, MenuBarListsTopMenusInOrder) {
    EXPECT_EQ(f.menu_bar(), (std::vector<Menu*>{&f.file, &f.card}));
    EXPECT_EQ(f.card.items(), (std::vector<Menu*>{&f.play, &f.discard}));
    EXPECT_TRUE(f.quit.is_leaf());
    EXPECT_EQ(f.face_up.form(), &f);
}

TEST_F(Menus, ParentClickThenSubmenusThenLeafBeforeReturning) {
    p.host.expect_popup("FaceUp");
    f.popup_menu(f.card);
    f.log.push_back("returned");
    EXPECT_EQ(f.log, (std::vector<std::string>{"CardInPlay", "Play", "FaceUp", "returned"}));
    EXPECT_EQ(p.host.expectations_left(), 0u);
}

TEST_F(Menus, ParentClickMayChangeItemsBeforeTheyShow) {
    f.card.Click = [&] { f.discard.set_caption("Banish"); };
    p.host.expect_popup("Banish");  // chosen by caption
    f.popup_menu(f.card, PointTw{120, 480});
    EXPECT_EQ(f.log, (std::vector<std::string>{"Discard"}));
}

TEST_F(Menus, DismissedMenuRunsOnlyTheParentClick) {
    p.host.expect_popup(std::nullopt);
    f.popup_menu(f.file);
    EXPECT_EQ(f.log, (std::vector<std::string>{"File"}));
}

TEST_F(Menus, DisabledMenuDoesNotOpen) {
    f.card.set_enabled(false);
    f.popup_menu(f.card);  // the host is not asked: an empty script would throw
    EXPECT_TRUE(f.log.empty());
}

TEST_F(Menus, ItemsAUserCannotReachCannotBeScripted) {
    f.play.set_enabled(false);
    p.host.expect_popup("FaceUp");
    EXPECT_THROW(f.popup_menu(f.card), UnscriptedQuestion);
    f.play.set_enabled(true);
    f.discard.set_visible(false);
    p.host.expect_popup("Discard");
    EXPECT_THROW(f.popup_menu(f.card), UnscriptedQuestion);
}

// A host that answers with an item outside the opened menu, or a disabled one.
TEST_F(Menus, OnlyAReachableLeafOfTheOpenedMenuRuns) {
    struct Rogue : ScriptedHost {
        using ScriptedHost::ScriptedHost;
        Menu* answer = nullptr;
        Menu* popup(Form&, Menu&, std::optional<PointTw>) override { return answer; }
    } rogue(p.reactor, p.clock);
    App app(p.reactor, rogue);
    MenuForm g(app);
    for (Menu* answer : {&g.quit, &g.play}) {
        rogue.answer = answer;
        g.popup_menu(g.card);
    }
    g.face_up.set_enabled(false);
    rogue.answer = &g.face_up;
    g.popup_menu(g.card);
    EXPECT_EQ(g.log, (std::vector<std::string>{"CardInPlay", "CardInPlay", "CardInPlay"}));
}

TEST_F(Menus, CopyFromMakesAHiddenCopy) {
    Menu token(&f.card, "TokenRoot", 1);
    f.discard.set_shortcut_text("Del");
    token.copy_from(f.discard);
    EXPECT_EQ(token.caption(), "Discard");
    EXPECT_EQ(token.shortcut_text(), "Del");
    EXPECT_FALSE(token.visible());
}

// Items loaded at run time after the designed element, as a list of tokens.
TEST_F(Menus, RunTimeMenuArrayReportsTheChosenIndex) {
    ControlArray<Menu> tokens(&f.card, "TokenRoot");
    tokens[0].set_caption("Token");
    std::vector<std::string> chosen;
    tokens.Click = [&](int i) { chosen.push_back(std::to_string(i) + " " + tokens[i].caption()); };
    for (int i = 1; i <= 3; ++i) {
        Menu& m = tokens.load(i);
        EXPECT_FALSE(m.visible());
        m.set_caption("Token " + std::to_string(i));
        m.set_visible(true);
    }
    p.host.expect_popup("Token 2");
    f.popup_menu(f.card);
    tokens[3].set_visible(false);
    p.host.expect_popup("Token 3");  // hidden: a user cannot pick it
    EXPECT_THROW(f.popup_menu(f.card), UnscriptedQuestion);
    EXPECT_EQ(chosen, (std::vector<std::string>{"2 Token 2"}));
}

TEST_F(Menus, TimerArrayTicksWithIndex) {
    ControlArray<Timer> timers(&f, "Timer", 2);
    std::vector<int> ticked;
    timers.Tick = [&](int i) { ticked.push_back(i); };
    f.load();
    timers[1].set_interval(100);
    timers.load(2).set_interval(50);
    p.clock.advance(100);
    p.reactor.pump(0);
    EXPECT_EQ(ticked, (std::vector<int>{2, 1}));
}

// --- timers ---------------------------------------------------------------------------------

class Timers : public ::testing::Test {
protected:
    Program p;
    Form f{p.app, "f"};
    Timer t{&f, "Timer1"};
    int ticks = 0;

    void SetUp() override {
        f.load();
        t.Tick = [this] { ++ticks; };
        t.set_interval(1000);
    }
    // Moves the clock and lets the loop run once.
    void after(int ms) {
        p.clock.advance(ms);
        p.reactor.pump(0);
    }
};

TEST_F(Timers, TicksEveryIntervalAndLateTicksComeOnce) {
    after(999);
    EXPECT_EQ(ticks, 0);
    after(1);
    EXPECT_EQ(ticks, 1);
    after(3500);  // the loop was busy for three intervals
    EXPECT_EQ(ticks, 2);
    after(999);
    EXPECT_EQ(ticks, 2);
    after(1);
    EXPECT_EQ(ticks, 3);
}

TEST_F(Timers, EnablingARunningTimerKeepsItsCountdown) {
    after(600);
    t.set_enabled(true);
    after(400);
    EXPECT_EQ(ticks, 1);
}

TEST_F(Timers, ReEnablingAStoppedTimerAndSettingIntervalRestart) {
    struct Case {
        const char* what;
        std::function<void(Timer&)> act;
    };
    const Case cases[] = {
        {"disable then enable", [](Timer& t) { t.set_enabled(false); t.set_enabled(true); }},
        {"same interval again", [](Timer& t) { t.set_interval(1000); }},
    };
    for (const auto& c : cases) {
        ticks = 0;
        t.set_interval(1000);
        after(600);
        c.act(t);
        after(400);
        EXPECT_EQ(ticks, 0) << c.what;
        after(600);
        EXPECT_EQ(ticks, 1) << c.what;
    }
}

TEST_F(Timers, IntervalZeroOrDisabledStops) {
    t.set_interval(0);
    after(5000);
    EXPECT_FALSE(t.running());
    t.set_interval(1000);
    t.set_enabled(false);
    after(5000);
    EXPECT_EQ(ticks, 0);
    t.set_enabled(true);
    EXPECT_TRUE(t.running());
}

TEST_F(Timers, SleepDeliversNoTicks) {
    p.host.sleep_ms(2500);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(p.host.slept_ms(), 2500);
    p.reactor.pump(0);
    EXPECT_EQ(ticks, 1);
}

TEST_F(Timers, NestedLoopInsideATickRunsOtherTimersButNotItself) {
    Timer other(&f, "Timer2");
    other.set_interval(300);
    std::vector<std::string> log;
    other.Tick = [&] { log.push_back("other"); };
    t.Tick = [&] {
        log.push_back("tick");
        for (int i = 0; i < 4; ++i) {
            p.clock.advance(300);  // Timer1 falls due again meanwhile
            p.app.do_events();
        }
        log.push_back("tick done");
    };
    p.clock.advance(1000);
    p.reactor.pump(0);
    EXPECT_EQ(log, (std::vector<std::string>{"other", "tick", "other", "other", "other", "other", "tick done"}));
    after(1000);  // the dropped tick did not stop the timer
    EXPECT_EQ(std::count(log.begin(), log.end(), "tick"), 2);
}

TEST_F(Timers, CopyFromTakesIntervalAndEnabled) {
    Timer copy(&f, "Timer1", 1);
    t.set_enabled(false);
    copy.copy_from(t);
    EXPECT_EQ(copy.interval(), 1000);
    EXPECT_FALSE(copy.running());
}

}  // namespace
}  // namespace formtest
