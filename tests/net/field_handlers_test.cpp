// The opponent's field commands as this table carries them out, sent by a raw peer over a real
// loopback socket to a table in seat 1 with the sample set.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cards/card.hpp"
#include "cards/card_info.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "table/field.hpp"
#include "table/field_slots.hpp"
#include "tests/net/field_pair.hpp"

namespace tw {
namespace {

using test::PeerTable;
using test::SampleCard;
using test::WireFrame;

constexpr const char* kMalformed = "<Game> Ignored a malformed command from the opponent.";

struct Handlers : ::testing::Test {
    PeerTable t;
    Tablewright& tw = t.tw();
    win::FormA& duel = tw.FormA();
    int count = 0;

    Handlers() { test::GiveSampleCards(t.side); }

    // One command from the opponent, counted and numbered in order. The clock moves on a second,
    // so that each malformed command gets its own line.
    void From(const std::string& command) {
        t.clock.advance(1000);
        ++count;
        t.Send(command + "|$|" + std::to_string(count) + "~" + std::to_string((count - 1) % 256));
    }

    // A card of the player's own put on the table as the hand's menu does; its slot.
    int Own(const std::string& set, const std::string& name, bool face_down = false) {
        Card c = SampleCard(t.side, set, name);
        c.Flipped = face_down;
        std::int32_t owner = 0;
        const int s = PutCardOnField(tw, c, owner);
        EXPECT_NE(s, 0);
        Forget();
        return s;
    }
    // A card of the opponent's in that slot, face up or face down, as its commands put it there.
    void Theirs(int slot, const std::string& set, const std::string& name) {
        From("lc~" + std::to_string(slot) + "~" + name + ":" + set);
        ASSERT_TRUE(SlotInUse(tw, slot)) << name;
        Forget();
    }
    void TheirsFaceDown(int slot) {
        From("lc~" + std::to_string(slot) + "~back:extras");
        From("fc~" + std::to_string(slot) + "~1");
        Forget();
    }

