#pragma once
// How two tables greet and watch each other: the challenge and its answer, the player
// information, and the tamper meter that compares the peer's running count of commands with
// ours. None of this keeps a determined peer out; it catches tables that fall out of step.
#include <cstdint>
#include <string>

namespace tw {
class Tablewright;

// The decimal sum of the first 15 digits of a challenge. Raises error 13 when the challenge has
// fewer than 15 characters or a non-digit among them.
std::string HandshakeAnswer(const std::string& challenge);

// 16 digits, each drawn from 1 to 9 with the program's random numbers.
std::string MakeChallenge(Tablewright& tw);
// Sends "hs~" with a new challenge and remembers the answer the peer must give.
void SendChallenge(Tablewright& tw);

// The argument of "mi~": user name (without ":" and "~"), protocol version, seat, online flag
// and an empty field. The online flag is "1" or "0", or empty when with_online is false.
std::string PlayerInfo(const Tablewright& tw, bool with_online);
void SendPlayerInfo(Tablewright& tw, bool with_online);

// The opponent's player information: the name (what stands before the last four fields), an
// older protocol ending the connection, the opponent's menus, the duel-log line and the game
// log's new name. The seat has been checked to be 1 to 4.
void DI_MI(Tablewright& tw, const std::string& info);

// The tamper meter for a received count: HackLevel, the percentage and the light.
void UpdateHackMeter(Tablewright& tw, std::int32_t count);

// The dispatcher's branches: a challenge arrives ("hs"), an answer arrives ("dh"), the relay's
// probe ("pd"; in a relay duel its answer waits while our challenge is open, see DI_MI). Each
// returns whether the closing step follows.
bool ReceivedChallenge(Tablewright& tw, const std::string& args);
bool ReceivedHandshakeAnswer(Tablewright& tw, const std::string& args);
bool ReceivedRelayProbe(Tablewright& tw);

}  // namespace tw
