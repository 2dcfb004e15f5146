// Every move a player makes on the table by hand shows on the other table, in the mirrored
// place, with the same picture, labels and counters and the border of the card's controller;
// and the two tables' records of the field stay in agreement through a long random duel.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "cards/card.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "table/field.hpp"
#include "table/field_slots.hpp"
#include "tests/net/field_pair.hpp"

namespace tw {
namespace {

using test::ExpectFieldsAgree;
using test::ExpectMirrored;
using test::FieldPair;
using test::NetSide;
using test::SampleCard;
using test::SlotsInUse;
using Form = win::FormA;

struct OpponentMoves : ::testing::Test, FieldPair {
    // Each table holds the other's cards where the owner put them, and neither was told that
    // something arrived out of step, malformed, or needed a box.
    void ExpectInStep() {
        ExpectFieldsAgree(ann, bob);
        for (NetSide* side : {&ann, &bob}) {
            for (int s : SlotsInUse(*side)) {
                NetSide& owner = side->tw().field.FieldCards[s].Controller == side->tw().net.PlayerNumber ? *side : other(*side);
                ExpectMirrored(owner, other(owner), s);
            }
            for (const auto& line : side->Log()) {
                EXPECT_EQ(line.find("Ignored a malformed command"), std::string::npos) << line;
                EXPECT_EQ(line.find("Out of step"), std::string::npos) << line;
            }
            EXPECT_TRUE(side->host.messages().empty());
        }
    }
};

TEST_F(OpponentMoves, EachMoveByHandShowsMirroredOnTheOtherTable) {
    test::GiveHand(ann, {SampleCard(ann, "BWX", "Vellicor Drake"), SampleCard(ann, "BWX", "Corvath's Backlash"),
                         SampleCard(ann, "BWX", "Tessel Golem"), SampleCard(ann, "BWX", "Wexmoor's Compass"),
                         SampleCard(ann, "BWX", "Jarrow Drake")});
    test::GiveHand(bob, {SampleCard(bob, "BWX", "Dovrak Automaton")});

    // Face up, face down, face down and sideways, a field spell.
    const int drake = Play(ann, "Vellicor Drake", &Form::PutIntoPlay_Click);
    ExpectInStep();
    EXPECT_EQ(test::PictureOf(bob, drake), "monster.gif +bwx/vellicordrake.gif@125,277");
    EXPECT_EQ(bob.duel().Label5[drake].caption(), "Vellicor Drake");
    const int trap = Play(ann, "Corvath's Backlash", &Form::putintoplayfacedown_Click);
    ExpectInStep();
    EXPECT_EQ(bob.tw().field.FieldCards[trap].Name, kFaceDownCard) << "a face-down card's name stays with its owner";
    EXPECT_EQ(test::PictureOf(bob, trap), "back.gif");
    const int golem = Play(ann, "Tessel Golem", &Form::putintoplayfacedownhoriz_Click);
    ExpectInStep();
    EXPECT_EQ(bob.duel().cardstencil[golem].width(), 1215);
    const int compass = Play(ann, "Wexmoor's Compass", &Form::PutIntoPlay_Click);
    ExpectInStep();
    // A token from the table's own menu.
    ann.duel().TokenRoot[0].set_caption("Ember Spark Token");
    ann.duel().TokenRoot[0].set_enabled(true);
    ann.duel().TokenRoot_Click(0);
    Settle();
    ExpectInStep();
    const int token = SlotsInUse(ann).back();
    EXPECT_EQ(bob.tw().field.FieldCards[token].Name, "Ember Spark Token");
    // The second player's card comes the other way.
    const int automaton = Play(bob, "Dovrak Automaton", &Form::PutIntoPlay_Click);
    ExpectInStep();
    EXPECT_EQ(test::PictureOf(ann, automaton).rfind("fusion.gif", 0), 0u);

    // Moved, turned, flipped both ways, flipped and turned at once.
    Drag(ann, drake, 4500, 2000);
    ExpectInStep();
    Act(ann, drake, &Form::TurnCardHorizontal_Click);
    ExpectInStep();
    Act(ann, drake, &Form::FlipCardOver_Click);
    ExpectInStep();
    Act(ann, trap, &Form::FlipCardOver_Click);
    ExpectInStep();
    EXPECT_EQ(bob.tw().field.FieldCards[trap].Name, "Corvath's Backlash") << "turned face up, the card is known";
    Act(ann, golem, &Form::flipNturn_Click);
    ExpectInStep();
    EXPECT_EQ(bob.duel().cardstencil[golem].width(), 855);

    // Counters.
    Act(ann, token, &Form::AddCounter_Click);
    Act(ann, token, &Form::AddCounter_Click);
    Act(ann, token, &Form::RemoveCounter_Click);
    ExpectInStep();
    EXPECT_EQ(bob.duel().Label4[token].caption(), "Counters: 1");

    // ATK and DEF: the name label keeps the name until it is clicked over to the values.
    ann.host.expect_input("Enter a new attack value.", "2000");
    ann.host.expect_input("Enter a new defense value.", "900");
    ann.duel().Label5_MouseDown(golem, 2, 0, 0, 0);
    Settle();
    ExpectInStep();
    EXPECT_EQ(bob.tw().field.FieldCards[golem].CurrentAtk, "2000");
    for (NetSide* side : {&ann, &bob}) side->duel().Label5_MouseDown(golem, 1, 0, 0, 0);
    EXPECT_EQ(bob.duel().Label5[golem].caption(), "2000/900");
    EXPECT_EQ(ann.duel().Label5[golem].caption(), "2000/900");

    // Control changes hands; the new controller moves the card.
    Act(ann, golem, &Form::GiveToPlayer2_Click);
    ExpectInStep();
    EXPECT_EQ(bob.tw().field.FieldCards[golem].Controller, 2);
    Drag(bob, golem, 6000, 500);
    ExpectInStep();

    // Each way off the table.
    Act(ann, drake, &Form::field2deck_Click);
    Act(ann, trap, &Form::putintrash_Click);
    Act(ann, compass, &Form::ReturnToHand2_Click);
    ann.host.expect_yes_no("Are you sure you want to remove", platform::MsgResult::Yes);
    Act(ann, token, &Form::RemoveFromGameFromPlay_Click);
    ExpectInStep();
    EXPECT_EQ(SlotsInUse(bob), (std::vector<int>{golem, automaton}));
}

// A seeded duel of random legal moves by both players, each made as a person makes it: the
// two tables' records of the field agree after every move, and at the end each shows the
// other's cards mirrored.
TEST_F(OpponentMoves, TwoHundredRandomMovesLeaveBothTablesAgreeing) {
    const std::vector<std::string> pool = {
        "Vellicor Drake",   "Tessel Golem",      "Jarrow Drake",       "Dovrak Automaton", "Glimmerk Wyrm",
        "Vellicor Kraken",  "Dovrak's Lantern",  "Marrowvane's Bellows", "Wexmoor's Compass", "Gorrath's Mirror",
        "Cindrel's Pitfall", "Dovrak's Snare",   "Pellish Seer",       "Kestrin Sprite",   "Corvath's Backlash",
    };
    std::mt19937 rng(20);
    const auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng); };
    for (NetSide* side : {&ann, &bob}) {
        side->duel().TokenRoot[0].set_caption("Pebble Token");
        side->duel().TokenRoot[0].set_enabled(true);
    }

