// Whole piles moved at once (the twelve "Movement" items) and the deck operations: discard the
// top card, shuffle, turn the deck upside down. None sends a command of its own: the peer learns
// of them from the line each writes and the pile counts that follow it.
#include <algorithm>
#include <string>

#include "cards/card.hpp"
#include "cards/duel_log.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/rt.hpp"
#include "table/pile_viewer.hpp"
#include "table/piles.hpp"

namespace tw {

namespace {

enum class Pile { Deck, Hand, Graveyard, Removed };

// Puts a copy of a card that leaves its pile into the target pile. Nothing is left out: a pile
// without a free entry grows.
void Place(Tablewright& tw, Card card, Pile to) {
    card.Flipped = false;
    card.Horizontal = false;
    card.RemovedFromGame = to == Pile::Removed;
    const bool back_to_extra = card.Fusion && (to == Pile::Hand || to == Pile::Deck);
    if (back_to_extra) {
        auto& extra = tw.piles.ExtraDeckCards;
        extra[FreePileEntry(extra, 0, false)] = std::move(card);
        return;
    }
    switch (to) {
        case Pile::Graveyard:
        case Pile::Removed:
            AppendToTrash(tw, std::move(card));
            break;
        case Pile::Hand:
            AppendToHand(tw, std::move(card));
            break;
        case Pile::Deck: {
            auto& deck = tw.piles.DeckCards;
            deck[FreePileEntry(deck, 1, true)] = std::move(card);
            break;
        }
    }
}

void MoveDeck(Tablewright& tw, Pile to) {
    RecountDeck(tw);
    auto& deck = tw.piles.DeckCards;
    for (int i = 1; i <= deck.ubound(); ++i) {
        if (!HoldsCard(deck[i])) continue;
        Place(tw, deck[i], to);
        deck[i].Name = kDrawn;
    }
    tw.piles.DeckRemaining = 0;
}

// The graveyard or the removed-from-game pile: the live entries of TrashCards with that flag.
// Between those two a card only changes its flag, in place.
void MoveTrash(Tablewright& tw, Pile from, Pile to) {
    auto& trash = tw.piles.TrashCards;
    const bool removed = from == Pile::Removed;
    const int last = trash.ubound();  // the graveyard's own cards, not those it receives
    for (int i = 1; i <= last; ++i) {
        Card& c = trash[i];
        if (!HoldsCard(c) || c.RemovedFromGame != removed) continue;
        if (to == Pile::Graveyard || to == Pile::Removed) {
            c.RemovedFromGame = to == Pile::Removed;
            continue;
        }
        Place(tw, c, to);
        trash[i].Name = kDrawn;
    }
}

void EmptyHand(Tablewright& tw) {
    tw.FormA().hand.clear();
    tw.piles.HandCards = rt::Array<Card>(0);
}

// The hand to the bottom of the deck, in hand order, each card directly under the last live one.
void MoveHandToDeck(Tablewright& tw) {
    auto& hand = tw.piles.HandCards;
    for (int i = 0; i <= hand.ubound(); ++i) {
        if (hand[i].Name.empty()) continue;
        Card card = hand[i];
        card.Flipped = false;
        card.Horizontal = false;
        card.RemovedFromGame = false;
        // With no "DRAWN" entry left the deck grows by one, so that every card finds a place.
        PutCardInDeck(tw, card, DeckEnd::Bottom);
    }
    EmptyHand(tw);
}

void MoveHandToTrash(Tablewright& tw, Pile to) {
    auto& hand = tw.piles.HandCards;
    for (int i = 0; i <= hand.ubound(); ++i)
        if (HoldsCard(hand[i])) Place(tw, hand[i], to);
    EmptyHand(tw);
}

void Say(Tablewright& tw, const std::string& text) { AddChat(tw, tw.prefs.UserName + text, "Game", true); }

// The deck's top entry when it holds a card.
const Card* TopCard(Tablewright& tw) {
    auto& deck = tw.piles.DeckCards;
    return deck.ubound() >= 1 && IsLiveEntry(deck[1]) ? &deck[1] : nullptr;
}

}  // namespace

}  // namespace tw

