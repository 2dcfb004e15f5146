#pragma once
// The duel log: the duel window's chat box, where every announcement, chat line and line from
// the peer is written, coloured, logged and (for own lines) sent on.
#include <cstdint>
#include <string>

namespace platform {
class RichTextBox;
}

namespace tw {
class Tablewright;

// Speaker colours of the duel log (red in the lowest byte).
inline constexpr std::uint32_t kGameSpeakerColour = 13369429;
inline constexpr std::uint32_t kOwnSpeakerColour = 0xFF0000;
inline constexpr std::uint32_t kServerSpeakerColour = 0x0000FF;
inline constexpr std::uint32_t kSeat1SpeakerColour = 0x00FFFF;
inline constexpr std::uint32_t kSeat2SpeakerColour = 0xFF0000;
inline constexpr std::uint32_t kIrcSpeakerColour = 0x008000;
inline constexpr std::uint32_t kOtherSpeakerColour = 0x9C009C;
inline constexpr std::uint32_t kPrivateSpeakerColour = 0x000080;
inline constexpr std::uint32_t kCardReferenceColour = 0x005000;
inline constexpr std::uint32_t kLinkColour = 0xFF0000;

// Appends "<name> text" (with the time first when ShowTimestamps) to the duel log and renders
// it; rewrites the game log while LoggingOn. With send, the line goes to the peer as "ch~".
// Every non-empty line not wholly in brackets is followed by the pile counts.
void AddChat(Tablewright& tw, const std::string& text, const std::string& name, bool send);

// Renders the last line of the box: its speaker's colour, card references, the last life-point
// figure and links.
void ColourChatLine(Tablewright& tw, platform::RichTextBox& box);

// Blue at 8000 and above, magenta at 4000, red at 0 and below; green is always 0.
std::uint32_t LifePointColour(std::int32_t lp);

}  // namespace tw
