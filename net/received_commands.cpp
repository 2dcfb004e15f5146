// The phase the opponent shows. The field's commands are carried out in table_commands.cpp and
// field_commands.cpp, the looks at piles in looks_commands.cpp.
#include "net/received_commands.hpp"

#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/rt.hpp"

namespace tw {

// The dispatcher has checked that the phase is a whole 32-bit number.
bool DI_CP(Tablewright& tw, const std::string& args) {
    tw.FormA().ShowOpponentPhase(rt::to_long(args));
    return true;
}

}  // namespace tw
