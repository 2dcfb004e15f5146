#include "bench/plain_cards.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/rt.hpp"

namespace plain {

namespace {

// The byte each byte lower-cases and upper-cases to, by the program's own rule.
struct CaseTables {
    std::array<unsigned char, 256> lower{}, upper{};
    CaseTables() {
        std::string all(256, '\0');
        for (int b = 0; b < 256; ++b) all[static_cast<std::size_t>(b)] = static_cast<char>(b);
        const std::string lo = rt::lcase(all), up = rt::ucase(all);
        for (int b = 0; b < 256; ++b) {
            lower[static_cast<std::size_t>(b)] = static_cast<unsigned char>(lo[static_cast<std::size_t>(b)]);
            upper[static_cast<std::size_t>(b)] = static_cast<unsigned char>(up[static_cast<std::size_t>(b)]);
        }
    }
};
const CaseTables& cases() {
    static const CaseTables t;
    return t;
}

std::string read_whole(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("cannot open the set file");
    struct stat st {};
    ::fstat(fd, &st);
    std::string text(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(fd, text.data() + got, text.size() - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    text.resize(got);
    return text;
}

// "&amp;" becomes "&" in place.
void undo_amp(std::string& text) {
    const char* at = static_cast<const char*>(std::memchr(text.data(), '&', text.size()));
    if (!at) return;
    std::size_t out = static_cast<std::size_t>(at - text.data());
    for (std::size_t in = out; in < text.size();) {
        if (text.compare(in, 5, "&amp;") == 0) {
            text[out++] = '&';
            in += 5;
        } else {
            text[out++] = text[in++];
        }
    }
    text.resize(out);
}

void split(std::string_view s, char sep, std::vector<std::string_view>& out) {
    out.clear();
    for (;;) {
        const std::size_t at = s.find(sep);
        if (at == std::string_view::npos) {
            out.push_back(s);
            return;
        }
        out.push_back(s.substr(0, at));
        s.remove_prefix(at + 1);
    }
}

bool parse_int16(std::string_view s, std::int16_t& out) {
    int v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec == std::errc() && end == s.data() + s.size() && v >= -32768 && v <= 32767) {
        out = static_cast<std::int16_t>(v);
        return true;
    }
    // Anything else by the program's number rule.
    if (!rt::is_number(s)) return false;
    return rt::try_step([&] { out = rt::to_int16(s); });
}

bool contains_lower(std::string_view s, std::string_view lower_word) {
    const auto& lo = cases().lower;
    if (lower_word.size() > s.size()) return false;
    for (std::size_t i = 0; i + lower_word.size() <= s.size(); ++i) {
        std::size_t k = 0;
        while (k < lower_word.size() && lo[static_cast<unsigned char>(s[i + k])] == static_cast<unsigned char>(lower_word[k]))
            ++k;
        if (k == lower_word.size()) return true;
    }
    return false;
}

std::uint64_t hash_ci(std::string_view set, std::string_view name) {
    const auto& lo = cases().lower;
    std::uint64_t h = 14695981039346656037ull;
    auto mix = [&](unsigned char b) {
        h ^= b;
        h *= 1099511628211ull;
    };
    for (unsigned char b : set) mix(lo[b]);
    mix(0xFF);
    for (unsigned char b : name) mix(lo[b]);
    return h;
}

bool equals_ci(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const auto& lo = cases().lower;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lo[static_cast<unsigned char>(a[i])] != lo[static_cast<unsigned char>(b[i])]) return false;
    return true;
}

// A view of the field with every `from` replaced by `to`; a rewritten text is kept in the
// database.
std::string_view rewritten(Database& db, std::string_view field, std::string_view from, std::string_view to) {
    if (field.find(from) == std::string_view::npos) return field;
    std::string s;
    for (;;) {
        const std::size_t at = field.find(from);
        if (at == std::string_view::npos) break;
        s.append(field.substr(0, at)).append(to);
        field.remove_prefix(at + from.size());
    }
    s.append(field);
    return db.rewritten.emplace_back(std::move(s));
}

}  // namespace

Database Load(const std::filesystem::path& file, const std::function<void(int)>& progress) {
    Database db;
    db.text = read_whole(file);
    undo_amp(db.text);
    const std::string_view text = db.text;
    if (text.empty()) return db;

    // Records end at "|" CR LF; the line feeds are found with memchr.
    std::vector<std::string_view> records;
    records.reserve(text.size() / 64);
    std::size_t start = 0;
    for (std::size_t from = 0;;) {
        const void* lf = std::memchr(text.data() + from, '\n', text.size() - from);
        if (!lf) break;
        const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(lf) - text.data());
        if (at >= start + 2 && text[at - 1] == '\r' && text[at - 2] == '|') {
            records.push_back(text.substr(start, at - 2 - start));
            start = at + 1;
        }
        from = at + 1;
    }
    records.push_back(text.substr(start));
    const std::size_t separators = records.size() - 1;

