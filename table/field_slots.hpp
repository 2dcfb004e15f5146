#pragma once
// What the commands on a field card share: whose card it is and what kind, its grid place, and
// its companions (name label, counter label, border) following its picture.
#include <string>

namespace tw {
class Tablewright;
struct Card;

// A field card is the player's own when its controller is the player's seat; without a
// connection both are 0, so every card is.
bool IsOwnCard(const Tablewright& tw, const Card& c);
// A card whose level is a number.
bool IsMonster(const Card& c);
// A card of the set "Token", letter case as written.
bool IsToken(const Card& c);

// Whether the slot holds a card on the table: a slot 1 to 24 whose picture box is loaded.
bool SlotInUse(Tablewright& tw, int slot);
// The selected slot when it holds a card of the player's own; 0 otherwise. The card commands act
// on nothing else.
int OwnSelectedSlot(Tablewright& tw);

// Gives back the grid place the slot's card recorded, if that place is still the slot's: a card
// placed in a full row keeps the column it had before, which another card may hold now.
void FreeGridPlace(Tablewright& tw, int slot);

// The name label 160 twips above the picture, the border on it, and the counter label (while
// shown) right below it.
void FollowPicture(Tablewright& tw, int slot);
// The counter label right below the picture.
void CounterLabelBelow(Tablewright& tw, int slot);

// A table position as the peer reads it: whole twips as whole numbers.
std::string TwipsText(double v);

}  // namespace tw
