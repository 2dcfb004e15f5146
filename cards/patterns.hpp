#pragma once
// Name patterns of the deck editor's filter and the ban list's copy limits.
#include <cstdint>
#include <string>

namespace tw {
class Tablewright;

// True when every "%"-separated piece of pattern occurs in text in order, each next piece
// searched from one character after where the previous one began. Letter case counts.
bool MatchesPattern(const std::string& text, const std::string& pattern);

// Copies of the named card that tw.editor.BanList allows: 0, 1 or 2 from its entry, 3 when the card is
// not on it (or on any failure). Examined entries are left normalised in the list.
std::int16_t GetBanStatus(Tablewright& tw, const std::string& name);

// A name with every "'", "`", blank and "-" removed.
std::string NormaliseBanName(const std::string& name);

}  // namespace tw
