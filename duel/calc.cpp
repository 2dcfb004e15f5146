#include "duel/calc.hpp"

#include <charconv>
#include <string>

#include "cards/duel_log.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "duel/life_points.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

constexpr const char* kFirstTapeLine = "ZQM Super Calc Loaded!";
constexpr std::int32_t kMostAdded = 1000000;
constexpr int kBackspace = 8;

bool Contains(const std::string& s, std::string_view part) { return s.find(part) != std::string::npos; }

// The first two pieces of the entry split at the operator (it occurs, so there are two).
struct Sides {
    std::string first, second;
};
Sides SplitAt(const std::string& entry, std::string_view op) {
    const auto parts = rt::split(entry, op);
    return {parts[0], parts[1]};
}

}  // namespace

CalcOutcome EvaluateCalcEntry(std::string entry) {
    using Kind = CalcOutcome::Kind;
    std::string result;
    // Each step works on what the steps before left, and any of them may overwrite the result.
    // An error (division by zero, a sum beyond 32 bits) ends them with the result found so far.
    std::optional<Kind> stop;
    const auto steps = [&]() -> std::optional<Kind> {
        if (Contains(entry, "x")) {
            const Sides s = SplitAt(entry, "x");
            if (!IsNumber(s.first) || !IsNumber(s.second)) return Kind::BadOperand;
            result = rt::cstr_double(rt::to_double(s.first) * rt::to_double(s.second));
        }
        if (Contains(entry, kDivisionSign)) {
            const Sides s = SplitAt(entry, kDivisionSign);
            if (!IsNumber(s.first) || !IsNumber(s.second)) return Kind::BadOperand;
            const double divisor = rt::to_double(s.second);
            if (divisor == 0) throw rt::RuntimeError(rt::ErrDivisionByZero);
            result = rt::cstr_double(rt::to_double(s.first) / divisor);
        }
        if (Contains(entry, "+")) {
            const Sides s = SplitAt(entry, "+");
            if (!IsNumber(s.first) || !IsNumber(s.second)) return Kind::BadOperand;
            result = rt::cstr(rt::add32(rt::to_long(s.first), rt::to_long(s.second)));
        }
        // A leading minus is the first number's sign, not the operator.
        bool negative = false;
        if (!entry.empty() && entry.front() == '-') {
            entry.erase(0, 1);
            negative = true;
        }
        if (Contains(entry, "-")) {
            const auto parts = rt::split(entry, "-");
            for (int i = 0; i <= parts.ubound(); ++i)
                if (!IsNumber(parts[i])) return Kind::BadMinus;
            const std::string first = (negative ? "-" : "") + parts[0];
            result = rt::cstr_double(rt::to_double(first) - rt::to_double(parts[1]));
        }
        return std::nullopt;
    };
    rt::try_step([&] { stop = steps(); });
    if (stop) return {*stop, ""};
    return {Kind::Result, result};
}

std::optional<double> CalcAnswerValue(std::string_view answer) {
    double value = 0;
    if (rt::try_step([&] { value = rt::to_double(answer); })) return value;
    // The exponent form that the tape's own results take: digits, an optional fraction, "E",
    // a sign and digits, nothing around it.
    const std::size_t e = answer.find('E');
    if (e == std::string_view::npos || e + 2 > answer.size() || (answer[e + 1] != '+' && answer[e + 1] != '-'))
        return std::nullopt;
    const std::string_view mantissa = answer.substr(0, e), exponent = answer.substr(e + 2);
    if (mantissa.empty() || exponent.empty()) return std::nullopt;
    for (char c : exponent)
        if (c < '0' || c > '9') return std::nullopt;
    if (!rt::try_step([&] { (void)rt::to_double(mantissa); }) || mantissa.find(' ') != std::string_view::npos)
        return std::nullopt;
    const auto r = std::from_chars(answer.data(), answer.data() + answer.size(), value, std::chars_format::scientific);
    if (r.ec != std::errc() || r.ptr != answer.data() + answer.size()) return std::nullopt;
    return value;
}

