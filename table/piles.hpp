#pragma once
// The player's own piles (deck, hand, graveyard with the removed-from-game pile, extra deck)
// and what every move on them shares. The piles themselves are state of the Tablewright.
#include <string>

#include "cards/card.hpp"
#include "platform/rt_array.hpp"

namespace tw {
class Tablewright;

// Whether a pile entry holds a card: neither empty nor the whole name "DRAWN".
bool IsLiveEntry(const Card& c);

// Puts the live deck cards first, tombstones ("DRAWN") after them, and recounts DeckRemaining
// and DrawnCount. A deck without live cards keeps an empty top entry counted as remaining.
void RecountDeck(Tablewright& tw);

// Writes the own counts into the duel window's count grid and sends them as "us~".
void UpdateStats(Tablewright& tw);

// Shuffles the live part of the deck with a fixed number of swaps; writes no log line. A deck
// array with nothing after element 0 shows "There are no cards left in the deck".
void ShuffleDeck(Tablewright& tw);

// Draws the top card into the hand and announces it; show names the card in the log. Without
// a deck in play it says so; from a deck with no card left it does nothing.
void DrawCard(Tablewright& tw, bool show);

// Drops empty and "DRAWN" entries from the hand and refills the hand list from the rest.
void CompactHand(Tablewright& tw);

// The entry of the pile, from element `from` on, that a card coming back takes: the first
// named "DRAWN" (or "" when empty_is_free). With none the pile grows by one "DRAWN" entry at
// its end, so that a returning card never pushes another out and never finds no place.
int FreePileEntry(rt::Array<Card>& pile, int from, bool empty_is_free);

enum class DeckEnd { Top, Bottom };
// Puts the card (its flags as given) into the deck: on top, the live cards moving one place
// down, or directly under the last live card. One tombstone is used up (DrawnCount with it);
// a deck without one grows, so no card is lost.
void PutCardInDeck(Tablewright& tw, const Card& card, DeckEnd end);

// Whether a pile entry holds a card for the moves of a whole pile: not "DRAWN", and not empty or
// blanks only.
bool HoldsCard(const Card& c);

// Appends the card to the graveyard array (graveyard or removed-from-game pile by its flag).
void AppendToTrash(Tablewright& tw, Card card);

// Adds the card as the hand list's last item and the HandCards element that stands for it,
// whatever HandCards held beyond the list (a draw that found no card leaves an empty element).
void AppendToHand(Tablewright& tw, Card card);

// "{card='<name>' set='<set code>'}": a card as the duel log names it.
std::string CardMarkup(const Card& c);

}  // namespace tw
