// The opponent's moves on the cards of the shared field, carried out on this table: its copy of
// the card moves (mirrored top to bottom), turns, flips, counts counters, changes hands and
// learns its name. Nothing is sent back but "si~", the question for a card this table does not
// know.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "cards/card.hpp"
#include "cards/card_info.hpp"
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

// A table position the peer may name, in twips: far beyond any table, within 16 bits.
constexpr std::int32_t kFarthestTwips = 32767;

void AskIdentity(Tablewright& tw, int slot) {
    std::int32_t cls = 0;
    SendCommand(tw, "si~" + rt::cstr(slot), cls);
}

// The card panel's back colour after the opponent changed a card, from that card's kind; the
// panel's text stays what it was.
void PanelColour(Tablewright& tw, const Card& c) {
    const std::string attribute = rt::lcase(c.Attribute);
    platform::Color colour = kPanelPlain;
    if (attribute == "trap") colour = kPanelTrap;
    if (attribute == "magic" || attribute == "spell") colour = kPanelSpell;
    if (rt::contains_ci(c.Group, "fusion")) colour = kPanelFusion;
    if (rt::contains_ci(c.Group, "effect")) colour = kPanelEffect;
    tw.FormA().selectedcard.set_back_color(colour);
}

bool Malformed(Tablewright& tw) {
    NoteMalformedCommand(tw);
    return false;
}

// The field-spell zones: the owner's table records a field spell there without a grid entry.
bool FieldSpellZone(std::int32_t column) {
    return column == kFieldSpellOwnColumn || column == kFieldSpellOpponentColumn;
}

// A card of the opponent's and the two numbers of "slot~first:second"; anything else is noted
// as malformed and gives nothing.
struct SlotAndPair {
    int slot;
    std::string_view first;
    std::string_view second;
};
std::optional<SlotAndPair> OpponentsCardAndPair(Tablewright& tw, const std::string& args) {
    const auto parts = SplitAtFirst(args, '~');
    const auto pair = parts ? SplitAtFirst(parts->second, ':') : std::nullopt;
    if (!pair) {
        NoteMalformedCommand(tw);
        return std::nullopt;
    }
    const auto s = OpponentsCardSlot(tw, parts->first);
    if (!s) return std::nullopt;
    return SlotAndPair{*s, pair->first, pair->second};
}

}  // namespace

bool DI_II(Tablewright& tw, const std::string& args) {
    const auto parts = SplitAtFirst(args, '~');
    // A card name may hold ":", a set code never does.
    const auto identity = parts ? SplitAtLast(parts->second, ':') : std::nullopt;
    if (!identity) return Malformed(tw);
    const auto s = SlotWithCard(tw, parts->first);
    if (!s) return Malformed(tw);
    Card& rec = tw.field.FieldCards[*s];
    // A card of the player's own is named by the peer only when it came to the player without
    // its name (given face down); a card the player knows keeps what it is.
    if (IsOwnCard(tw, rec) && rec.Name != kFaceDownCard) return false;

    const std::string name(identity->first);
    const std::string set(identity->second);
    const bool same_card = rec.Name == name && rec.SetCode == set;
    rec.PictureDrawn = false;
    rec.Name = name;
    rec.SetCode = set;
    const Card copy = rec;
    tw.errors.LineMarker = "72C";

    Card found = LookupCard(tw, set, name);
    if (copy.Flipped && copy.Controller != tw.net.PlayerNumber) {
        found.Name = kFaceDownCard;
        found.SetCode = "extras";
        found.Desc.clear();
    }
    // What the card is comes from the lookup; where and how it lies on the table stays.
    found.Flipped = copy.Flipped;
    found.Slot = copy.Slot;
    found.Counters = copy.Counters;
    found.Controller = copy.Controller;
    found.Fusion = copy.Fusion;
    found.Horizontal = copy.Horizontal;
    found.GridRow = copy.GridRow;
    found.GridCol = copy.GridCol;
    // ATK and DEF the owner set stay while the card is the same one; a card that only now shows
    // what it is starts from its printed values, as a card put on the table does.
    found.CurrentAtk = same_card ? copy.CurrentAtk : found.Atk;
    found.CurrentDef = same_card ? copy.CurrentDef : found.Def;
    found.PictureDrawn = false;
    rec = found;

    auto& label = tw.FormA().Label5[*s];
    if (rec.Flipped) {
        label.set_caption(kFaceDownCard);
        label.set_visible(false);
    } else {
        label.set_caption(rec.Name);
    }
    tw.errors.LineMarker = "91C";
    PanelColour(tw, rec);
    DrawFieldCard(tw, rec);
    return true;
}

bool DI_MV(Tablewright& tw, const std::string& args) {
    const auto command = OpponentsCardAndPair(tw, args);
    if (!command) return false;
    const auto left = PeerNumber(command->first, -kFarthestTwips, kFarthestTwips);
    const auto top = PeerNumber(command->second, -kFarthestTwips, kFarthestTwips);
    if (!left || !top) return Malformed(tw);
    const int s = command->slot;

    auto& duel = tw.FormA();
    auto& picture = duel.cardstencil[s];
    // The opponent's table is this one upside down; left and right are the same.
    picture.set_top(duel.playsurface.height() - *top - picture.height());
    picture.set_left(*left);
    tw.errors.LineMarker = "116C";
    CounterLabelBelow(tw, s);
    FollowPicture(tw, s);
    duel.Label5[s].bring_to_front();
    tw.errors.LineMarker = "133C";
    duel.Label4[s].bring_to_front();
    return true;
}

