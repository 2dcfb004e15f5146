#pragma once
// The deck list's counts: what the size rules of the hand-over read and the labels show.
#include <cstdint>
#include <string>
#include <vector>

namespace tw {
class Tablewright;

struct DeckCounts {
    std::int32_t NormalNum = 0;  // deck copies that are not extra-deck cards
    std::int32_t FusionNum = 0;  // extra-deck copies in the deck
    std::int32_t SideNum = -1;   // side-deck copies of any kind; -1 when no marker was met
    std::int32_t Monsters = 0;   // kinds of the deck's non-extra cards
    std::int32_t Spells = 0;
    std::int32_t Traps = 0;
    bool operator==(const DeckCounts&) const = default;
};

// Counts the lines, cutting a line of more than 3 copies back to 3 in place. A line that
// cannot be read (no blank, or a count that is not a whole number) is skipped. A card the
// lookup does not find counts as a monster.
DeckCounts CountDeck(Tablewright& tw, std::vector<std::string>& lines);

}  // namespace tw
