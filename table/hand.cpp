#include "table/hand.hpp"

#include <cstdint>
#include <string>

#include "cards/card_info.hpp"
#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/host.hpp"
#include "platform/rt.hpp"
#include "table/field.hpp"
#include "table/pile_viewer.hpp"
#include "table/piles.hpp"

namespace tw {

std::string DragText(std::string_view kind, const std::string& item) {
    return std::string(kind) + " " + item;
}

std::string DragTextKind(const std::string& text) { return rt::left(text, 4); }

std::string DragTextItem(const std::string& text) { return rt::mid(text, 6); }

void RemoveSelectedHandCard(Tablewright& tw) {
    auto& list = tw.FormA().hand;
    const int k = list.list_index();
    if (k < 0) return;
    const int n = list.list_count();
    auto& cards = tw.piles.HandCards;
    list.set_list(k, list.list(n - 1));
    cards[k + 1] = cards[n];
    cards[n].Name.clear();
    list.remove_item(n - 1);
    CompactHand(tw);
}

namespace {

enum class Play { FaceUp, FaceDown, FaceDownSideways };

void PutSelectedIntoPlay(Tablewright& tw, Play how) {
    if (OpenControl(tw, true, -1, false) == kNoFreeSlot) {
        ShowMessage(tw, "Sorry there cannot be more then 25 cards total in play");
        return;
    }
    if (how == Play::FaceDown) RecountDeck(tw);

    auto& duel = tw.FormA();
    const int k = duel.hand.list_index();
    if (k < 0) return;
    // A copy goes onto the table, so the hand entry stays as it was if nothing is placed.
    Card card = tw.piles.HandCards[k + 1];
    if (!CanPlaceCard(tw, card)) return;
    card.Flipped = how != Play::FaceUp;
    card.Horizontal = how == Play::FaceDownSideways;

    std::int32_t owner = how == Play::FaceDownSideways ? 0 : tw.net.PlayerNumber;
    if (PutCardOnField(tw, card, owner) == 0) return;

    RemoveSelectedHandCard(tw);
    switch (how) {
        case Play::FaceUp:
            UpdateStats(tw);
            break;
        case Play::FaceDown:
            AddChat(tw, tw.prefs.UserName + " placed a card from their hand face down.", "Game", true);
            break;
        case Play::FaceDownSideways:
            AddChat(tw, tw.prefs.UserName + " placed a card from their hand face down and horizontal.", "Game",
                    true);
            break;
    }
}

// The selected hand card, or null with none selected.
const Card* SelectedHandCard(Tablewright& tw) {
    const int k = tw.FormA().hand.list_index();
    return k < 0 ? nullptr : &tw.piles.HandCards[k + 1];
}

void ToTrash(Tablewright& tw, bool removed_from_game) {
    const Card* selected = SelectedHandCard(tw);
    if (!selected) return;
    Card c = *selected;
    AddChat(tw,
            removed_from_game ? tw.prefs.UserName + " removed " + CardMarkup(c) + " from the game."
                              : tw.prefs.UserName + " put " + CardMarkup(c) + " from their hand into the graveyard",
            "Game", true);
    c.Horizontal = false;
    c.Flipped = false;
    c.RemovedFromGame = removed_from_game;
    AppendToTrash(tw, std::move(c));
    RemoveSelectedHandCard(tw);
    UpdateStats(tw);
    RefreshPileViewerIfVisible(tw);
}

enum class IntoDeck { Top, Bottom, ShuffledFaceUp };

void ToDeck(Tablewright& tw, IntoDeck where) {
    const Card* selected = SelectedHandCard(tw);
    if (!selected) return;
    Card c = *selected;
    c.Horizontal = false;
    c.Flipped = where == IntoDeck::ShuffledFaceUp;
    PutCardInDeck(tw, c, where == IntoDeck::Bottom ? DeckEnd::Bottom : DeckEnd::Top);

    const std::string card = CardMarkup(c);
    switch (where) {
        case IntoDeck::Top:
            AddChat(tw, tw.prefs.UserName + " put " + card + " from their hand to the top of the deck.", "Game", true);
            break;
        case IntoDeck::Bottom:
            AddChat(tw, tw.prefs.UserName + " put " + card + " from their hand to the bottom of their deck", "Game",
                    true);
            break;
        case IntoDeck::ShuffledFaceUp:
            AddChat(tw, tw.prefs.UserName + " put " + card + " from their hand to their deck FACE UP", "Game", true);
            break;
    }
    RemoveSelectedHandCard(tw);
    if (where == IntoDeck::ShuffledFaceUp) ShuffleDeck(tw);
    UpdateStats(tw);
    RefreshPileViewerForDeck(tw);
}

}  // namespace
}  // namespace tw

