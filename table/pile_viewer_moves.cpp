// The pile viewer's moves: the selected row's card into the hand, onto the table, out of the
// game or on top of the deck. They work on the own piles only; a card that leaves a pile leaves
// a "DRAWN" entry behind, and no move ever loses or doubles a card.
#include <cstdint>
#include <optional>
#include <string>

#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "program/tablewright.hpp"
#include "platform/rt.hpp"
#include "table/field.hpp"
#include "table/pile_viewer.hpp"
#include "table/piles.hpp"

namespace tw::win {

namespace {

constexpr const char* kNotFound = "Card Not Found";

void Say(Tablewright& tw, const std::string& text) { AddChat(tw, tw.prefs.UserName + text, "Game", true); }

bool IsDeckLook(const std::string& mode) { return mode == kViewDeck || IsTopOfDeckMode(mode); }

bool Matches(const Card& c, const RowCard& row) {
    return IsLiveEntry(c) && c.Name == row.name && c.SetCode == row.set;
}

// The first entry of the pile, from element 0, that holds the row's card; for the graveyard
// array only those of the given side (graveyard or removed from game).
std::optional<int> FindEntry(const rt::Array<Card>& pile, const RowCard& row,
                             std::optional<bool> removed = std::nullopt) {
    for (int i = 0; i <= pile.ubound(); ++i) {
        const Card& c = pile[i];
        if (!Matches(c, row)) continue;
        if (removed && c.RemovedFromGame != *removed) continue;
        return i;
    }
    return std::nullopt;
}

// The viewer's graveyard or removed-from-game look: which side of TrashCards it shows.
std::optional<bool> TrashSide(const std::string& mode) {
    if (mode == kViewGraveyard) return false;
    if (mode == kViewRemoved) return true;
    return std::nullopt;
}

bool DeckHasCard(Tablewright& tw) { return !ShownEntries(tw, ShownPile::Deck).empty(); }

void OutOfCards(Tablewright& tw) {
    ShowMessage(tw, "You have no more cards in your deck");
    Say(tw, " is out of cards");
}

// An extra-deck card that leaves the graveyard array goes back into the extra deck; a pile
// without a free entry grows, so that the card is never lost.
void ReturnToExtraDeck(Tablewright& tw, Card card) {
    card.RemovedFromGame = false;
    card.Flipped = false;
    card.Horizontal = false;
    auto& extra = tw.piles.ExtraDeckCards;
    extra[FreePileEntry(extra, 0, false)] = std::move(card);
}

std::string TrashName(bool removed) { return removed ? "RFG" : "Graveyard"; }

}  // namespace

std::optional<int> View::SelectedDeckEntry() {
    const int k = List2.list_index();
    if (k < 0) return std::nullopt;
    const int i = k + 1;
    const auto& deck = tw_.piles.DeckCards;
    if (i > deck.ubound() || !IsLiveEntry(deck[i]) || ViewerRow(deck[i], true) != List2.text())
        return std::nullopt;
    return i;
}

Card* View::TakeTrashRow(bool removed, Card& card) {
    const auto i = FindEntry(tw_.piles.TrashCards, SplitViewerRow(List2.text()), removed);
    if (!i) return nullptr;
    Card& e = tw_.piles.TrashCards[*i];
    e.RemovedFromGame = false;
    card = e;
    card.Flipped = false;
    card.Horizontal = false;
    return &e;
}

void View::PutintoHand_Click() {
    const int k = List2.list_index();
    if (k < 0) return;
    if (!tw_.piles.DeckLoaded) {
        ShowMessage(tw_, "Please goto file then to deck and make or load a deck");
        return;
    }
    const std::string mode = tw_.piles.PileViewMode;
    if (IsDeckLook(mode)) {
        if (!DeckHasCard(tw_)) return OutOfCards(tw_);
        const auto i = SelectedDeckEntry();
        if (!i) return ShowMessage(tw_, kNotFound);
        Card& e = tw_.piles.DeckCards[*i];
        e.Horizontal = false;
        e.RemovedFromGame = false;
        Card card = e;  // a card face up in the deck stays so in the hand
        e.Name = kDrawn;
        RecountDeck(tw_);
        List2.remove_item(k);
        tw_.piles.DeckRemaining = tw_.piles.DeckCards.ubound() - tw_.piles.DrawnCount;
        AppendToHand(tw_, card);
        Say(tw_, " put " + CardMarkup(card) + " in their hand from Deck");
        ShowRowCount();  // the count follows the row that left
        return;
    }
    const auto removed = TrashSide(mode);
    if (!removed) return;
    Card card;
    Card* e = TakeTrashRow(*removed, card);
    if (!e) return ShowMessage(tw_, kNotFound);
    e->Name = kDrawn;
    if (card.Fusion) {
        ReturnToExtraDeck(tw_, card);
        Say(tw_, " returned " + CardMarkup(card) + " to their Extra Deck from " + TrashName(*removed));
    } else {
        AppendToHand(tw_, card);
        Say(tw_, " put " + CardMarkup(card) + " in their hand from " + TrashName(*removed));
    }
    FillOwnRows();
    UpdateStats(tw_);
    ShowRowCount();
}

void View::PutIntoPlay_Click() {
    if (OpenControl(tw_, true, -1, false) == kNoFreeSlot) {
        ShowMessage(tw_, "Sorry there cannot be more then 25 cards total in play");
        return;
    }
    const int k = List2.list_index();
    if (k < 0) return;
    const std::string mode = tw_.piles.PileViewMode;
    std::int32_t owner = tw_.net.PlayerNumber;

    if (mode == kViewExtra) {
        const auto i = FindEntry(tw_.piles.ExtraDeckCards, SplitViewerRow(List2.text()));
        if (!i) return ShowMessage(tw_, kNotFound);
        Card c = tw_.piles.ExtraDeckCards[*i];
        if (!CanPlaceCard(tw_, c)) return;
        tw_.piles.ExtraDeckCards[*i].Name = kDrawn;
        tw_.piles.DeckRemaining = tw_.piles.DeckCards.ubound() - tw_.piles.DrawnCount;
        c.Horizontal = false;
        c.Flipped = false;
        owner = 0;
        PutCardOnField(tw_, c, owner);
        Say(tw_, " put " + CardMarkup(c) + " from their Extra Deck into play");
        rt::try_step([&] { FillOwnRows(); });
        rt::try_step([&] { UpdateStats(tw_); });
        rt::try_step([&] { ShowRowCount(); });
        return;
    }
    if (const auto removed = TrashSide(mode)) {
        const auto i = FindEntry(tw_.piles.TrashCards, SplitViewerRow(List2.text()), *removed);
        if (!i) return ShowMessage(tw_, kNotFound);
        Card c = tw_.piles.TrashCards[*i];
        c.RemovedFromGame = false;
        if (!CanPlaceCard(tw_, c)) return;
        tw_.piles.TrashCards[*i].RemovedFromGame = false;
        tw_.piles.TrashCards[*i].Name = kDrawn;
        c.Horizontal = false;
        c.Flipped = false;
        Say(tw_, " put " + CardMarkup(c) + (*removed ? " from RFG into play" : " from the Graveyard into play"));
        PutCardOnField(tw_, c, owner);
        FillOwnRows();
        UpdateStats(tw_);
        ShowRowCount();
        return;
    }
    if (!IsDeckLook(mode)) return;
    if (!DeckHasCard(tw_)) return OutOfCards(tw_);
    const auto i = SelectedDeckEntry();
    if (!i) return ShowMessage(tw_, kNotFound);
    Card c = tw_.piles.DeckCards[*i];
    if (!CanPlaceCard(tw_, c)) return;
    tw_.piles.DeckCards[*i].Name = kDrawn;
    RecountDeck(tw_);
    List2.remove_item(k);
    tw_.piles.DeckRemaining = tw_.piles.DeckCards.ubound() - tw_.piles.DrawnCount;
    c.Horizontal = false;
    c.Flipped = false;
    PutCardOnField(tw_, c, owner);
    Say(tw_, " put " + CardMarkup(c) + " from their deck into play");
    UpdateStats(tw_);
    ShowRowCount();
}

void View::RemoveFromGame_Click() {
    if (List2.list_index() < 0) return;
    const std::string mode = tw_.piles.PileViewMode;
    if (IsDeckLook(mode)) {
        // The row must still show its card; the move then takes the topmost copy of it.
        if (!SelectedDeckEntry()) return ShowMessage(tw_, kNotFound);
        RecountDeck(tw_);
        const auto i = FindEntry(tw_.piles.DeckCards, SplitViewerRow(List2.text()));
        if (!i) return ShowMessage(tw_, kNotFound);
        Card card = tw_.piles.DeckCards[*i];
        card.Horizontal = false;
        card.Flipped = false;
        card.RemovedFromGame = true;
        AppendToTrash(tw_, card);
        tw_.piles.DeckCards[*i].Name = kDrawn;
        Say(tw_, " removed " + CardMarkup(card) + " from their deck to RFG");
        RecountDeck(tw_);
        // A top-of-deck look lists its top cards afresh, never more than it was asked for.
        FillOwnRows();
        UpdateStats(tw_);
        ShowRowCount();
        return;
    }
    if (mode != kViewGraveyard) return;
    const auto i = FindEntry(tw_.piles.TrashCards, SplitViewerRow(List2.text()), false);
    if (!i) return ShowMessage(tw_, kNotFound);
    Card& e = tw_.piles.TrashCards[*i];
    e.RemovedFromGame = true;  // where it lies, so that it comes back to the same place
    Say(tw_, " removed " + CardMarkup(e) + " from their graveyard to RFG");
    FillOwnRows();
    UpdateStats(tw_);
    ShowRowCount();
}

void View::PutintoDeck_Click() {
    const std::string mode = tw_.piles.PileViewMode;
    const auto removed = TrashSide(mode);
    if (!removed) return ShowRowCount();
    if (List2.list_index() < 0) return;
    Card card;
    Card* e = TakeTrashRow(*removed, card);
    if (!e) return ShowMessage(tw_, kNotFound);
    const std::string from = *removed ? "RFG" : "graveyard";
    if (card.Fusion) {
        ReturnToExtraDeck(tw_, card);
        Say(tw_, " returned " + CardMarkup(card) + " from their " + from + " to their Extra Deck.");
        e->Name = kDrawn;
    } else {
        // A deck with no free entry grows: the bottom card is never pushed out.
        PutCardInDeck(tw_, card, DeckEnd::Top);
        e->Name = kDrawn;
        RecountDeck(tw_);
        Say(tw_, " put " + CardMarkup(tw_.piles.DeckCards[1]) + " from their " + from + " to the top of the deck.");
        UpdateStats(tw_);
    }
    List2.clear();
    Form_Load();
    ShowRowCount();
}

}  // namespace tw::win
