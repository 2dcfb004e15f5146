#pragma once
// Finding the full card record for a set code and a card name, and token cards, which live in
// the token file beside the program instead of the card database.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cards/card.hpp"

namespace tw {

class Tablewright;

inline constexpr std::string_view kTokenSet = "token";

// Letter case never matters. The set "token" (any case) is a token; then the last search's hits
// when their first hit is of this set (matched by name alone); then the first database entry
// of this name and set. A card found nowhere comes back named "bad card".
Card LookupCard(Tablewright& tw, const std::string& set, const std::string& name);

// The token of that name from the file "<set>.ptcg" of the program folder; "bad card" when the
// file or the token's type line is missing. "Face Down Card" is answered without the file.
Card LoadTokenCard(Tablewright& tw, const std::string& set, const std::string& name);

// The database entries ordered by a hash of the lower-cased (set, name), lowest index first
// among equal hashes, for a database that is not changed after the load. It remembers which
// vector it was built for; a database that was replaced or resized since is searched entry by
// entry, as is one never indexed.
struct CardLookupIndex {
    const Card* data = nullptr;
    std::size_t size = 0;
    std::array<unsigned char, 256> lower{};  // the byte each byte lower-cases to
    std::vector<std::pair<std::uint64_t, std::uint32_t>> by_hash;  // sorted
    std::uint64_t hash(std::string_view set, std::string_view name) const;
};

// Builds the index for the database as it is now; the set load calls it once.
void IndexCardDatabase(Tablewright& tw);

// The last search's hits by name, rebuilt when SearchResultsGeneration has moved on.
struct SearchHitIndex {
    std::uint64_t generation = 0;
    CardLookupIndex names;  // hashed with an empty set code
};

}  // namespace tw
