#include "cards/set_file.hpp"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "platform/rt.hpp"

namespace tw {

namespace {

constexpr std::string_view kRecordEnd = "|\r\n";

// Pieces of s between separators, as views into s (no copies: the load stays linear).
void split_views(std::string_view s, char sep, std::vector<std::string_view>& out) {
    out.clear();
    std::size_t start = 0;
    for (;;) {
        std::size_t at = s.find(sep, start);
        if (at == std::string_view::npos) {
            out.push_back(s.substr(start));
            return;
        }
        out.push_back(s.substr(start, at - start));
        start = at + 1;
    }
}

std::optional<std::int16_t> set_number(std::string_view text) {
    if (!rt::is_number(text)) return std::nullopt;  // cheap refusal before the throwing parse
    std::optional<std::int16_t> n;
    rt::try_step([&] { n = rt::to_int16(text); });
    return n;
}

// For a lower-case ASCII word, as rt::contains_ci (no other byte lower-cases into ASCII)
// without copying the text.
bool contains_word_ci(std::string_view s, std::string_view lower_word) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    auto it = std::search(s.begin(), s.end(), lower_word.begin(), lower_word.end(),
                          [&](char a, char b) { return lower(static_cast<unsigned char>(a)) == b; });
    return it != s.end();
}

bool is_extra_deck_group(std::string_view group) {
    return contains_word_ci(group, "fusion") || contains_word_ci(group, "synchro");
}

// The number of entries a record gives: one per set code, or one empty entry.
std::size_t entries_of(std::string_view record) {
    std::size_t bar = 0, start = 0;
    for (int field = 0; field < 3; ++field) {
        bar = record.find('|', start);
        if (bar == std::string_view::npos) return 1;
        start = bar + 1;
    }
    std::size_t end = record.find('|', start);
    std::string_view codes = record.substr(start, end == std::string_view::npos ? end : end - start);
    if (codes.empty()) return 1;
    return 1 + static_cast<std::size_t>(std::count(codes.begin(), codes.end(), ';'));
}

// Calls fn(record) for every record, the last one included.
template <class F>
void for_each_record(std::string_view text, F&& fn) {
    std::size_t start = 0;
    for (;;) {
        std::size_t at = text.find(kRecordEnd, start);
        if (at == std::string_view::npos) {
            fn(text.substr(start), true);
            return;
        }
        fn(text.substr(start, at - start), false);
        start = at + kRecordEnd.size();
    }
}

struct RecordReader {
    std::vector<Card>& out;
    std::vector<std::string_view> fields, codes, numbers;

    // Appends the record's entries: one per set code, or one empty entry.
    void read(std::string_view record) {
        const std::size_t first = out.size();
        out.emplace_back();
        if (record.empty()) return;
        split_views(record, '|', fields);
        if (fields.size() < 4 || fields[3].empty()) return;
        split_views(fields[3], ';', codes);
        if (fields[2].empty()) numbers.clear();
        else split_views(fields[2], ';', numbers);
        for (std::size_t j = 0; j < codes.size(); ++j) {
            if (j > 0) out.emplace_back();
            fill(out[first + j], j);
        }
    }

    // Fills in field order and stops at the first missing piece; what was stored stays.
    void fill(Card& c, std::size_t j) {
        c.Name = std::string(fields[1]);
        auto n = j < numbers.size() ? set_number(numbers[j]) : std::nullopt;
        if (!n) return;
        c.SetNumber = *n;
        c.SetCode = std::string(codes[j]);
        if (fields.size() < 5) return;
        c.Group = rt::replace_all(fields[4], "Magic Card", "Spell Card");
        if (fields.size() < 6) return;
        c.Attribute = rt::replace_all(fields[5], "Magic", "Spell");
        std::string* rest[] = {&c.Level, &c.Icon, &c.Atk, &c.Def, &c.Desc};
        for (std::size_t f = 6; f <= 10; ++f) {
            if (fields.size() <= f) return;
            *rest[f - 6] = std::string(fields[f]);
        }
        c.Fusion = is_extra_deck_group(c.Group);
    }
};

}  // namespace

std::string_view SetFileName(std::string_view command_line) {
    return command_line == "-ocg" ? kOcgSetFileName : kSetFileName;
}

std::vector<Card> ParseSetFile(std::string_view text, const SetFileProgress& progress) {
    std::vector<Card> out;
    if (text.empty()) return out;

    // One pass to count, so that the database is allocated once at its final size.
    std::size_t separators = 0, entries = 0;
    for_each_record(text, [&](std::string_view record, bool last) {
        entries += entries_of(record);
        if (!last) ++separators;
    });
    out.reserve(entries);

    RecordReader reader{out, {}, {}, {}};
    int shown = 0;
    std::size_t i = 0;
    for_each_record(text, [&](std::string_view record, bool) {
        if (i > 0 && progress) {
            const double ratio = static_cast<double>(i) / static_cast<double>(separators);
            const int percent = static_cast<int>(rt::round_half_even(ratio * 100));
            if (percent != shown) {
                shown = percent;
                progress(percent);
            }
        }
        reader.read(record);
        ++i;
    });
    return out;
}

}  // namespace tw
