#pragma once
// A person's hand on a field card: the press that selects it and opens its menu, the hover
// window, the drag with the snap into the grid, and the name label's ATK/DEF.
namespace platform {
struct PointTw;
}

namespace tw {
class Tablewright;

// Shows, hides and captions the items of the card menu CardInPlay for the card in that slot:
// what the player may do to it depends on whose it is, its face, its kind, its counters and
// the opponent's monsters it may attack.
void PrepareCardInPlay(Tablewright& tw, int slot);

// Where the play surface's top-left corner lies on the screen, in twips.
platform::PointTw PlaySurfaceOnScreen(Tablewright& tw);

}  // namespace tw
