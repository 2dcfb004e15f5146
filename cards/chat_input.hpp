#pragma once
// What a line typed into a chat input box does once it is submitted.
#include <string>

namespace tw {
class Tablewright;

// "/add n", "/sub n" and "/lp n" set the own life points; any other line of at most 120
// characters is posted to the duel log and the peer. Works on its own copy of text.
void SubmitChatInput(Tablewright& tw, const std::string& text);

// Cuts the duel log's box from the front once it grows past its size, before a line is added;
// the game log keeps what is cut.
void TrimChatBox(Tablewright& tw);

// The duel window's Send button and Enter key: submits the input box's text, then empties the
// box, even when the line was refused as too long.
void SubmitChatBox(Tablewright& tw);

}  // namespace tw
