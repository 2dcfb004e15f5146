#pragma once
// The card panels: a card written out as text on a background that tells its kind, and the
// duel window's picture view, history list and rulings link around its panel.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/control.hpp"

namespace platform {
class Label;
class PictureBox;
class RichTextBox;
}  // namespace platform

namespace tw {
class Tablewright;
struct Card;

// The rulings site; the page and its query key are fixed.
inline constexpr std::string_view kRulingsSite = "http://rulings.tablewright.example";
inline constexpr std::string_view kRulingsPage = "/default.aspx?card=";

// Background colours by kind (0x00BBGGRR).
inline constexpr platform::Color kPanelPlain = 8438015;     // normal monster
inline constexpr platform::Color kPanelTrap = 16744703;
inline constexpr platform::Color kPanelSpell = 12632064;
inline constexpr platform::Color kPanelEffect = 33023;
inline constexpr platform::Color kPanelFusion = 12583104;
inline constexpr platform::Color kPanelSynchro = 16777215;
inline constexpr platform::Color kPanelToken = 12632256;
inline constexpr platform::Color kPanelWhite = 16777215;

// At most this many cards in the duel window's history list.
inline constexpr int kCardHistorySize = 10;

// The card's panel text, lines joined by CR LF (no line end after the description).
std::string CardInfoText(const Card& card);
// The background the panel takes for the card.
platform::Color CardInfoColor(const Card& card);
// The frame picture, relative to the program folder, chosen from the panel text (and the set
// code for tokens).
std::string CardFrameFile(const std::string& panel_text, const std::string& set_code);

// Line `index` (from 0) of a panel text: the whole text when it has one line, "" for a line it
// does not have.
std::string PanelLine(const std::string& text, int index);

// What the picture view's two labels show for a panel text.
struct PanelLabels {
    std::string name;
    std::string stats;
    std::string desc;
};
PanelLabels SplitPanelText(const std::string& text);

// Frame and art on a picture box: the frame replaces the picture when its file exists and
// decodes, the art is painted on at the card's art window when it exists and decodes. Missing
// or broken files leave the previous frame or no art; nothing is raised.
void PaintCardPicture(Tablewright& tw, platform::PictureBox& box, const std::string& frame_file,
                      const std::string& set_code, const std::string& name);

// Shows the card in one of the card panels. The duel window's panel also gets its picture
// view and history list; the others get text and colours only.
void ShowCardInfo(Tablewright& tw, const Card& card, platform::RichTextBox& box);

// The rulings page of a card name, the name encoded so that it stays one query value.
std::string CardRulingsUrl(const std::string& name);
void OpenCardRulings(Tablewright& tw, const std::string& name);

}  // namespace tw
