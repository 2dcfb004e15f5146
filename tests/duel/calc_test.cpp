#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "duel/calc.hpp"
#include "duel/life_points.hpp"
#include "tests/duel/flow_fixture.hpp"

namespace tw {
namespace {

using Kind = CalcOutcome::Kind;
const std::string kDiv(kDivisionSign);

// The evaluator's quirks, each a fault a player would see on the tape.
TEST(CalcEvaluator, GivesTheTapesResults) {
    struct Case {
        std::string entry;
        CalcOutcome outcome;
    };
    const Case cases[] = {
        {"12+30", {Kind::Result, "42"}},
        {"10" + kDiv + "4", {Kind::Result, "2.5"}},
        {"5-8", {Kind::Result, "-3"}},
        {"-3+1", {Kind::Result, "-2"}},  // the leading minus is the first number's sign
        {"-3-5", {Kind::Result, "-8"}},
        {"-2x3", {Kind::Result, "-6"}},
        {"2.5+1", {Kind::Result, "3"}},  // "+" adds whole numbers, 2.5 rounding to the even 2
        {"3.5+0", {Kind::Result, "4"}},
        {"5-3-1", {Kind::Result, "2"}},  // further parts are ignored
        {"1" + kDiv + "3", {Kind::Result, "0.333333333333333"}},
        {"2147483647x2147483647", {Kind::Result, "4.61168601413242E+18"}},
        // An error ends the sum with the result found so far: nothing.
        {"7" + kDiv + "0", {Kind::Result, ""}},
        {"2147483647+1", {Kind::Result, ""}},
        // A side that is no number: "=" is offered again, except after "-".
        {"12+", {Kind::BadOperand, ""}},
        {"3x", {Kind::BadOperand, ""}},
        {"3" + kDiv, {Kind::BadOperand, ""}},
        {"9999999999+1", {Kind::BadOperand, ""}},
        {"4.6E+18+1", {Kind::BadOperand, ""}},
        {"5-", {Kind::BadMinus, ""}},
        {"5-3-", {Kind::BadMinus, ""}},
    };
    for (const Case& c : cases) EXPECT_EQ(EvaluateCalcEntry(c.entry), c.outcome) << c.entry;
}

TEST(CalcEvaluator, ReadsBackTheAnswersItWrites) {
    EXPECT_EQ(CalcAnswerValue("42"), 42.0);
    EXPECT_EQ(CalcAnswerValue("-2.5"), -2.5);
    EXPECT_EQ(CalcAnswerValue("4.61168601413242E+18"), 4.61168601413242e18);
    EXPECT_EQ(CalcAnswerValue("1E+20"), 1e20);
    for (const char* junk : {"", "ZQM Super Calc Loaded!", "12+", "E+5", "1E5", "1E+", "1E+5x", "1 E+5"})
        EXPECT_EQ(CalcAnswerValue(junk), std::nullopt) << junk;
}

struct CalcWindow : test::FlowTest {
    win::Calc& calc = tw.calc();

    CalcWindow() { calc.show(); }

