#pragma once
#include <cstdint>
#include <string>

namespace tw {
class Tablewright;

// Sends one command to the peer: the only writer of the duel socket. While not connected, and
// for a command that ends in "~" or is blank, nothing goes out and nothing is counted. Otherwise
// cls becomes 10 x PlayerNumber + cls (the frame's tag byte), the frame markers and the chat
// time stamp are taken out of the command, SentCount and SendSeq move on, and the frame (or in
// a server duel the XMPP message) is written in one piece. Every command not refused for its
// text is recorded in SentCommands, connected or not.
void SendCommand(Tablewright& tw, const std::string& command, std::int32_t& cls);
// The same for callers that keep the tag in 16 bits.
void SendCommand(Tablewright& tw, const std::string& command, std::int16_t& tag);

}  // namespace tw
