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
#include "cards/card_store.hpp"

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

// The database entries ordered by a hash of their lower-cased name, lowest position first among
// equal hashes, for a database that is not changed after the load: both the lookup by set and
// name and the lookup among the last search's hits (by name alone) find their candidates here.
// It remembers the database and the state it was built for; a database changed since is
// searched entry by entry, as is one never indexed.
struct CardLookupIndex {
    const CardStore* data = nullptr;
    std::uint64_t generation = 0;
    std::array<unsigned char, 256> lower{};  // the byte each byte lower-cases to
    std::vector<std::uint64_t> by_hash;      // hash << 32 | position, sorted
    std::uint32_t hash(std::string_view name) const;
};

// Builds the index for the database as it is now; the set load calls it once.
void IndexCardDatabase(Tablewright& tw);

}  // namespace tw