    // Presses keys by their captions; "/" is the division key, "C" CLEAR.
    void Press(const std::vector<std::string>& keys) {
        for (const std::string& k : keys) {
            if (k.size() == 1 && k[0] >= '0' && k[0] <= '9') calc.Command1[k[0] - '0'].user_click();
            else if (k == "00") calc.Command00.user_click();
            else if (k == "+") calc.Command2.user_click();
            else if (k == "-") calc.Command3.user_click();
            else if (k == "X") calc.Command6.user_click();
            else if (k == "/") calc.Command7.user_click();
            else if (k == "=") calc.Command4.user_click();
            else if (k == "C") calc.Command5.user_click();
            else ADD_FAILURE() << "no key " << k;
        }
    }
    std::vector<std::string> Tape() const { return calc.List1.items(); }
};

TEST_F(CalcWindow, KeySequencesWriteTheTape) {
    struct Case {
        std::vector<std::string> keys;
        std::vector<std::string> tape;
        std::string entry;
        bool equals_enabled;
    };
    const Case cases[] = {
        {{"1", "2", "+", "3", "0", "="}, {"12+30", "42"}, "42", false},
        {{"1", "2", "+", "3", "0", "=", "5"}, {"12+30", "425"}, "425", false},
        {{"5", "-", "8", "=", "+", "1", "="}, {"5-8", "-3+1", "-2"}, "-2", false},
        {{"1", "0", "/", "4", "="}, {"10" + kDiv + "4", "2.5"}, "2.5", false},
        {{"7", "/", "0", "="}, {"7" + kDiv + "0", ""}, "", false},
        {{"+", "3", "="}, {"0+3", "3"}, "3", false},  // an empty entry starts from 0
        {{"6", "00", "X", "2", "="}, {"600x2", "1200"}, "1200", false},
        {{"1", "2", "+", "="}, {"12+"}, "12+", true},
        {{"5", "-", "="}, {"5-"}, "5-", false},
        {{"5", "-", "=", "C", "4"}, {"4"}, "4", false},
    };
    for (const Case& c : cases) {
        calc.Command5.user_click();
        calc.List1.clear();
        calc.List1.add_item("ZQM Super Calc Loaded!");
        Press(c.keys);
        std::string keys;
        for (const auto& k : c.keys) keys += k + " ";
        EXPECT_EQ(Tape(), c.tape) << keys;
        EXPECT_EQ(calc.CurrentLine, c.entry) << keys;
        EXPECT_EQ(calc.Command4.enabled(), c.equals_enabled) << keys;
    }
}

TEST_F(CalcWindow, KeepsOneSignAndItsKeysFollowTheEntry) {
    EXPECT_EQ(calc.caption(), "LP Calculator");
    EXPECT_EQ(Tape(), std::vector<std::string>{"ZQM Super Calc Loaded!"});
    Press({"5", "+"});
    // A second operator through the keyboard, although its key is disabled: only Sign moves.
    calc.Command1[5].user_key_press('-');
    EXPECT_EQ(calc.CurrentLine, "5+");
    EXPECT_EQ(calc.Sign, "-");
    EXPECT_FALSE(calc.Command2.enabled());
    EXPECT_FALSE(calc.Command10.enabled());
    EXPECT_TRUE(calc.Command4.enabled());

    // Typed digits, Backspace, and a character that does nothing.
    for (int key : {int{'1'}, int{'2'}, 8, int{'a'}, int{'3'}}) calc.Command1[0].user_key_press(key);
    EXPECT_EQ(calc.CurrentLine, "5+13");
    EXPECT_EQ(Tape().back(), "5+13");
    Press({"="});
    EXPECT_EQ(Tape().back(), "18");
    EXPECT_TRUE(calc.Command2.enabled());
    EXPECT_TRUE(calc.Command11.enabled());

    // Quit only hides: the tape is there at the next show.
    calc.Command8.user_click();
    EXPECT_FALSE(calc.visible());
    duel.ShowCalc_Click();
    EXPECT_TRUE(calc.visible());
    EXPECT_EQ(Tape().back(), "18");
}

TEST_F(CalcWindow, LifePointButtonsApplyTheAnswer) {
    struct Case {
        std::vector<std::string> keys;
        int button;  // 10 subtract, 11 make, 12 add
        std::int32_t lp;
        std::string log;
    };
    const Case cases[] = {
        {{"2", "0", "0", "0", "+", "0", "="}, 10, 6000, "<Game> Tester loses 2000 LP (6000 LP)"},
        {{"1", "0", "/", "4", "="}, 10, 7998, "<Game> Tester loses 2.5 LP (7998 LP)"},
        {{"4", "0", "+", "2", "="}, 11, 42, "<Game> Tester LP is now 42 LP"},
        {{"1", "0", "/", "4", "="}, 12, 8002, "<Game> Tester gains 2 LP (8002 LP)"},
        {{"9", "9", "9", "9", "9", "9", "9", "X", "9", "="}, 12, 1008000, "<Game> Tester gains 1000000 LP (1008000 LP)"},
        {{"0", "-", "5", "0", "0", "="}, 12, 7500, "<Game> Tester gains -500 LP (7500 LP)"},
    };
    for (const Case& c : cases) {
        tw.duel.MyLP = 8000;
        Forget();
        Press({"C"});
        Press(c.keys);
        platform::CommandButton& b = c.button == 10 ? calc.Command10 : c.button == 11 ? calc.Command11 : calc.Command12;
        b.user_click();
        EXPECT_EQ(tw.duel.MyLP, c.lp) << c.log;
        EXPECT_EQ(Sent(), std::vector<std::string>{"nl~" + rt::cstr(c.lp)}) << c.log;
        EXPECT_EQ(LastLog(), c.log);
        EXPECT_EQ(duel.Text1.caption(), rt::cstr(c.lp));
    }
}

TEST_F(CalcWindow, AnAnswerThatIsNoNumberOrOutOfRangeChangesNothing) {
    // Division by zero leaves an empty answer; the buttons are offered and do nothing.
    Press({"7", "/", "0", "="});
    for (auto* b : {&calc.Command10, &calc.Command11, &calc.Command12}) {
        ASSERT_TRUE(b->enabled());
        b->user_click();
    }
    EXPECT_EQ(tw.duel.MyLP, 8000);
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(Notices().empty());

    // An answer beyond 32 bits is refused by all three buttons, with the reason: a gain is
    // capped only when the answer is a number life points can be.
    const std::vector<std::string> beyond[] = {
        {"C", "2", "1", "4", "7", "4", "8", "3", "6", "4", "7", "X", "9", "="},
        {"C", "9", "9", "9", "9", "9", "X", "9", "9", "9", "9", "9", "="},
        {"C", "6", "5", "5", "3", "6", "X", "3", "2", "7", "6", "8", "="},
    };
    for (const auto& keys : beyond) {
        Forget();
        Press(keys);
        SCOPED_TRACE(Tape().back());
        ASSERT_NE(Tape().back(), "");
        calc.Command10.user_click();
        calc.Command11.user_click();
        calc.Command12.user_click();
        EXPECT_EQ(tw.duel.MyLP, 8000);
        EXPECT_TRUE(Sent().empty());
        EXPECT_EQ(Notices(), std::vector<std::string>(3, std::string(kLifePointsOutOfRange)));
    }
    // A gain is capped instead; a loss as large through "Add" is refused.
    tw.duel.MyLP = -2147483000;
    Press({"C", "0", "-", "1", "0", "0", "0", "="});
    calc.Command12.user_click();
    EXPECT_EQ(tw.duel.MyLP, -2147483000);
    EXPECT_TRUE(Sent().empty());
}

}  // namespace
}  // namespace tw
