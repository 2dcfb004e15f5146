// What closing the duel window does once the player has agreed: the table is cleared, every
// other window is closed in its order, the game log is saved and the closing line written, and
// the program ends.
#include <functional>

#include "cards/about.hpp"
#include "cards/duel_log.hpp"
#include "cards/game_log.hpp"
#include "cards/settings_window.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/deckmaker.hpp"
#include "duel/calc.hpp"
#include "duel/forma.hpp"
#include "net/connect3.hpp"
#include "net/listenwindow.hpp"
#include "net/macro_window.hpp"
#include "platform/rt.hpp"
#include "table/field_pictures.hpp"

namespace tw::win {

namespace {

constexpr int kLastSlot = 24;

template <class T>
void CloseIfOpen(platform::FormSlot<T>& window) {
    if (window.loaded()) window.unload();
}

}  // namespace

// The one place that ends the program from the duel window. Each step that fails is passed
// over, so the program always ends.
void FormA::Shutdown() {
    for (int slot = 0; slot <= kLastSlot; ++slot)
        rt::try_step([&] { RemoveFieldCard(tw_, static_cast<std::int16_t>(slot)); });
    CloseOtherWindows();
    if (tw_.log.LoggingOn) rt::try_step([&] { SaveLogNow(tw_); });
    // Sent only while a connection is still open; the dialogs above have closed theirs.
    rt::try_step([&] { AddChat(tw_, tw_.prefs.UserName + " has quit", "Game", true); });
    // The program ends here: a save that would wait for its second never comes.
    if (tw_.log.LoggingOn) rt::try_step([&] { SaveLogNow(tw_); });
    tw_.app.end();
}

// The other windows, in the order the shutdown closes them; one that is not open is passed
// over. A window that is built later takes its place in this list.
void FormA::CloseOtherWindows() {
    const std::function<void()> windows[] = {
        [&] { CloseIfOpen(tw_.calc); },
        [&] { CloseIfOpen(tw_.MacroWindow); },
        [&] { CloseIfOpen(tw_.connect3); },
        [&] { CloseIfOpen(tw_.settings); },
        [&] { CloseIfOpen(tw_.listenwindow); },
        [&] { CloseIfOpen(tw_.about); },
        [&] {
            // Its own closing would end the program before the log is saved.
            if (auto* editor = tw_.DeckMaker.peek()) editor->ClosingWithDuelWindow = true;
            CloseIfOpen(tw_.DeckMaker);
        },
        [&] {
            if (tw_.piles.PileViewerVisible()) tw_.piles.ClosePileViewer();
        },
    };
    for (const auto& close : windows) rt::try_step(close);
}

}  // namespace tw::win
