#pragma once
// The player's piles and the drawing state, and the pile viewer as the pile moves see it.
#include <cstdint>
#include <functional>
#include <string>

#include "cards/card.hpp"
#include "platform/rt_array.hpp"

namespace tw {

struct PileState {
    // Element 0 of each stays empty; as the duel window's load leaves them.
    rt::Array<Card> DeckCards{60};  // element 1 is the top
    rt::Array<Card> HandCards{0};   // element i + 1 is item i of the hand list
    rt::Array<Card> TrashCards{0};  // graveyard and removed-from-game pile
    rt::Array<Card> ExtraDeckCards{0};
    std::int32_t DrawnCount = 0;
    std::int32_t DeckRemaining = 0;
    bool DeckFaceUp = false;
    bool DeckLoaded = false;
    Card LastDrawnCard;
    bool PlayedOffline = false;

    // The pile viewer: what it shows ("" while no look is open), whether it is shown, and its
    // refresh (its load run again; a viewer not yet loaded is loaded hidden). The program
    // object points them at the viewer window; a test may stand in.
    std::string PileViewMode;
    std::function<bool()> PileViewerVisible = [] { return false; };
    std::function<void()> RefreshPileViewer = [] {};
    std::function<void()> ClosePileViewer = [] {};  // unloads it, with its closing lines
};

}  // namespace tw
