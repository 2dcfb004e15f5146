#include "cards/card_store.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <limits>
#include <stdexcept>

namespace tw {

CardView::CardView(const Card& c)
    : Name(c.Name), Def(c.Def), Atk(c.Atk), Desc(c.Desc), Group(c.Group), Level(c.Level),
      Attribute(c.Attribute), Icon(c.Icon), SetCode(c.SetCode), SetNumber(c.SetNumber), Fusion(c.Fusion),
      Kind(KindOf(c.Group)) {}

CardKind KindOf(std::string_view group) {
    if (group == "Spell Card") return CardKind::Spell;
    if (group == "Trap Card") return CardKind::Trap;
    return CardKind::Monster;
}

Card CardView::card() const {
    Card c;
    c.Name = Name;
    c.Def = Def;
    c.Atk = Atk;
    c.Desc = Desc;
    c.Group = Group;
    c.Level = Level;
    c.Attribute = Attribute;
    c.Icon = Icon;
    c.SetCode = SetCode;
    c.SetNumber = SetNumber;
    c.Fusion = Fusion;
    return c;
}

bool operator==(const CardView& v, const Card& c) { return v.card() == c; }

namespace {

// For a lower-case ASCII word, as rt::contains_ci (no other byte lower-cases into ASCII)
// without copying the text.
bool contains_word_ci(std::string_view s, std::string_view lower_word) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    auto it = std::search(s.begin(), s.end(), lower_word.begin(), lower_word.end(),
                          [&](char a, char b) { return lower(static_cast<unsigned char>(a)) == b; });
    return it != s.end();
}

}  // namespace

bool IsExtraDeckGroup(std::string_view group) {
    return contains_word_ci(group, "fusion") || contains_word_ci(group, "synchro");
}

// ---- the store ----

CardStore::CardStore(std::initializer_list<Card> cards) {
    for (const Card& c : cards) push_back(c);
}