    void Forget() {
        tw.net.SentCommands.clear();
        duel.chat.set_text("");
    }
    std::vector<std::string> Sent() const { return t.side.Sent(); }
    int Malformed() { return t.side.CountLogged(kMalformed); }
    Card& card(int s) { return tw.field.FieldCards[s]; }
};

TEST_F(Handlers, AMoveIsMirroredTopToBottomWithItsLabelsAndBorder) {
    Theirs(3, "BWX", "Vellicor Drake");
    duel.playsurface.set_height(7200);
    From("mv~3~2070:505");
    EXPECT_EQ(duel.cardstencil[3].left(), 2070);
    EXPECT_EQ(duel.cardstencil[3].top(), 5480);
    EXPECT_EQ(duel.Label5[3].left(), 2070);
    EXPECT_EQ(duel.Label5[3].top(), 5320);
    EXPECT_EQ(duel.Label4[3].left(), 2070);
    EXPECT_EQ(duel.Label4[3].top(), 6695);
    EXPECT_EQ(duel.Shape1[3].left(), 2070);
    EXPECT_EQ(duel.Shape1[3].top(), 5480);
    EXPECT_EQ(duel.Label5[3].caption(), "Vellicor Drake") << "its caption stays";

    // A sideways card is mirrored by its own height; a fraction is rounded half to even.
    From("vh~3~1");
    From("mv~3~100.5:1000");
    EXPECT_EQ(duel.cardstencil[3].left(), 100);
    EXPECT_EQ(duel.cardstencil[3].top(), 7200 - 1000 - 855);
    EXPECT_EQ(Malformed(), 0);
}

TEST_F(Handlers, CountersGoUpAndDownAndTheLabelHidesAtNone) {
    Theirs(2, "BWX", "Vellicor Drake");
    auto& label = duel.Label4[2];
    From("ac~2");
    EXPECT_EQ(card(2).Counters, 1);
    EXPECT_EQ(label.caption(), "Counters: 1");
    EXPECT_TRUE(label.visible());
    EXPECT_EQ(label.top(), duel.cardstencil[2].top() + 1215);
    From("r2~2");
    EXPECT_EQ(card(2).Counters, 0);
    EXPECT_EQ(label.caption(), "Counters: 0");
    EXPECT_FALSE(label.visible());
    From("r2~2");
    EXPECT_EQ(card(2).Counters, 0) << "never below none";
    EXPECT_FALSE(label.visible());
}

TEST_F(Handlers, FaceAndOrientation) {
    // Put down face down, the card is not known here: turned face up, its name is asked once.
    TheirsFaceDown(4);
    EXPECT_FALSE(duel.Label5[4].visible());
    From("fc~4~0");
    EXPECT_FALSE(card(4).Flipped);
    EXPECT_EQ(duel.Label5[4].caption(), kFaceDownCard);
    EXPECT_TRUE(duel.Label5[4].visible());
    EXPECT_EQ(Sent(), std::vector<std::string>{"si~4"});
    From("ii~4~Vellicor Drake:BWX");
    EXPECT_EQ(card(4).Name, "Vellicor Drake");
    EXPECT_EQ(duel.Label5[4].caption(), "Vellicor Drake");

    // Anything but "0" turns a card face down and hides its label.
    for (const char* face : {"1", "x"}) {
        From(std::string("fc~4~0"));
        Forget();
        From(std::string("fc~4~") + face);
        EXPECT_TRUE(card(4).Flipped) << face;
        EXPECT_FALSE(duel.Label5[4].visible()) << face;
        EXPECT_TRUE(Sent().empty()) << "a known card is never asked for";
    }

    // "0" stands a card upright, anything else lays it sideways; the card turns about its bottom
    // edge, which is the owner's top edge.
    const double bottom = duel.cardstencil[4].top() + duel.cardstencil[4].height();
    struct Case {
        const char* orientation;
        double width, height;
    };
    for (const Case& c : {Case{"1", 1215, 855}, Case{"0", 855, 1215}, Case{"x", 1215, 855}}) {
        From(std::string("vh~4~") + c.orientation);
        const auto& picture = duel.cardstencil[4];
        EXPECT_EQ(picture.width(), c.width) << c.orientation;
        EXPECT_EQ(picture.height(), c.height) << c.orientation;
        EXPECT_EQ(picture.top() + picture.height(), bottom) << c.orientation;
        EXPECT_EQ(card(4).Horizontal, c.width == 1215) << c.orientation;
        EXPECT_EQ(duel.Label5[4].top(), picture.top() - 160);
    }
    EXPECT_EQ(Malformed(), 0);
}

TEST_F(Handlers, ControlChangesTheBorderAndAnUnknownCardIsAskedFor) {
    Theirs(5, "BWX", "Vellicor Drake");
    EXPECT_EQ(duel.Shape1[5].border_color(), kSeat2BorderColour);
    tw.field.FieldGrid(card(5).GridRow, card(5).GridCol) = 5;
    const int row = card(5).GridRow;
    const int col = card(5).GridCol;
    From("co~5:1");
    EXPECT_EQ(card(5).Controller, 1);
    EXPECT_EQ(duel.Shape1[5].border_color(), kOwnBorderColour);
    EXPECT_LT(tw.field.FieldGrid(row, col), 1) << "the giver's table freed the place; so does this one";
    EXPECT_TRUE(Sent().empty()) << "a known card is not asked for";

    // Given face down: the new controller asks what it is, and is told.
    TheirsFaceDown(6);
    From("co~6:1");
    EXPECT_EQ(Sent(), std::vector<std::string>{"si~6"});
    From("ii~6~Tessel Golem:BWX");
    EXPECT_EQ(card(6).Name, "Tessel Golem");
    EXPECT_FALSE(duel.Label5[6].visible()) << "still face down";

    // Given to the opponent's own seat, the border is its colour; a seat that is no player's
    // changes nothing.
    Theirs(7, "BWX", "Tessel Golem");
    duel.Shape1[7].set_border_color(0);
    From("co~7:2");
    EXPECT_EQ(duel.Shape1[7].border_color(), kSeat2BorderColour);
    From("co~7:3");
    EXPECT_EQ(card(7).Controller, 2);
    EXPECT_EQ(Malformed(), 1);
}

TEST_F(Handlers, IdentityKeepsHowTheCardLiesAndHidesAFaceDownCardOfTheOpponents) {
    Theirs(8, "BWX", "Vellicor Drake");
    card(8).Counters = 2;
    card(8).Horizontal = true;
    card(8).GridRow = 1;
    card(8).GridCol = 3;
    card(8).CurrentAtk = "2000";
    From("ii~8~Vellicor Drake:BWX");
    EXPECT_EQ(card(8).Counters, 2);
    EXPECT_TRUE(card(8).Horizontal);
    EXPECT_EQ(card(8).GridRow, 1);
    EXPECT_EQ(card(8).GridCol, 3);
    EXPECT_EQ(card(8).CurrentAtk, "2000") << "the owner's ATK stays while the card is the same";
    EXPECT_EQ(card(8).Group, "Dragon");
    EXPECT_EQ(duel.selectedcard.back_color(), kPanelPlain);

    // Another card in its place: the lookup's, from its printed values.
    From("ii~8~Jarrow Drake:BWX");
    EXPECT_EQ(card(8).Name, "Jarrow Drake");
    EXPECT_EQ(card(8).CurrentAtk, "2700");
    EXPECT_EQ(duel.Label5[8].caption(), "Jarrow Drake");
    EXPECT_EQ(duel.selectedcard.back_color(), kPanelEffect);

    // Face down on the opponent's side, what it is stays hidden; its kind still colours the panel.
    TheirsFaceDown(9);
    From("ii~9~Dovrak Automaton:BWX");
    EXPECT_EQ(card(9).Name, kFaceDownCard);
    EXPECT_EQ(card(9).SetCode, "extras");
    EXPECT_EQ(card(9).Desc, "");
    EXPECT_FALSE(duel.Label5[9].visible());
    EXPECT_EQ(duel.selectedcard.back_color(), kPanelFusion);

    // An unknown card is shown as the bad card it is.
    From("ii~8~Nothing Like It:BWX");
    EXPECT_EQ(card(8).Name, kBadCard);
    EXPECT_EQ(Malformed(), 0);
}

TEST_F(Handlers, ANameMayHoldAColonButASetCodeNever) {
    {
        std::ofstream tokens(t.side.dir.path() / "token.ptcg", std::ios::app);
        tokens << "\r\n[Ash: Cinder Token]\r\nNAME=Ash: Cinder Token\r\nGROUP=Sprite\r\nTYPE=EMBER\r\nLEVEL=1\r\n"
                  "ATK=100\r\nDEF=100\r\nDESC=Two in one.\r\nFUSION=0\r\n";
    }
    From("lc~10~Ash: Cinder Token:Token");
    EXPECT_EQ(card(10).Name, "Ash: Cinder Token");
    EXPECT_EQ(card(10).SetCode, "Token");
    Theirs(11, "BWX", "Vellicor Drake");
    From("ii~11~Ash: Cinder Token:Token");
    EXPECT_EQ(card(11).Name, "Ash: Cinder Token");
    EXPECT_EQ(card(11).Group, "Sprite");
}

TEST_F(Handlers, AtkAndDefShowOnlyOnALabelShowingThem) {
    Theirs(12, "BWX", "Vellicor Drake");
    From("ri~12:2000:900");
    EXPECT_EQ(card(12).CurrentAtk, "2000");
    EXPECT_EQ(card(12).CurrentDef, "900");
    EXPECT_EQ(duel.Label5[12].caption(), "Vellicor Drake");
    duel.Label5[12].set_caption("2000/900");
    From("ri~12:2100:950");
    EXPECT_EQ(duel.Label5[12].caption(), "2100/950");
    // The owner takes ":" out of what it types: anything but three fields is no ATK and DEF.
    From("ri~12:1:2:3");
    EXPECT_EQ(card(12).CurrentAtk, "2100");
    EXPECT_EQ(Malformed(), 1);
}

TEST_F(Handlers, TheIdentityOfACardIsToldOnlyWhenItMayBeAndIsKnown) {
    const int up = Own("BWX", "Vellicor Drake");
    const int down = Own("BWX", "Tessel Golem", true);
    Theirs(20, "BWX", "Jarrow Drake");
    TheirsFaceDown(21);
    struct Case {
        int slot;
        std::vector<std::string> answer;
    };
    const Case cases[] = {
        {up, {"ii~" + std::to_string(up) + "~Vellicor Drake:BWX"}},
        {down, {}},  // an own face-down card stays hidden
        {20, {"ii~20~Jarrow Drake:BWX"}},
        {21, {}},  // nothing known to tell
    };
    for (const Case& c : cases) {
        Forget();
        From("si~" + std::to_string(c.slot));
        EXPECT_EQ(Sent(), c.answer) << c.slot;
    }
    EXPECT_EQ(t.Answers().back(), "ii~20~Jarrow Drake:BWX") << "the answer reached the peer";
}

TEST_F(Handlers, ACardArrivingNeverReplacesAnOwnCard) {
    const int own = Own("BWX", "Vellicor Drake");
    const Card before = card(own);
    From("lc~" + std::to_string(own) + "~Jarrow Drake:BWX");
    EXPECT_EQ(card(own), before);
    EXPECT_TRUE(t.side.Logged("<Game> Out of step with the opponent: slot " + std::to_string(own) + "."));
    for (const auto& c : Sent()) EXPECT_NE(c.rfind("ch~", 0), 0u) << "the line is not sent: " << c;

    // An opponent's card in the slot is replaced, its grid place freed; a face-down card that
    // takes a slot keeps nothing of the card that lay there before.
    Theirs(14, "BWX", "Vellicor Drake");
    From("m2~14~1:4");
    From("vh~14~1");
    From("ac~14");
    From("lc~14~back:extras");
    EXPECT_EQ(card(14).Name, kFaceDownCard);
    EXPECT_FALSE(card(14).Horizontal);
    EXPECT_EQ(card(14).Counters, 0);
    EXPECT_NE(tw.field.FieldGrid(1, 4), 14);
    EXPECT_EQ(duel.cardstencil[14].width(), 855);

    // A full field takes nothing more, not even in place of an opponent's card.
    for (int s = 1; s <= 24; ++s)
        if (!SlotInUse(tw, s)) Theirs(s, "BWX", "Tessel Golem");
    t.clock.advance(1000);
    From("lc~15~Jarrow Drake:BWX");
    EXPECT_EQ(card(15).Name, "Tessel Golem");
    EXPECT_TRUE(t.side.Logged("<Game> Out of step with the opponent: slot 15."));
    From("rc~16");
    From("lc~15~Jarrow Drake:BWX");
    EXPECT_EQ(card(15).Name, "Jarrow Drake") << "with a slot free, an opponent's card is replaced";
    EXPECT_EQ(Malformed(), 0);
}

TEST_F(Handlers, OnlyAnOpponentsCardLeavesAndOnlyItsOwnPlaceIsFreed) {
    const int own = Own("BWX", "Vellicor Drake");
    const int own_row = card(own).GridRow;
    const int own_col = card(own).GridCol;
    From("rc~" + std::to_string(own));
    EXPECT_TRUE(SlotInUse(tw, own));
    EXPECT_TRUE(duel.cardstencil[own].visible());

    // Its record says it lies where the own card's place is: that place stays the own card's.
    Theirs(16, "BWX", "Jarrow Drake");
    card(16).GridRow = own_row;
    card(16).GridCol = own_col;
    From("rc~16");
    EXPECT_FALSE(SlotInUse(tw, 16));
    EXPECT_EQ(tw.field.FieldGrid(own_row, own_col), own);
    From("rc~16");  // gone already: nothing
    From("rc~17");  // never there
    EXPECT_EQ(Malformed(), 0);
}

TEST_F(Handlers, AGridPlaceIsTakenOnlyWhenFree) {
    const int own = Own("BWX", "Vellicor Drake");  // seat 1's monster row, column 1
    ASSERT_EQ(tw.field.FieldGrid(2, 1), own);
    Theirs(18, "BWX", "Jarrow Drake");
    From("m2~18~1:3");
    EXPECT_EQ(tw.field.FieldGrid(1, 3), 18);
    From("m2~18~1:4");
    EXPECT_EQ(tw.field.FieldGrid(1, 4), 18);
    EXPECT_LT(tw.field.FieldGrid(1, 3), 1) << "the old place is freed";
    // The own card's place stays its own; the card still records where the owner put it.
    From("m2~18~2:1");
    EXPECT_EQ(tw.field.FieldGrid(2, 1), own);
    EXPECT_EQ(card(18).GridRow, 2);
    EXPECT_EQ(card(18).GridCol, 1);
    EXPECT_LT(tw.field.FieldGrid(1, 4), 1);
    // A field spell's zone is no grid place, on the owner's table as on this one.
    From("m2~18~1:0");
    EXPECT_EQ(tw.field.FieldGrid(1, 0), 0);
    EXPECT_EQ(card(18).GridCol, 0);
    EXPECT_EQ(duel.cardstencil[18].left(), 810);
    EXPECT_EQ(Malformed(), 0);
}

}  // namespace
}  // namespace tw
