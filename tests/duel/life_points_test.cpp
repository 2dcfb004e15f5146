#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "cards/duel_log.hpp"
#include "duel/life_points.hpp"
#include "tests/duel/flow_fixture.hpp"

namespace tw {
namespace {

struct LifePoints : test::FlowTest {
    // Opens the "HP" pop-up on the own value, as a press on it does, and chooses an item.
    void FromHp(const std::string& item) {
        duel.HP.set_enabled(true);  // a connection enables it
        fx.host.expect_popup(item);
        duel.Text1.user_mouse_down(2, 0, 100, 100);
    }
    // The same from the table's own menu, "LP" submenu; an answer for "Custom..." if given.
    void FromTableMenu(const std::string& item, std::optional<std::optional<std::string>> typed = std::nullopt) {
        fx.host.expect_popup(item);
        if (typed) fx.host.expect_input("How much LP do you have now?", *typed);
        duel.popup_menu(duel.PlayField);
    }
};

TEST_F(LifePoints, EachActionChangesSendsAnnouncesAndShows) {
    struct Case {
        const char* hp_item;
        const char* lp_item;
        std::int32_t lp;
        const char* log;
    };
    const Case cases[] = {
        {"Sub1000", "LPSub1000", 7000, "<Game> Tester loses 1000 LP (7000 LP)"},
        {"sub200", "LPSub200", 7200, "<Game> Tester loses 800 LP (7200 LP)"},
        {"sub500", "LPSub500", 7500, "<Game> Tester loses 500 LP (7500 LP)"},
        {"Sub100", "LPSub100", 7900, "<Game> Tester loses 100 LP (7900 LP)"},
        {"Sub50", "LPSub50", 7950, "<Game> Tester loses 50 LP (7950 LP)"},
        {"Subtract25", "LPHalve", 4000, "<Game> Tester loses half their LP (4000 LP)"},
        {"Add25", "LPDouble", 16000, "<Game> Tester doubles their LP (16000 LP)"},
        {"add50", "LPAdd50", 8050, "<Game> Tester gains 50 LP (8050 LP)"},
        {"add100", "LPAdd100", 8100, "<Game> Tester gains 100 LP (8100 LP)"},
        {"add500", "LPAdd500", 8500, "<Game> Tester gains 500 LP (8500 LP)"},
        {"add200", "LPAdd200", 8800, "<Game> Tester gains 800 LP (8800 LP)"},
        {"add1000", "LPAdd1000", 9000, "<Game> Tester gains 1000 LP (9000 LP)"},
    };
    for (const Case& c : cases) {
        for (bool hp : {true, false}) {
            tw.duel.MyLP = 8000;
            Forget();
            if (hp) FromHp(c.hp_item);
            else FromTableMenu(c.lp_item);
            const std::string which = hp ? c.hp_item : c.lp_item;
            EXPECT_EQ(tw.duel.MyLP, c.lp) << which;
            EXPECT_EQ(Sent(), std::vector<std::string>{"nl~" + rt::cstr(c.lp)}) << which;
            EXPECT_EQ(Log(), std::vector<std::string>{c.log}) << which;
            EXPECT_EQ(duel.Text1.caption(), rt::cstr(c.lp)) << which;
        }
    }
}

TEST_F(LifePoints, HalvingRoundsHalfUpAndTheDisplayStopsAtZero) {
    struct Case {
        std::int32_t from, to;
    };
    for (const Case c : {Case{7999, 4000}, Case{4001, 2001}, Case{1, 1}, Case{0, 0}, Case{-3, -1}, Case{-4, -2}}) {
        tw.duel.MyLP = c.from;
        Forget();
        FromTableMenu("LPHalve");
        EXPECT_EQ(tw.duel.MyLP, c.to) << c.from;
        EXPECT_EQ(Sent(), std::vector<std::string>{"nl~" + rt::cstr(c.to)}) << c.from;
    }

    // Below zero the value is kept and sent, and only the display shows 0.
    tw.duel.MyLP = 500;
    Forget();
    FromHp("Sub1000");
    EXPECT_EQ(tw.duel.MyLP, -500);
    EXPECT_EQ(Sent(), std::vector<std::string>{"nl~-500"});
    EXPECT_EQ(LastLog(), "<Game> Tester loses 1000 LP (-500 LP)");
    EXPECT_EQ(duel.Text1.caption(), "0");
    EXPECT_EQ(duel.Text1.back_color(), LifePointColour(0));

    // Doubling nothing is still a change to announce.
    tw.duel.MyLP = 0;
    Forget();
    FromHp("Add25");
    EXPECT_EQ(Sent(), std::vector<std::string>{"nl~0"});
    EXPECT_EQ(LastLog(), "<Game> Tester doubles their LP (0 LP)");
}

TEST_F(LifePoints, ChangesBeyond32BitsAreRefusedWithTheReason) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    struct Case {
        std::int32_t from;
        const char* item;
    };
    for (const Case c : {Case{(1 << 30) + 1, "Add25"}, Case{kMax - 999, "add1000"}, Case{kMin + 49, "Sub50"},
                         Case{kMin, "Add25"}}) {
        tw.duel.MyLP = c.from;
        duel.Text1.set_caption(rt::cstr(c.from));
        Forget();
        FromHp(c.item);
        EXPECT_EQ(tw.duel.MyLP, c.from) << c.item;
        EXPECT_TRUE(Sent().empty()) << c.item;
        EXPECT_TRUE(Log().empty()) << c.item;
        EXPECT_EQ(Notices(), std::vector<std::string>{std::string(kLifePointsOutOfRange)}) << c.item;
    }
    // The very edge still fits.
    tw.duel.MyLP = kMax - 1000;
    FromHp("add1000");
    EXPECT_EQ(tw.duel.MyLP, kMax);
}

TEST_F(LifePoints, ACustomValueMustBeANumber) {
    struct Case {
        std::optional<std::string> answer;
        std::int32_t lp;  // 8000: unchanged
        const char* notice;
    };
    const Case cases[] = {
        {"abc", 8000, "Use numbers only!"},
        {"   ", 8000, "Use numbers only!"},
        {std::nullopt, 8000, "Use numbers only!"},
        {"12abc", 8000, "Use numbers only!"},
        {"99999999999", 8000, "That would put your LP out of range."},
        {" 1200 ", 1200, nullptr},
        {"2.5", 2, nullptr},
        {"3.5", 4, nullptr},
        {"-70", -70, nullptr},
    };
    for (const Case& c : cases) {
        tw.duel.MyLP = 8000;
        Forget();
        FromTableMenu("LPCustom", c.answer);
        const std::string what = c.answer.value_or("(cancel)");
        EXPECT_EQ(tw.duel.MyLP, c.lp) << what;
        if (c.notice) {
            EXPECT_EQ(Notices(), std::vector<std::string>{c.notice}) << what;
            EXPECT_TRUE(Sent().empty()) << what;
        } else {
            EXPECT_EQ(Sent(), std::vector<std::string>{"nl~" + rt::cstr(c.lp)}) << what;
            EXPECT_EQ(LastLog(), "<Game> Tester`s LP is now " + rt::cstr(c.lp)) << what;
        }
    }
    const auto& asked = fx.host.inputs().back();
    EXPECT_EQ(asked.title, "Tablewright Version 9.1");
    EXPECT_EQ(asked.default_text, "8000");
}

TEST_F(LifePoints, BothValuesAreColouredAndOnlyTheOwnStopsAtZero) {
    duel.Text1.set_caption("3000");
    EXPECT_EQ(duel.Text1.back_color(), LifePointColour(3000));
    duel.Text1.set_caption("-20");
    EXPECT_EQ(duel.Text1.caption(), "0");
    duel.Text1.set_caption("abc");  // not a number: the colour stays
    EXPECT_EQ(duel.Text1.back_color(), LifePointColour(0));

    duel.Text2.set_caption("-200");
    EXPECT_EQ(duel.Text2.caption(), "-200");
    EXPECT_EQ(duel.Text2.back_color(), LifePointColour(-200));
}

TEST_F(LifePoints, TheHpMenuOpensOnlyWhileEnabled) {
    duel.Text1.user_mouse_down(1, 0, 10, 10);  // disabled at load: no menu, no question
    EXPECT_TRUE(fx.host.popups().empty());
    duel.HP.set_enabled(true);
    fx.host.expect_popup(std::nullopt);
    duel.Text1.user_mouse_move(1, 0, 10, 10);
    fx.host.expect_popup(std::nullopt);
    duel.Text1.user_mouse_down(2, 0, 10, 10);
    duel.Text1.user_mouse_move(0, 0, 10, 10);  // no button held
    duel.Text1.user_mouse_move(3, 0, 10, 10);  // both held
    ASSERT_EQ(fx.host.popups().size(), 2u);
    EXPECT_EQ(fx.host.popups()[0].menu, "HP");
}

}  // namespace
}  // namespace tw
