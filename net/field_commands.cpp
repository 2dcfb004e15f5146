// The opponent's cards arriving on the shared field and leaving it, their ATK and DEF, and the
// opponent's question for what a card is. A card of the player's own is never replaced, taken
// off or named on the opponent's word.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card.hpp"
#include "cards/card_lookup.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/dispatcher.hpp"
#include "net/field_command_checks.hpp"
#include "net/received_commands.hpp"
#include "net/send_command.hpp"
#include "platform/rt.hpp"
#include "table/field.hpp"
#include "table/field_pictures.hpp"
#include "table/field_slots.hpp"

namespace tw {

namespace {

// How a card put down face down is named to the other table.
constexpr std::string_view kBackName = "back";

}  // namespace

bool DI_LC(Tablewright& tw, const std::string& args, std::int32_t& cls) {
    const auto parts = SplitAtFirst(args, '~');
    // A card name may hold ":", a set code never does.
    const auto identity = parts ? SplitAtLast(parts->second, ':') : std::nullopt;
    const auto slot = parts ? PeerNumber(parts->first, kFirstFieldSlot, kLastFieldSlot) : std::nullopt;
    if (!identity || !slot) {
        NoteMalformedCommand(tw);
        return false;
    }
    // Both players put cards into the lowest free slot; two cards put down at the same moment
    // can name one slot. The player's own card stays, and the player is told.
    if (OpenControl(tw, true, -1, false) == kNoFreeSlot ||
        (SlotInUse(tw, *slot) && IsOwnCard(tw, tw.field.FieldCards[*slot]))) {
        NoteOutOfStep(tw, *slot);
        return false;
    }

    Card& rec = tw.field.FieldCards[*slot];
    if (identity->first == kBackName) {
        // Nothing of a card that lay in this slot before may stay with the new one (sideways,
        // counters, face).
        rec = Card{};
        rec.Name = std::string(kBackName);
        rec.SetCode = std::string(identity->second);
    } else {
        rec = LookupCard(tw, std::string(identity->second), std::string(identity->first));
    }
    rec.Slot = *slot;
    if (cls == 0) cls = tw.net.PlayerNumber == 2 ? 1 : 2;
    rec.Slot = PutCardOnField(tw, rec, cls);
    return true;
}

bool DI_RC(Tablewright& tw, const std::string& args) {
    // A card already gone (or never placed here) is nothing to take off, and an own card is never
    // removed on the opponent's word.
    const auto s = SlotWithCard(tw, args);
    if (!s || IsOwnCard(tw, tw.field.FieldCards[*s])) return false;
    auto& duel = tw.FormA();
    Card& card = tw.field.FieldCards[*s];
    FreeGridPlace(tw, *s);
    card.PictureDrawn = false;
    card.Counters = 0;
    duel.Label4[*s].set_visible(false);
    duel.Label5[*s].set_visible(false);
    duel.Shape1[*s].set_visible(false);
    auto& picture = duel.cardstencil[*s];
    picture.set_picture(nullptr);
    picture.cls();
    picture.set_visible(false);
    RemoveFieldCard(tw, static_cast<std::int16_t>(*s));
    return true;
}

bool DI_RI(Tablewright& tw, const std::string& args) {
    // The owner takes ":" out of what it types, so slot, ATK and DEF are exactly three fields.
    const auto fields = rt::split(args, ":");
    if (fields.ubound() != 2) {
        NoteMalformedCommand(tw);
        return false;
    }
    const auto s = OpponentsCardSlot(tw, fields[0]);
    if (!s) return false;
    Card& card = tw.field.FieldCards[*s];
    card.CurrentAtk = fields[1];
    card.CurrentDef = fields[2];
    auto& label = tw.FormA().Label5[*s];
    // A label that shows the card's name keeps it; one that shows ATK/DEF shows the new values.
    if (label.caption() != card.Name) label.set_caption(card.CurrentAtk + "/" + card.CurrentDef);
    return true;
}

bool DI_SI(Tablewright& tw, const std::string& args) {
    const auto s = SlotWithCard(tw, args);
    if (!s) {
        NoteMalformedCommand(tw);
        return false;
    }
    const Card& card = tw.field.FieldCards[*s];
    // What an own card face down is stays hidden; a card this table does not know itself has
    // nothing to tell (its name here is a stand-in the asker would look up as a bad card).
    if (card.Flipped && IsOwnCard(tw, card)) return false;
    if (card.Name == kFaceDownCard || card.Name == kBackName || card.Name.empty()) return false;
    std::int32_t cls = 0;
    SendCommand(tw, "ii~" + rt::cstr(*s) + "~" + card.Name + ":" + card.SetCode, cls);
    return true;
}

}  // namespace tw
