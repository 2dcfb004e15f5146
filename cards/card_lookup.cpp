#include "cards/card_lookup.hpp"

#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>

#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "cards/token_files.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

Card bad_card() {
    Card c;
    c.Name = kBadCard;
    return c;
}

const CardLookupIndex* usable_index(const Tablewright& tw) {
    const auto* ix = tw.cards.CardDatabaseIndex.get();
    if (!ix || ix->data != &tw.cards.CardDatabase || ix->generation != tw.cards.CardDatabase.generation()) return nullptr;
    return ix;
}

// Calls found(position) for every database entry of this name, letter case aside, lowest
// position first, until it returns true; returns whether one did.
template <class F>
bool each_entry_named(const Tablewright& tw, std::string_view name, F found) {
    const auto& db = tw.cards.CardDatabase;
    if (const auto* ix = usable_index(tw)) {
        const std::uint64_t h = ix->hash(name);
        for (auto it = std::lower_bound(ix->by_hash.begin(), ix->by_hash.end(), h << 32);
             it != ix->by_hash.end() && (*it >> 32) == h; ++it) {
            const auto at = static_cast<std::uint32_t>(*it);
            if (rt::equals_ci(db.name(at), name) && found(at)) return true;
        }
        return false;
    }
    for (std::size_t i = 0; i < db.size(); ++i)
        if (rt::equals_ci(db.name(i), name) && found(static_cast<std::uint32_t>(i))) return true;
    return false;
}

// The first hit of this name. Many hits (a full search caches the whole database, and a deck
// check looks up every line) are found through the database's index.
std::optional<std::uint32_t> find_in_hits(const Tablewright& tw, std::string_view name) {
    const auto& hits = tw.editor.SearchResults.positions();
    constexpr std::size_t kScanned = 64;
    if (hits.size() <= kScanned || !tw.editor.SearchResults.ascending() || !usable_index(tw)) {
        for (std::uint32_t at : hits)
            if (rt::equals_ci(tw.cards.CardDatabase.name(at), name)) return at;
        return std::nullopt;
    }
    std::optional<std::uint32_t> first;
    each_entry_named(tw, name, [&](std::uint32_t at) {
        if (!std::binary_search(hits.begin(), hits.end(), at)) return false;
        first = at;
        return true;
    });
    return first;
}

// The token file's "fusion" value means minus one as a number, blanks around it allowed.
bool is_minus_one(const std::string& value) {
    if (!rt::is_number(value)) return false;
    double v = 0;
    if (!rt::try_step([&] { v = rt::to_double(value); })) return false;
    return v == -1.0;
}

}  // namespace

std::uint32_t CardLookupIndex::hash(std::string_view name) const {
    std::uint32_t h = 2166136261u;  // FNV-1a
    for (unsigned char b : name) {
        h ^= lower[b];
        h *= 16777619u;
    }
    return h;
}

void IndexCardDatabase(Tablewright& tw) {
    auto ix = std::make_shared<CardLookupIndex>();
    std::string bytes(256, '\0');
    for (int b = 0; b < 256; ++b) bytes[static_cast<std::size_t>(b)] = static_cast<char>(b);
    const std::string lowered = rt::lcase(bytes);
    for (int b = 0; b < 256; ++b) ix->lower[static_cast<std::size_t>(b)] = static_cast<unsigned char>(lowered[static_cast<std::size_t>(b)]);
    const auto& db = tw.cards.CardDatabase;
    ix->data = &db;
    ix->generation = db.generation();
    ix->by_hash.resize(db.size());
    for (std::size_t i = 0; i < db.size(); ++i)
        ix->by_hash[i] = std::uint64_t{ix->hash(db.name(i))} << 32 | static_cast<std::uint32_t>(i);
    std::sort(ix->by_hash.begin(), ix->by_hash.end());
    tw.cards.CardDatabaseIndex = std::move(ix);
}

Card LookupCard(Tablewright& tw, const std::string& set, const std::string& name) {
    if (rt::equals_ci(set, kTokenSet)) return LoadTokenCard(tw, set, name);

    const CardView first_hit = tw.editor.SearchResults[0];
    if (!first_hit.Name.empty() && rt::equals_ci(first_hit.SetCode, set)) {
        if (const auto at = find_in_hits(tw, name)) return tw.cards.CardDatabase[*at].card();
    }

    std::optional<std::uint32_t> found;
    each_entry_named(tw, name, [&](std::uint32_t at) {
        if (!rt::equals_ci(tw.cards.CardDatabase.set_code(at), set)) return false;
        found = at;
        return true;
    });
    if (!found) return bad_card();
    Card c = tw.cards.CardDatabase[*found].card();
    if (IsExtraDeckGroup(c.Group)) c.Fusion = true;
    return c;
}

Card LoadTokenCard(Tablewright& tw, const std::string& set, const std::string& name) {
    if (name == kFaceDownCard) {
        Card c;
        c.Name = kFaceDownCard;
        return c;
    }
    const auto file = tw.path_of(set + ".ptcg");
    if (!FileExists(file)) return bad_card();

    // The file is read once for all the keys, and kept until it changes.
    const auto section = TokenSection(tw, file, name);
    auto value = [&](const char* key) { return section ? TokenValue(*section, key) : std::string(); };
    Card c;
    c.Fusion = is_minus_one(value("fusion"));
    c.Group = value("group");
    if (c.Group.empty()) {
        c.Name = kBadCard;
        return c;
    }
    c.Name = name;
    c.SetCode = set;
    c.Attribute = value("type");
    c.Atk = value("atk");
    c.Icon = value("icon");
    c.Def = value("def");
    c.Desc = value("desc");
    c.Level = value("level");
    return c;
}

}  // namespace tw
