#include "deckeditor/search.hpp"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

using Lower = std::array<unsigned char, 256>;

bool blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

bool is_spell(const CardView& c) { return c.Kind == CardKind::Spell; }
bool is_trap(const CardView& c) { return c.Kind == CardKind::Trap; }

unsigned char low(const Lower& lower, char c) { return lower[static_cast<unsigned char>(c)]; }

// Whether text, lower-cased, equals the lower-cased word.
bool equals_lower(std::string_view text, std::string_view word, const Lower& lower) {
    if (text.size() != word.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (low(lower, text[i]) != static_cast<unsigned char>(word[i])) return false;
    return true;
}

// Where the lower-cased piece (not empty) first occurs in the lower-cased text from `from`.
std::size_t find_lower(std::string_view text, std::string_view piece, std::size_t from, const Lower& lower) {
    if (piece.size() > text.size()) return std::string_view::npos;
    const unsigned char first = static_cast<unsigned char>(piece[0]);
    const std::size_t last = text.size() - piece.size();
    for (std::size_t i = from; i <= last; ++i) {
        if (low(lower, text[i]) != first) continue;
        std::size_t k = 1;
        while (k < piece.size() && low(lower, text[i + k]) == static_cast<unsigned char>(piece[k])) ++k;
        if (k == piece.size()) return i;
    }
    return std::string_view::npos;
}

PreparedSearch::Pattern prepare_pattern(const std::string& box) {
    PreparedSearch::Pattern p;
    if (blank(box)) return p;
    p.on = true;
    const std::string pattern = rt::lcase(rt::trim(box));
    p.pieces_mode = box.find('%') != std::string::npos;
    if (p.pieces_mode) {
        const auto pieces = rt::split(pattern, "%");
        for (int i = 0; i <= pieces.ubound(); ++i) p.pieces.push_back(pieces.at(i));
    } else {
        p.pieces.push_back(pattern);
    }
    return p;
}

// The "%" rule of MatchesPattern over pieces split once, on the lower-cased text: each piece
// searched from one character after where the previous one began; an empty piece is found
// where its search starts, as long as the text is not empty.
bool pattern_matches(std::string_view text, const PreparedSearch::Pattern& p, const Lower& lower) {
    if (!p.pieces_mode) return find_lower(text, p.pieces.front(), 0, lower) != std::string_view::npos;
    std::size_t start = 0;
    for (const std::string& piece : p.pieces) {
        if (start > text.size()) return false;
        std::size_t at = start;
        if (piece.empty()) {
            if (text.empty()) return false;
        } else {
            at = find_lower(text, piece, start, lower);
            if (at == std::string_view::npos) return false;
        }
        start = at + 1;
    }
    return true;
}

PreparedSearch::Range prepare_range(const std::string& box, int compare) {
    PreparedSearch::Range r;
    if (!IsNumber(box)) return r;
    r.on = true;
    r.value = rt::to_long(box);
    r.compare = compare;
    return r;
}

// Plain digits, as nearly every printed value is, read without the general number rule.
bool read_plain_digits(std::string_view text, std::int32_t& out) {
    if (text.empty() || text.size() > 9) return false;
    std::int32_t v = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') return false;
        v = v * 10 + (ch - '0');
    }
    out = v;
    return true;
}

// A record whose own value is no number is kept out while the test is on.
bool range_keeps(std::string_view value, const PreparedSearch::Range& r) {
    if (!r.on) return true;
    std::int32_t v = 0;
    if (!read_plain_digits(value, v)) {
        const std::string text(value);
        if (!IsNumber(text)) return false;
        v = rt::to_long(text);
    }
    switch (r.compare) {
        case 0: return v <= r.value;
        case 1: return v >= r.value;
        case 2: return v == r.value;
        default: return false;
    }
}

bool spell_type_keeps(const CardView& c, const std::string& type, const Lower& lower) {
    if (type.empty()) return true;
    auto icon_is = [&](std::string_view word) { return equals_lower(c.Icon, word, lower); };
    if (type == "Normal") return is_spell(c) && c.Icon.empty();
    if (type == "Continuous") return icon_is("continuous") && is_spell(c);
    if (type == "Equip") return icon_is("equip");
    if (type == "Field") return icon_is("field");
    if (type == "Quick-Play") return icon_is("quick-play");
    if (type == "Ritual") return icon_is("ritual");
    return false;
}

