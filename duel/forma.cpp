#include "duel/forma.hpp"

#include "cards/tablewright.hpp"

namespace tw::win {

FormA::FormA(Tablewright& tw)
    : platform::Form(tw.app, "FormA"), Winsock1(tw.app.reactor(), "Winsock1"), tw_(tw) {}

void FormA::Form_Load() {}

}  // namespace tw::win
