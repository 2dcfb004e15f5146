#pragma once
// The duel window's own state: life points, the turn phase, the chat colours and the window's
// flashing.
#include <cstdint>

namespace tw {

struct DuelWindowState {
    std::int32_t FlashFlags = 0;
    bool AttentionShown = false;
    std::int32_t MyLP = 8000;
    std::int32_t OppLP = 8000;
    std::uint32_t ChatForeColor = 0;  // the chat text colour; a skin makes it white
    std::uint32_t ChatBackColor = 0xFFFFFF;
    bool ChatInMainWindow = false;
    std::int32_t Phase = 0;  // own turn phase: 1 Draw .. 6 End, 7 the opponent's turn
    std::int32_t SelectedNote = 0;  // the sticky note pressed last
    bool UserMinimized = false;     // the player minimised the duel window with its own control
};

}  // namespace tw
