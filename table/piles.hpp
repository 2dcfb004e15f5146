#pragma once
// The player's own piles (deck, hand, graveyard with the removed-from-game pile, extra deck)
// and what every move on them shares. The piles themselves are state of the Tablewright.
namespace tw {
class Tablewright;

// Puts the live deck cards first, tombstones ("DRAWN") after them, and recounts DeckRemaining
// and DrawnCount. A deck without live cards keeps an empty top entry counted as remaining.
void RecountDeck(Tablewright& tw);

// Writes the own counts into the duel window's count grid and sends them as "us~".
void UpdateStats(Tablewright& tw);

}  // namespace tw
