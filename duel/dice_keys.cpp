// The die and the coin, whose outcome the peer learns only from the duel log, and the window's
// keyboard shortcuts.
#include <string>

#include "cards/duel_log.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/rt.hpp"

namespace tw::win {

namespace {

constexpr int kF1 = 112;
constexpr int kF11 = 122;

// What a key does: the menu item whose action it runs.
struct Shortcut {
    int key;
    MenuItem FormA::*item;
};

// With a Ctrl key held. The F keys work with or without it.
constexpr Shortcut kCtrlShortcuts[] = {
    {'Y', &FormA::Deck},        {'D', &FormA::drawcard},       {'Q', &FormA::quit},
    {'T', &FormA::DiscardTop},  {'K', &FormA::searchdeck},     {'G', &FormA::SearchTrash},
    {'P', &FormA::NextPhase},   {'R', &FormA::RollDice},       {'S', &FormA::Shuffle},
    {'O', &FormA::FlipDeck},    {'I', &FormA::SearchYourRFG},  {'W', &FormA::DrawAndShow},
    {'E', &FormA::End_Turn},    {'F', &FormA::flipcoin},       {'U', &FormA::SearchFusionDeck},
};

constexpr MenuItem FormA::*kMacroKeys[] = {
    &FormA::Macro1, &FormA::Macro2, &FormA::Macro3, &FormA::Macro4, &FormA::Macro5,
    &FormA::Macro6, &FormA::Macro7, &FormA::Macro8, &FormA::Macro9,
};

}  // namespace

void FormA::RollDice_Click() {
    const std::int32_t n = RandomInt(tw_, 1, 6);
    AddChat(tw_, tw_.prefs.UserName + " has rolled a " + rt::cstr(n), "Game", true);
}

void FormA::flipcoin_Click() {
    AddChat(tw_, tw_.prefs.UserName + (FlipCoin(tw_) ? " flipped heads" : " flipped tails"), "Game", true);
}

// Each key runs its item's action once, whether or not the item could be reached in a menu
// now; an item whose action is not built yet does nothing.
MenuItem* FormA::ShortcutItem(int KeyCode, bool ctrl) {
    if (KeyCode >= kF1 && KeyCode < kF1 + 9) return &(this->*kMacroKeys[KeyCode - kF1]);
    if (KeyCode == kF11) return &Macro10;
    if (!ctrl) return nullptr;
    for (const Shortcut& s : kCtrlShortcuts)
        if (s.key == KeyCode) return &(this->*s.item);
    return nullptr;
}

void FormA::Form_KeyDown(int KeyCode, int) {
    if (MenuItem* item = ShortcutItem(KeyCode, IsCtrlDown(tw_, 3))) item->Click();
}

bool FormA::WireDiceAndKeys() {
    RollDice.Click = [this] { RollDice_Click(); };
    flipcoin.Click = [this] { flipcoin_Click(); };
    // Every key pressed in the window reaches its shortcuts, whichever control has the focus.
    set_key_preview(true);
    KeyDown = [this](int key, int shift) { Form_KeyDown(key, shift); };
    return true;
}

}  // namespace tw::win
