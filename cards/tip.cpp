#include "cards/tip.hpp"

#include "program/tablewright.hpp"

namespace tw::win {

Tip::Tip(Tablewright& tw) : platform::Form(tw.app, "Tip"), tw_(tw) {
    set_border_style(platform::BorderStyle::None);
    move(0, 0, 3000, 2000);
    Shape1.move(0, 0, 3000, 2000);
    Label1.move(60, 60, 2880, 1880);
    Label1.set_transparent(true);
    Label1.Click = [this] { Label1_Click(); };
}

void Tip::Label1_Click() { hide(); }

}  // namespace tw::win
