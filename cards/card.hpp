#pragma once
// The card record that every card list holds: the card database, search results, piles, the
// field table and the token editor. A record is a value; a fresh one is empty, zero and false.
#include <cstdint>
#include <string>

namespace tw {

struct Card {
    std::string Name;        // card name, or a marker: "", "DRAWN", "bad card", "Face Down Card", "back"
    std::string Spare;       // always empty
    std::string Def;         // printed DEF
    std::string Atk;         // printed ATK
    std::string CurrentDef;  // DEF while on the field
    std::string CurrentAtk;  // ATK while on the field
    std::string Desc;        // card text
    std::string Group;       // type line
    std::string Level;
    std::string Attribute;   // attribute, or "Spell" / "Trap"
    std::string Icon;        // spell or trap property
    std::int32_t Slot = 0;
    std::string SetCode;
    bool Flipped = false;    // on the field: face down; in the deck: face up
    std::int32_t Counters = 0;
    std::int32_t Controller = 0;
    bool Fusion = false;     // an extra-deck card
    bool Horizontal = false;
    std::int32_t GridRow = 0;
    std::int32_t GridCol = 0;
    bool RemovedFromGame = false;
    bool PictureDrawn = false;
    std::int16_t SetNumber = 0;

    bool operator==(const Card&) const = default;
};

// Pile entries whose card has left keep their place under this name.
inline constexpr const char* kDrawn = "DRAWN";
inline constexpr const char* kBadCard = "bad card";
inline constexpr const char* kFaceDownCard = "Face Down Card";

}  // namespace tw
