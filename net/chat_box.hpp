#pragma once
// The chat box as the opponent fills it, and what a click in it opens.
#include <cstddef>
#include <string>

namespace tw {
class Tablewright;

// The longest received line the chat box shows: "<", the speaker, "> " and the text.
inline constexpr std::size_t kLongestReceivedLine = 4096;

// A chat line from the peer into the duel log, not sent back: cut at the longest line, and
// the box cut from the front first when it has grown past its size, as for the player's own.
void AddReceivedChat(Tablewright& tw, const std::string& text, const std::string& speaker);

// Whether a link in the chat box may be opened: a web address (http or https, or one without a
// scheme, which is taken as http) or a page of the bundled site.
bool ChatLinkOpens(const Tablewright& tw, const std::string& address);

}  // namespace tw