bool trap_type_keeps(const CardView& c, const std::string& type, const Lower& lower) {
    if (type.empty()) return true;
    if (type == "Normal") return is_trap(c) && c.Icon.empty();
    if (type == "Continuous") return equals_lower(c.Icon, "continuous", lower) && is_trap(c);
    if (type == "Counter") return equals_lower(c.Icon, "counter", lower);
    return false;
}

bool attribute_keeps(const CardView& c, const PreparedSearch& s) {
    if (s.filter.attrib.empty()) return true;
    if (s.attribute.empty()) return false;  // not one of the six
    return equals_lower(c.Attribute, s.attribute, s.lower);
}

// On the type line, letter case aside.
bool monster_kind_keeps(std::string_view group, const PreparedSearch& s) {
    const std::string& kind = s.filter.type_icon;
    if (kind.empty()) return true;
    if (kind == "Normal") {
        const auto slash = group.find('/');
        return slash == std::string_view::npos || slash == 0;
    }
    if (kind == "Effect") return group.find('/') != std::string_view::npos;
    if (s.kind_word.empty()) return false;
    return find_lower(group, s.kind_word, 0, s.lower) != std::string_view::npos;
}

// The lower-cased type line without the kinds that are not monster types, in this order; any
// other word after "/" stays. Built in the search's own buffer.
bool monster_type_keeps(std::string_view group, const PreparedSearch& s) {
    std::string& rest = s.scratch;
    rest.resize(group.size());
    for (std::size_t i = 0; i < group.size(); ++i) rest[i] = static_cast<char>(low(s.lower, group[i]));
    for (std::string_view kind : {"/effect", "/synchro", "/fusion", "/ritual", "/tuner", "/gemini", "/union", "/spirit"}) {
        std::size_t out = 0, in = 0;
        while (in < rest.size()) {
            if (rest.compare(in, kind.size(), kind) == 0) {
                in += kind.size();
            } else {
                rest[out++] = rest[in++];
            }
        }
        rest.resize(out);
    }
    return rest == s.monster_type;
}

}  // namespace

PreparedSearch PrepareSearch(const SearchFilter& f) {
    PreparedSearch s;
    s.filter = f;
    for (int b = 0; b < 256; ++b) {
        const std::string low = rt::lcase(std::string(1, static_cast<char>(b)));
        s.lower[static_cast<std::size_t>(b)] = static_cast<unsigned char>(low[0]);
    }
    s.all_sets = rt::trim(f.set) == "All";
    s.name = prepare_pattern(f.name);
    s.desc = prepare_pattern(f.desc);
    if (f.desc == "%") s.desc.on = false;
    s.unfiltered = blank(f.desc) && blank(f.trap_type) && blank(f.spell_type) && blank(f.attrib) &&
                   blank(f.type_icon) && blank(f.level) && blank(f.atk) && blank(f.def) &&
                   blank(f.monster_type) && f.monsters == 1 && f.spells == 1 && f.traps == 1 &&
                   f.name.empty() && s.all_sets;
    s.kind_tests = !blank(f.spell_type) || !blank(f.trap_type) || !blank(f.attrib) || !blank(f.type_icon);
    s.stat_tests = !blank(f.level) || !blank(f.monster_type) || !blank(f.atk) || !blank(f.def);
    if (!blank(f.monster_type)) s.monster_type = rt::lcase(f.monster_type);
    for (const char* known : {"Wind", "Water", "Dark", "Light", "Earth", "Fire"})
        if (f.attrib == known) s.attribute = rt::lcase(known);
    for (const char* word : {"Ritual", "Synchro", "Gemini", "Tuner", "Fusion", "Spirit", "Toon", "Union"})
        if (f.type_icon == word) s.kind_word = rt::lcase(word);
    s.level = prepare_range(f.level, f.level_compare);
    s.atk = prepare_range(f.atk, f.atk_compare);
    s.def = prepare_range(f.def, f.def_compare);
    return s;
}

