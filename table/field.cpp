#include "table/field.hpp"

#include <cmath>
#include <string>
#include <utility>

#include "cards/card.hpp"
#include "cards/card_info.hpp"
#include "cards/card_lookup.hpp"
#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/send_command.hpp"
#include "platform/rt.hpp"
#include "table/field_pictures.hpp"
#include "table/piles.hpp"

namespace tw {

namespace {

constexpr double kRowTopsSeat1[] = {505, 1990, 3825, 5340};

bool is_field_slot(int slot) { return slot >= kFirstFieldSlot && slot <= kLastFieldSlot; }

// Positions go out as plain decimal numbers; table positions are whole twips.
std::string twips_text(double v) {
    if (std::floor(v) == v && std::fabs(v) < 1e15) return rt::cstr(static_cast<long long>(v));
    return rt::cstr_single(v);
}

std::string card_markup(const Card& c) {
    return "{card='" + c.Name + "' set='" + c.SetCode + "'}";
}

void send(Tablewright& tw, const std::string& command) {
    std::int16_t tag = 0;
    SendCommand(tw, command, tag);
}

void report(Tablewright& tw, const rt::RuntimeError& e, const char* procedure) {
    ReportRuntimeError(tw, e.description, rt::cstr(e.number), procedure);
}

// A card that replaces another in its slot must not leave the old card's place taken.
void free_places_of(Tablewright& tw, int slot) {
    for (int row = 0; row <= tw.field.FieldGrid.ubound(1); ++row)
        for (int col = 0; col <= tw.field.FieldGrid.ubound(2); ++col)
            if (tw.field.FieldGrid(row, col) == slot) tw.field.FieldGrid(row, col) = -1;
}

}  // namespace

double FieldRowTop(std::int32_t player_number, int row) {
    if (row < 0 || row > 3) return -1;
    return kRowTopsSeat1[player_number == 2 ? 3 - row : row];
}

double FieldColumnLeft(int column) {
    if (column < 0 || column > 6) return -1;
    return 810 + 1260 * column;
}

std::int16_t OpenControl(Tablewright& tw, bool find_only, std::int16_t slot, bool /*reverse*/) {
    std::int16_t result = kNoFreeSlot;
    const auto err = rt::trap([&] {
        auto& duel = tw.FormA();
        if (slot != -1) {
            // Slot 0 is the template and 25 means "none": a named slot outside 1 to 24 is none.
            result = is_field_slot(slot) ? slot : kNoFreeSlot;
        } else {
            const int highest = duel.cardstencil.ubound();
            int found = 0;
            for (int i = 1; i <= highest && found == 0; ++i)
                if (!duel.cardstencil.exists(i)) found = i;
            if (found == 0) {
                found = highest + 1;
                tw.errors.LineMarker = "2215A";
            }
            result = is_field_slot(found) ? static_cast<std::int16_t>(found) : kNoFreeSlot;
        }
        if (result == kNoFreeSlot || find_only) return;
        if (!duel.cardstencil.exists(result)) duel.cardstencil.load(result);
        if (!duel.Label4.exists(result)) duel.Label4.load(result);
        if (!duel.Label5.exists(result)) duel.Label5.load(result);
        if (!duel.Shape1.exists(result)) duel.Shape1.load(result);
    });
    if (err) {
        report(tw, *err, "OpenControl");
        return kNoFreeSlot;  // so that no caller places a card after a failure
    }
    return result;
}

void GetCardLocation(Tablewright& tw, Card& card, std::int32_t owner) {
    const auto err = rt::trap([&] {
        const std::string attribute = rt::lcase(card.Attribute);
        const bool spell_or_trap = attribute == "magic" || attribute == "spell" || attribute == "trap";
        const bool seat2 = tw.net.PlayerNumber == 2 ? owner == 2 : owner != tw.net.PlayerNumber;
        const int monster_row = seat2 ? kSeat2MonsterRow : kSeat1MonsterRow;
        card.GridRow = spell_or_trap ? (seat2 ? kSeat2SpellRow : kSeat1SpellRow) : monster_row;
        tw.errors.LineMarker = "1696A";

        if (rt::lcase(card.Icon) == "field") {
            card.GridRow = monster_row;
            card.GridCol = owner == tw.net.PlayerNumber ? kFieldSpellOwnColumn : kFieldSpellOpponentColumn;
            return;
        }
        for (int col = 1; col <= 5; ++col) {
            if (tw.field.FieldGrid(card.GridRow, col) < 1) {
                card.GridCol = col;
                tw.field.FieldGrid(card.GridRow, col) = card.Slot;
                return;
            }
        }
    });
    if (err) report(tw, *err, "GetCardLocation");
}

void PositionFieldCard(Tablewright& tw, std::int16_t slot) {
    auto& duel = tw.FormA();
    const Card& card = tw.field.FieldCards[slot];
    auto& picture = duel.cardstencil[slot];

    const double top = FieldRowTop(tw.net.PlayerNumber, card.GridRow);
    if (top >= 0) picture.set_top(top);
    const double left = FieldColumnLeft(card.GridCol);
    if (left >= 0) picture.set_left(left);

    if (card.Controller == tw.net.PlayerNumber) {
        for (int i = 1; i <= 31; ++i) {
            if (i == slot || !duel.cardstencil.exists(i)) continue;
            const auto& other = duel.cardstencil[i];
            if (other.top() == picture.top() && other.left() == picture.left()) {
                picture.set_top(500.0 * RandomInt(tw, 1, 5));
                picture.set_left(500.0 * RandomInt(tw, 1, 5));
            }
        }
    }

    duel.Shape1[slot].move(picture.left(), picture.top());
    duel.Label5[slot].move(picture.left(), picture.top() - kLabelAbovePicture);
}

bool CanPlaceCard(Tablewright&, const Card&) { return true; }

std::int16_t PutCardOnField(Tablewright& tw, Card& card, std::int32_t& owner) {
    if (OpenControl(tw, true, -1, false) == kNoFreeSlot) return 0;
    SleepMs(tw, 300);
    if (owner == 0) owner = tw.net.PlayerNumber;
    if (card.Name.empty()) return 0;

    const bool own = owner == tw.net.PlayerNumber;
    const Card placed = card;  // the caller may pass the slot's own record
    tw.errors.LineMarker = "1900A";
    const std::int16_t s = own ? OpenControl(tw, false, -1, false)
                               : OpenControl(tw, false, static_cast<std::int16_t>(placed.Slot), true);
    if (s == kNoFreeSlot) return 0;

    auto& duel = tw.FormA();
    auto& picture = duel.cardstencil[s];
    auto& border = duel.Shape1[s];
    auto& name_label = duel.Label5[s];
    if (picture.visible()) free_places_of(tw, s);

    const Card known = LookupCard(tw, placed.SetCode, placed.Name);
    Card& rec = tw.field.FieldCards[s];
    rec = placed;
    rec.Slot = s;
    rec.PictureDrawn = false;
    rec.CurrentAtk = known.Atk;
    rec.CurrentDef = known.Def;
    if (rec.Name == "back") rec.Name = kFaceDownCard;
    name_label.set_caption(rec.Name);

    rec.Controller = owner;
    GetCardLocation(tw, rec, owner);
    PositionFieldCard(tw, s);

    if (own) {
        tw.errors.LineMarker = "1938A";
        const std::string n = rt::cstr(s);
        const auto position = [&] {
            return "mv~" + n + "~" + twips_text(picture.left()) + ":" + twips_text(picture.top());
        };
        const std::string place = "m2~" + n + "~" + rt::cstr(rec.GridRow) + ":" + rt::cstr(rec.GridCol);
        // The peer never learns a face-down card's name or set.
        if (rec.Flipped) {
            name_label.set_caption(kFaceDownCard);
            name_label.set_visible(false);
            send(tw, "lc~" + n + "~back:extras");
            send(tw, "fc~" + n + "~1");
            send(tw, position());
            send(tw, place);
            send(tw, "fc~" + n + "~1");
        } else {
            name_label.set_caption(rec.Name);
            send(tw, "lc~" + n + "~" + rec.Name + ":" + rec.SetCode);
            send(tw, position());
            send(tw, place);
            AddChat(tw, tw.prefs.UserName + " has put down a " + card_markup(rec), "Game", true);
            send(tw, "fc~" + n + "~0");
        }
        if (rec.Horizontal) {
            picture.move(picture.left(), picture.top(), picture.height(), picture.width());
            border.move(border.left(), border.top(), border.height(), border.width());
            if (!rec.Flipped)
                AddChat(tw, tw.prefs.UserName + " turned " + card_markup(rec) + " horizontal", "Game", true);
            send(tw, "vh~" + n + "~1");
        }
        send(tw, position());
        tw.errors.LineMarker = "1975A";
    }

    border.set_border_color(0);
    if (owner == 1) border.set_border_color(kSeat1BorderColour);
    if (owner == 2) border.set_border_color(kSeat2BorderColour);
    if (rec.Controller == tw.net.PlayerNumber) border.set_border_color(kOwnBorderColour);

    ShowCardInfo(tw, rec, duel.selectedcard);
    tw.errors.LineMarker = "2000A";
    picture.set_visible(true);
    border.set_visible(true);
    name_label.set_visible(!rec.Flipped);

    DrawFieldCard(tw, rec);

    name_label.bring_to_front();
    UpdateStats(tw);
    tw.field.FieldCards[s].Slot = s;
    tw.field.SelectedSlot = s;
    return s;
}

}  // namespace tw
