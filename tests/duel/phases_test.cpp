#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "tests/duel/flow_fixture.hpp"

namespace tw {
namespace {

std::string Colours(win::FormA& duel) { return test::PhaseColours(duel); }

struct Phases : test::FlowTest {};

TEST_F(Phases, EachJumpIsAnnouncedSentAndShown) {
    // After the load: the Draw Phase.
    EXPECT_EQ(Colours(duel), "bgggggg");
    struct Case {
        std::int32_t phase;
        const char* log;  // null: none
        const char* colours;
    };
    const Case cases[] = {
        {2, "<Game> Tester has entered their Standby Phase", "gbggggg"},
        {3, "<Game> Tester has entered their Main 1 Phase", "ggbgggg"},
        {4, "<Game> Tester has entered their Attack Phase", "gggbggg"},
        {5, "<Game> Tester has entered their Main 2 Phase", "ggggbgg"},
        {6, "<Game> Tester has entered their End Phase", "gggggbg"},
        {7, "<Game> Tester is done with their turn", "ggggggo"},
        // The opponent's turn keeps its colour through phases 2 to 6; only the Draw Phase greys it.
        {4, "<Game> Tester has entered their Attack Phase", "gggbggo"},
        {1, "<Game> Tester has entered their Draw Phase", "bgggggg"},
        {1, "<Game> Tester has entered their Draw Phase", "bgggggg"},
        // Outside 1 to 7 (only the public method can): no line, still sent, own labels grey.
        {9, nullptr, "ggggggg"},
        {0, nullptr, "ggggggg"},
        {-2, nullptr, "ggggggg"},
    };
    for (const Case& c : cases) {
        Forget();
        duel.JumpPhase(c.phase);
        EXPECT_EQ(tw.duel.Phase, c.phase);
        EXPECT_EQ(Sent(), std::vector<std::string>{"cp~" + rt::cstr(c.phase)}) << c.phase;
        EXPECT_EQ(Log(), c.log ? std::vector<std::string>{c.log} : std::vector<std::string>{}) << c.phase;
        EXPECT_EQ(Colours(duel), c.colours) << c.phase;
    }
}

TEST_F(Phases, PlayersReachThemByLabelMenuAndNextPhase) {
    duel.main1.user_click();
    EXPECT_EQ(tw.duel.Phase, 3);
    duel.main1.user_click();  // the current one again is announced and sent again
    EXPECT_EQ(Sent(), (std::vector<std::string>{"cp~3", "cp~3"}));
    duel.OppTurn.user_click();
    EXPECT_EQ(tw.duel.Phase, 7);
    EXPECT_EQ(Colours(duel), "ggggggo");

    fx.host.expect_popup("PhaseMain2");
    duel.popup_menu(duel.PlayField);
    EXPECT_EQ(tw.duel.Phase, 5);
    EXPECT_FALSE(tw.piles.PlayedOffline);  // labels and the menu do not count as play

    // Next Phase wraps after the opponent's turn, and marks play without a connection.
    struct Step {
        std::int32_t from, to;
    };
    for (const Step s : {Step{5, 6}, Step{6, 7}, Step{7, 1}, Step{9, 1}, Step{-5, 1},
                         Step{std::numeric_limits<std::int32_t>::max(), 1}}) {
        tw.duel.Phase = s.from;
        Forget();
        duel.NextPhase_Click();
        EXPECT_EQ(tw.duel.Phase, s.to) << s.from;
        EXPECT_EQ(Sent(), std::vector<std::string>{"cp~" + rt::cstr(s.to)}) << s.from;
    }
    EXPECT_EQ(LastLog(), "<Game> Tester has entered their Draw Phase");
    EXPECT_TRUE(tw.piles.PlayedOffline);
}

TEST_F(Phases, EndTurnHandsTheTurnOverInYellow) {
    duel.JumpPhase(3);
    Forget();
    fx.host.expect_popup("EndYourTurn");
    duel.popup_menu(duel.PlayField);
    EXPECT_EQ(tw.duel.Phase, 7);
    EXPECT_EQ(Sent(), std::vector<std::string>{"cp~7"});
    EXPECT_EQ(Log(), std::vector<std::string>{"<Game> Tester is done with their turn"});
    EXPECT_EQ(Colours(duel), "ggggggy");
    duel.JumpPhase(3);
    EXPECT_EQ(Colours(duel), "ggbgggy");
    duel.JumpPhase(1);
    EXPECT_EQ(Colours(duel), "bgggggg");
}

TEST_F(Phases, TheOpponentsPhaseShowsWhiteOverOurOwn) {
    struct Case {
        std::int32_t own;
        std::int32_t received;
        const char* colours;
    };
    const Case cases[] = {
        {7, 1, "wgggggo"}, {7, 4, "gggwggo"}, {7, 7, "ggggggw"}, {1, 3, "bgwgggg"},
        // Outside 1 to 7 it is the opponent's turn.
        {3, 0, "ggbgggw"}, {3, 8, "ggbgggw"}, {3, -2, "ggbgggw"},
    };
    for (const Case& c : cases) {
        tw.duel.Phase = c.own;
        Forget();
        duel.ShowOpponentPhase(c.received);
        EXPECT_EQ(tw.duel.Phase, c.own);
        EXPECT_TRUE(Sent().empty());
        EXPECT_EQ(Colours(duel), c.colours) << c.own << " " << c.received;
    }
}

}  // namespace
}  // namespace tw
