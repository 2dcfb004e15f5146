#include "deckeditor/search.hpp"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_set>

#include "cards/helpers.hpp"
#include "cards/tablewright.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

bool blank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

bool is_spell(const Card& c) { return c.Group == "Spell Card"; }
bool is_trap(const Card& c) { return c.Group == "Trap Card"; }

void lower_into(std::string& out, const std::string& in, const std::array<unsigned char, 256>& lower) {
    out.resize(in.size());
    for (std::size_t i = 0; i < in.size(); ++i)
        out[i] = static_cast<char>(lower[static_cast<unsigned char>(in[i])]);
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

// The "%" rule of MatchesPattern over pieces split once: each piece searched from one character
// after where the previous one began; an empty piece is found where its search starts, as long
// as the text is not empty.
bool pattern_matches(const std::string& text, const PreparedSearch::Pattern& p) {
    if (!p.pieces_mode) return text.find(p.pieces.front()) != std::string::npos;
    std::size_t start = 0;
    for (const std::string& piece : p.pieces) {
        if (start > text.size()) return false;
        std::size_t at = start;
        if (piece.empty()) {
            if (text.empty()) return false;
        } else {
            at = text.find(piece, start);
            if (at == std::string::npos) return false;
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
bool read_plain_digits(const std::string& text, std::int32_t& out) {
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
bool range_keeps(const std::string& value, const PreparedSearch::Range& r) {
    if (!r.on) return true;
    std::int32_t v = 0;
    if (!read_plain_digits(value, v)) {
        if (!IsNumber(value)) return false;
        v = rt::to_long(value);
    }
    switch (r.compare) {
        case 0: return v <= r.value;
        case 1: return v >= r.value;
        case 2: return v == r.value;
        default: return false;
    }
}

bool spell_type_keeps(const Card& c, const std::string& type, const std::string& icon) {
    if (type.empty()) return true;
    if (type == "Normal") return is_spell(c) && c.Icon.empty();
    if (type == "Continuous") return icon == "continuous" && is_spell(c);
    if (type == "Equip") return icon == "equip";
    if (type == "Field") return icon == "field";
    if (type == "Quick-Play") return icon == "quick-play";
    if (type == "Ritual") return icon == "ritual";
    return false;
}

bool trap_type_keeps(const Card& c, const std::string& type, const std::string& icon) {
    if (type.empty()) return true;
    if (type == "Normal") return is_trap(c) && c.Icon.empty();
    if (type == "Continuous") return icon == "continuous" && is_trap(c);
    if (type == "Counter") return icon == "counter";
    return false;
}

bool attribute_keeps(const Card& c, const PreparedSearch& s) {
    if (s.filter.attrib.empty()) return true;
    if (s.attribute.empty()) return false;  // not one of the six
    std::string a;
    lower_into(a, c.Attribute, s.lower);
    return a == s.attribute;
}

bool monster_kind_keeps(const std::string& group, const PreparedSearch& s) {
    const std::string& kind = s.filter.type_icon;
    if (kind.empty()) return true;
    if (kind == "Normal") {
        const auto slash = group.find('/');
        return slash == std::string::npos || slash == 0;
    }
    if (kind == "Effect") return group.find('/') != std::string::npos;
    if (s.kind_word.empty()) return false;
    return group.find(s.kind_word) != std::string::npos;
}

// The type line without the kinds that are not monster types; any other word after "/" stays.
std::string monster_type_of(std::string group) {
    for (const char* kind : {"/effect", "/synchro", "/fusion", "/ritual", "/tuner", "/gemini", "/union",
                             "/spirit"})
        group = rt::replace_all(group, kind, "");
    return group;
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

SearchVerdict TestCard(const Card& c, const PreparedSearch& s) {
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

    std::string low;
    if (s.name.on) {
        lower_into(low, c.Name, s.lower);
        if (!pattern_matches(low, s.name)) return SearchVerdict::Skip;
    }
    if (s.unfiltered) return SearchVerdict::List;

    if (s.desc.on) {
        lower_into(low, c.Desc, s.lower);
        if (!pattern_matches(low, s.desc)) return SearchVerdict::Skip;
    }

    if (s.kind_tests) {
        if (c.Level.empty() && c.Attribute.empty() && c.Icon.empty()) return SearchVerdict::Skip;
        std::string icon;
        lower_into(icon, c.Icon, s.lower);
        if (!spell_type_keeps(c, f.spell_type, icon)) return SearchVerdict::Skip;
        if (!trap_type_keeps(c, f.trap_type, icon)) return SearchVerdict::Skip;
        if (is_spell(c) || is_trap(c)) return SearchVerdict::Accept;
        if (!attribute_keeps(c, s)) return SearchVerdict::Skip;
        lower_into(low, c.Group, s.lower);
        if (!monster_kind_keeps(low, s)) return SearchVerdict::Skip;
    }

    if (s.stat_tests && !is_spell(c) && !is_trap(c)) {
        if (!s.monster_type.empty()) {
            lower_into(low, c.Group, s.lower);
            if (monster_type_of(low) != s.monster_type) return SearchVerdict::Skip;
        }
        if (!range_keeps(c.Level, s.level)) return SearchVerdict::Skip;
        if (!range_keeps(c.Atk, s.atk)) return SearchVerdict::Skip;
        if (!range_keeps(c.Def, s.def)) return SearchVerdict::Skip;
    }
    return SearchVerdict::Accept;
}

SearchVerdict TestCard(const Card& card, const SearchFilter& filter) {
    return TestCard(card, PrepareSearch(filter));
}

std::vector<const Card*> SearchCards(Tablewright& tw, const SearchFilter& filter, bool hide_copies) {
    const PreparedSearch search = PrepareSearch(filter);
    auto& cache = tw.SearchResults;
    cache.assign(1, Card{});
    ++tw.SearchResultsGeneration;
    std::vector<const Card*> shown;
    // Names of every database record passed so far, and of every record cached so far: the
    // duplicate test looks at the first until something is cached, then at the cache.
    std::unordered_set<std::string_view> database_names, cached_names;
    std::size_t cached = 0;
    if (hide_copies) database_names.reserve(tw.CardDatabase.size());
    for (const Card& c : tw.CardDatabase) {
        const SearchVerdict v = TestCard(c, search);
        if (v != SearchVerdict::Skip) {
            if (v == SearchVerdict::Accept) {
                if (!cache.back().Name.empty()) cache.emplace_back();
                cache.back() = c;
                ++cached;
            }
            bool duplicate = false;
            if (hide_copies) {
                duplicate = cached > 1 ? cached_names.contains(c.Name) : database_names.contains(c.Name);
                if (v == SearchVerdict::Accept) cached_names.insert(c.Name);
            }
            if (!duplicate) shown.push_back(&c);
        }
        if (hide_copies && cached <= 1) database_names.insert(c.Name);
    }
    return shown;
}

namespace {

constexpr std::size_t kHead = 16;

struct NameKey {
    unsigned char head[kHead];  // name bytes from the current depth on, padded with 0
    std::uint32_t at;
};

// Orders keys[from, to) by name from byte `depth` on, the bytes before being equal: a stable
// byte-wise radix sort of sixteen bytes (a 0 pad sorts before every other byte), then each run
// sharing them is ordered by the bytes after. Equal names keep their order.
void order_names(const std::vector<const Card*>& cards, std::vector<NameKey>& keys, std::vector<NameKey>& spare,
                 std::size_t from, std::size_t to, std::size_t depth) {
    const std::size_t n = to - from;
    auto by_name = [&cards](const NameKey& a, const NameKey& b) { return cards[a.at]->Name < cards[b.at]->Name; };
    if (n < 2) return;
    if (n < 64) {
        std::stable_sort(keys.begin() + static_cast<std::ptrdiff_t>(from), keys.begin() + static_cast<std::ptrdiff_t>(to),
                         by_name);
        return;
    }
    std::vector<std::array<std::uint32_t, 256>> count(kHead);  // every pass counted in one scan
    std::size_t longest = 0;
    for (std::size_t i = from; i < to; ++i) {
        const std::string& name = cards[keys[i].at]->Name;
        longest = std::max(longest, name.size());
        for (std::size_t b = 0; b < kHead; ++b) {
            const std::size_t at = depth + b;
            keys[i].head[b] = at < name.size() ? static_cast<unsigned char>(name[at]) : 0;
            ++count[b][keys[i].head[b]];
        }
    }
    for (std::size_t b = kHead; b-- > 0;) {
        auto& c = count[b];
        if (c[keys[from].head[b]] == n) continue;  // every name alike here
        std::uint32_t sum = static_cast<std::uint32_t>(from);
        for (auto& v : c) {
            const std::uint32_t here = v;
            v = sum;
            sum += here;
        }
        for (std::size_t i = from; i < to; ++i) spare[c[keys[i].head[b]]++] = keys[i];
        std::copy(spare.begin() + static_cast<std::ptrdiff_t>(from), spare.begin() + static_cast<std::ptrdiff_t>(to),
                  keys.begin() + static_cast<std::ptrdiff_t>(from));
    }
    for (std::size_t i = from; i < to;) {
        std::size_t j = i + 1;
        while (j < to && std::memcmp(keys[i].head, keys[j].head, kHead) == 0) ++j;
        if (j - i > 1) {
            if (longest > depth + kHead)
                order_names(cards, keys, spare, i, j, depth + kHead);
            else  // all within the sixteen bytes: equal unless a name holds a 0 byte
                std::stable_sort(keys.begin() + static_cast<std::ptrdiff_t>(i),
                                 keys.begin() + static_cast<std::ptrdiff_t>(j), by_name);
        }
        i = j;
    }
}

}  // namespace

std::vector<std::uint32_t> NameOrder(const std::vector<const Card*>& cards) {
    std::vector<NameKey> keys(cards.size()), spare(cards.size());
    for (std::size_t i = 0; i < cards.size(); ++i) keys[i].at = static_cast<std::uint32_t>(i);
    order_names(cards, keys, spare, 0, cards.size(), 0);
    std::vector<std::uint32_t> out;
    out.reserve(keys.size());
    for (const NameKey& k : keys) out.push_back(k.at);
    return out;
}

std::vector<const Card*> SortedByName(const std::vector<const Card*>& cards) {
    std::vector<const Card*> out;
    out.reserve(cards.size());
    for (std::uint32_t at : NameOrder(cards)) out.push_back(cards[at]);
    return out;
}

std::string SearchDoneText(std::uint32_t start_tick, std::uint32_t end_tick) {
    // Unsigned difference: right across a wrap of the tick count.
    const std::uint32_t took = end_tick - start_tick;
    return "Search Done!\r\nIt took " + rt::cstr(took) + " mil/sec";
}

}  // namespace tw
