#pragma once
// Rearranging the deck list: one copy between deck and side deck, a line up or down, and a line
// dropped onto the list. Each move is planned on the lines as a short series of edits, so that a
// refused move leaves the list untouched and an accepted one changes only the lines it names.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {
class DataObject;
class ListBox;
}  // namespace platform

namespace tw {

struct ListEdit {
    enum class Kind { Set, Insert, Remove };
    Kind kind;
    int index;
    std::string text;  // Set and Insert
};
void ApplyEdits(std::vector<std::string>& lines, const std::vector<ListEdit>& edits);
void ApplyEdits(platform::ListBox& list, const std::vector<ListEdit>& edits);

enum class CopyMove { ToSide, ToDeck };

struct CopyMovePlan {
    std::vector<ListEdit> edits;  // empty: the list stays as it is
    std::string message;          // "" when there is nothing to tell
    bool plain_box = false;       // told through the box that hides hax first
};

// The card name of a deck line as the moves compare it: the text after the second blank,
// lower-cased. nullopt for comment lines, the marker and lines without a count, set and name.
std::optional<std::string> MoveName(const std::string& line);

// One copy of the selected line (index `selected`, -1 for none) moves to the other region.
// `set_chosen` is whether the set choice shows an entry (asked of moves to the side deck only);
// `limit_of` gives the ban-list limit of a lower-cased name. A line of the name holding more
// copies than its limit refuses the move; otherwise the first line of the same printing in the
// other region gains the copy, or a new line of one copy is made there: the last line of the
// list for the side deck, the line above the marker for the deck. A list without a marker is
// all deck; a move to the side deck gives it its marker back at the end.
CopyMovePlan PlanCopyMove(const std::vector<std::string>& lines, int selected, CopyMove move,
                          bool set_chosen, const std::function<int(const std::string&)>& limit_of);

// The longest line that text from outside or a typed comment makes.
inline constexpr std::size_t kMaxDroppedLine = 200;

// Dropped data as a deck line: its plain text up to the first line end, at most 200 bytes;
// nullopt for data without a plain-text form and for an empty line.
std::optional<std::string> DroppedLine(const platform::DataObject& data);

// The dropped line goes in below line `target`; then the line it was dragged from goes: line
// `from` when the drag started in the list, else the first other line of exactly that text, from
// the top. Nothing for a target that is no line.
std::vector<ListEdit> PlanDrop(const std::vector<std::string>& lines, int target,
                               const std::string& dropped, std::optional<int> from = std::nullopt);

}  // namespace tw
