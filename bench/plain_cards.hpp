#pragma once
// The reference the card benchmarks are measured against: the same work written plainly, as a
// careful programmer would without the program's windows and rules around it. The set file is
// read once and its records are views into that one buffer (line ends found with memchr); a
// record is nine views, the set number and the extra-deck flag. The lookup hashes the
// lower-cased set and name; names are ranked once after the load. A search tests every record
// in place, compares without regard to case without copying, and fills a grid of plain strings.
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cards/card.hpp"

namespace plain {

struct Card {
    std::string_view name, def, atk, desc, group, level, attribute, icon, set_code;
    std::int16_t set_number = 0;
    bool fusion = false;
};

struct Database {
    std::string text;                   // the set file, "&amp;" undone
    std::deque<std::string> rewritten;  // type lines and attributes whose "Magic" was rewritten
    std::vector<Card> cards;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> by_hash;  // (hash, index), sorted
    std::vector<std::uint32_t> by_name;  // every entry in name order, equal names by index
};

// Reads the set file, cuts it into entries as the program does, and builds the lookup index
// and the name order. progress is called with each new whole percentage.
Database Load(const std::filesystem::path& file, const std::function<void(int)>& progress);

// The entry of this set and name, letter case aside (lowest index), or "bad card".
tw::Card Lookup(const Database& db, std::string_view set, std::string_view name);

// The filters the benchmarks use: set, name pattern ("%" pieces), kind boxes, attribute,
// level, attack and defence with their comparisons (0 "<=", 1 ">=", 2 "=").
struct Filter {
    std::string set = "All";
    std::string name;
    bool monsters = true, spells = true, traps = true;
    std::string attribute;  // one of the six, or empty
    std::string level, atk, def;
    int level_compare = 0, atk_compare = 0, def_compare = 0;
};

struct Row {
    std::string set;   // in capitals
    std::string name;
};

// One search: the hits in database order, and the grid's rows in name order. With ranked, the
// name order of the load is used; otherwise the hits are sorted by name (stable).
struct Search {
    std::vector<std::uint32_t> hits;
    std::vector<Row> grid;  // reused from search to search
};
void RunSearch(const Database& db, const Filter& f, bool ranked, Search& out);

}  // namespace plain