namespace win {

Calc::Calc(Tablewright& tw) : platform::Form(tw.app, "calc"), tw_(tw) {
    set_caption("LP Calculator");
    set_border_style(platform::BorderStyle::FixedToolWindow);
    move(0, 0, 3810, 6075);

    List1.move(120, 120, 3450, 1620);

    // Digits in a keypad, the operators beside them, then CLEAR, Quit and "=".
    constexpr double kKeyW = 615, kKeyH = 495, kStepX = 660, kStepY = 540, kTop = 1860;
    constexpr double kCol[] = {120, 120 + kStepX, 120 + 2 * kStepX, 120 + 3 * kStepX, 120 + 4 * kStepX};
    auto key = [&](platform::CommandButton& b, const std::string& caption, int col, int row) {
        b.set_caption(caption);
        b.move(kCol[col], kTop + row * kStepY, kKeyW, kKeyH);
    };
    for (int d = 1; d <= 9; ++d) key(Command1[d], rt::cstr(d), (d - 1) % 3, 2 - (d - 1) / 3);
    key(Command1[0], "0", 0, 3);
    key(Command00, "00", 1, 3);
    key(Command2, "+", 3, 0);
    key(Command3, "-", 3, 1);
    key(Command6, "X", 3, 2);
    key(Command7, std::string(kDivisionSign), 3, 3);
    key(Command5, "CLEAR", 4, 0);
    key(Command8, "Quit", 4, 1);
    key(Command4, "=", 4, 2);
    Command5.set_width(810);
    Command8.set_width(810);
    Command4.move(kCol[4], kTop + 2 * kStepY, 810, kKeyH + kStepY);

    constexpr double kLpTop = kTop + 4 * kStepY + 60, kLpH = 420, kLpStep = 480;
    Command10.set_caption("Subtract answer from my LP");
    Command10.move(120, kLpTop, 3450, kLpH);
    Command11.set_caption("Make the answer my LP");
    Command11.move(120, kLpTop + kLpStep, 3450, kLpH);
    Command12.set_caption("Add the answer to my LP");
    Command12.move(120, kLpTop + 2 * kLpStep, 3450, kLpH);

    for (platform::CommandButton* b : {&Command4, &Command10, &Command11, &Command12}) b->set_enabled(false);

    Command1.Click = [this](int i) { Command1_Click(i); };
    Command1.KeyPress = [this](int i, int k) { Command1_KeyPress(i, k); };
    Command00.Click = [this] { Command00_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    Command3.Click = [this] { Command3_Click(); };
    Command6.Click = [this] { Command6_Click(); };
    Command7.Click = [this] { Command7_Click(); };
    Command4.Click = [this] { Command4_Click(); };
    Command5.Click = [this] { Command5_Click(); };
    Command8.Click = [this] { Command8_Click(); };
    Command10.Click = [this] { Command10_Click(); };
    Command11.Click = [this] { Command11_Click(); };
    Command12.Click = [this] { Command12_Click(); };
}

void Calc::Form_Load() {
    List1.add_item(kFirstTapeLine);
    set_caption("LP Calculator");
    CurrentLine.clear();
}

void Calc::PressKey(std::int32_t index) {
    CurrentLine += rt::cstr(index);
    ScrollDown();
}

void Calc::ScrollDown() {
    const int last = List1.list_count() - 1;
    if (last < 0) {
        List1.add_item(CurrentLine);
    } else {
        List1.set_list(last, CurrentLine);
    }
    List1.set_list_index(List1.list_count() - 1);
}

void Calc::OfferOperators(bool operators) {
    for (platform::CommandButton* b : {&Command2, &Command3, &Command6, &Command7, &Command10, &Command11, &Command12})
        b->set_enabled(operators);
    Command4.set_enabled(!operators);
}

void Calc::Command1_Click(int Index) { PressKey(Index); }

void Calc::Command1_KeyPress(int, int KeyAscii) {
    if (KeyAscii == kBackspace) {
        if (CurrentLine.empty()) return;
        CurrentLine.pop_back();
        ScrollDown();
    } else if (KeyAscii == '+') {
        Command2_Click();
    } else if (KeyAscii == '-') {
        Command3_Click();
    } else if (KeyAscii >= '0' && KeyAscii <= '9') {
        PressKey(KeyAscii - '0');
    }
}

void Calc::Command00_Click() {
    CurrentLine += "00";
    ScrollDown();
}

void Calc::Operator(std::string_view sign) {
    if (CurrentLine.empty()) CurrentLine = "0";
    Sign = std::string(sign);
    // A second operator only changes Sign: the entry keeps its first one.
    const char last = CurrentLine.back();
    if (last >= '0' && last <= '9') CurrentLine += Sign;
    ScrollDown();
    OfferOperators(false);
}

void Calc::Command2_Click() { Operator("+"); }
void Calc::Command3_Click() { Operator("-"); }
void Calc::Command6_Click() { Operator("x"); }
void Calc::Command7_Click() { Operator(kDivisionSign); }

void Calc::Command4_Click() {
    Command4.set_enabled(false);
    const CalcOutcome outcome = EvaluateCalcEntry(CurrentLine);
    if (outcome.kind == CalcOutcome::Kind::BadOperand) {
        Command4.set_enabled(true);
        return;
    }
    if (outcome.kind == CalcOutcome::Kind::BadMinus) return;
    List1.add_item(outcome.result);
    CurrentLine = outcome.result;
    ScrollDown();
    OfferOperators(true);
}

void Calc::Command5_Click() {
    CurrentLine.clear();
    ScrollDown();
    OfferOperators(true);
    for (platform::CommandButton* b : {&Command10, &Command11, &Command12}) b->set_enabled(false);
}

void Calc::Command8_Click() { hide(); }

std::string Calc::Answer() const { return List1.list(List1.list_count() - 1); }

std::optional<double> Calc::LifePointAnswer() {
    const auto value = CalcAnswerValue(Answer());
    if (!value) return std::nullopt;
    // An answer that is itself no 32-bit number is no amount of life points, whatever the sum
    // it would make: each button refuses it with the reason.
    if (!FitLifePoints(tw_, *value)) return std::nullopt;
    return value;
}

void Calc::Command10_Click() {
    const std::string answer = Answer();
    const auto value = LifePointAnswer();
    if (!value) return;
    const auto lp = FitLifePoints(tw_, static_cast<double>(tw_.duel.MyLP) - *value);
    if (!lp) return;
    tw_.duel.MyLP = *lp;
    SendMyLifePoints(tw_);
    AddChat(tw_, tw_.prefs.UserName + " loses " + answer + " LP (" + rt::cstr(tw_.duel.MyLP) + " LP)", "Game", true);
    tw_.FormA().Text1.set_caption(rt::cstr(tw_.duel.MyLP));
}

void Calc::Command11_Click() {
    const auto value = LifePointAnswer();
    if (!value) return;
    const auto lp = FitLifePoints(tw_, *value);
    if (!lp) return;
    tw_.duel.MyLP = *lp;
    tw_.FormA().Text1.set_caption(rt::cstr(tw_.duel.MyLP));
    SendMyLifePoints(tw_);
    AddChat(tw_, tw_.prefs.UserName + " LP is now " + rt::cstr(tw_.duel.MyLP) + " LP", "Game", true);
}

void Calc::Command12_Click() {
    const auto value = LifePointAnswer();
    if (!value) return;
    // Only a gain is capped; a loss as large is refused with the other out-of-range changes.
    const double added = *value > kMostAdded ? kMostAdded : rt::round_half_even(*value);
    const auto lp = FitLifePoints(tw_, static_cast<double>(tw_.duel.MyLP) + added);
    if (!lp) return;
    tw_.duel.MyLP = *lp;
    SendMyLifePoints(tw_);
    AddChat(tw_,
            tw_.prefs.UserName + " gains " + rt::cstr(static_cast<long long>(added)) + " LP (" + rt::cstr(tw_.duel.MyLP) + " LP)",
            "Game", true);
    tw_.FormA().Text1.set_caption(rt::cstr(tw_.duel.MyLP));
}

}  // namespace win
}  // namespace tw
