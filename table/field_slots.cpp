#include "table/field_slots.hpp"

#include <cmath>

#include "cards/card.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/rt.hpp"
#include "table/field.hpp"

namespace tw {

bool IsOwnCard(const Tablewright& tw, const Card& c) { return c.Controller == tw.net.PlayerNumber; }

bool IsMonster(const Card& c) { return IsNumber(c.Level); }

bool IsToken(const Card& c) { return c.SetCode == "Token"; }

bool SlotInUse(Tablewright& tw, int slot) {
    return slot >= kFirstFieldSlot && slot <= kLastFieldSlot && tw.FormA().cardstencil.exists(slot);
}

int OwnSelectedSlot(Tablewright& tw) {
    const int s = tw.field.SelectedSlot;
    return SlotInUse(tw, s) && IsOwnCard(tw, tw.field.FieldCards[s]) ? s : 0;
}

void FreeGridPlace(Tablewright& tw, int slot) {
    const Card& c = tw.field.FieldCards[slot];
    auto& grid = tw.field.FieldGrid;
    if (c.GridRow < 0 || c.GridRow > grid.ubound(1) || c.GridCol < 0 || c.GridCol > grid.ubound(2)) return;
    if (grid(c.GridRow, c.GridCol) == slot) grid(c.GridRow, c.GridCol) = -1;
}

void CounterLabelBelow(Tablewright& tw, int slot) {
    auto& duel = tw.FormA();
    const auto& picture = duel.cardstencil[slot];
    duel.Label4[slot].move(picture.left(), picture.top() + picture.height());
}

void FollowPicture(Tablewright& tw, int slot) {
    auto& duel = tw.FormA();
    const auto& picture = duel.cardstencil[slot];
    duel.Label5[slot].move(picture.left(), picture.top() - kLabelAbovePicture);
    duel.Shape1[slot].move(picture.left(), picture.top());
    if (duel.Label4[slot].visible()) CounterLabelBelow(tw, slot);
}

std::string TwipsText(double v) {
    if (std::floor(v) == v && std::fabs(v) < 1e15) return rt::cstr(static_cast<long long>(v));
    return rt::cstr_single(v);
}

}  // namespace tw
