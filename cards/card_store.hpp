#pragma once
// The card database, held compactly: every entry's texts lie in one text buffer (the set file as
// read, each entry a few offsets into it), so that a set of 100,000 entries takes little more
// memory than its file. Entries are read as CardView (views into the buffer: what the search and
// the lookup compare) or as Card records (copies, for callers that keep or change them). The
// last search's hits (SearchHits) are positions in the database, not copies.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card.hpp"

namespace tw {

// What a type line makes of a card: exactly "Spell Card" a spell, exactly "Trap Card" a trap,
// anything else a monster.
enum class CardKind : std::uint8_t { Monster, Spell, Trap };
CardKind KindOf(std::string_view group);

// The fields a database entry carries, as views; every other field of Card is empty, zero or
// false for a database entry. Valid while the database it came from is unchanged.
struct CardView {
    std::string_view Name, Def, Atk, Desc, Group, Level, Attribute, Icon, SetCode;
    std::int16_t SetNumber = 0;
    bool Fusion = false;
    CardKind Kind = CardKind::Monster;  // of Group, worked out once for a database entry

    CardView() = default;
    // Views into the record's own texts.
    explicit CardView(const Card& c);
    // A record of its own, for a caller to keep or change.
    Card card() const;
    // Explicit, so that a `const Card&` loop over the database cannot bind a temporary copy.
    explicit operator Card() const { return card(); }
    bool operator==(const CardView&) const = default;
};

// Whether the record is what the view shows: its other fields empty, zero and false.
bool operator==(const CardView& v, const Card& c);

// An extra-deck card's type line: it holds "fusion" or "synchro", letter case aside.
bool IsExtraDeckGroup(std::string_view group);

// Steps through a list of cards by index, handing out views (ranges over the database and the
// hits read as lists of Card: a `const Card&` loop variable takes a copy of each).
template <class List>
class IndexIterator {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = CardView;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = CardView;
    IndexIterator() = default;
    IndexIterator(const List* list, std::size_t i) : list_(list), i_(i) {}
    CardView operator*() const { return (*list_)[i_]; }
    IndexIterator& operator++() {
        ++i_;
        return *this;
    }
    IndexIterator operator++(int) {
        auto old = *this;
        ++i_;
        return old;
    }
    bool operator==(const IndexIterator& o) const { return i_ == o.i_; }

private:
    const List* list_ = nullptr;
    std::size_t i_ = 0;
};

class CardStore {
public:
    // A piece of the text buffer.
    struct Span {
        std::uint32_t at = 0, size = 0;
    };
    // One entry as pieces of the text buffer.
    struct Entry {
        Span name, def, atk, desc, group, level, attribute, icon, set_code;
        std::int16_t set_number = 0;
        bool fusion = false;
        CardKind kind = CardKind::Monster;  // of group
    };

    CardStore() = default;
    CardStore(std::initializer_list<Card> cards);
    // Entries over a text that they are pieces of (the set file reader builds them so).
    CardStore(std::string text, std::vector<Entry> entries);
    CardStore(const CardStore& other);
    CardStore(CardStore&& other) noexcept;
    CardStore& operator=(const CardStore& other);
    CardStore& operator=(CardStore&& other) noexcept;

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    // Unchecked, as a vector's.
    CardView operator[](std::size_t i) const { return view(entries_[i]); }
    CardView front() const { return (*this)[0]; }
    CardView back() const { return (*this)[size() - 1]; }
    // The name alone, without building the whole view.
    std::string_view name(std::size_t i) const { return piece(entries_[i].name); }
    std::string_view set_code(std::size_t i) const { return piece(entries_[i].set_code); }

    // Adds the record's database fields (see CardView) as a new last entry.
    void push_back(const Card& c);
    void clear();

    using iterator = IndexIterator<CardStore>;
    iterator begin() const { return {this, 0}; }
    iterator end() const { return {this, size()}; }

    // Moves on with every change of the entries (an assignment included), so that what was
    // built over them (the lookup index, the search hits) can tell that it no longer fits.
    std::uint64_t generation() const { return generation_; }

    // Every position, ordered by name as the result grid sorts (byte order, capitals first),
    // equal names by position. Worked out once and kept until the entries change.
    const std::vector<std::uint32_t>& NameOrder() const;
    // Per position, a number shared by exactly the entries of the same name (byte for byte).
    const std::vector<std::uint32_t>& NameGroups() const;
    // The name and set code of the entry at place k of NameOrder, laid out in that order, so
    // that a list in name order reads them one after the other rather than all over the text.
    std::string_view ranked_name(std::size_t k) const {
        return {ranked_names_.data() + ranked_at_[k], ranked_at_[k + 1] - ranked_at_[k]};
    }
    std::string_view ranked_set_code(std::size_t k) const { return set_codes_[ranked_set_[k]]; }

private:
    std::string_view piece(Span s) const { return {text_.data() + s.at, s.size}; }
    CardView view(const Entry& e) const;
    Span append(std::string_view s);
    void changed();
    void rank() const;

    std::string text_;
    std::vector<Entry> entries_;
    std::uint64_t generation_ = 0;
    mutable std::vector<std::uint32_t> name_order_, name_groups_;
    mutable std::string ranked_names_;
    mutable std::vector<std::uint32_t> ranked_at_;       // where each ranked name starts, and the end
    mutable std::vector<std::uint32_t> ranked_set_;      // each ranked entry's set code in set_codes_
    mutable std::vector<std::string_view> set_codes_;    // the distinct set codes
    mutable bool ranked_ = false;
};

// The hits of the last search (SearchResults), as positions in the card database in database
// order. With no hits (or the unfiltered listing) it reads as the one unnamed record; hits of a
// database that has changed since read the same way.
class SearchHits {
public:
    explicit SearchHits(const CardStore& db) : db_(&db) {}
    SearchHits(const SearchHits&) = delete;
    SearchHits& operator=(const SearchHits&) = delete;

    // Back to the one unnamed record.
    void clear();
    // The hits of a search over the database as it is now.
    void assign(std::vector<std::uint32_t> positions);

    // The positions; empty when there are none.
    const std::vector<std::uint32_t>& positions() const;
    // Whether the positions rise, as a search leaves them.
    bool ascending() const { return ascending_; }
    // As the array it stands for: at least one element.
    std::size_t size() const;
    CardView operator[](std::size_t i) const;

    using iterator = IndexIterator<SearchHits>;
    iterator begin() const { return {this, 0}; }
    iterator end() const { return {this, size()}; }

private:
    const CardStore* db_;
    std::vector<std::uint32_t> at_;
    std::uint64_t db_generation_ = 0;
    bool ascending_ = true;
};

}  // namespace tw