    using Move = std::function<void()>;
    for (int move = 1; move <= 200 && !HasFailure(); ++move) {
        NetSide& side = pick(2) == 0 ? ann : bob;
        auto& tw = side.tw();
        auto& duel = side.duel();
        if (duel.hand.list_count() == 0) {
            std::vector<Card> hand;
            for (int i = 0; i < 6; ++i) hand.push_back(SampleCard(side, "BWX", pool[pick(pool.size())]));
            test::GiveHand(side, hand);
        }
        std::vector<std::pair<std::string, Move>> moves;
        if (OpenControl(tw, true, -1, false) != kNoFreeSlot) {
            const std::string name = duel.hand.list(static_cast<int>(pick(static_cast<std::size_t>(duel.hand.list_count()))));
            moves.push_back({"put " + name + " face up", [&, name] { Play(side, name, &Form::PutIntoPlay_Click); }});
            moves.push_back({"put " + name + " face down", [&, name] { Play(side, name, &Form::putintoplayfacedown_Click); }});
            moves.push_back({"put " + name + " face down sideways",
                             [&, name] { Play(side, name, &Form::putintoplayfacedownhoriz_Click); }});
            moves.push_back({"token", [&] {
                                 duel.TokenRoot_Click(0);
                                 Settle();
                             }});
        }
        std::vector<int> own;
        for (int s : SlotsInUse(side))
            if (IsOwnCard(tw, tw.field.FieldCards[s])) own.push_back(s);
        if (!own.empty()) {
            const int s = own[pick(own.size())];
            const Card& c = tw.field.FieldCards[s];
            const std::string at = " slot " + std::to_string(s);
            const auto act = [&, s](void (Form::*a)()) { return [&, s, a] { Act(side, s, a); }; };
            moves.push_back({"drag" + at, [&, s] {
                                 Drag(side, s, static_cast<double>(pick(9000)), static_cast<double>(pick(5445)));
                             }});
            moves.push_back({"turn" + at, act(&Form::TurnCardHorizontal_Click)});
            moves.push_back({"give" + at, act(tw.net.PlayerNumber == 1 ? &Form::GiveToPlayer2_Click : &Form::GiveToPlayer1_Click)});
            moves.push_back({"rfg" + at, [&, s] {
                                 if (!IsToken(tw.field.FieldCards[s]))
                                     side.host.expect_yes_no("Are you sure", platform::MsgResult::Yes);
                                 Act(side, s, &Form::RemoveFromGameFromPlay_Click);
                             }});
            if (!IsToken(c)) {
                moves.push_back({"flip" + at, act(&Form::FlipCardOver_Click)});
                moves.push_back({"to graveyard" + at, act(&Form::putintrash_Click)});
                moves.push_back({"to hand" + at, act(&Form::ReturnToHand2_Click)});
                if (!c.Fusion) moves.push_back({"to deck" + at, act(&Form::field2deck_Click)});
            }
            if (IsMonster(c) && c.Flipped == c.Horizontal) moves.push_back({"flip and turn" + at, act(&Form::flipNturn_Click)});
            if (!c.Flipped) {
                moves.push_back({"add counter" + at, act(&Form::AddCounter_Click)});
                if (c.Counters > 0) moves.push_back({"remove counter" + at, act(&Form::RemoveCounter_Click)});
            }
            if (!c.Flipped && IsMonster(c)) {
                moves.push_back({"atk/def" + at, [&, s] {
                                     side.host.expect_input("attack", std::to_string(100 * pick(40)));
                                     side.host.expect_input("defense", std::to_string(100 * pick(40)));
                                     duel.Label5_MouseDown(s, 2, 0, 0, 0);
                                     Settle();
                                 }});
            }
        }
        const auto& [what, run] = moves[pick(moves.size())];
        SCOPED_TRACE("move " + std::to_string(move) + " by " + tw.prefs.UserName + ": " + what);
        run();
        EXPECT_EQ(side.host.expectations_left(), 0u);
        ExpectFieldsAgree(ann, bob);
    }
    ExpectInStep();
    EXPECT_GT(SlotsInUse(ann).size(), 3u) << "the duel should end with cards on the table";
}

}  // namespace
}  // namespace tw
