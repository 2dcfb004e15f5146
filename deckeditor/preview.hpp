#pragma once
// The deck editor's card preview: finding the card of a result-grid row or a deck-list line,
// and filling the panel with its text, or its framed picture and labels.
#include <optional>
#include <string>

namespace platform {
class Grid;
class Label;
class ListBox;
class PictureBox;
class RichTextBox;
}  // namespace platform

namespace tw {
class Tablewright;

// The description label shows at most this many characters, then "...".
inline constexpr int kPreviewDescLimit = 320;

// The pieces of the panel a preview fills.
struct CardPreview {
    platform::RichTextBox& selectedcard;
    platform::PictureBox& Image1;
    platform::Label& lblName;
    platform::Label& lblStats;
    platform::Label& lblDesc;
    platform::Label& Label32;  // "[Toggle Display]"
    platform::Label& Label33;  // "[View Rulings]"
};

struct PreviewTarget {
    std::string set_code;
    std::string name;
    bool operator==(const PreviewTarget&) const = default;
};

// The last click on the grid landed on its header row, which leaves the current row where it
// was: such a click is about no card.
bool ClickedOnHeader(const platform::Grid& grid);

// The card of the grid's current row; none on the header row or while a search runs.
std::optional<PreviewTarget> GridPreviewTarget(const Tablewright& tw, const platform::Grid& grid);
// The card of a deck-list card line ("count set name..."); none for comments, the side-deck
// marker, an empty selection or a line without both fields.
std::optional<PreviewTarget> DeckLinePreviewTarget(const std::string& line);

// A description cut to the label's limit, trailing blanks dropped, then "...".
std::string CutPreviewDesc(const std::string& desc);

// Looks the card up and fills the panel; the text/picture switch stays as it is.
void PreviewCard(Tablewright& tw, CardPreview& panel, const PreviewTarget& target);

void PreviewFromGrid(Tablewright& tw, CardPreview& panel, const platform::Grid& grid);
// A comment line becomes the list's tool tip; any other click clears it first.
void PreviewFromDeckList(Tablewright& tw, CardPreview& panel, platform::ListBox& list);

}  // namespace tw
