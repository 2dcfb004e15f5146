#include "cards/card_lookup.hpp"

#include <algorithm>
#include <memory>
#include <optional>

#include "cards/helpers.hpp"
#include "cards/settings.hpp"
#include "cards/tablewright.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

Card bad_card() {
    Card c;
    c.Name = kBadCard;
    return c;
}

bool is_extra_deck_group(std::string_view group) {
    return rt::contains_ci(group, "fusion") || rt::contains_ci(group, "synchro");
}

const CardLookupIndex* usable_index(const Tablewright& tw) {
    const auto* ix = tw.CardDatabaseIndex.get();
    if (!ix || ix->data != tw.CardDatabase.data() || ix->size != tw.CardDatabase.size())
        return nullptr;
    return ix;
}

bool same_card(const Card& c, std::string_view set, std::string_view name) {
    return rt::equals_ci(c.Name, name) && rt::equals_ci(c.SetCode, set);
}

// The lowest index whose name and set equal these, letter case aside.
std::optional<std::size_t> find_in_database(const Tablewright& tw, std::string_view set,
                                            std::string_view name) {
    const auto& db = tw.CardDatabase;
    if (const auto* ix = usable_index(tw)) {
        const std::uint64_t h = ix->hash(set, name);
        auto it = std::lower_bound(ix->by_hash.begin(), ix->by_hash.end(),
                                   std::pair<std::uint64_t, std::uint32_t>{h, 0});
        for (; it != ix->by_hash.end() && it->first == h; ++it)
            if (same_card(db[it->second], set, name)) return it->second;
        return std::nullopt;
    }
    for (std::size_t i = 0; i < db.size(); ++i)
        if (same_card(db[i], set, name)) return i;
    return std::nullopt;
}

// The token file's "fusion" value means minus one as a number, blanks around it allowed.
bool is_minus_one(const std::string& value) {
    if (!rt::is_number(value)) return false;
    double v = 0;
    if (!rt::try_step([&] { v = rt::to_double(value); })) return false;
    return v == -1.0;
}

}  // namespace

std::uint64_t CardLookupIndex::hash(std::string_view set, std::string_view name) const {
    std::uint64_t h = 14695981039346656037ull;  // FNV-1a
    auto mix = [&](unsigned char b) {
        h ^= b;
        h *= 1099511628211ull;
    };
    for (unsigned char b : set) mix(lower[b]);
    for (int shift = 0; shift < 64; shift += 8) mix(static_cast<unsigned char>(set.size() >> shift));
    for (unsigned char b : name) mix(lower[b]);
    return h;
}

namespace {

// Indexes cards by (set code, name), or by name alone when by_name_only.
void build_index(CardLookupIndex& ix, const std::vector<Card>& cards, bool by_name_only) {
    std::string bytes(256, '\0');
    for (int b = 0; b < 256; ++b) bytes[b] = static_cast<char>(b);
    const std::string lowered = rt::lcase(bytes);
    for (int b = 0; b < 256; ++b) ix.lower[b] = static_cast<unsigned char>(lowered[b]);
    ix.data = cards.data();
    ix.size = cards.size();
    ix.by_hash.clear();
    ix.by_hash.reserve(cards.size());
    for (std::size_t i = 0; i < cards.size(); ++i)
        ix.by_hash.emplace_back(ix.hash(by_name_only ? std::string_view() : cards[i].SetCode, cards[i].Name),
                                static_cast<std::uint32_t>(i));
    std::sort(ix.by_hash.begin(), ix.by_hash.end());
}

// The first hit of this name, through an index once the hits are many (a full search caches
// the whole database, and a deck check looks up every line).
const Card* find_in_hits(Tablewright& tw, std::string_view name) {
    const auto& hits = tw.SearchResults;
    constexpr std::size_t kScanned = 64;
    if (hits.size() <= kScanned) {
        for (const Card& c : hits)
            if (rt::equals_ci(c.Name, name)) return &c;
        return nullptr;
    }
    auto& ix = tw.SearchResultsIndex;
    if (!ix || ix->generation != tw.SearchResultsGeneration || ix->names.data != hits.data() ||
        ix->names.size != hits.size()) {
        if (!ix) ix = std::make_shared<SearchHitIndex>();
        build_index(ix->names, hits, true);
        ix->generation = tw.SearchResultsGeneration;
    }
    const std::uint64_t h = ix->names.hash({}, name);
    auto it = std::lower_bound(ix->names.by_hash.begin(), ix->names.by_hash.end(),
                               std::pair<std::uint64_t, std::uint32_t>{h, 0});
    for (; it != ix->names.by_hash.end() && it->first == h; ++it)
        if (rt::equals_ci(hits[it->second].Name, name)) return &hits[it->second];
    return nullptr;
}

}  // namespace

void IndexCardDatabase(Tablewright& tw) {
    auto ix = std::make_shared<CardLookupIndex>();
    build_index(*ix, tw.CardDatabase, false);
    tw.CardDatabaseIndex = std::move(ix);
}

Card LookupCard(Tablewright& tw, const std::string& set, const std::string& name) {
    if (rt::equals_ci(set, kTokenSet)) return LoadTokenCard(tw, set, name);

    const auto& hits = tw.SearchResults;
    if (!hits.empty() && !hits[0].Name.empty() && rt::equals_ci(hits[0].SetCode, set)) {
        if (const Card* c = find_in_hits(tw, name)) return *c;
    }

    if (auto i = find_in_database(tw, set, name)) {
        Card c = tw.CardDatabase[*i];
        if (is_extra_deck_group(c.Group)) c.Fusion = true;
        return c;
    }
    return bad_card();
}

Card LoadTokenCard(Tablewright& tw, const std::string& set, const std::string& name) {
    if (name == kFaceDownCard) {
        Card c;
        c.Name = kFaceDownCard;
        return c;
    }
    const auto file = tw.path_of(set + ".ptcg");
    if (!FileExists(file)) return bad_card();

    auto value = [&](const char* key) { return ReadIniValue(name, key, file); };
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
