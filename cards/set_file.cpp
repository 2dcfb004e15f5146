#include "cards/set_file.hpp"

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

bool is_extra_deck_group(std::string_view group) {
    return rt::contains_ci(group, "fusion") || rt::contains_ci(group, "synchro");
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

    std::size_t separators = 0;
    for (std::size_t at = text.find(kRecordEnd); at != std::string_view::npos;
         at = text.find(kRecordEnd, at + kRecordEnd.size()))
        ++separators;
    out.reserve(separators + 1);

    RecordReader reader{out, {}, {}, {}};
    int shown = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= separators; ++i) {
        if (i > 0 && progress) {
            const double ratio = static_cast<double>(i) / static_cast<double>(separators);
            const int percent = static_cast<int>(rt::round_half_even(ratio * 100));
            if (percent != shown) {
                shown = percent;
                progress(percent);
            }
        }
        std::size_t at = text.find(kRecordEnd, start);
        std::string_view record = at == std::string_view::npos ? text.substr(start)
                                                               : text.substr(start, at - start);
        reader.read(record);
        if (at != std::string_view::npos) start = at + kRecordEnd.size();
    }
    return out;
}

}  // namespace tw
