#pragma once
// The hand list and the moves of one card out of the hand; the text a drag carries.
#include <string>
#include <string_view>

namespace tw {
class Tablewright;

// Drag texts: the kind ("hand" or "view", exact case), a blank, the source list's item.
inline constexpr std::string_view kHandDrag = "hand";
inline constexpr std::string_view kViewDrag = "view";
std::string DragText(std::string_view kind, const std::string& item);
// The first four characters.
std::string DragTextKind(const std::string& text);
// From the sixth character on.
std::string DragTextItem(const std::string& text);

// Takes the hand list's selected card out of the hand: the last card takes its place (A, B,
// C, D less B gives A, D, C), then the hand is compacted. Nothing when none is selected.
void RemoveSelectedHandCard(Tablewright& tw);

}  // namespace tw
