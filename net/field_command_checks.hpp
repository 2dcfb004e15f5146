#pragma once
// What the handlers of the opponent's field commands check before they touch the table. The
// peer is a stranger: a slot, a number or a place that does not fit ends the command as
// malformed, and a card of the player's own is never changed on the peer's word.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tw {
class Tablewright;

// A number as the peer writes one (decimal, a fraction rounded half to even) within low..high.
std::optional<std::int32_t> PeerNumber(std::string_view text, std::int32_t low, std::int32_t high);

// The text before the first (or last) sep and the text after it; nothing without a sep.
std::optional<std::pair<std::string_view, std::string_view>> SplitAtFirst(std::string_view text, char sep);
std::optional<std::pair<std::string_view, std::string_view>> SplitAtLast(std::string_view text, char sep);

// The slot the text names when a card lies there on this table (its picture, labels and border
// loaded), whoever controls it; nothing otherwise.
std::optional<int> SlotWithCard(Tablewright& tw, std::string_view slot_text);

// The slot the text names when a card of the opponent's lies there. Anything else, a card of
// the player's own included, is noted as a malformed command and gives nothing.
std::optional<int> OpponentsCardSlot(Tablewright& tw, std::string_view slot_text);

// The line that tells the player the two tables no longer agree about a slot; at most one a
// second, so that a peer cannot flood the duel log with it.
void NoteOutOfStep(Tablewright& tw, int slot);

}  // namespace tw
