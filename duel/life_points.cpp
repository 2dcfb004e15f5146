// Life points: the "HP" pop-up on the own value and the table menu's "LP" submenu with the
// same actions, the typed value, and the colours of both values.
#include "duel/life_points.hpp"

#include <cmath>
#include <limits>
#include <string>

#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/send_command.hpp"
#include "platform/rt.hpp"

namespace tw {

std::optional<std::int32_t> FitLifePoints(Tablewright& tw, double value) {
    const double rounded = rt::round_half_even(value);
    if (std::isfinite(rounded) && rounded >= std::numeric_limits<std::int32_t>::min() &&
        rounded <= std::numeric_limits<std::int32_t>::max())
        return static_cast<std::int32_t>(rounded);
    ShowMessage(tw, std::string(kLifePointsOutOfRange));
    return std::nullopt;
}

void SendMyLifePoints(Tablewright& tw) {
    std::int16_t tag = 0;
    SendCommand(tw, "nl~" + rt::cstr(tw.duel.MyLP), tag);
}

namespace win {

namespace {

enum class LpChange { Subtract, Halve, Double, Add };

// One row of both life-point menus: the "HP" item, its twin in "LP", and what it does.
struct LifePointAction {
    MenuItem FormA::*hp;
    MenuItem FormA::*lp;
    LpChange change;
    std::int32_t amount;
    const char* log_text;  // after the user name, before the new value
};

// The items named 200 change by 800: their captions say so, and so do they.
constexpr LifePointAction kLifePointActions[] = {
    {&FormA::Sub1000, &FormA::LPSub1000, LpChange::Subtract, 1000, " loses 1000 LP ("},
    {&FormA::sub200, &FormA::LPSub200, LpChange::Subtract, 800, " loses 800 LP ("},
    {&FormA::sub500, &FormA::LPSub500, LpChange::Subtract, 500, " loses 500 LP ("},
    {&FormA::Sub100, &FormA::LPSub100, LpChange::Subtract, 100, " loses 100 LP ("},
    {&FormA::Sub50, &FormA::LPSub50, LpChange::Subtract, 50, " loses 50 LP ("},
    {&FormA::Subtract25, &FormA::LPHalve, LpChange::Halve, 0, " loses half their LP ("},
    {&FormA::Add25, &FormA::LPDouble, LpChange::Double, 0, " doubles their LP ("},
    {&FormA::add50, &FormA::LPAdd50, LpChange::Add, 50, " gains 50 LP ("},
    {&FormA::add100, &FormA::LPAdd100, LpChange::Add, 100, " gains 100 LP ("},
    {&FormA::add500, &FormA::LPAdd500, LpChange::Add, 500, " gains 500 LP ("},
    {&FormA::add200, &FormA::LPAdd200, LpChange::Add, 800, " gains 800 LP ("},
    {&FormA::add1000, &FormA::LPAdd1000, LpChange::Add, 1000, " gains 1000 LP ("},
};

double Changed(std::int32_t lp, const LifePointAction& a) {
    const double v = lp;
    switch (a.change) {
        case LpChange::Subtract: return v - a.amount;
        case LpChange::Halve: return std::floor(v / 2 + 0.5);  // half up, towards minus infinity
        case LpChange::Double: return v * 2;
        case LpChange::Add: return v + a.amount;
    }
    return v;
}

}  // namespace

void FormA::LifePointItem_Click(int Row) {
    const LifePointAction& a = kLifePointActions[Row];
    const auto lp = FitLifePoints(tw_, Changed(tw_.duel.MyLP, a));
    if (!lp) return;
    tw_.duel.MyLP = *lp;
    SendMyLifePoints(tw_);
    AddChat(tw_, tw_.prefs.UserName + a.log_text + rt::cstr(tw_.duel.MyLP) + " LP)", "Game", true);
    Text1.set_caption(rt::cstr(tw_.duel.MyLP));
}

void FormA::HPCustom_Click() {
    const std::string answer = tw_.app.input_box("How much LP do you have now?", "Tablewright " + tw_.VersionText,
                                                 rt::cstr(tw_.duel.MyLP));
    if (!IsNumber(answer)) {
        // A number too large for life points is told apart from text that is no number.
        double typed = 0;
        if (rt::try_step([&] { typed = rt::to_double(answer); })) {
            FitLifePoints(tw_, typed);
            return;
        }
        ShowMessage(tw_, "Use numbers only!");
        return;
    }
    tw_.duel.MyLP = rt::to_long(answer);
    SendMyLifePoints(tw_);
    AddChat(tw_, tw_.prefs.UserName + "`s LP is now " + rt::cstr(tw_.duel.MyLP), "Game", true);
    Text1.set_caption(rt::cstr(tw_.duel.MyLP));
}

void FormA::Text1_Change() {
    rt::try_step([&] { Text1.set_back_color(LifePointColour(rt::to_long(Text1.caption()))); });
    // Only the display stops at 0; MyLP keeps the negative value. Setting the caption runs this
    // again, which colours for 0.
    rt::try_step([&] {
        if (rt::to_double(Text1.caption()) < 0) Text1.set_caption("0");
    });
}

void FormA::Text2_Change() {
    rt::try_step([&] { Text2.set_back_color(LifePointColour(rt::to_long(Text2.caption()))); });
}

// Either button pressed on the own value opens the menu, and so does moving over it with one
// held; the menu is disabled while no opponent is connected.
void FormA::Text1_MouseDown(int Button, int, double, double) {
    if (Button == 1 || Button == 2) popup_menu(HP);
}

void FormA::Text1_MouseMove(int Button, int, double, double) {
    if (Button == 1 || Button == 2) popup_menu(HP);
}

bool FormA::WireLifePoints() {
    for (int row = 0; row < static_cast<int>(std::size(kLifePointActions)); ++row) {
        const LifePointAction& a = kLifePointActions[row];
        (this->*a.hp).Click = [this, row] { LifePointItem_Click(row); };
        (this->*a.lp).Click = [this, row] { LifePointItem_Click(row); };
    }
    HPCustom.Click = [this] { HPCustom_Click(); };
    LPCustom.Click = [this] { HPCustom_Click(); };
    Text1.Change = [this] { Text1_Change(); };
    Text2.Change = [this] { Text2_Change(); };
    Text1.MouseDown = [this](int b, int s, double x, double y) { Text1_MouseDown(b, s, x, y); };
    Text1.MouseMove = [this](int b, int s, double x, double y) { Text1_MouseMove(b, s, x, y); };
    return true;
}

}  // namespace win
}  // namespace tw
