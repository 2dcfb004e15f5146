#pragma once
// The sticky notes on the table, numbered 1 to 25, shared by the duel window's own note actions
// and the opponent's note commands.
#include <cstdint>
#include <string>

namespace tw {
class Tablewright;

inline constexpr std::int32_t kMaxStickyNotes = 25;

// Makes the first free note; its number, or -1 when all 25 exist.
std::int32_t MakeStickyNote(Tablewright& tw);
// Removes the note if it exists.
void DeleteStickyNote(Tablewright& tw, std::int32_t index);
// Sets a note's text, making the note first when it does not exist; nothing for an empty text.
void EditStickyNote(Tablewright& tw, const std::string& text, std::int32_t index);

// A note's text as it may go to the peer: without the characters that would cut the command.
std::string CleanNoteText(const std::string& text);

}  // namespace tw
