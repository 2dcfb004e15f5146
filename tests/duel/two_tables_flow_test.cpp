// The game flow between two tables on one event loop, connected on loopback: the phase, the life
// points and the sticky notes of one player show on the other's table.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "duel/calc.hpp"
#include "net/duel_frame.hpp"
#include "tests/duel/flow_fixture.hpp"
#include "tests/support/duel_pair.hpp"

namespace tw {
namespace {

using test::DuelPair;
using test::NetSide;
using test::PeerTable;

std::string Colours(NetSide& side) { return test::PhaseColours(side.duel()); }

struct TwoTables : ::testing::Test {
    DuelPair pair;
    NetSide& ann = pair.ann;  // seat 1
    NetSide& bob = pair.bob;  // seat 2

    void SetUp() override { ASSERT_TRUE(pair.Connect()); }
    bool Until(const std::function<bool()>& pred) { return pair.PumpUntil(pred); }
};

TEST_F(TwoTables, ThePhaseShowsWhiteOnTheOtherTable) {
    ann.duel().JumpPhase(3);
    ASSERT_TRUE(Until([&] { return bob.Logged("<Game> Ann has entered their Main 1 Phase"); }));
    ASSERT_TRUE(Until([&] { return Colours(bob) == "bgwgggg"; })) << Colours(bob);
    EXPECT_EQ(bob.tw().duel.Phase, 1);  // Bob's own phase stays his

    ann.duel().End_Turn_Click();
    ASSERT_TRUE(Until([&] { return Colours(bob) == "bgggggw"; })) << Colours(bob);
    EXPECT_EQ(Colours(ann), "ggggggy");

    // Bob's turn: his Next Phase shows on Ann's table over her handed-over turn.
    bob.duel().NextPhase_Click();
    ASSERT_TRUE(Until([&] { return Colours(ann) == "gwggggo"; })) << Colours(ann);
    EXPECT_FALSE(bob.tw().piles.PlayedOffline);  // connected: no offline play
}

TEST(OpponentPhase, OutsideOneToSevenIsTheOpponentsTurnAndJunkIsDropped) {
    PeerTable table;  // a raw peer, so that any text can arrive
    struct Case {
        const char* command;
        const char* colours;
    };
    const Case cases[] = {
        {"cp~4", "bggwggg"}, {"cp~0", "bgggggw"}, {"cp~8", "bgggggw"}, {"cp~-2", "bgggggw"},
        {"cp~2", "bwggggg"},
        // Not a whole 32-bit number: dropped, the labels as the last good one left them.
        {"cp~x", "bwggggg"}, {"cp~99999999999", "bwggggg"}, {"cp~", "bwggggg"}, {"cp~1.5", "bwggggg"},
    };
    int count = 0;
    for (const Case& c : cases) {
        table.Send(FrameBody(c.command, count + 1, count));
        ++count;
        EXPECT_EQ(Colours(table.side), c.colours) << c.command;
    }
    EXPECT_TRUE(table.side.host.messages().empty());
    EXPECT_EQ(table.tw().duel.Phase, 1);
}

TEST_F(TwoTables, LifePointsReachTheOtherTable) {
    ann.duel().HP.set_enabled(true);  // a connection enables it
    ann.host.expect_popup("Sub1000");
    ann.duel().Text1.user_mouse_down(1, 0, 10, 10);
    ASSERT_TRUE(Until([&] { return bob.tw().duel.OppLP == 7000; }));
    EXPECT_EQ(bob.duel().Text2.caption(), "7000");
    ASSERT_TRUE(Until([&] { return bob.Logged("<Game> Ann loses 1000 LP (7000 LP)"); }));

    // From the calculator: 10 / 4 = 2.5, added as 2.
    auto& calc = ann.tw().calc();
    calc.show();
    for (platform::CommandButton* b : {&calc.Command1[1], &calc.Command1[0], &calc.Command7, &calc.Command1[4],
                                       &calc.Command4, &calc.Command12})
        b->user_click();
    ASSERT_TRUE(Until([&] { return bob.tw().duel.OppLP == 7002; }));

    // A refused change sends nothing: Bob still sees 7002 after a later change goes through.
    ann.tw().duel.MyLP = 2147483000;
    ann.duel().LifePointItem_Click(11);  // "Add 1000"
    EXPECT_EQ(ann.host.messages().back().text, "That would put your LP out of range.");
    ann.duel().LifePointItem_Click(4);  // "Subtract 50"
    ASSERT_TRUE(Until([&] { return bob.tw().duel.OppLP == 2147482950; }));
}

TEST_F(TwoTables, StickyNotesAreMirroredOnTheOtherTable) {
    auto& a = ann.duel();
    auto& b = bob.duel();
    a.MakeStickyNote_Click();
    ASSERT_TRUE(Until([&] { return b.StickyNote.exists(1) && b.StickyNote[1].caption() == "Ann`s Sticky Note"; }));
    // The same left; the top seen from the other side of the table.
    EXPECT_EQ(b.StickyNote[1].left(), 4005);
    EXPECT_EQ(b.StickyNote[1].top(), b.playsurface.height() - 2985 - 855);
    EXPECT_TRUE(b.StickyNote[1].visible());

    // Dragged on Ann's table, released: Bob's note moves to the mirrored place.
    ann.host.set_cursor_pos({600, 200});
    auto& note = a.StickyNote[1];
    note.user_mouse_down(1, 0, 30, 40);
    note.user_mouse_move(1, 0, 30, 40);
    note.user_mouse_up(1, 0, 30, 40);
    const double left = note.left(), top = note.top();
    ASSERT_TRUE(Until([&] { return b.StickyNote[1].left() == left; }));
    EXPECT_EQ(b.StickyNote[1].top(), b.playsurface.height() - top - 855);

    // Edited, then deleted.
    ann.host.expect_popup("EditNote");
    ann.host.expect_input("Change Note Text to what?", std::string("Burn~ 300: each turn"));
    note.user_mouse_down(2, 0, 5, 5);
    ASSERT_TRUE(Until([&] { return b.StickyNote[1].caption() == "Burn 300: each turn"; }));
    EXPECT_EQ(a.StickyNote[1].caption(), "Burn 300: each turn");
    ann.host.expect_popup("DeleteNote");
    note.user_mouse_down(2, 0, 5, 5);
    ASSERT_TRUE(Until([&] { return !b.StickyNote.exists(1); }));

    // Bob's notes lie on his side, at the same left on both tables.
    b.MakeStickyNote_Click();
    ASSERT_TRUE(Until([&] { return a.StickyNote.exists(1) && a.StickyNote[1].caption() == "Bob`s Sticky Note"; }));
    EXPECT_EQ(a.StickyNote[1].left(), 7680);
    EXPECT_EQ(b.StickyNote[1].left(), 7680);
    for (NetSide* s : {&ann, &bob}) EXPECT_TRUE(s->host.messages().empty());
}

}  // namespace
}  // namespace tw