CardStore::CardStore(std::string text, std::vector<Entry> entries)
    : text_(std::move(text)), entries_(std::move(entries)) {
    if (text_.size() > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("card text too long");
}

CardStore::CardStore(const CardStore& other) : text_(other.text_), entries_(other.entries_) {}

CardStore::CardStore(CardStore&& other) noexcept
    : text_(std::move(other.text_)), entries_(std::move(other.entries_)) {
    other.text_.clear();
    other.entries_.clear();
    other.changed();
}

CardStore& CardStore::operator=(const CardStore& other) {
    if (this != &other) {
        text_ = other.text_;
        entries_ = other.entries_;
        changed();
    }
    return *this;
}

CardStore& CardStore::operator=(CardStore&& other) noexcept {
    if (this != &other) {
        text_ = std::move(other.text_);
        entries_ = std::move(other.entries_);
        other.text_.clear();
        other.entries_.clear();
        other.changed();
        changed();
    }
    return *this;
}

void CardStore::changed() {
    ++generation_;
    ranked_ = false;
    name_order_ = {};
    name_groups_ = {};
    ranked_names_ = {};
    ranked_at_ = {};
    ranked_set_ = {};
    set_codes_ = {};
}

CardView CardStore::view(const Entry& e) const {
    CardView v;
    v.Name = piece(e.name);
    v.Def = piece(e.def);
    v.Atk = piece(e.atk);
    v.Desc = piece(e.desc);
    v.Group = piece(e.group);
    v.Level = piece(e.level);
    v.Attribute = piece(e.attribute);
    v.Icon = piece(e.icon);
    v.SetCode = piece(e.set_code);
    v.SetNumber = e.set_number;
    v.Fusion = e.fusion;
    v.Kind = e.kind;
    return v;
}

CardStore::Span CardStore::append(std::string_view s) {
    if (s.size() > std::numeric_limits<std::uint32_t>::max() - text_.size()) throw std::length_error("card text too long");
    const Span at{static_cast<std::uint32_t>(text_.size()), static_cast<std::uint32_t>(s.size())};
    text_.append(s);
    return at;
}

void CardStore::push_back(const Card& c) {
    Entry e;
    e.name = append(c.Name);
    e.def = append(c.Def);
    e.atk = append(c.Atk);
    e.desc = append(c.Desc);
    e.group = append(c.Group);
    e.level = append(c.Level);
    e.attribute = append(c.Attribute);
    e.icon = append(c.Icon);
    e.set_code = append(c.SetCode);
    e.set_number = c.SetNumber;
    e.fusion = c.Fusion;
    e.kind = KindOf(c.Group);
    entries_.push_back(e);
    changed();
}

void CardStore::clear() {
    text_.clear();
    entries_.clear();
    changed();
}

// ---- names in order ----

namespace {

constexpr std::size_t kHead = 16;

struct NameKey {
    unsigned char head[kHead];  // name bytes from the current depth on, padded with 0
    std::uint32_t at;
};

// Orders keys[from, to) by name from byte `depth` on, the bytes before being equal: a stable
// byte-wise radix sort of sixteen bytes (a 0 pad sorts before every other byte), then each run
// sharing them is ordered by the bytes after. Equal names keep their order.
template <class NameOf>
void order_names(const NameOf& name_of, std::vector<NameKey>& keys, std::vector<NameKey>& spare, std::size_t from,
                 std::size_t to, std::size_t depth) {
    const std::size_t n = to - from;
    auto by_name = [&name_of](const NameKey& a, const NameKey& b) { return name_of(a.at) < name_of(b.at); };
    auto at = [](std::size_t i) { return static_cast<std::ptrdiff_t>(i); };
    if (n < 2) return;
    if (n < 64) {
        std::stable_sort(keys.begin() + at(from), keys.begin() + at(to), by_name);
        return;
    }
    std::vector<std::array<std::uint32_t, 256>> count(kHead);  // every pass counted in one scan
    std::size_t longest = 0;
    for (std::size_t i = from; i < to; ++i) {
        const std::string_view name = name_of(keys[i].at);
        longest = std::max(longest, name.size());
        for (std::size_t b = 0; b < kHead; ++b) {
            const std::size_t p = depth + b;
            keys[i].head[b] = p < name.size() ? static_cast<unsigned char>(name[p]) : 0;
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
        std::copy(spare.begin() + at(from), spare.begin() + at(to), keys.begin() + at(from));
    }
    for (std::size_t i = from; i < to;) {
        std::size_t j = i + 1;
        while (j < to && std::memcmp(keys[i].head, keys[j].head, kHead) == 0) ++j;
        if (j - i > 1) {
            if (longest > depth + kHead)
                order_names(name_of, keys, spare, i, j, depth + kHead);
            else  // all within the sixteen bytes: equal unless a name holds a 0 byte
                std::stable_sort(keys.begin() + at(i), keys.begin() + at(j), by_name);
        }
        i = j;
    }
}

}  // namespace

void CardStore::rank() const {
    if (ranked_) return;
    const std::size_t n = size();
    std::vector<NameKey> keys(n), spare(n);
    for (std::size_t i = 0; i < n; ++i) keys[i].at = static_cast<std::uint32_t>(i);
    const auto name_of = [this](std::uint32_t i) { return name(i); };
    order_names(name_of, keys, spare, 0, n, 0);
    spare = {};
    name_order_.resize(n);
    name_groups_.resize(n);
    for (std::size_t k = 0; k < n; ++k) {
        const std::uint32_t i = keys[k].at;
        name_order_[k] = i;
        const bool same = k > 0 && name(i) == name(name_order_[k - 1]);
        name_groups_[i] = same ? name_groups_[name_order_[k - 1]] : static_cast<std::uint32_t>(k);
    }

    std::size_t bytes = 0;
    for (const Entry& e : entries_) bytes += e.name.size;
    ranked_names_.reserve(bytes);
    ranked_at_.resize(n + 1);
    ranked_set_.resize(n);
    // Set codes are few: each gets a number, through a small table by hash.
    std::vector<std::uint32_t> table(64, UINT32_MAX);
    auto code_number = [&](std::string_view code) {
        std::size_t h = std::hash<std::string_view>{}(code);
        for (;; ++h) {
            std::uint32_t& slot = table[h & (table.size() - 1)];
            if (slot == UINT32_MAX) {
                slot = static_cast<std::uint32_t>(set_codes_.size());
                set_codes_.push_back(code);
                if (set_codes_.size() * 2 > table.size()) {  // keep it at most half full
                    std::vector<std::uint32_t> bigger(table.size() * 2, UINT32_MAX);
                    for (std::uint32_t id = 0; id < set_codes_.size(); ++id)
                        for (std::size_t g = std::hash<std::string_view>{}(set_codes_[id]);; ++g)
                            if (std::uint32_t& b = bigger[g & (bigger.size() - 1)]; b == UINT32_MAX) {
                                b = id;
                                break;
                            }
                    table = std::move(bigger);
                }
                return static_cast<std::uint32_t>(set_codes_.size() - 1);
            }
            if (set_codes_[slot] == code) return slot;
        }
    };
    std::vector<std::uint32_t> code_of(n);
    std::uint32_t last = UINT32_MAX;
    for (std::size_t i = 0; i < n; ++i) {  // in text order, where codes repeat in runs
        const std::string_view code = set_code(i);
        code_of[i] = last != UINT32_MAX && set_codes_[last] == code ? last : (last = code_number(code));
    }
    for (std::size_t k = 0; k < n; ++k) {
        ranked_at_[k] = static_cast<std::uint32_t>(ranked_names_.size());
        ranked_names_.append(name(name_order_[k]));
        ranked_set_[k] = code_of[name_order_[k]];
    }
    ranked_at_[n] = static_cast<std::uint32_t>(ranked_names_.size());
    ranked_ = true;
}

const std::vector<std::uint32_t>& CardStore::NameOrder() const {
    rank();
    return name_order_;
}

const std::vector<std::uint32_t>& CardStore::NameGroups() const {
    rank();
    return name_groups_;
}

// ---- search hits ----

void SearchHits::clear() {
    at_.clear();
    ascending_ = true;
}

void SearchHits::assign(std::vector<std::uint32_t> positions) {
    at_ = std::move(positions);
    db_generation_ = db_->generation();
    ascending_ = std::is_sorted(at_.begin(), at_.end());
}

const std::vector<std::uint32_t>& SearchHits::positions() const {
    static const std::vector<std::uint32_t> none;
    if (at_.empty() || db_generation_ != db_->generation()) return none;
    return at_;
}

std::size_t SearchHits::size() const { return std::max<std::size_t>(positions().size(), 1); }

CardView SearchHits::operator[](std::size_t i) const {
    const auto& at = positions();
    if (at.empty()) return {};
    return (*db_)[at[i]];
}

}  // namespace tw
