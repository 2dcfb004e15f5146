#include "cards/hax.hpp"

#include "program/tablewright.hpp"

namespace tw::win {

Hax::Hax(Tablewright& tw) : platform::Form(tw.app, "hax"), tw_(tw) {}

void Hax::Form_Load() {
    set_caption("Tablewright " + tw_.VersionText);
    set_width(0);
    set_height(0);
}

// No other window gets to run its unload.
void Hax::Form_Unload(bool&) { tw_.app.end(); }

}  // namespace tw::win
