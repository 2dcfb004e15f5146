#include "cards/card_lookup.hpp"

#include <memory>
#include <optional>

#include "cards/helpers.hpp"
#include "cards/settings.hpp"
#include "cards/tablewright.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

// Length first, so that no pair of texts can run into another.
std::string index_key(std::string_view lset, std::string_view lname) {
    std::string key = std::to_string(lset.size());
    key += ':';
    key += lset;
    key += lname;
    return key;
}

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

std::optional<std::size_t> find_in_database(const Tablewright& tw, const std::string& lset,
                                            const std::string& lname) {
    const auto& db = tw.CardDatabase;
    if (const auto* ix = usable_index(tw)) {
        auto it = ix->first.find(index_key(lset, lname));
        if (it == ix->first.end()) return std::nullopt;
        const Card& c = db[it->second];
        if (rt::lcase(c.Name) == lname && rt::lcase(c.SetCode) == lset) return it->second;
        // The entry changed under the index: fall back to the scan.
    }
    for (std::size_t i = 0; i < db.size(); ++i)
        if (rt::lcase(db[i].Name) == lname && rt::lcase(db[i].SetCode) == lset) return i;
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

void IndexCardDatabase(Tablewright& tw) {
    auto ix = std::make_shared<CardLookupIndex>();
    const auto& db = tw.CardDatabase;
    ix->data = db.data();
    ix->size = db.size();
    ix->first.reserve(db.size());
    for (std::size_t i = 0; i < db.size(); ++i)
        ix->first.emplace(index_key(rt::lcase(db[i].SetCode), rt::lcase(db[i].Name)), i);
    tw.CardDatabaseIndex = std::move(ix);
}

Card LookupCard(Tablewright& tw, const std::string& set, const std::string& name) {
    const std::string lset = rt::lcase(set);
    if (lset == kTokenSet) return LoadTokenCard(tw, set, name);

    const std::string lname = rt::lcase(name);
    const auto& hits = tw.SearchResults;
    if (!hits.empty() && !hits[0].Name.empty() && rt::lcase(hits[0].SetCode) == lset) {
        for (const Card& c : hits)
            if (rt::lcase(c.Name) == lname) return c;
    }

    if (auto i = find_in_database(tw, lset, lname)) {
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
