#pragma once
// Deck files (".dek"): ANSI text, CR LF between lines, one line per deck-list line. A card line
// is count "|" set code "|" name; "//" starts a comment; "-SIDE DECK-" marks the side deck.
#include <cstddef>
#include <string>
#include <vector>

namespace tw {
class Tablewright;

// A deck of a few hundred lines is a few kilobytes; a file above this is no deck.
inline constexpr std::size_t kMaxDeckFileBytes = std::size_t{1} << 20;

struct DeckFileRead {
    enum class Status { Loaded, Invalid, Error };
    Status status = Status::Invalid;
    std::vector<std::string> lines;  // the deck list to show, when Loaded
};

// The deck list a file's text gives (its "&amp;" already decoded). Repeated lines of one side
// are summed, the deck is cut so that deck and side deck hold at most three copies of a
// printing together, and each line to its ban-list limit; the marker is added at the end when
// the file has none.
DeckFileRead ReadDeckText(Tablewright& tw, const std::string& text);

// The file text of a deck list. Card lines become count|set|name, comment lines are kept as
// they are; a trailing marker (an empty side deck) is left out.
std::string DeckFileText(const std::vector<std::string>& list_lines);

// The chosen save name, with ".dek" appended unless it holds ".dek" somewhere.
std::string DeckSavePath(const std::string& chosen);

}  // namespace tw