bool DI_AC(Tablewright& tw, const std::string& args) {
    const auto s = OpponentsCardSlot(tw, args);
    if (!s) return false;
    Card& card = tw.field.FieldCards[*s];
    if (card.Counters == std::numeric_limits<std::int32_t>::max()) return Malformed(tw);
    auto& label = tw.FormA().Label4[*s];
    ++card.Counters;
    label.set_caption("Counters: " + rt::cstr(card.Counters));
    CounterLabelBelow(tw, *s);
    label.bring_to_front();
    label.set_visible(true);
    return true;
}

bool DI_R2(Tablewright& tw, const std::string& args) {
    const auto s = OpponentsCardSlot(tw, args);
    if (!s) return false;
    Card& card = tw.field.FieldCards[*s];
    auto& label = tw.FormA().Label4[*s];
    const std::int64_t count = static_cast<std::int64_t>(card.Counters) - 1;
    label.set_caption("Counters: " + rt::cstr(count));
    card.Counters = count < 1 ? 0 : static_cast<std::int32_t>(count);
    if (card.Counters == 0) label.set_visible(false);
    return true;
}

bool DI_FC(Tablewright& tw, const std::string& args) {
    const auto parts = SplitAtFirst(args, '~');
    if (!parts) return Malformed(tw);
    const auto s = OpponentsCardSlot(tw, parts->first);
    if (!s) return false;
    Card& card = tw.field.FieldCards[*s];
    auto& label = tw.FormA().Label5[*s];
    card.PictureDrawn = false;
    tw.errors.LineMarker = "176C";
    if (parts->second == "0") {
        card.Flipped = false;
        label.set_caption(card.Name);
        // Put down face down, so this table never learnt its name: once is enough to ask.
        if (card.Name == kFaceDownCard) AskIdentity(tw, *s);
        label.set_visible(true);
    } else {
        card.Flipped = true;
        label.set_caption(kFaceDownCard);
        label.set_visible(false);
    }
    tw.errors.LineMarker = "187C";
    PanelColour(tw, card);
    DrawFieldCard(tw, card);
    tw.errors.LineMarker = "197C";
    return true;
}

bool DI_VH(Tablewright& tw, const std::string& args) {
    const auto parts = SplitAtFirst(args, '~');
    if (!parts) return Malformed(tw);
    const auto s = OpponentsCardSlot(tw, parts->first);
    if (!s) return false;
    Card& card = tw.field.FieldCards[*s];
    auto& duel = tw.FormA();
    auto& picture = duel.cardstencil[*s];
    card.PictureDrawn = false;
    card.Horizontal = parts->second != "0";
    const double width = card.Horizontal ? kSidewaysWidth : kUprightWidth;
    const double height = card.Horizontal ? kSidewaysHeight : kUprightHeight;
    // The owner turns the card about its top edge, which is the bottom edge here.
    const double bottom = picture.top() + picture.height();
    picture.move(picture.left(), bottom - height, width, height);
    duel.Shape1[*s].move(picture.left(), picture.top(), width, height);
    FollowPicture(tw, *s);
    tw.errors.LineMarker = "226C";
    PanelColour(tw, card);
    DrawFieldCard(tw, card);
    return true;
}

bool DI_CO(Tablewright& tw, const std::string& args) {
    const auto parts = SplitAtFirst(args, ':');
    if (!parts) return Malformed(tw);
    const auto s = OpponentsCardSlot(tw, parts->first);
    if (!s) return false;
    // A card goes to one of the two players; any other seat would make it nobody's.
    const auto seat = PeerNumber(parts->second, 1, 2);
    if (!seat) return Malformed(tw);
    tw.errors.LineMarker = "254C";
    Card& card = tw.field.FieldCards[*s];
    auto& border = tw.FormA().Shape1[*s];
    // The giver's table frees the card's place on the grid; so does this one, or the two grids
    // would no longer agree.
    FreeGridPlace(tw, *s);
    card.Controller = *seat;
    if (*seat == tw.net.PlayerNumber) {
        border.set_border_color(kOwnBorderColour);
        if (card.Name == kFaceDownCard) AskIdentity(tw, *s);
        return true;
    }
    border.set_border_color(*seat == 1 ? kSeat1BorderColour : kSeat2BorderColour);
    tw.errors.LineMarker = "275C";
    return true;
}

bool DI_M2(Tablewright& tw, const std::string& args) {
    const auto command = OpponentsCardAndPair(tw, args);
    if (!command) return false;
    auto& grid = tw.field.FieldGrid;
    const auto row = PeerNumber(command->first, 0, grid.ubound(1));
    const auto column = PeerNumber(command->second, 0, grid.ubound(2));
    if (!row || !column) return Malformed(tw);
    const int s = command->slot;
    tw.errors.LineMarker = "334C";
    FreeGridPlace(tw, s);
    Card& card = tw.field.FieldCards[s];
    card.GridRow = *row;
    card.GridCol = *column;
    // A place another card holds stays its: the owner's table puts a card into a full row
    // without taking a place, and so does this one.
    if (!FieldSpellZone(*column) && grid(*row, *column) < 1) grid(*row, *column) = s;
    PositionFieldCard(tw, static_cast<std::int16_t>(s));
    return true;
}

}  // namespace tw
