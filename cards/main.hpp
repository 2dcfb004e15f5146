#pragma once
// Tablewright's start-up.

namespace tw {

class Tablewright;

// Removes the temporary files that saves cut off by a crash left in the program folder and the
// decks and logs folders, then shows the set-loading window, whose load reads the card database
// and opens the deck editor. A failing step is skipped; a missing set file ends the program
// (platform::ProgramEnd).
void Main(Tablewright& tw);

}  // namespace tw
