// The notes themselves are not on the table yet: these keep the opponent's note commands
// harmless until then.
#include "duel/sticky_notes.hpp"

namespace tw {

std::int32_t MakeStickyNote(Tablewright&) { return -1; }
void DeleteStickyNote(Tablewright&, std::int32_t) {}
void EditStickyNote(Tablewright&, const std::string&, std::int32_t) {}

}  // namespace tw
