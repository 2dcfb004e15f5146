#pragma once
// The game log file: a scrambled copy of the whole duel log, rewritten at every save.
#include <cstdint>
#include <filesystem>
#include <string>

namespace platform {
class RichTextBox;
}

namespace tw {
class Tablewright;

// The folder game logs go into: LogFolder (the Log Folder setting) when it names a folder that
// can be written, else the program folder's Logs (made by the first save that needs it).
std::filesystem::path LogsFolder(const Tablewright& tw);
// Whether a Log Folder setting names a folder that game logs can be written into.
bool LogFolderUsable(const Tablewright& tw, const std::string& folder);

// The name of a new game log, in LogsFolder, from the local time: "M-D-YYYY_H-m.qlra".
std::string NewLogFileName(const Tablewright& tw);

// The name once the opponent is known, in LogsFolder: "M-D_H_m_" & opponent & ".qlra". The
// opponent's name comes from the peer, so it is reduced to one harmless name component.
std::string PeerLogFileName(const Tablewright& tw, const std::string& opponent);

// The game log's whole content for a duel-log text: the scrambled text, then CR LF.
std::string GameLogFileText(const std::string& duel_log);

// Cuts the chat box to its text from character keep_from (1-based) on, as its trimming does;
// what it cuts off stays part of the duel's log.
void CutChatBoxStart(Tablewright& tw, platform::RichTextBox& chat, int keep_from);

// The present duel's whole log: what the chat box's trimming cut off, then the box's text.
std::string WholeDuelLog(Tablewright& tw, const std::string& chat_text);

// While LoggingOn and LogFileName is set, replaces the log file with the present duel's whole
// log. A failed write tells the player and stops logging. Both arguments are ignored.
void SaveLog(Tablewright& tw, const std::string& note = {}, std::int16_t flag = 0);

}  // namespace tw
