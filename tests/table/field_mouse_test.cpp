// A person's hand on a field card: the press and the card menu, the hover window, the drag with
// its snap, the drag back to the hand, and the name label's ATK/DEF.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cards/tip.hpp"
#include "platform/menu.hpp"
#include "table/field_mouse.hpp"
#include "table/field_slots.hpp"
#include "tests/table/by_hand_fixture.hpp"

namespace tw {
namespace {

using test::ByHand;
using test::ByHandTable;
using test::Lines;
using test::Monster;
using test::SpellCard;

// What the card menu offers: each shown item's caption, a submenu's items after ">", a disabled
// item marked " (off)".
Lines Offered(platform::Menu& menu) {
    Lines out;
    std::function<void(platform::Menu&, const std::string&)> walk = [&](platform::Menu& m, const std::string& at) {
        for (platform::Menu* item : m.items()) {
            if (!item->visible()) continue;
            const std::string text = at + item->caption() + (item->enabled() ? "" : " (off)");
            if (item->is_leaf())
                out.push_back(text);
            else
                walk(*item, text + ">");
        }
    };
    walk(menu, "");
    return out;
}

Card Token(const std::string& name = "Pebble Token") {
    Card c;
    c.Name = name;
    c.SetCode = "Token";
    c.Level = "2";
    c.Group = "Golem";
    return c;
}

// A right press that dismisses the menu, to see what it offered.
Lines RightPress(ByHandTable& t, int slot) {
    t.fx.host.expect_popup(std::nullopt);
    t.duel.cardstencil[slot].user_mouse_down(2, 0, 400, 600);
    EXPECT_EQ(t.fx.host.expectations_left(), 0u) << "the menu did not open";
    return Offered(t.duel.CardInPlay);
}

TEST(CardMenu, OffersWhatFitsTheCard) {
    const std::string give1 = "Change Ownership>Give to Player 1 (Yellow) (off)";
    const std::string give2 = "Change Ownership>Give to Player 2 (Blue) (off)";
    const std::string opponent = "Change Ownership>Give to Opponent";
    struct Case {
        const char* what;
        int seat;
        std::function<Card()> card;
        int owner;  // 0: own
        Lines offered;
    };
    const Case cases[] = {
        {"own face-up monster, no connection: both give items disabled", 0, [] { return Monster("Jarrow Drake"); }, 0,
         {"Put in Graveyard", "Return to Hand", "Put on top of Deck", "Activate Card Effect", "Add Counter",
          "Flip Card Over", "Turn Card Horiz/Vert", "Flip To Face Down Defense", "Remove from Game (RFG)", give1,
          give2, "Attack>Opponents`s LP"}},
        {"with counters it can lose one", 0,
         [] {
             Card c = Monster("Jarrow Drake");
             c.Counters = 2;
             return c;
         },
         0,
         {"Put in Graveyard", "Return to Hand", "Put on top of Deck", "Activate Card Effect", "Add Counter",
          "Remove Counter", "Flip Card Over", "Turn Card Horiz/Vert", "Flip To Face Down Defense",
          "Remove from Game (RFG)", give1, give2, "Attack>Opponents`s LP"}},
        {"face down and sideways, seat 1: flips to attack, no counters, no attack", 1,
         [] {
             Card c = Monster("Jarrow Drake");
             c.Flipped = true;
             c.Horizontal = true;
             return c;
         },
         0,
         {"Put in Graveyard", "Return to Hand", "Put on top of Deck", "Activate Card Effect", "Flip Card Over",
          "Turn Card Horiz/Vert", "Flip To Face Up Attack", "Remove from Game (RFG)", give1, opponent}},
        {"face up and sideways: no flip-and-turn", 0,
         [] {
             Card c = Monster("Jarrow Drake");
             c.Horizontal = true;
             return c;
         },
         0,
         {"Put in Graveyard", "Return to Hand", "Put on top of Deck", "Activate Card Effect", "Add Counter",
          "Flip Card Over", "Turn Card Horiz/Vert", "Remove from Game (RFG)", give1, give2,
          "Attack>Opponents`s LP"}},
        {"a spell, seat 2: no flip-and-turn, no attack; the give item is player 1's", 2,
         [] { return SpellCard("Tidecall"); }, 0,
         {"Put in Graveyard", "Return to Hand", "Put on top of Deck", "Activate Card Effect", "Add Counter",
          "Flip Card Over", "Turn Card Horiz/Vert", "Remove from Game (RFG)", opponent, give2}},
        {"an extra-deck card goes back to the extra deck, never on top of the deck", 0,
         [] {
             Card c = Monster("Vesper Chimera");
             c.Fusion = true;
             return c;
         },
         0,
         {"Put in Graveyard", "Return to Extra Deck", "Activate Card Effect", "Add Counter", "Flip Card Over",
          "Turn Card Horiz/Vert", "Flip To Face Down Defense", "Remove from Game (RFG)", give1, give2,
          "Attack>Opponents`s LP"}},
        {"an own face-up token can only be destroyed, turned, counted on and attack", 1, [] { return Token(); }, 0,
         {"Activate Card Effect", "Add Counter", "Turn Card Horiz/Vert", "Destroy Token", "Attack>Opponents`s LP"}},
        {"the opponent's monster: only what its handlers refuse anyway", 1, [] { return Monster("Jarrow Drake"); },
         2, {"Put on top of Deck", "Activate Card Effect", "Flip To Face Down Defense", give1, opponent}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ByHandTable t;
        t.tw.net.PlayerNumber = c.seat;
        const int s = t.Put(c.card(), c.owner, 3);
        t.tw.field.FieldCards[s].Counters = c.card().Counters;
        EXPECT_EQ(RightPress(t, s), c.offered);
    }
}

TEST_F(ByHand, AttackTargetsAreTheOpponentsMonstersInSlotOrderAtMostFive) {
    tw.net.PlayerNumber = 1;
    const int own = Put(Monster("Jarrow Drake"));
    // The opponent's cards, put down in another order than their slots.
    Put(Monster("Ninth"), 2, 9);
    Put(SpellCard("Tidecall"), 2, 3);  // not a monster
    Card hidden = Monster("Hidden");
    hidden.Flipped = true;
    Put(hidden, 2, 4);
    for (int s : {8, 7, 6, 5}) Put(Monster("Slot " + std::to_string(s)), 2, s);

    const Lines offered = RightPress(*this, own);
    const Lines attacks(offered.end() - 6, offered.end());
    EXPECT_EQ(attacks, (Lines{"Attack>Opponents`s LP", "Attack>Face Down Card", "Attack>Slot 5", "Attack>Slot 6",
                              "Attack>Slot 7", "Attack>Slot 8"}));

    // The next press starts from a clean list: one target less, one item less.
    RemoveFieldCard(tw, 4);
    EXPECT_EQ(RightPress(*this, own).back(), "Attack>Ninth");

    fx.host.expect_popup("Ninth");
    duel.cardstencil[own].user_mouse_down(2, 0, 400, 600);
    fx.host.expect_popup("AttackLP");
    duel.cardstencil[own].user_mouse_down(2, 0, 400, 600);
    EXPECT_EQ(Log(), (Lines{"<Game> Ann`s {card='Jarrow Drake' set='BWX'} is attacking Ninth",
                            "<Game> Ann`s {card='Jarrow Drake' set='BWX'} is attacking opponent`s LP"}));
}

TEST_F(ByHand, APressSelectsTheCardAndKeepsWhereAnOwnCardWasCaught) {
    tw.net.PlayerNumber = 1;
    const int own = Put(Monster("Jarrow Drake"));
    Card peers = Monster("Face Down Card");  // turned face up by the peer, its name not here yet
    const int theirs = Put(peers, 2, 6);

    // Halves go to the even neighbour.
    duel.cardstencil[own].user_mouse_down(1, 0, 100.5, 101.5);
    EXPECT_EQ(tw.field.SelectedSlot, own);
    EXPECT_EQ(duel.GrabX, 100);
    EXPECT_EQ(duel.GrabY, 102);
    EXPECT_TRUE(Sent().empty());

    duel.cardstencil[theirs].user_mouse_down(1, 0, 300, 300);
    EXPECT_EQ(tw.field.SelectedSlot, theirs);
    EXPECT_EQ(duel.GrabX, 100) << "a press on the opponent's card keeps the grab";
    EXPECT_EQ(Sent(), Lines{"si~6"}) << "its name is asked for";

    // A face-down card's name label stays shut.
    tw.field.FieldCards[own].Flipped = true;
    duel.Label5[own].set_caption("1800/1200");
    duel.cardstencil[own].user_mouse_down(1, 0, 0, 0);
    EXPECT_EQ(duel.Label5[own].caption(), "Face Down Card");
    EXPECT_FALSE(duel.Label5[own].enabled());
}

// A card released with its picture at (left, top), as a drag or a drop leaves it.
TEST_F(ByHand, AReleaseKeepsTheCardOnTheTableAndSnapsIt) {
    struct Release {
        const char* what;
        int seat;
        int button;
        double left, top;
        std::string sent;  // the position the peer is told
    };
    const Release cases[] = {
        {"beside a place: snapped", 1, 1, 2200, 3700, "mv~1~2070:3825"},
        {"a drag far from every row stays", 1, 1, 4000, 1300, "mv~1~4000:1300"},
        {"a drop snaps wider, seat 1 to its own side first", 1, 10, 4000, 1300, "mv~1~3330:1990"},
        {"a drop without a connection snaps as seat 1", 0, 10, 4000, 1300, "mv~1~3330:1990"},
        {"a drop, seat 2 to its own side first", 2, 10, 4000, 1300, "mv~1~3330:505"},
        {"left 9000 is past every column's reach", 1, 1, 9000, 300, "mv~1~9000:505"},
        {"8200 is within reach of 8370", 1, 1, 8200, 300, "mv~1~8370:505"},
        {"beyond the right and bottom edges: clamped, then snapped", 1, 1, 9500, 6000, "mv~1~9000:5340"},
        {"beyond the left and top edges: clamped", 1, 1, -400, -900, "mv~1~0:0"},
        {"a difference of 300.5 rounds to 300: snapped", 1, 1, 509.5, 5039.5, "mv~1~810:5340"},
        {"a difference of 301.5 rounds to 302: left", 1, 1, 508.5, 5038.5, "mv~1~508.5:5038.5"},
        {"the same below and right of a place", 1, 1, 1110.5, 2290.5, "mv~1~810:1990"},
        {"and one half further", 1, 1, 1111.5, 2291.5, "mv~1~1111.5:2291.5"},
    };
    const int s = Put(Monster("Jarrow Drake"));
    auto& picture = duel.cardstencil[s];
    duel.Label4[s].set_visible(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        tw.net.PlayerNumber = c.seat;
        tw.field.FieldCards[s].Controller = c.seat;
        picture.move(c.left, c.top);
        tw.field.SelectedSlot = static_cast<std::int16_t>(s);
        Quiet();
        duel.cardstencil_MouseUp(s, c.button, 0, 0, 0);
        EXPECT_EQ(Sent(), Lines{c.sent});
        EXPECT_EQ(tw.field.SelectedSlot, -1);
        EXPECT_EQ(duel.Label5[s].top(), picture.top() - 160);
        EXPECT_EQ(duel.Label5[s].left(), picture.left());
        EXPECT_EQ(duel.Shape1[s].top(), picture.top());
        EXPECT_EQ(duel.Shape1[s].left(), picture.left());
        EXPECT_EQ(duel.Label4[s].top(), picture.top() + picture.height());
    }
}

TEST_F(ByHand, AReleaseOnTheOpponentsCardTellsThePeerWhereItLies) {
    tw.net.PlayerNumber = 1;
    const int theirs = Put(Monster("Jarrow Drake"), 2, 4);
    const double top = duel.cardstencil[theirs].top();
    duel.cardstencil[theirs].user_click(10, 10);
    EXPECT_EQ(Sent(), Lines{"mv~4~2070:" + TwipsText(top)});
    EXPECT_EQ(tw.field.FieldGrid(1, 1), 4) << "a release changes no grid place";
}

struct Drag : ByHand {
    int s = 0;
    Drag() {
        tw.net.PlayerNumber = 1;
        s = Put(Monster("Jarrow Drake"));
        // The window and the table's place in it: the cursor is turned into table twips by them.
        duel.move(1500, 1200);
        duel.cardstencil[s].user_mouse_down(1, 0, 305, 405);
    }
    // Moves the pointer (screen pixels) with the left button held.
    void To(int x, int y, int button = 1) {
        fx.host.set_cursor_pos({x, y});
        duel.cardstencil[s].user_mouse_move(button, 0, 300, 400);
    }
    // The table position the pointer gives: 15 twips a pixel, less the window's and the table's
    // place and the grab.
    static double Left(int x) { return 15.0 * x - 1500 - 3480 - 305; }
    static double Top(int y) { return 15.0 * y - 1200 - 390 - 405; }
};

TEST_F(Drag, TheCardAndItsCompanionsFollowThePointer) {
    duel.Label4[s].set_visible(true);
    To(532, 327);  // far from every place, so that the release leaves it there
    auto& picture = duel.cardstencil[s];
    EXPECT_EQ(picture.left(), Left(532));
    EXPECT_EQ(picture.top(), Top(327));
    EXPECT_EQ(duel.Label5[s].top(), Top(327) - 160);
    EXPECT_EQ(duel.Shape1[s].left(), Left(532));
    EXPECT_EQ(duel.Label4[s].top(), Top(327) + picture.height());
    EXPECT_EQ(tw.field.SelectedSlot, s);
    EXPECT_NE(duel.selectedcard.text().find("Jarrow Drake"), std::string::npos) << "shown in the card panel";
    EXPECT_TRUE(Sent().empty()) << "nothing goes out before the release";

    // Both buttons, or none: no drag.
    To(600, 350, 3);
    To(600, 350, 0);
    EXPECT_EQ(picture.left(), Left(532));

    duel.cardstencil[s].user_mouse_up(1, 0, 300, 400);
    EXPECT_EQ(Sent(), Lines{"mv~1~" + TwipsText(Left(532)) + ":" + TwipsText(Top(327))});
}

TEST_F(Drag, TheOpponentsCardIsShownButNotMoved) {
    const int theirs = Put(Monster("Quill Drake"), 2, 7);
    const double left = duel.cardstencil[theirs].left();
    fx.host.set_cursor_pos({500, 300});
    duel.cardstencil[theirs].user_mouse_move(1, 0, 10, 10);
    EXPECT_EQ(duel.cardstencil[theirs].left(), left);
    EXPECT_NE(duel.selectedcard.text().find("Quill Drake"), std::string::npos);
}

TEST_F(Drag, OutOverTheTablesLeftEdgeNearItsBottomItGoesBackToTheHand) {
    struct Case {
        int x, y;
        bool to_hand;
    };
    // The pixel at which Left is -620 and the one at which Top is 5700.
    const int edge_x = (1500 + 3480 + 305 - 620) / 15;
    const int edge_y = (1200 + 390 + 405 + 5700) / 15;
    ASSERT_EQ(Left(edge_x), -620);
    ASSERT_EQ(Top(edge_y), 5700);
    const Case cases[] = {{edge_x + 1, edge_y + 5, false}, {edge_x - 5, edge_y - 1, false}, {edge_x, edge_y, true}};
    for (const auto& c : cases) {
        To(c.x, c.y);
        EXPECT_EQ(duel.cardstencil.exists(s), !c.to_hand) << c.x << "," << c.y;
    }
    EXPECT_EQ(duel.hand.items(), Lines{"Jarrow Drake"});
    EXPECT_EQ(SentCommands(), (Lines{"ch~<Game> Ann returned {card='Jarrow Drake' set='BWX'} to their hand. (1 "
                                     "cards in their hand)",
                                     "rc~1"}));
}

// A token may not go to the hand: like any refused drop it goes back to where it lay, and that
// drag is over.
TEST_F(ByHand, ATokenDraggedToTheHandIsRefusedAndGoesBackToWhereItLay) {
    tw.net.PlayerNumber = 1;
    const int s = Put(Token());
    auto& picture = duel.cardstencil[s];
    const double left = picture.left(), top = picture.top();
    duel.Label4[s].set_visible(true);
    duel.move(1500, 1200);
    const std::size_t shown = fx.host.messages().size();
    auto to = [&](int x, int y) {
        fx.host.set_cursor_pos({x, y});
        picture.user_mouse_move(1, 0, 300, 400);
    };
    picture.user_mouse_down(1, 0, 305, 405);
    to(532, 327);  // over the table first
    ASSERT_EQ(picture.left(), Drag::Left(532));
    to(0, 1000);  // out over the table's left edge near its bottom

    ASSERT_TRUE(duel.cardstencil.exists(s));
    EXPECT_EQ(picture.left(), left);
    EXPECT_EQ(picture.top(), top);
    EXPECT_EQ(duel.Label5[s].top(), top - 160);
    EXPECT_EQ(duel.Shape1[s].left(), left);
    EXPECT_EQ(duel.Label4[s].top(), top + picture.height());
    ASSERT_EQ(fx.host.messages().size(), shown + 1);
    EXPECT_EQ(fx.host.messages().back().text,
              "If a Token does this, it is removed from the game. Please Select Remove from Game");
    EXPECT_TRUE(duel.hand.items().empty());
    EXPECT_TRUE(SentCommands().empty()) << "the peer never saw it move";

    // The button still held: the pointer no longer carries it, and no second refusal comes.
    to(10, 1000);
    to(532, 327);
    EXPECT_EQ(picture.left(), left);
    EXPECT_EQ(fx.host.messages().size(), shown + 1);
    picture.user_mouse_up(1, 0, 300, 400);
    EXPECT_EQ(Sent(), Lines{"mv~" + std::to_string(s) + "~" + TwipsText(left) + ":" + TwipsText(top)});

    // The next press drags it again.
    picture.user_mouse_down(1, 0, 305, 405);
    to(532, 327);
    EXPECT_EQ(picture.left(), Drag::Left(532));
}

TEST_F(ByHand, TheHoverWindowShowsTheTextOfAFaceUpCardOverItsTextArea) {
    Card card = Monster("Jarrow Drake");
    card.Desc = "Flies low.";
    const int s = Put(card);
    duel.move(1500, 1200);
    auto& picture = duel.cardstencil[s];
    picture.user_mouse_move(0, 0, 400, 1000);
    ASSERT_TRUE(tw.Tip.loaded());
    auto& tip = tw.Tip();
    EXPECT_TRUE(tip.visible());
    EXPECT_EQ(tip.Label1.caption(), "Flies low.     \r\n");
    EXPECT_EQ(tip.left(), picture.left() + 1500 + 2500);
    EXPECT_EQ(tip.top(), picture.top() + 1200 + 2000);

    tip.Label1.set_caption("Before: Flies low. After");
    picture.user_mouse_move(0, 0, 400, 1000);
    EXPECT_EQ(tip.Label1.caption(), "Before: Flies low. After") << "a caption holding the text is kept";

    for (const auto& [x, y] : {std::pair{45.0, 1000.0}, {400.0, 1110.0}, {734.0, 916.0}}) {
        tip.show();
        picture.user_mouse_move(0, 0, x, y);
        EXPECT_EQ(tip.visible(), x == 734.0) << x << "," << y;
    }
    tw.field.FieldCards[s].Flipped = true;
    picture.user_mouse_move(0, 0, 400, 1000);
    EXPECT_FALSE(tip.visible()) << "a face-down card's text stays hidden";
}

TEST_F(ByHand, TheNameLabelSwitchesToAtkDefAndBack) {
    const int s = Put(Monster("Jarrow Drake"));
    tw.field.FieldCards[s].CurrentAtk.clear();  // empty values show the printed ones
    auto& label = duel.Label5[s];
    label.user_mouse_down(1, 0, 0, 0);
    EXPECT_EQ(label.caption(), "1800/1200");
    label.user_mouse_down(1, 0, 0, 0);
    EXPECT_EQ(label.caption(), "Jarrow Drake");
    label.user_mouse_move(0, 0, 0, 0);
    EXPECT_EQ(label.tool_tip_text(), "Jarrow Drake");

    const int spell = Put(SpellCard("Tidecall"));
    duel.Label5[spell].user_mouse_down(1, 0, 0, 0);
    EXPECT_EQ(duel.Label5[spell].caption(), "Tidecall") << "only a monster has ATK and DEF";
    EXPECT_TRUE(Sent().empty());
}

TEST_F(ByHand, TheStatsEditorChangesWhatWasTypedAndTellsThePeer) {
    struct Case {
        const char* what;
        std::optional<std::string> atk, def;
        std::string now;  // CurrentAtk/CurrentDef afterwards
        bool announced;
    };
    const Case cases[] = {
        {"both typed", "2100", "900", "2100/900", true},
        {"marks that would cut the peer's fields are left out", "2:1~0|0^", "~~", "2100/1200", true},
        {"a cancelled value stays as it was", std::nullopt, "700", "1800/700", true},
        {"both cancelled: nothing changes", std::nullopt, std::nullopt, "1800/1200", false},
        {"any text is taken", "?!", "1200", "?!/1200", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ByHandTable t;  // each edit from the printed values
        const int s = t.Put(Monster("Jarrow Drake"));
        t.duel.Label5[s].set_caption("1800/1200");
        t.fx.host.expect_input("Enter a new attack value.", c.atk);
        t.fx.host.expect_input("Enter a new defense value.", c.def);
        t.duel.Label5[s].user_mouse_down(2, 0, 0, 0);
        const auto& asked = t.fx.host.inputs();
        ASSERT_EQ(asked.size(), 2u);
        EXPECT_EQ(asked[0].title, "Modify Attack Value");
        EXPECT_EQ(asked[0].default_text, "1800");
        EXPECT_EQ(asked[1].title, "Modify Defense Value");

        const Card& card = t.tw.field.FieldCards[s];
        EXPECT_EQ(card.CurrentAtk + "/" + card.CurrentDef, c.now);
        EXPECT_EQ(t.duel.Label5[s].caption(), c.now);
        Lines expected;
        if (c.announced)
            expected = {"ch~<Game> Ann has changed the stats of Jarrow Drake to " + c.now +
                            " (Click the name to see changes)",
                        "ri~" + std::to_string(s) + ":" + card.CurrentAtk + ":" + card.CurrentDef};
        EXPECT_EQ(t.SentCommands(), expected);
    }
}

TEST_F(ByHand, TheStatsEditorStopsWhenTheCardChangedHandsWhileItAsked) {
    tw.net.PlayerNumber = 1;
    const int s = Put(Monster("Jarrow Drake"));
    fx.host.expect_input("attack", "3000", [&] { tw.field.FieldCards[s].Controller = 2; });
    duel.Label5[s].user_mouse_down(2, 0, 0, 0);
    EXPECT_EQ(fx.host.expectations_left(), 0u);
    EXPECT_EQ(tw.field.FieldCards[s].CurrentAtk, "1800");
    EXPECT_TRUE(Sent().empty());

    // The opponent's card: the right button edits nothing.
    duel.Label5[s].user_mouse_down(2, 0, 0, 0);
    EXPECT_TRUE(fx.host.inputs().size() == 1u);
}

TEST_F(ByHand, APersonReachesTheCardMenuWithTheRightButton) {
    const int s = Put(Monster("Jarrow Drake"));
    fx.host.expect_popup("Put in Graveyard");
    duel.cardstencil[s].user_mouse_down(2, 0, 100, 100);
    EXPECT_FALSE(duel.cardstencil.exists(s));
    EXPECT_EQ(Where()["Jarrow Drake"], Lines{"graveyard"});
}

}  // namespace
}  // namespace tw
