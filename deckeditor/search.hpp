#pragma once
// The deck editor's card search: which records of the card database a search lists and caches,
// decided from the filter controls' state alone so it can be checked without a window.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cards/card.hpp"
#include "cards/card_store.hpp"

namespace tw {
class Tablewright;
namespace win {
class DeckMaker;
}

// The filter controls as a search reads them. Texts are the controls' texts, untrimmed.
struct SearchFilter {
    std::string set = "All";  // Combo1
    std::string name;         // NameContains
    std::string desc;         // DescContains
    int monsters = 1, spells = 1, traps = 1;  // check box values; only 0 is unchecked
    std::string spell_type, trap_type, attrib, type_icon;  // SpellType, TrapType, Attrib, TypeIcon
    std::string monster_type;                              // typebox
    std::string level, atk, def;                           // LevelSearch, AtkSearch, DefSearch
    // Selected comparison: 0 "<=", 1 ">=", 2 "="; -1 (nothing selected) keeps no monster.
    int level_compare = 0, atk_compare = 0, def_compare = 0;
    // False while the filter lists are still empty (the first search at the editor's load),
    // which accepts every named record of the chosen set.
    bool lists_filled = true;
};

enum class SearchVerdict {
    Skip,    // neither listed nor cached
    Accept,  // cached in SearchResults and listed
    List,    // the unfiltered listing: listed without being cached
};

// A filter with its texts lower-cased, its patterns split and its numbers read, once per search.
struct PreparedSearch {
    struct Range {
        bool on = false;
        std::int32_t value = 0;
        int compare = 0;
    };
    struct Pattern {
        bool on = false;
        bool pieces_mode = false;  // the box held "%"
        std::vector<std::string> pieces;
    };
    SearchFilter filter;
    bool all_sets = true;
    bool unfiltered = false;
    bool kind_tests = false;   // property, attribute, monster kind
    bool stat_tests = false;   // monster type, level, attack, defence
    Pattern name, desc;
    std::string monster_type;  // lower-cased; empty: no test
    std::string attribute;     // lower-cased when one of the six attributes
    std::string kind_word;     // lower-cased monster kind looked for in the type line
    Range level, atk, def;
    std::array<unsigned char, 256> lower{};
    mutable std::string scratch;  // the type line while its kinds are taken out
};

PreparedSearch PrepareSearch(const SearchFilter& filter);

// The whole record test of one search. Texts are compared in place, letter case aside where the
// test says so.
SearchVerdict TestCard(const CardView& card, const PreparedSearch& search);
SearchVerdict TestCard(const Card& card, const PreparedSearch& search);
SearchVerdict TestCard(const Card& card, const SearchFilter& filter);

// Runs the record test over tw.cards.CardDatabase in order: refills tw.editor.SearchResults (no hits, then
// the position of every accepted record) and returns the positions to list, in database order.
// With hide_copies, a record whose name was already listed or cached earlier is left out of the
// list (the cache keeps it).
std::vector<std::uint32_t> SearchCards(Tablewright& tw, const SearchFilter& filter, bool hide_copies);

// The positions as the result grid lists them, by name in byte order (capitals before small
// letters), equal names in database order: as their places in the database's name order
// (CardStore::NameOrder, ranked once), rising.
std::vector<std::uint32_t> RanksInNameOrder(const CardStore& db, const std::vector<std::uint32_t>& positions);

// The filter controls of the deck editor as they stand.
SearchFilter ReadSearchFilter(const win::DeckMaker& editor);

// "Search Done!" and the time taken, from two readings of the wrapping millisecond tick count.
std::string SearchDoneText(std::uint32_t start_tick, std::uint32_t end_tick);

}  // namespace tw
