#pragma once
// The deck list: one text line per card line ("<count> <set> <name>"), comment line ("/...")
// or the side-deck marker. Edits are planned on a copy of the lines and applied only when
// nothing refuses them, so a refused edit leaves the list as it was.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {
class Tablewright;

inline constexpr std::string_view kSideDeck = "-SIDE DECK-";

// A card line taken apart. The name is the text after the second blank, so set codes of any
// length work.
struct DeckLine {
    int count = 0;
    std::string set;
    std::string name;
};
// nullopt for comment lines, the marker and lines that are not "<digits> <set> <name>".
std::optional<DeckLine> ParseDeckLine(const std::string& line);
bool IsCommentLine(const std::string& line);

// Index of the first line that is exactly the marker; nullopt when there is none.
std::optional<int> MarkerIndex(const std::vector<std::string>& lines);
// The marker's index, 0 when there is none (as callers that cannot tell the two apart expect).
std::int32_t FindSideDeck(const std::vector<std::string>& lines);
// Lines [0, end) are the deck: up to the marker, or every line when there is none.
int DeckPartEnd(const std::vector<std::string>& lines);

enum class DeckRegion { Deck, Side };

// How a refused add is told: through ShowMessageDirect, or a plain box titled "Tablewright".
enum class Notice { Direct, Plain };

struct AddPlan {
    bool changed = false;        // lines holds the list after the add
    std::vector<std::string> lines;
    // The same change as one edit of the list: line `index` replaced, or inserted there (after
    // the marker was appended, for a list that had lost it).
    int index = -1;
    bool insert = false;
    bool append_marker = false;
    std::string message;         // a refusal; "" when accepted
    Notice notice = Notice::Direct;
};
// Adding one copy of (set, name) with the ban-list limit `limit` (0 forbidden .. 3 unlisted).
// At most 3 copies of a printing in deck and side deck together; no line of the name may pass
// the limit. Raises a line of the name in the region, else inserts "1 <Set> <name>" as the
// region's last deck line or first side line.
AddPlan PlanAdd(const std::vector<std::string>& lines, const std::string& set,
                const std::string& name, int limit, DeckRegion region);

// Taking one copy off line `index`: a comment goes whole, the marker stays, a card line of one
// copy goes, else its count drops by one. nullopt when nothing changes.
std::optional<std::vector<std::string>> PlanTakeOff(const std::vector<std::string>& lines,
                                                    int index);

// "1 " + the set code with only its first letter in capitals + " " + the name.
std::string NewDeckLine(const std::string& set, const std::string& name);

}  // namespace tw