    db.cards.reserve(records.size() + records.size() / 4);
    std::vector<std::string_view> fields, codes, numbers;
    int shown = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (i > 0) {
            const int percent = static_cast<int>(std::nearbyint(100.0 * static_cast<double>(i) / static_cast<double>(separators)));
            if (percent != shown) {
                shown = percent;
                progress(percent);
            }
        }
        const std::size_t first = db.cards.size();
        db.cards.emplace_back();
        if (records[i].empty()) continue;
        split(records[i], '|', fields);
        if (fields.size() < 4 || fields[3].empty()) continue;
        split(fields[3], ';', codes);
        if (fields[2].empty()) numbers.clear();
        else split(fields[2], ';', numbers);
        std::string_view group, attribute;
        if (fields.size() > 4) group = rewritten(db, fields[4], "Magic Card", "Spell Card");
        if (fields.size() > 5) attribute = rewritten(db, fields[5], "Magic", "Spell");
        for (std::size_t j = 0; j < codes.size(); ++j) {
            if (j > 0) db.cards.emplace_back();
            Card& c = db.cards[first + j];
            c.name = fields[1];
            if (j >= numbers.size() || !parse_int16(numbers[j], c.set_number)) continue;
            c.set_code = codes[j];
            if (fields.size() < 5) continue;
            c.group = group;
            if (fields.size() < 6) continue;
            c.attribute = attribute;
            std::string_view* rest[] = {&c.level, &c.icon, &c.atk, &c.def, &c.desc};
            std::size_t f = 6;
            for (; f <= 10 && f < fields.size(); ++f) *rest[f - 6] = fields[f];
            if (f <= 10) continue;
            c.fusion = contains_lower(c.group, "fusion") || contains_lower(c.group, "synchro");
        }
    }

    db.by_hash.reserve(db.cards.size());
    for (std::uint32_t i = 0; i < db.cards.size(); ++i)
        db.by_hash.emplace_back(hash_ci(db.cards[i].set_code, db.cards[i].name), i);
    std::sort(db.by_hash.begin(), db.by_hash.end());

    db.by_name.resize(db.cards.size());
    for (std::uint32_t i = 0; i < db.by_name.size(); ++i) db.by_name[i] = i;
    std::stable_sort(db.by_name.begin(), db.by_name.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return db.cards[a].name < db.cards[b].name; });
    return db;
}

tw::Card Lookup(const Database& db, std::string_view set, std::string_view name) {
    const std::uint64_t h = hash_ci(set, name);
    auto it = std::lower_bound(db.by_hash.begin(), db.by_hash.end(), std::pair<std::uint64_t, std::uint32_t>{h, 0});
    for (; it != db.by_hash.end() && it->first == h; ++it) {
        const Card& c = db.cards[it->second];
        if (!equals_ci(c.name, name) || !equals_ci(c.set_code, set)) continue;
        tw::Card out;
        out.Name = c.name;
        out.Def = c.def;
        out.Atk = c.atk;
        out.Desc = c.desc;
        out.Group = c.group;
        out.Level = c.level;
        out.Attribute = c.attribute;
        out.Icon = c.icon;
        out.SetCode = c.set_code;
        out.SetNumber = c.set_number;
        out.Fusion = c.fusion || contains_lower(c.group, "fusion") || contains_lower(c.group, "synchro");
        return out;
    }
    tw::Card bad;
    bad.Name = tw::kBadCard;
    return bad;
}

