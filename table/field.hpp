#pragma once
// The shared table: field slots (a record in FieldCards and four controls of the duel window
// per slot), the grid of places with its geometry, and putting a card on the table.
#include <cstdint>

#include "platform/control.hpp"

namespace tw {
class Tablewright;
struct Card;

// Slots 1 to 24 hold cards; OpenControl answers this when none is free.
inline constexpr std::int16_t kFirstFieldSlot = 1;
inline constexpr std::int16_t kLastFieldSlot = 24;
inline constexpr std::int16_t kNoFreeSlot = 25;

// Grid rows, the same on both tables.
inline constexpr int kSeat2SpellRow = 0;
inline constexpr int kSeat2MonsterRow = 1;
inline constexpr int kSeat1MonsterRow = 2;
inline constexpr int kSeat1SpellRow = 3;
inline constexpr int kFieldSpellOwnColumn = 0;
inline constexpr int kFieldSpellOpponentColumn = 6;

// Card picture sizes in twips.
inline constexpr double kUprightWidth = 855;
inline constexpr double kUprightHeight = 1215;
inline constexpr double kLabelAbovePicture = 160;

inline constexpr platform::Color kOwnBorderColour = 16777215;    // white
inline constexpr platform::Color kSeat1BorderColour = 65535;     // yellow
inline constexpr platform::Color kSeat2BorderColour = 16711680;  // blue

// Top of a grid row on the table of the player in that seat: seat 2 sees the rows mirrored, so
// both players see their own monster row at 3825. -1 for a row outside the table.
double FieldRowTop(std::int32_t player_number, int row);
// Left of a grid column, both seats alike. -1 for a column outside the table.
double FieldColumnLeft(int column);

// With a slot of -1: the lowest free slot (freed ones first, then the next above the highest in
// use); otherwise the slot given. 25 when no slot 1 to 24 can be had. Unless find_only, the
// slot's missing controls are created as hidden copies of the templates. `reverse` is carried
// for the callers' sake and changes nothing.
std::int16_t OpenControl(Tablewright& tw, bool find_only, std::int16_t slot, bool reverse);

// Chooses the card's grid row from its kind and its owner's seat and the first free column of
// that row, taking the place for card.Slot. A field spell takes its owner's field-spell zone
// without a grid entry; a full row leaves GridCol and the grid as they were.
void GetCardLocation(Tablewright& tw, Card& card, std::int32_t owner);

// Moves the slot's picture, border and name label to its record's grid place. An own card that
// would lie exactly on another card is moved aside to a random spot.
void PositionFieldCard(Tablewright& tw, std::int16_t slot);

// The placement rule asked before a card goes into play: every card may.
bool CanPlaceCard(Tablewright& tw, const Card& card);

// Puts a copy of the card on the table and returns its slot, 0 when nothing was placed. An
// owner of 0 stands for the own seat and is replaced by PlayerNumber. An own card takes the
// lowest free slot and is announced to the peer; a card the peer placed takes card.Slot
// (replacing what lies there) and sends nothing.
std::int16_t PutCardOnField(Tablewright& tw, Card& card, std::int32_t& owner);

}  // namespace tw
