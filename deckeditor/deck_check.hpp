#pragma once
// Taking the deck from the editor to the duel: the size rules, the ban-list check, the piles
// filled from the deck list, and the report of the deck to the maker's site.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cards/card.hpp"
#include "deckeditor/deck_list.hpp"

namespace tw {
class Tablewright;

// Every line in list order, each followed by "|".
std::string DeckReportPayload(const std::vector<std::string>& lines);

struct SizeRuleFailure {
    std::string message;
    Notice notice = Notice::Direct;
};
// The first size rule the deck breaks, in the order they are tested, from the counts of the
// last recount (side -1 when the list has no marker).
std::optional<SizeRuleFailure> CheckDeckSize(bool list_empty, std::int32_t normal,
                                             std::int32_t fusion, std::int32_t side);

// One "* You currently have ..." line per printing of the deck over its ban-list limit; the
// side deck's copies of a deck printing count with it. "" when the deck may be used.
std::string BanCheckReport(Tablewright& tw, const std::vector<std::string>& lines);

struct DeckPiles {
    std::vector<Card> deck;   // main-deck cards in list order, one per copy
    std::vector<Card> extra;  // extra-deck cards
    std::string error;        // why the deck cannot be handed over; piles empty then
};
// The deck's cards looked up, at most 150 copies, each record's Slot its instance number.
DeckPiles BuildDeckPiles(Tablewright& tw, const std::vector<std::string>& lines);

}  // namespace tw
