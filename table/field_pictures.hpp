#pragma once
// Painting a field slot's picture: the frame that tells the card's kind, its small art, backs,
// tokens and sideways cards; and taking a slot's controls off the table.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace platform {
class PictureBox;
}

namespace tw {
class Tablewright;
struct Card;

// Sideways sizes in twips; the border is 5 twips short of the picture across the card.
inline constexpr double kSidewaysWidth = 1215;
inline constexpr double kSidewaysHeight = 855;
inline constexpr double kBorderShortfall = 5;

// Paints cardstencil(card.Slot) from FieldCards(card.Slot), unless the card is already painted
// or has no name. A complete painting (one that found the card's art) marks the record
// painted and selects the slot. Missing or undecodable pictures never raise: a frame falls back
// to "default.gif", art that cannot be used leaves the frame alone.
void DrawFieldCard(Tablewright& tw, Card& card);

// Turns the 41 x 41 art block at the top left of copybox's picture a quarter turn clockwise
// into columns 50 to 90, then paints the turned copy onto the stencil when the card of that
// slot has an art window.
void RotateCardPicture(Tablewright& tw, platform::PictureBox& stencil, platform::PictureBox& copybox,
                       std::int32_t slot);

// True for a GIF file that declares 40 x 40 pixels.
bool IsIconGif(const std::filesystem::path& path);

// The card's art file, images/<set code>/<name without blanks>.gif in lower case, found without
// regard to case. None when set code or name could name anything outside that folder.
std::optional<std::filesystem::path> CardArtPath(const Tablewright& tw, const std::string& set_code,
                                                 const std::string& name);

// Clears the slot's picture and unloads its four controls, each step skipped when it cannot be
// done (the template slot 0, a slot never loaded), then refreshes the pile counts. FieldCards
// and FieldGrid are the callers' to update.
void RemoveFieldCard(Tablewright& tw, std::int16_t slot);

}  // namespace tw
