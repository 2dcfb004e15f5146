// An own card leaving the table for a pile: the top of the deck, the graveyard, the hand (an
// extra-deck card: the extra deck) or out of the game. Each tells the peer to take its copy off
// ("rc~"), writes its line, frees the slot and the grid place, and puts the card into its pile;
// each in its own order, which the peer sees in what it receives.
#include <cstdint>
#include <string>

#include "cards/card.hpp"
#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/send_command.hpp"
#include "platform/app.hpp"
#include "platform/rt.hpp"
#include "table/field_pictures.hpp"
#include "table/field_slots.hpp"
#include "table/pile_viewer.hpp"
#include "table/piles.hpp"

namespace tw::win {

namespace {

constexpr const char* kTokenRefused =
    "If a Token does this, it is removed from the game. Please Select Remove from Game";

// The card as it goes into a pile: no longer face down, sideways or counted on.
Card IntoPile(Card card) {
    card.Flipped = false;
    card.Horizontal = false;
    card.Counters = 0;
    return card;
}

// F: its counters and its grid place go.
void FreePlace(Tablewright& tw, int s) {
    tw.field.FieldCards[s].Counters = 0;
    FreeGridPlace(tw, s);
}

// H: the slot's picture cleared and its controls hidden.
void HideSlot(FormA& d, int s) {
    auto& picture = d.cardstencil[s];
    picture.set_picture(nullptr);
    picture.cls();
    picture.set_visible(false);
    d.Label4[s].set_visible(false);
    d.Label5[s].set_visible(false);
    d.Shape1[s].set_visible(false);
}

// X: the table's flags cleared.
void ClearTableFlags(Tablewright& tw, int s) {
    tw.field.FieldCards[s].Flipped = false;
    tw.field.FieldCards[s].Horizontal = false;
}

// R: the peer takes its copy off.
void TellPeer(Tablewright& tw, int s) {
    std::int16_t tag = 0;
    SendCommand(tw, "rc~" + rt::cstr(s), tag);
}

void Say(Tablewright& tw, const std::string& text) { AddChat(tw, tw.prefs.UserName + text, "Game", true); }

}  // namespace

void FormA::field2deck_Click() {
    Trapped("PutOnTopOfDeckFromField", [&] {
        const int s = OwnSelectedSlot(tw_);
        if (s == 0) return;
        Card& r = tw_.field.FieldCards[s];
        if (IsToken(r)) return ShowMessage(tw_, kTokenRefused);
        // A deck with no free place grows: the bottom card is never pushed out.
        PutCardInDeck(tw_, IntoPile(r), DeckEnd::Top);
        FreePlace(tw_, s);
        HideSlot(*this, s);
        TellPeer(tw_, s);
        Say(tw_, r.Flipped ? std::string(" put a face down card from their field to the top of the deck.")
                           : " put " + CardMarkup(r) + " from their field to the top of the deck.");
        ClearTableFlags(tw_, s);
        r.Name.clear();
        RemoveFieldCard(tw_, static_cast<std::int16_t>(s));
        UpdateStats(tw_);
        RefreshPileViewerForDeck(tw_);
    });
}

// Each step that fails is passed over, so that the card still reaches the graveyard.
void FormA::putintrash_Click() {
    const int s = OwnSelectedSlot(tw_);
    if (s == 0) return;
    if (IsToken(tw_.field.FieldCards[s])) return ShowMessage(tw_, kTokenRefused);
    Card& r = tw_.field.FieldCards[s];
    rt::try_step([&] { FreePlace(tw_, s); });
    rt::try_step([&] { HideSlot(*this, s); });
    rt::try_step([&] { ClearTableFlags(tw_, s); });
    rt::try_step([&] { TellPeer(tw_, s); });
    rt::try_step([&] { Say(tw_, " put " + CardMarkup(r) + " into the graveyard"); });
    rt::try_step([&] {
        Card card = IntoPile(r);
        card.RemovedFromGame = false;
        AppendToTrash(tw_, std::move(card));
    });
    r.Name.clear();
    rt::try_step([&] { RemoveFieldCard(tw_, static_cast<std::int16_t>(s)); });
    rt::try_step([&] { UpdateStats(tw_); });
    rt::try_step([&] {
        if (tw_.piles.PileViewMode == kViewGraveyard) tw_.piles.RefreshPileViewer();
    });
}

void FormA::ReturnToHand2_Click() {
    Trapped("ReturnToHand", [&] {
        const int s = OwnSelectedSlot(tw_);
        if (s == 0) return;
        Card& r = tw_.field.FieldCards[s];
        if (IsToken(r)) return ShowMessage(tw_, kTokenRefused);
        const bool face_down = r.Flipped;
        const std::string destination =
            r.Fusion ? std::string(" to their Extra Deck.")
                     : " to their hand. (" + rt::cstr(hand.list_count() + 1) + " cards in their hand)";
        FreePlace(tw_, s);
        ClearTableFlags(tw_, s);
        if (r.Fusion) {
            // Also a card that did not come from this extra deck finds a place there.
            auto& extra = tw_.piles.ExtraDeckCards;
            const int at = FreePileEntry(extra, 0, false);
            extra[at] = IntoPile(r);
        } else {
            AppendToHand(tw_, IntoPile(r));
        }
        Say(tw_, face_down ? " returned a Face Down card to " + destination
                           : " returned " + CardMarkup(r) + destination);
        HideSlot(*this, s);
        TellPeer(tw_, s);
        RemoveFieldCard(tw_, static_cast<std::int16_t>(s));
        const bool to_extra_deck = r.Fusion;
        r.Name.clear();
        // An open look at the extra deck must offer the card that just came back to it.
        if (to_extra_deck && tw_.piles.PileViewMode == kViewExtra) RefreshPileViewerIfVisible(tw_);
    });
}

void FormA::RemoveFromGameFromPlay_Click() {
    Trapped("RFG", [&] {
        const int s = OwnSelectedSlot(tw_);
        if (s == 0) return;
        const bool token = IsToken(tw_.field.FieldCards[s]);
        if (!token) {
            const Card asked = tw_.field.FieldCards[s];
            const auto answer = tw_.app.msg_box("Are you sure you want to remove " + asked.Name + " from play?",
                                                platform::MsgButtons::YesNo, platform::MsgIcon::None,
                                                "Tablewright " + tw_.VersionText);
            if (answer != platform::MsgResult::Yes) return;
            // While the box was open the card may have left the table or changed hands: it
            // must still be the one asked about, and still the player's.
            if (!SlotInUse(tw_, s) || !IsOwnCard(tw_, tw_.field.FieldCards[s]) || tw_.field.FieldCards[s].Name != asked.Name)
                return;
        }
        Card& r = tw_.field.FieldCards[s];
        FreePlace(tw_, s);
        HideSlot(*this, s);
        ClearTableFlags(tw_, s);
        TellPeer(tw_, s);
        RemoveFieldCard(tw_, static_cast<std::int16_t>(s));
        Say(tw_, " removed " + CardMarkup(r) + " from the game");
        if (!token) {
            Card card = IntoPile(r);
            card.RemovedFromGame = true;
            AppendToTrash(tw_, std::move(card));
        }
        r.Name.clear();
        UpdateStats(tw_);
        RefreshPileViewerIfVisible(tw_);
    });
}

}  // namespace tw::win