namespace tw::win {

bool FormA::WirePilesAndHand() {
    hand.Click = [this] { hand_Click(); };
    hand.DblClick = [this] { hand_DblClick(); };
    hand.MouseDown = [this](int button, int shift, double x, double y) { hand_MouseDown(button, shift, x, y); };
    hand.OLEStartDrag = [this](platform::DataObject& data, int& allowed) { hand_OLEStartDrag(data, allowed); };
    hand.OLEDragDrop = [this](platform::DataObject& data, int& effect, int button, int shift, double x,
                              double y) { hand_OLEDragDrop(data, effect, button, shift, x, y); };
    // A drag gesture starts the drag by itself, so a press never blocks clicks in a drag.
    hand.set_ole_drag_automatic(true);

    PutIntoPlay.Click = [this] { PutIntoPlay_Click(); };
    putintoplayfacedown.Click = [this] { putintoplayfacedown_Click(); };
    putintoplayfacedownhoriz.Click = [this] { putintoplayfacedownhoriz_Click(); };
    putintrash2.Click = [this] { putintrash2_Click(); };
    putontopofdeck.Click = [this] { putontopofdeck_Click(); };
    BottomOfDeck.Click = [this] { BottomOfDeck_Click(); };
    ShuffleIntoDeckFaceUp.Click = [this] { ShuffleIntoDeckFaceUp_Click(); };
    RemoveFromGameFromHand.Click = [this] { RemoveFromGameFromHand_Click(); };
    DiscardRandom.Click = [this] { DiscardRandom_Click(); };
    drawcard.Click = [this] { drawcard_Click(); };
    DrawAndShow.Click = [this] { DrawAndShow_Click(); };
    return true;
}

void FormA::hand_Click() {
    const int i = hand.list_index() + 1;
    if (i >= 1 && i <= tw_.piles.HandCards.ubound()) ShowCardInfo(tw_, tw_.piles.HandCards[i], selectedcard);
}

void FormA::hand_DblClick() { PutIntoPlay_Click(); }

void FormA::hand_MouseDown(int Button, int /*Shift*/, double /*X*/, double Y) {
    if (Button != 2) return;
    const int k = hand.index_at(Y);
    if (k >= 0) hand.set_list_index(k);
    // Below the last item an earlier selection still gets its menu.
    if (!hand.text().empty()) popup_menu(cardinhand);
}

void FormA::hand_OLEStartDrag(platform::DataObject& Data, int& /*AllowedEffects*/) {
    Data.set_data(DragText(kHandDrag, hand.text()), platform::DataObject::TextFormat);
}

void FormA::hand_OLEDragDrop(platform::DataObject& Data, int& /*Effect*/, int /*Button*/, int /*Shift*/,
                             double /*X*/, double /*Y*/) {
    // A row of the pile viewer comes into the hand; every other drag, the hand's own included,
    // takes nothing in.
    if (DragTextKind(Data.get_data(platform::DataObject::TextFormat)) != kViewDrag) return;
    tw_.view().PutintoHand_Click();
}

void FormA::PutIntoPlay_Click() { PutSelectedIntoPlay(tw_, Play::FaceUp); }
void FormA::putintoplayfacedown_Click() { PutSelectedIntoPlay(tw_, Play::FaceDown); }
void FormA::putintoplayfacedownhoriz_Click() { PutSelectedIntoPlay(tw_, Play::FaceDownSideways); }

void FormA::putintrash2_Click() {
    Trapped("PutIntoTrash2", [&] { ToTrash(tw_, false); });
}

void FormA::RemoveFromGameFromHand_Click() {
    Trapped("RFG", [&] { ToTrash(tw_, true); });
}

void FormA::putontopofdeck_Click() {
    Trapped("PutOnTopOfDeck", [&] { ToDeck(tw_, IntoDeck::Top); });
}

void FormA::BottomOfDeck_Click() {
    Trapped("BottomOfDeck_click", [&] { ToDeck(tw_, IntoDeck::Bottom); });
}

void FormA::ShuffleIntoDeckFaceUp_Click() {
    Trapped("ShuffleInFU", [&] { ToDeck(tw_, IntoDeck::ShuffledFaceUp); });
}

void FormA::DiscardRandom_Click() {
    Trapped("DiscardRandom", [&] {
        auto none = [&] {
            ShowMessage(tw_, "You have no card to Randomly Discard");
            AddChat(tw_, tw_.prefs.UserName + " has no cards in their hand to Randomly Discard", "Game", true);
        };
        if (hand.list_count() == 0) return none();
        CompactHand(tw_);
        const int n = hand.list_count();
        if (n == 0) return none();  // the list named only taken entries
        if (n == 1) {
            hand.set_list_index(0);
        } else {
            const std::int32_t r = RandomInt(tw_, 0, n);
            hand.set_list_index(r < n ? r : 0);
        }
        Card c = tw_.piles.HandCards[hand.list_index() + 1];
        AddChat(tw_, tw_.prefs.UserName + " discards " + CardMarkup(c) + " at random from their hand.", "Game", true);
        c.RemovedFromGame = false;  // it goes to the graveyard, whatever it carried
        AppendToTrash(tw_, std::move(c));
        RemoveSelectedHandCard(tw_);
        UpdateStats(tw_);
        RefreshPileViewerIfVisible(tw_);
    });
}

}  // namespace tw::win
