#include "cards/patterns.hpp"

#include <algorithm>
#include <cctype>

#include "program/tablewright.hpp"
#include "platform/rt.hpp"

namespace tw {

bool MatchesPattern(const std::string& text, const std::string& pattern) {
    const auto pieces = rt::split(pattern, "%");
    int start = 1;
    for (int i = 0; i <= pieces.ubound(); ++i) {
        const int at = rt::instr(start, text, pieces.at(i));
        if (at == 0) return false;
        // From one past where the piece began, so pieces may overlap.
        start = at + 1;
    }
    return true;
}

std::string NormaliseBanName(const std::string& name) {
    std::string out;
    out.reserve(name.size());
    for (char c : name)
        if (c != '\'' && c != '`' && c != ' ' && c != '-') out += c;
    return out;
}

std::int16_t GetBanStatus(Tablewright& tw, const std::string& name) {
    try {
        const std::string wanted = NormaliseBanName(name);
        for (auto& entry : tw.editor.BanList) {
            entry = NormaliseBanName(entry);
            if (!rt::equals_ci(rt::mid(entry, 3), wanted)) continue;
            const unsigned char first = entry.empty() ? 0 : static_cast<unsigned char>(entry[0]);
            // No list allows more than the three copies every deck may hold.
            if (std::isdigit(first)) return static_cast<std::int16_t>(std::min(first - '0', 3));
        }
    } catch (const std::exception&) {
    }
    return 3;
}

}  // namespace tw
