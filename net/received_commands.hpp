#pragma once
// Handlers of received commands whose work lies with the table, the looks at piles and the
// field: the dispatcher's table names them, and each returns whether its command was carried
// out (false skips the dispatcher's closing step). The dispatcher has already checked the
// argument shape its row declares (a slot is 1 to 24).
#include <cstdint>
#include <string>

namespace tw {
class Tablewright;

// The opponent's moves on our table; args is the whole argument text.
bool DI_II(Tablewright& tw, const std::string& args);  // slot~name:set: a card's identity
bool DI_MV(Tablewright& tw, const std::string& args);  // slot~left:top
bool DI_AC(Tablewright& tw, const std::string& args);  // slot: a counter added
bool DI_R2(Tablewright& tw, const std::string& args);  // slot: a counter removed
bool DI_FC(Tablewright& tw, const std::string& args);  // slot~0 face up, slot~1 face down
bool DI_VH(Tablewright& tw, const std::string& args);  // slot~1 sideways, slot~0 upright
bool DI_CO(Tablewright& tw, const std::string& args);  // slot:seat: control given
bool DI_CP(Tablewright& tw, const std::string& args);  // the opponent's phase
bool DI_M2(Tablewright& tw, const std::string& args);  // slot~row:column

// Field commands: a card put on the field (cls may become the owner's seat), one taken off,
// its ATK and DEF, and the opponent asking for a card's identity.
bool DI_LC(Tablewright& tw, const std::string& args, std::int32_t& cls);
bool DI_RC(Tablewright& tw, const std::string& args);
bool DI_RI(Tablewright& tw, const std::string& args);
bool DI_SI(Tablewright& tw, const std::string& args);

// Looks at piles: the table's own deck actions ("ok": viewxcards, searchdeck, drawcard,
// showcard), the peer asking us to allow one ("pe"), the peer asking for a pile's list ("sg",
// cls passed on to the answer), and a list arriving ("rd", "rg", "rr" as code).
bool DI_OK(Tablewright& tw, const std::string& args);
bool DI_PE(Tablewright& tw, const std::string& args);
bool DI_SG(Tablewright& tw, const std::string& args, std::int32_t& cls);
bool DI_RD(Tablewright& tw, const std::string& code, const std::string& args);

}  // namespace tw
