#pragma once
// The game log file: a scrambled copy of the whole duel log, rewritten at every save.
#include <cstdint>
#include <string>

namespace tw {
class Tablewright;

// The name of a new game log, from LogFolder and the local time: LogFolder & "M-D-YYYY_H-m.qlra".
std::string NewLogFileName(const Tablewright& tw);

// The name once the opponent is known: LogFolder & "M-D_H_m_" & opponent & ".qlra". The
// opponent's name comes from the peer, so it is reduced to one harmless name component.
std::string PeerLogFileName(const Tablewright& tw, const std::string& opponent);

// The game log's whole content for a duel-log text: the scrambled text, then CR LF.
std::string GameLogFileText(const std::string& duel_log);

// While LoggingOn and LogFileName is set, replaces the log file with the duel window's whole
// chat box. A failed write tells the player and stops logging. Both arguments are ignored.
void SaveLog(Tablewright& tw, const std::string& note = {}, std::int16_t flag = 0);

}  // namespace tw