namespace {

struct Pattern {
    bool on = false;
    bool pieces_mode = false;
    std::vector<std::string> pieces;  // lower-cased
};

Pattern make_pattern(const std::string& box) {
    Pattern p;
    if (box.find_first_not_of(' ') == std::string::npos) return p;
    p.on = true;
    const std::string lowered = rt::lcase(rt::trim(box));
    p.pieces_mode = box.find('%') != std::string::npos;
    if (!p.pieces_mode) {
        p.pieces.push_back(lowered);
        return p;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = lowered.find('%', start);
        p.pieces.push_back(lowered.substr(start, at == std::string::npos ? at : at - start));
        if (at == std::string::npos) break;
        start = at + 1;
    }
    return p;
}

// Where the lower-cased piece first occurs in text from `from`, letter case of text aside.
std::size_t find_ci(std::string_view text, std::string_view piece, std::size_t from) {
    const auto& lo = cases().lower;
    if (piece.size() > text.size()) return std::string_view::npos;
    const unsigned char first = static_cast<unsigned char>(piece[0]);
    for (std::size_t i = from; i + piece.size() <= text.size(); ++i) {
        if (lo[static_cast<unsigned char>(text[i])] != first) continue;
        std::size_t k = 1;
        while (k < piece.size() && lo[static_cast<unsigned char>(text[i + k])] == static_cast<unsigned char>(piece[k])) ++k;
        if (k == piece.size()) return i;
    }
    return std::string_view::npos;
}

bool matches(std::string_view text, const Pattern& p) {
    if (!p.pieces_mode) return find_ci(text, p.pieces[0], 0) != std::string_view::npos;
    std::size_t start = 0;
    for (const std::string& piece : p.pieces) {
        if (start > text.size()) return false;
        std::size_t at = start;
        if (piece.empty()) {
            if (text.empty()) return false;
        } else {
            at = find_ci(text, piece, start);
            if (at == std::string_view::npos) return false;
        }
        start = at + 1;
    }
    return true;
}

struct Range {
    bool on = false;
    int value = 0, compare = 0;
};

bool read_int(std::string_view s, int& v) {
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && end == s.data() + s.size() && !s.empty();
}

Range make_range(const std::string& box, int compare) {
    Range r;
    r.on = read_int(box, r.value);
    r.compare = compare;
    return r;
}

bool keeps(std::string_view value, const Range& r) {
    if (!r.on) return true;
    int v = 0;
    if (!read_int(value, v)) return false;
    switch (r.compare) {
        case 0: return v <= r.value;
        case 1: return v >= r.value;
        case 2: return v == r.value;
        default: return false;
    }
}

}  // namespace

void RunSearch(const Database& db, const Filter& f, bool ranked, Search& out) {
    const bool all_sets = rt::trim(f.set) == "All";
    const Pattern name = make_pattern(f.name);
    const Range level = make_range(f.level, f.level_compare), atk = make_range(f.atk, f.atk_compare),
                def = make_range(f.def, f.def_compare);
    const bool stats = level.on || atk.on || def.on;

    out.hits.clear();
    std::vector<unsigned char> hit(ranked ? db.cards.size() : 0);
    for (std::uint32_t i = 0; i < db.cards.size(); ++i) {
        const Card& c = db.cards[i];
        if (c.name.empty()) continue;
        if (!all_sets && c.set_code != f.set) continue;
        const bool spell = c.group == "Spell Card", trap = c.group == "Trap Card";
        if (spell ? !f.spells : trap ? !f.traps : !f.monsters) continue;
        if (name.on && !matches(c.name, name)) continue;
        if (!f.attribute.empty() && !spell && !trap && !equals_ci(c.attribute, f.attribute)) continue;
        if (stats && !spell && !trap && (!keeps(c.level, level) || !keeps(c.atk, atk) || !keeps(c.def, def)))
            continue;
        out.hits.push_back(i);
        if (ranked) hit[i] = 1;
    }

    std::vector<std::uint32_t> order;
    if (ranked) {
        order.reserve(out.hits.size());
        for (std::uint32_t i : db.by_name)
            if (hit[i]) order.push_back(i);
    } else {
        order = out.hits;
        std::stable_sort(order.begin(), order.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return db.cards[a].name < db.cards[b].name; });
    }

    const auto& up = cases().upper;
    out.grid.resize(order.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        const Card& c = db.cards[order[k]];
        Row& row = out.grid[k];
        row.set.assign(c.set_code);
        for (char& ch : row.set) ch = static_cast<char>(up[static_cast<unsigned char>(ch)]);
        row.name.assign(c.name);
    }
}

}  // namespace plain
