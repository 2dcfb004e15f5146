// The card menu's actions on a card that stays on the table: counters, flip, turn, control,
// announcements, and tokens put down from the table's menu. Each acts on the selected slot and
// only on an own card, announces itself and tells the peer what its copy must show.
#include <cstdint>
#include <string>

#include "cards/card.hpp"
#include "cards/card_lookup.hpp"
#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/send_command.hpp"
#include "platform/rt.hpp"
#include "table/field.hpp"
#include "table/field_pictures.hpp"
#include "table/field_slots.hpp"
#include "table/piles.hpp"

namespace tw::win {

namespace {

void Send(Tablewright& tw, const std::string& command) {
    std::int16_t tag = 0;
    SendCommand(tw, command, tag);
}

void Say(Tablewright& tw, const std::string& text) { AddChat(tw, tw.prefs.UserName + text, "Game", true); }

platform::Color SeatColour(int seat) { return seat == 1 ? kSeat1BorderColour : kSeat2BorderColour; }

}  // namespace

void FormA::AddCounter_Click() {
    Trapped("AddCounter_click", [&] {
        const int s = OwnSelectedSlot(tw_);
        if (s == 0) return;
        Card& card = tw_.field.FieldCards[s];
        auto& label = Label4[s];
        if (label.visible()) {
            CounterLabelBelow(tw_, s);
            label.bring_to_front();
        }
        const std::int32_t count = rt::add32(card.Counters, 1);
        label.set_caption("Counters: " + rt::cstr(count));
        card.Counters = count;
        label.set_visible(true);
        CounterLabelBelow(tw_, s);
        Say(tw_, " has added a counter to " + CardMarkup(card));
        Send(tw_, "ac~" + rt::cstr(s));
    });
}

void FormA::RemoveCounter_Click() {
    const int s = OwnSelectedSlot(tw_);
    if (s == 0) return;
    Card& card = tw_.field.FieldCards[s];
    const std::int32_t count = card.Counters - 1;
    Label4[s].set_caption("Counters: " + rt::cstr(count));
    card.Counters = count < 1 ? 0 : count;
    if (card.Counters == 0) Label4[s].set_visible(false);
    Say(tw_, " has removed a counter from " + CardMarkup(card));
    Send(tw_, "r2~" + rt::cstr(s));
}

void FormA::FlipCardOver_Click() {
    Trapped("FlipCardOver", [&] {
        const int s = OwnSelectedSlot(tw_);
        if (s == 0) return;
        Card& card = tw_.field.FieldCards[s];
        auto& label = Label5[s];
        const std::string n = rt::cstr(s);
        if (card.Flipped) {
            label.set_caption(card.Name);
            Send(tw_, "fc~" + n + "~0");
            // The peer has held it as a face-down card without a name.
            Send(tw_, "ii~" + n + "~" + card.Name + ":" + card.SetCode);
            label.set_visible(true);
            label.set_enabled(true);
            card.Flipped = false;
        } else {
            label.set_caption(kFaceDownCard);
            label.set_visible(false);
            card.Flipped = true;
            Send(tw_, "fc~" + n + "~1");
        }
        card.PictureDrawn = false;
        DrawFieldCard(tw_, card);
        Say(tw_, " has flipped " + CardMarkup(card) + " over");
    });
}

void FormA::TurnCardHorizontal_Click() {
    Trapped("TurnCardHorizontal", [&] {
        const int s = OwnSelectedSlot(tw_);
        if (s == 0) return;
        Card& card = tw_.field.FieldCards[s];
        card.PictureDrawn = false;
        // The size follows the picture as it lies, whatever the flag says.
        auto& picture = cardstencil[s];
        const bool upright = picture.width() == kUprightWidth;
        const double width = upright ? kSidewaysWidth : kUprightWidth;
        const double height = upright ? kSidewaysHeight : kUprightHeight;
        picture.set_width(width);
        picture.set_height(height);
        Shape1[s].set_width(width);
        Shape1[s].set_height(height);
        if (Label4[s].visible()) CounterLabelBelow(tw_, s);

        Card shown = card;
        if (card.Flipped) {
            shown.Name = kFaceDownCard;
            shown.SetCode = "NA";
        }
        const std::string n = rt::cstr(s);
        if (card.Horizontal) {
            card.Horizontal = false;
            Say(tw_, " turned " + CardMarkup(shown) + " vertical");
            Send(tw_, "vh~" + n + "~0");
        } else {
            card.Horizontal = true;
            Say(tw_, " turned " + CardMarkup(shown) + " horizontal");
            Send(tw_, "vh~" + n + "~1");
        }
        DrawFieldCard(tw_, tw_.field.FieldCards[s]);
    });
}

void FormA::flipNturn_Click() {
    TurnCardHorizontal_Click();
    FlipCardOver_Click();
}

namespace {

void GiveTo(FormA& form, Tablewright& tw, int seat) {
    form.Trapped("GivingToPlayer", [&] {
        const int s = OwnSelectedSlot(tw);
        if (s == 0) return;
        Card& card = tw.field.FieldCards[s];
        const std::string n = rt::cstr(s);
        Send(tw, "co~" + n + ":" + rt::cstr(seat));
        card.Controller = seat;
        // The new controller learns what a face-down card is.
        Send(tw, "ii~" + n + "~" + card.Name + ":" + card.SetCode);
        Say(tw, " gives control of " + CardMarkup(card) + " to " + tw.net.PlayerNames[static_cast<std::size_t>(seat)]);
        FreeGridPlace(tw, s);
        form.Shape1[s].set_border_color(SeatColour(seat));
    });
}

}  // namespace

void FormA::GiveToPlayer1_Click() { GiveTo(*this, tw_, 1); }
void FormA::GiveToPlayer2_Click() { GiveTo(*this, tw_, 2); }

void FormA::activateEffect_Click() {
    Trapped("ActivateEffect_click", [&] {
        const int s = OwnSelectedSlot(tw_);
        if (s == 0) return;
        const Card& card = tw_.field.FieldCards[s];
        Say(tw_, card.Flipped ? std::string(" activated the effect of Face Down")
                              : " activated the effect of " + CardMarkup(card));
    });
}

void FormA::AttackLP_Click() {
    const int s = tw_.field.SelectedSlot;
    if (s < kFirstFieldSlot || s > tw_.field.FieldCards.ubound()) return;
    AddChat(tw_, tw_.prefs.UserName + "`s " + CardMarkup(tw_.field.FieldCards[s]) + " is attacking opponent`s LP", "Game",
            true);
}

void FormA::Slot1_Click(int Index) {
    const int s = tw_.field.SelectedSlot;
    if (s < kFirstFieldSlot || s > tw_.field.FieldCards.ubound() || !Slot1.exists(Index)) return;
    AddChat(tw_, tw_.prefs.UserName + "`s " + CardMarkup(tw_.field.FieldCards[s]) + " is attacking " + Slot1[Index].caption(),
            "Game", true);
}

void FormA::TokenRoot_Click(int Index) {
    if (OpenControl(tw_, true, -1, false) == kNoFreeSlot) {
        ShowMessage(tw_, "Sorry there cannot be more then 25 cards total in play");
        return;
    }
    if (!TokenRoot.exists(Index)) return;
    Card token = LoadTokenCard(tw_, "Token", TokenRoot[Index].caption());
    std::int32_t owner = 0;
    PutCardOnField(tw_, token, owner);
}

}  // namespace tw::win