SearchVerdict TestCard(const CardView& c, const PreparedSearch& s) {
    const SearchFilter& f = s.filter;
    if (c.Name.empty()) return SearchVerdict::Skip;
    if (!s.all_sets && c.SetCode != f.set) return SearchVerdict::Skip;
    if (!f.lists_filled) return SearchVerdict::Accept;

    if (is_spell(c)) {
        if (f.spells == 0) return SearchVerdict::Skip;
    } else if (is_trap(c)) {
        if (f.traps == 0) return SearchVerdict::Skip;
    } else if (f.monsters == 0) {
        return SearchVerdict::Skip;
    }

    if (s.name.on && !pattern_matches(c.Name, s.name, s.lower)) return SearchVerdict::Skip;
    if (s.unfiltered) return SearchVerdict::List;

    if (s.desc.on && !pattern_matches(c.Desc, s.desc, s.lower)) return SearchVerdict::Skip;

    if (s.kind_tests) {
        if (c.Level.empty() && c.Attribute.empty() && c.Icon.empty()) return SearchVerdict::Skip;
        if (!spell_type_keeps(c, f.spell_type, s.lower)) return SearchVerdict::Skip;
        if (!trap_type_keeps(c, f.trap_type, s.lower)) return SearchVerdict::Skip;
        if (is_spell(c) || is_trap(c)) return SearchVerdict::Accept;
        if (!attribute_keeps(c, s)) return SearchVerdict::Skip;
        if (!monster_kind_keeps(c.Group, s)) return SearchVerdict::Skip;
    }

    if (s.stat_tests && !is_spell(c) && !is_trap(c)) {
        if (!s.monster_type.empty() && !monster_type_keeps(c.Group, s)) return SearchVerdict::Skip;
        if (!range_keeps(c.Level, s.level)) return SearchVerdict::Skip;
        if (!range_keeps(c.Atk, s.atk)) return SearchVerdict::Skip;
        if (!range_keeps(c.Def, s.def)) return SearchVerdict::Skip;
    }
    return SearchVerdict::Accept;
}

SearchVerdict TestCard(const Card& card, const PreparedSearch& search) { return TestCard(CardView(card), search); }

SearchVerdict TestCard(const Card& card, const SearchFilter& filter) {
    return TestCard(CardView(card), PrepareSearch(filter));
}

std::vector<std::uint32_t> SearchCards(Tablewright& tw, const SearchFilter& filter, bool hide_copies) {
    const PreparedSearch search = PrepareSearch(filter);
    const CardStore& db = tw.cards.CardDatabase;
    std::vector<std::uint32_t> cached, shown;
    // Per name (by its group number): whether a database record passed so far has it, and
    // whether a cached one has. The duplicate test looks at the first until something is
    // cached, then at the cache.
    const std::vector<std::uint32_t>* groups = hide_copies ? &db.NameGroups() : nullptr;
    std::vector<unsigned char> in_database(hide_copies ? db.size() : 0), in_cache(in_database.size());
    for (std::size_t i = 0; i < db.size(); ++i) {
        const auto at = static_cast<std::uint32_t>(i);
        const SearchVerdict v = TestCard(db[i], search);
        if (v != SearchVerdict::Skip) {
            if (v == SearchVerdict::Accept) cached.push_back(at);
            bool duplicate = false;
            if (groups) {
                const std::uint32_t g = (*groups)[i];
                duplicate = cached.size() > 1 ? in_cache[g] : in_database[g];
                if (v == SearchVerdict::Accept) in_cache[g] = 1;
            }
            if (!duplicate) shown.push_back(at);
        }
        if (groups && cached.size() <= 1) in_database[(*groups)[i]] = 1;
    }
    tw.editor.SearchResults.assign(std::move(cached));
    return shown;
}

std::vector<std::uint32_t> RanksInNameOrder(const CardStore& db, const std::vector<std::uint32_t>& positions) {
    std::vector<unsigned char> listed(db.size());
    for (std::uint32_t at : positions) listed[at] = 1;
    const auto& order = db.NameOrder();
    std::vector<std::uint32_t> out;
    out.reserve(positions.size());
    for (std::size_t k = 0; k < order.size(); ++k)
        if (listed[order[k]]) out.push_back(static_cast<std::uint32_t>(k));
    return out;
}

std::string SearchDoneText(std::uint32_t start_tick, std::uint32_t end_tick) {
    // Unsigned difference: right across a wrap of the tick count.
    const std::uint32_t took = end_tick - start_tick;
    return "Search Done!\r\nIt took " + rt::cstr(took) + " mil/sec";
}

}  // namespace tw
