#pragma once
// A table with cards of the player's own, for the targets that let a peer loose on it: the cards
// dealt before each input, and what of them must come out of it unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "cards/card_lookup.hpp"
#include "cards/set_file.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/rt.hpp"
#include "table/field.hpp"
#include "table/field_pictures.hpp"
#include "table/field_slots.hpp"
#include "table/piles.hpp"

namespace tw::fuzz {

// A few cards of every kind, one with ":" in its name.
inline constexpr const char* kFuzzSet =
    "1|Vellicor Drake|1|BWX|Drake|STONE|4||1500|800|It carries messages.|\r\n"
    "2|Jarrow Drake|2|BWX|Drake/Effect|STONE|8||2700|1600|It gains ATK.|\r\n"
    "3|Dovrak Automaton|3|BWX|Automaton/Fusion|STONE|8||2500|1600|Two joined.|\r\n"
    "4|Wexmoor's Compass|4|BWX|Magic Card|Magic||Field|||All monsters gain 300 ATK.|\r\n"
    "5|Corvath's Backlash|5|BWX|Trap Card|Trap||Continuous|||Once per turn.|\r\n"
    "6|Ash: Cinder|6|BWX|Wyrm|EMBER|4||1000|1000|Two in one.|\r\n";

inline void LoadFuzzSet(Tablewright& tw) {
    tw.cards.CardDatabase = ParseSetFile(kFuzzSet);
    IndexCardDatabase(tw);
}

// An empty field, then two cards of the player's own in slots 1 and 2: one face up, one face
// down.
inline void DealField(Tablewright& tw) {
    auto& duel = tw.FormA();
    for (int s = kFirstFieldSlot; s <= kLastFieldSlot; ++s)
        if (duel.cardstencil.exists(s)) RemoveFieldCard(tw, static_cast<std::int16_t>(s));
    tw.field.FieldCards = rt::Array<Card>(24);
    tw.field.FieldGrid.redim(3, 6);
    for (bool face_down : {false, true}) {
        Card c = LookupCard(tw, "BWX", face_down ? "Corvath's Backlash" : "Vellicor Drake");
        c.Flipped = face_down;
        std::int32_t owner = 0;
        if (PutCardOnField(tw, c, owner) == 0) std::abort();
    }
}

// The player's own field cards as they were dealt (a card the opponent gives the player joins
// them, which is no change to these).
inline std::string OwnFieldCards(Tablewright& tw) {
    auto& duel = tw.FormA();
    std::string out;
    for (int s = kFirstFieldSlot; s <= 2; ++s) {
        if (!SlotInUse(tw, s) || !IsOwnCard(tw, tw.field.FieldCards[s])) {
            out += "gone\n";
            continue;
        }
        const Card& c = tw.field.FieldCards[s];
        const auto& p = duel.cardstencil[s];
        out += std::to_string(s) + c.Name + "|" + c.SetCode + std::to_string(c.Flipped) + std::to_string(c.Horizontal) +
               std::to_string(c.Counters) + "|" + std::to_string(c.GridRow) + std::to_string(c.GridCol) + c.CurrentAtk +
               "/" + c.CurrentDef + std::to_string(p.left()) + std::to_string(p.top()) + std::to_string(p.width()) +
               duel.Label5[s].caption() + duel.Label4[s].caption() + std::to_string(duel.Shape1[s].border_color()) +
               "\n";
    }
    return out;
}

// The field as DealField leaves it, at the cost of what changed since: the cards the opponent put
// down are taken off and their grid places freed, and the player's own are dealt anew only when
// they are not as dealt (the targets check that they never change, so that is rare).
inline void RestoreField(Tablewright& tw, const std::string& dealt) {
    if (tw.field.FieldCards.ubound() != 24 || OwnFieldCards(tw) != dealt) {
        DealField(tw);
        return;
    }
    auto& duel = tw.FormA();
    for (int s = 3; s <= kLastFieldSlot; ++s) {
        if (duel.cardstencil.exists(s)) RemoveFieldCard(tw, static_cast<std::int16_t>(s));
        tw.field.FieldCards[s] = Card{};
    }
    tw.field.FieldGrid.redim(3, 6);
    for (int s = kFirstFieldSlot; s <= 2; ++s) tw.field.FieldGrid(tw.field.FieldCards[s].GridRow, tw.field.FieldCards[s].GridCol) = s;
}

// A deck of three, a card in the hand and one in the graveyard.
inline void DealPiles(Tablewright& tw) {
    tw.piles.DeckCards.redim(3);
    for (int i = 1; i <= 3; ++i) tw.piles.DeckCards[i].Name = "Card " + std::to_string(i);
    tw.piles.DeckLoaded = true;
    tw.piles.HandCards.redim(1);
    tw.piles.HandCards[1].Name = "In Hand";
    tw.piles.TrashCards.redim(1);
    tw.piles.TrashCards[1].Name = "In Graveyard";
    RecountDeck(tw);
}

inline std::vector<std::string> OwnPiles(Tablewright& tw) {
    std::vector<std::string> out;
    for (const rt::Array<Card>* pile : {&tw.piles.DeckCards, &tw.piles.HandCards, &tw.piles.TrashCards, &tw.piles.ExtraDeckCards}) {
        out.push_back("|");
        for (int i = 0; i <= pile->ubound(); ++i) out.push_back((*pile)[i].Name);
    }
    return out;
}

}  // namespace tw::fuzz
