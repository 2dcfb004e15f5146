#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "cards/about.hpp"
#include "cards/settings_window.hpp"
#include "cards/updater.hpp"
#include "duel/calc.hpp"
#include "net/site.hpp"
#include "platform/desktop.hpp"
#include "tests/duel/flow_fixture.hpp"
#include "tests/support/site_override.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;

struct Launchers : test::FlowTest {
    void Install(const std::string& file_name, const std::string& script = "#!/bin/sh\n") {
        const auto file = fx.dir.write("Utilities/" + file_name, script);
        fs::permissions(file, fs::perms::owner_exec, fs::perm_options::add);
    }
    void Choose(const std::string& item) {
        fx.host.expect_popup(item);
        duel.lblMore.user_click();
    }
};

TEST_F(Launchers, UtilitiesStartFromTheUtilitiesFolderOrSaySoWhenMissing) {
    Install("Scrollkeep");
    Install("bridgehall");  // found whatever the letter case
    struct Case {
        const char* item;
        const char* started;  // null: missing
        const char* notice;
    };
    const Case cases[] = {
        {"launchScrollkeep", "Scrollkeep", nullptr},
        {"bridgehall", "bridgehall", nullptr},
        {"launchChat", nullptr, "Chatwell cannot be started: the program was not found."},
    };
    for (const Case& c : cases) {
        Forget();
        const auto started = fx.host.processes().size();
        Choose(c.item);
        if (c.started) {
            ASSERT_EQ(fx.host.processes().size(), started + 1) << c.item;
            const auto& p = fx.host.processes().back();
            EXPECT_EQ(fs::path(p.program), fx.dir.path() / "Utilities" / c.started);
            EXPECT_TRUE(p.args.empty());
            EXPECT_EQ(p.style, platform::WindowStyle::MinimizedFocus);
            EXPECT_TRUE(Notices().empty());
        } else {
            EXPECT_EQ(fx.host.processes().size(), started) << c.item;
            EXPECT_EQ(Notices(), std::vector<std::string>{c.notice});
            EXPECT_EQ(fx.host.messages().back().title, "Tablewright Version 9.1");
        }
    }
    // A program that is there but will not start is said so as well.
    fx.host.set_start_process_result(false);
    Forget();
    Choose("launchScrollkeep");
    EXPECT_EQ(Notices(), std::vector<std::string>{"Scrollkeep cannot be started: the program was not found."});
}

TEST_F(Launchers, WindowsOpenOnceAndComeForward) {
    struct Case {
        const char* item;
        platform::Form* (*window)(Tablewright&);
        platform::Form* owner;
    };
    const Case cases[] = {
        {"about2", [](Tablewright& t) -> platform::Form* { return &t.about(); }, &duel},
        {"updateMySet", [](Tablewright& t) -> platform::Form* { return &t.frmUpdater(); }, &duel},
    };
    for (const Case& c : cases) {
        Choose(c.item);
        platform::Form* first = c.window(tw);
        EXPECT_TRUE(first->visible()) << c.item;
        EXPECT_EQ(first->owner(), c.owner) << c.item;
        Choose(c.item);
        EXPECT_EQ(c.window(tw), first) << c.item;
    }

    // Settings from "File" and from the table's "Change Playfield", without an owner.
    fx.host.expect_popup("Settings2");
    duel.lblFile.user_click();
    auto& settings = tw.settings();
    EXPECT_TRUE(settings.visible());
    EXPECT_EQ(settings.owner(), nullptr);
    settings.hide();
    fx.host.expect_popup("ChangePlayField");
    duel.popup_menu(duel.PlayField);
    EXPECT_EQ(&tw.settings(), &settings);
    EXPECT_TRUE(settings.visible());

    // The calculator from either life-point menu.
    fx.host.expect_popup("ShowCalc");
    duel.popup_menu(duel.PlayField);
    auto& calc = tw.calc();
    EXPECT_TRUE(calc.visible());
    EXPECT_EQ(calc.owner(), nullptr);
    // It first shows over the middle of the duel window, not at the screen's corner over the
    // card panel.
    EXPECT_DOUBLE_EQ(calc.left() + calc.width() / 2, duel.left() + duel.width() / 2);
    EXPECT_DOUBLE_EQ(calc.top() + calc.height() / 2, duel.top() + duel.height() / 2);
    duel.HP.set_enabled(true);
    fx.host.expect_popup("ShowCalc2");
    duel.Text1.user_mouse_down(1, 0, 0, 0);
    EXPECT_EQ(&tw.calc(), &calc);
    EXPECT_EQ(calc.List1.list_count(), 1);  // loaded once
}

TEST_F(Launchers, HelpOpensTheManual) {
    test::SiteOverride site("http://maker.example");
    Choose("Help");
    ASSERT_FALSE(fx.host.urls().empty());
    EXPECT_EQ(fx.host.urls().back(), "http://maker.example/zqmmanual.pdf");
}

// A desktop that really starts the programs, as the front end's does.
struct StartingHost : platform::ScriptedHost {
    using ScriptedHost::ScriptedHost;
    bool start_process(const fs::path& program, const std::vector<std::string>& args,
                       platform::WindowStyle style) override {
        ScriptedHost::start_process(program, args, style);
        return platform::start_detached(program, args);
    }
};

TEST(LaunchedUtility, RunsAsAProcessOfItsOwn) {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    StartingHost host{reactor, clock};
    test::TempDir dir;
    platform::App app{reactor, host};
    app.path = dir.path().string();
    app.prev_instance_check = [] { return false; };
    Tablewright tw(app);
    WriteSetting(tw, "username", "Tester");
    const auto file = dir.write("Utilities/Scrollkeep", "#!/bin/sh\necho $$ > \"$(dirname \"$0\")/started\"\n");
    fs::permissions(file, fs::perms::owner_exec, fs::perm_options::add);

    tw.FormA().launchScrollkeep_Click();
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!fs::exists(dir.path() / "Utilities" / "started") && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const std::string pid = test::TempDir::read(dir.path() / "Utilities" / "started");
    EXPECT_NE(std::stol(pid), static_cast<long>(::getpid()));
    EXPECT_TRUE(host.messages().empty());
}

}  // namespace
}  // namespace tw
