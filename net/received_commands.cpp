// Until the table, the looks and the field take part in network play, their commands are
// received, counted and closed like a code without a branch.
#include "net/received_commands.hpp"

#include "cards/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/rt.hpp"

namespace tw {

bool DI_II(Tablewright&, const std::string&) { return true; }
bool DI_MV(Tablewright&, const std::string&) { return true; }
bool DI_AC(Tablewright&, const std::string&) { return true; }
bool DI_R2(Tablewright&, const std::string&) { return true; }
bool DI_FC(Tablewright&, const std::string&) { return true; }
bool DI_VH(Tablewright&, const std::string&) { return true; }
bool DI_CO(Tablewright&, const std::string&) { return true; }
bool DI_M2(Tablewright&, const std::string&) { return true; }

// The dispatcher has checked that the phase is a whole 32-bit number.
bool DI_CP(Tablewright& tw, const std::string& args) {
    tw.FormA().ShowOpponentPhase(rt::to_long(args));
    return true;
}

bool DI_LC(Tablewright&, const std::string&, std::int32_t&) { return true; }
bool DI_RC(Tablewright&, const std::string&) { return true; }
bool DI_RI(Tablewright&, const std::string&) { return true; }
bool DI_SI(Tablewright&, const std::string&) { return true; }

}  // namespace tw
