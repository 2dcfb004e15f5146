// The duel window's side of the table by hand: its events wired to the field cards' handlers and
// to the menu items that act on field cards and whole piles, and the right button on a card or
// on the table (the "Gameplay" label and the Ctrl keys reach the same items).
#include "cards/errors.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/rt.hpp"

namespace tw::win {

bool FormA::WireTableByHand() {
    cardstencil.MouseDown = [this](int i, int b, int s, double x, double y) { cardstencil_MouseDown(i, b, s, x, y); };
    cardstencil.MouseMove = [this](int i, int b, int s, double x, double y) { cardstencil_MouseMove(i, b, s, x, y); };
    cardstencil.MouseUp = [this](int i, int b, int s, double x, double y) { cardstencil_MouseUp(i, b, s, x, y); };
    Label5.MouseDown = [this](int i, int b, int s, double x, double y) { Label5_MouseDown(i, b, s, x, y); };
    Label5.MouseMove = [this](int i, int b, int s, double x, double y) { Label5_MouseMove(i, b, s, x, y); };

    struct Item {
        platform::Menu& item;
        void (FormA::*click)();
    };
    const Item items[] = {
        // The card menu.
        {AddCounter, &FormA::AddCounter_Click},
        {RemoveCounter, &FormA::RemoveCounter_Click},
        {FlipCardOver, &FormA::FlipCardOver_Click},
        {TurnCardHorizontal, &FormA::TurnCardHorizontal_Click},
        {flipNturn, &FormA::flipNturn_Click},
        {GiveToPlayer1, &FormA::GiveToPlayer1_Click},
        {GiveToPlayer2, &FormA::GiveToPlayer2_Click},
        {activateEffect, &FormA::activateEffect_Click},
        {AttackLP, &FormA::AttackLP_Click},
        {field2deck, &FormA::field2deck_Click},
        {putintrash, &FormA::putintrash_Click},
        {ReturnToHand2, &FormA::ReturnToHand2_Click},
        {RemoveFromGameFromPlay, &FormA::RemoveFromGameFromPlay_Click},
        // Gameplay: the deck operations and the whole-pile moves.
        {Shuffle, &FormA::Shuffle_Click},
        {DiscardTop, &FormA::DiscardTop_Click},
        {FlipDeck, &FormA::FlipDeck_Click},
        {Hand2Deck, &FormA::Hand2Deck_Click},
        {Hand2GY, &FormA::Hand2GY_Click},
        {Hand2RFG, &FormA::Hand2RFG_Click},
        {Deck2Hand, &FormA::Deck2Hand_Click},
        {Deck2GY, &FormA::Deck2GY_Click},
        {Deck2RFG, &FormA::Deck2RFG_Click},
        {GY2Hand, &FormA::GY2Hand_Click},
        {GY2Deck, &FormA::GY2Deck_Click},
        {GY2RFG, &FormA::GY2RFG_Click},
        {RFG2Hand, &FormA::RFG2Hand_Click},
        {RFG2Deck, &FormA::RFG2Deck_Click},
        {RFG2GY, &FormA::RFG2GY_Click},
    };
    for (const Item& i : items) {
        auto click = i.click;
        i.item.Click = [this, click] { (this->*click)(); };
    }
    Slot1.Click = [this](int i) { Slot1_Click(i); };
    TokenRoot.Click = [this](int i) { TokenRoot_Click(i); };
    playsurface.MouseDown = [this](int b, int s, double x, double y) { playsurface_MouseDown(b, s, x, y); };
    return true;
}

}  // namespace tw::win
