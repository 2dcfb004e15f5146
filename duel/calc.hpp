#pragma once
// The life-point calculator: a paper tape, digit and operator keys, "=" and three buttons that
// apply the answer to the player's own life points. Shown and hidden; "Quit" only hides it, so
// the tape is still there at the next show.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/control_array.hpp"
#include "platform/controls.hpp"
#include "platform/form.hpp"

namespace tw {
class Tablewright;

// The division sign, one ANSI byte.
inline constexpr std::string_view kDivisionSign = "\xF7";

// What "=" makes of an entry.
struct CalcOutcome {
    enum class Kind {
        Result,      // the result (empty after a failed sum) becomes the tape's new line
        BadOperand,  // a side of "x", the division sign or "+" is no number: "=" stays usable
        BadMinus,    // a side of "-" is no number: "=" stays disabled
    };
    Kind kind = Kind::Result;
    std::string result;
    bool operator==(const CalcOutcome&) const = default;
};

// Evaluates one entry as the calculator's "=" does, quirks included: products, quotients and
// differences in double precision, sums of whole numbers (each side rounded half to even), and
// an error (division by zero, a sum beyond 32 bits) ending with the result found so far.
CalcOutcome EvaluateCalcEntry(std::string entry);

// The value of an answer on the tape: the number forms the calculator reads and writes (a large
// result is written with an exponent, "4.61168601413242E+18"); nullopt for anything else.
std::optional<double> CalcAnswerValue(std::string_view answer);

namespace win {

class Calc : public platform::Form {
public:
    explicit Calc(Tablewright& tw);

    std::string CurrentLine;  // the entry being typed, always the tape's last line
    std::string Sign;         // the operator pressed last

    platform::ListBox List1{this, "List1"};  // the tape
    platform::ControlArray<platform::CommandButton> Command1{this, "Command1", 10};  // "0" .. "9"
    platform::CommandButton Command00{this, "Command00"};
    platform::CommandButton Command2{this, "Command2"};  // "+"
    platform::CommandButton Command3{this, "Command3"};  // "-"
    platform::CommandButton Command6{this, "Command6"};  // "X"
    platform::CommandButton Command7{this, "Command7"};  // the division sign
    platform::CommandButton Command4{this, "Command4"};  // "="
    platform::CommandButton Command5{this, "Command5"};  // "CLEAR"
    platform::CommandButton Command8{this, "Command8"};  // "Quit"
    platform::CommandButton Command10{this, "Command10"};  // subtract the answer from my LP
    platform::CommandButton Command11{this, "Command11"};  // make the answer my LP
    platform::CommandButton Command12{this, "Command12"};  // add the answer to my LP

    // Appends the digits of index to the entry.
    void PressKey(std::int32_t index);
    // Writes the entry into the tape's last line and selects it.
    void ScrollDown();

    void Command1_Click(int Index);
    void Command1_KeyPress(int Index, int KeyAscii);
    void Command00_Click();
    void Command2_Click();
    void Command3_Click();
    void Command6_Click();
    void Command7_Click();
    void Command4_Click();
    void Command5_Click();
    void Command8_Click();
    void Command10_Click();
    void Command11_Click();
    void Command12_Click();

protected:
    void Form_Load() override;

private:
    void Operator(std::string_view sign);
    // The four operator keys and the three life-point buttons go one way, "=" the other.
    void OfferOperators(bool operators);
    std::string Answer() const;
    // The answer's value when it is one life points can be; nullopt (told when it is a number)
    // otherwise.
    std::optional<double> LifePointAnswer();

    Tablewright& tw_;
};

}  // namespace win
}  // namespace tw
