#include "cards/set_file.hpp"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <optional>

#include "platform/rt.hpp"

namespace tw {

namespace {

using Span = CardStore::Span;

// The record ends: the offset of the "|" of each "|" CR LF, found from the line feeds.
std::vector<std::uint32_t> record_ends(std::string_view text) {
    std::vector<std::uint32_t> ends;
    const char* const base = text.data();
    std::size_t from = 0;
    for (;;) {
        const void* lf = from < text.size() ? std::memchr(base + from, '\n', text.size() - from) : nullptr;
        if (!lf) break;
        const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(lf) - base);
        // A record end never overlaps the one before (a record may be empty: "|" CR LF "|" CR LF).
        const std::size_t earliest = ends.empty() ? 0 : ends.back() + 3;
        if (at >= earliest + 2 && base[at - 1] == '\r' && base[at - 2] == '|')
            ends.push_back(static_cast<std::uint32_t>(at - 2));
        from = at + 1;
    }
    return ends;
}

// Plain digits, as nearly every set number is; anything else by the general number rule.
std::optional<std::int16_t> set_number(std::string_view text) {
    if (!text.empty() && text.size() <= 5 &&
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        int v = 0;
        for (char c : text) v = v * 10 + (c - '0');
        if (v <= 32767) return static_cast<std::int16_t>(v);
        return std::nullopt;
    }
    if (!rt::is_number(text)) return std::nullopt;  // cheap refusal before the throwing parse
    std::optional<std::int16_t> n;
    rt::try_step([&] { n = rt::to_int16(text); });
    return n;
}

// Every `from` in the piece of text becomes `to`, of the same length, in place.
void rewrite(std::string& text, Span s, std::string_view from, std::string_view to) {
    const std::string_view piece(text.data() + s.at, s.size);
    for (std::size_t at = piece.find(from); at != std::string_view::npos; at = piece.find(from, at + from.size()))
        text.replace(s.at + at, to.size(), to);
}

// The number of entries a record gives: one per set code, or one empty entry.
std::size_t entries_of(std::string_view record) {
    std::size_t start = 0;
    for (int field = 0; field < 3; ++field) {
        const std::size_t bar = record.find('|', start);
        if (bar == std::string_view::npos) return 1;
        start = bar + 1;
    }
    const std::size_t end = record.find('|', start);
    const std::string_view codes = record.substr(start, end == std::string_view::npos ? end : end - start);
    if (codes.empty()) return 1;
    return 1 + static_cast<std::size_t>(std::count(codes.begin(), codes.end(), ';'));
}

class RecordReader {
public:
    RecordReader(std::string& text, std::vector<CardStore::Entry>& out) : text_(text), out_(out) {}

    // Appends the record's entries: one per set code, or one empty entry.
    void read(std::size_t begin, std::size_t end) {
        const std::size_t first = out_.size();
        out_.emplace_back();
        if (begin == end) return;
        cut(begin, end, '|', fields_, kFieldsRead);
        if (fields_.size() < 4 || fields_[3].size == 0) return;
        cut(fields_[3].at, fields_[3].at + fields_[3].size, ';', codes_, SIZE_MAX);
        numbers_.clear();
        // Numbers past the last set code are ignored: they stay together in one piece after it.
        if (fields_[2].size > 0) cut(fields_[2].at, fields_[2].at + fields_[2].size, ';', numbers_, codes_.size() + 1);
        if (fields_.size() > 4) rewrite(text_, fields_[4], "Magic Card", "Spell Card");
        if (fields_.size() > 5) rewrite(text_, fields_[5], "Magic", "Spell");
        const bool extra_deck = fields_.size() > kLastField && IsExtraDeckGroup(piece(fields_[4]));
        const CardKind kind = fields_.size() > 4 ? KindOf(piece(fields_[4])) : CardKind::Monster;
        for (std::size_t j = 0; j < codes_.size(); ++j) {
            if (j > 0) out_.emplace_back();
            fill(out_[first + j], j, extra_deck, kind);
        }
    }

private:
    static constexpr std::size_t kLastField = 10;     // the card text; later fields are ignored
    static constexpr std::size_t kFieldsRead = 12;    // enough to tell that field 10 is there

    std::string_view piece(Span s) const { return {text_.data() + s.at, s.size}; }

    // The pieces of text[begin, end) between separators, at most `most` of them (the last one
    // then runs to the end).
    void cut(std::size_t begin, std::size_t end, char sep, std::vector<Span>& out, std::size_t most) const {
        out.clear();
        const char* const base = text_.data();
        std::size_t start = begin;
        while (out.size() + 1 < most) {
            const void* at = std::memchr(base + start, sep, end - start);
            if (!at) break;
            const std::size_t p = static_cast<std::size_t>(static_cast<const char*>(at) - base);
            out.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(p - start)});
            start = p + 1;
        }
        out.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end - start)});
    }

    // Fills in field order and stops at the first missing piece; what was stored stays.
    void fill(CardStore::Entry& e, std::size_t j, bool extra_deck, CardKind kind) const {
        e.name = fields_[1];
        const auto n = j < numbers_.size() ? set_number(piece(numbers_[j])) : std::nullopt;
        if (!n) return;
        e.set_number = *n;
        e.set_code = codes_[j];
        if (fields_.size() > 4) e.kind = kind;  // with the type line
        Span* in_order[] = {&e.group, &e.attribute, &e.level, &e.icon, &e.atk, &e.def, &e.desc};
        for (std::size_t f = 4; f <= kLastField; ++f) {
            if (fields_.size() <= f) return;
            *in_order[f - 4] = fields_[f];
        }
        e.fusion = extra_deck;
    }

    std::string& text_;
    std::vector<CardStore::Entry>& out_;
    std::vector<Span> fields_, codes_, numbers_;
};

}  // namespace

std::string_view SetFileName(std::string_view command_line) {
    return command_line == "-ocg" ? kOcgSetFileName : kSetFileName;
}

CardStore ParseSetFile(std::string text, const SetFileProgress& progress) {
    if (text.empty()) return {};
    if (text.size() > UINT32_MAX) return {};  // never so: whole-file reads stop at 64 MiB

    const std::vector<std::uint32_t> ends = record_ends(text);
    const std::size_t separators = ends.size();
    auto record = [&](std::size_t i) {
        const std::size_t begin = i == 0 ? 0 : ends[i - 1] + 3;
        const std::size_t end = i < separators ? ends[i] : text.size();
        return std::pair{begin, end};
    };

    // The database is allocated once at its final size.
    std::size_t entries = 0;
    for (std::size_t i = 0; i <= separators; ++i) {
        const auto [begin, end] = record(i);
        entries += entries_of(std::string_view(text).substr(begin, end - begin));
    }
    std::vector<CardStore::Entry> out;
    out.reserve(entries);

    RecordReader reader(text, out);
    int shown = 0;
    for (std::size_t i = 0; i <= separators; ++i) {
        if (i > 0 && progress) {
            const double ratio = static_cast<double>(i) / static_cast<double>(separators);
            const int percent = static_cast<int>(rt::round_half_even(ratio * 100));
            if (percent != shown) {
                shown = percent;
                progress(percent);
            }
        }
        const auto [begin, end] = record(i);
        reader.read(begin, end);
    }
    return CardStore(std::move(text), std::move(out));
}

}  // namespace tw