namespace tw::win {

namespace {

// The moves out of the deck, the graveyard and the removed-from-game pile, the same steps each.
void MovePile(FormA& form, Tablewright& tw, Pile from, Pile to, const char* line, const char* error_name) {
    form.Trapped(error_name, [&] {
        if (from == Pile::Deck)
            MoveDeck(tw, to);
        else
            MoveTrash(tw, from, to);
        Say(tw, line);
        UpdateStats(tw);
        RefreshPileViewerIfVisible(tw);
    });
}

constexpr const char* kHandMoves = "HandMovement";
constexpr const char* kDeckMoves = "MassMovement_click";
constexpr const char* kGraveyardMoves = "GYMovement";
constexpr const char* kRemovedMoves = "RFGMovement";

}  // namespace

void FormA::Deck2Hand_Click() {
    MovePile(*this, tw_, Pile::Deck, Pile::Hand, " moved their deck to their hand.", kDeckMoves);
}
void FormA::Deck2GY_Click() {
    MovePile(*this, tw_, Pile::Deck, Pile::Graveyard, " moved their deck to the Graveyard", kDeckMoves);
}
void FormA::Deck2RFG_Click() {
    MovePile(*this, tw_, Pile::Deck, Pile::Removed, " removed their deck from the game.", kDeckMoves);
}
void FormA::GY2Hand_Click() {
    MovePile(*this, tw_, Pile::Graveyard, Pile::Hand,
             " moved their Graveyard to their hand (Any Fusion/Synchro were returned to Extra Deck)",
             kGraveyardMoves);
}
void FormA::GY2Deck_Click() {
    MovePile(*this, tw_, Pile::Graveyard, Pile::Deck, " moved their Graveyard to their Deck.", kGraveyardMoves);
}
void FormA::GY2RFG_Click() {
    MovePile(*this, tw_, Pile::Graveyard, Pile::Removed, " removed their Graveyard from the game.",
             kGraveyardMoves);
}
void FormA::RFG2Hand_Click() {
    MovePile(*this, tw_, Pile::Removed, Pile::Hand,
             " put their removed from game cards into their hand (Any Fusion/Synchro were returned to Extra "
             "Deck).",
             kRemovedMoves);
}
void FormA::RFG2Deck_Click() {
    MovePile(*this, tw_, Pile::Removed, Pile::Deck, " moved their removed from game cards to their Deck.",
             kRemovedMoves);
}
void FormA::RFG2GY_Click() {
    MovePile(*this, tw_, Pile::Removed, Pile::Graveyard, " put their removed from game cards into their Graveyard.",
             kRemovedMoves);
}

void FormA::Hand2Deck_Click() {
    Trapped(kHandMoves, [&] {
        MoveHandToDeck(tw_);
        Say(tw_, " put their hand on the bottom of their deck.");
        UpdateStats(tw_);
        RefreshPileViewerForDeck(tw_);
    });
}

namespace {

void HandToTrash(FormA& form, Tablewright& tw, Pile to, const char* mode, const char* line) {
    form.Trapped(kHandMoves, [&] {
        MoveHandToTrash(tw, to);
        if (tw.piles.PileViewerVisible() && tw.piles.PileViewMode == mode) tw.piles.RefreshPileViewer();
        Say(tw, line);
        UpdateStats(tw);
        RefreshPileViewerIfVisible(tw);
    });
}

}  // namespace

void FormA::Hand2GY_Click() { HandToTrash(*this, tw_, Pile::Graveyard, "trash", " discarded their hand."); }
void FormA::Hand2RFG_Click() { HandToTrash(*this, tw_, Pile::Removed, "rfg", " removed their hand from the game."); }

void FormA::DiscardTop_Click() {
    Trapped("DiscardTop_click", [&] {
        RecountDeck(tw_);
        if (const Card* top = TopCard(tw_)) {
            AppendToTrash(tw_, *top);
            const int at = tw_.piles.TrashCards.ubound();
            --tw_.piles.DeckRemaining;
            Say(tw_, " discarded " + CardMarkup(*top) + " from the top of their deck.");
            UpdateStats(tw_);
            tw_.piles.DeckCards[1].Name = kDrawn;
            Card& discarded = tw_.piles.TrashCards[at];
            discarded.Horizontal = false;
            discarded.Flipped = false;
            discarded.RemovedFromGame = false;
            RecountDeck(tw_);
            // Once the last card is gone there is no next card to name.
            if (tw_.piles.DeckFaceUp)
                if (const Card* next = TopCard(tw_))
                    AddChat(tw_, tw_.prefs.UserName + "`s next card is " + CardMarkup(*next), "Game", true);
        }
        UpdateStats(tw_);
        RefreshPileViewerIfVisible(tw_);
    });
}

void FormA::Shuffle_Click() {
    ShuffleDeck(tw_);
    RecountDeck(tw_);
    const Card* top = tw_.piles.DeckFaceUp ? TopCard(tw_) : nullptr;
    if (top)
        AddChat(tw_, tw_.prefs.UserName + " shuffled the deck. " + tw_.prefs.UserName + "`s next card is " + CardMarkup(*top),
                "Game", true);
    else
        AddChat(tw_, tw_.prefs.UserName + " shuffled the deck", "Game", true);
    // A look at the deck shows it in its new order, so that each row stands for its card.
    RefreshPileViewerForDeck(tw_);
}

void FormA::FlipDeck_Click() {
    Trapped("ReversalOfWorlds", [&] {
        // The live cards only: the bottom card comes to the top whatever lies behind it.
        RecountDeck(tw_);
        auto& deck = tw_.piles.DeckCards;
        const int live = std::min(tw_.piles.DeckRemaining, deck.ubound());
        for (int i = 1, j = live; i < j; ++i, --j) std::swap(deck[i], deck[j]);
        RecountDeck(tw_);
        if (!tw_.piles.DeckFaceUp) {
            tw_.piles.DeckFaceUp = true;
            const Card* top = TopCard(tw_);
            Say(tw_, top ? " flips their deck over. The top card is " + CardMarkup(*top)
                         : std::string(" flips their deck over."));
        } else {
            tw_.piles.DeckFaceUp = false;
            Say(tw_, " flips their deck over.");
        }
        RefreshPileViewerForDeck(tw_);
    });
}

}  // namespace tw::win
