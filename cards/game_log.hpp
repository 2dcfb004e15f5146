#pragma once
// The game log file: a scrambled copy of the whole duel log, replaced whole at every save.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/files_growing.hpp"
#include "platform/reactor.hpp"

namespace platform {
class RichTextBox;
}

namespace tw {
class Tablewright;

// The largest duel text a game log takes: its coded file (up to four bytes a character) then
// stays below what the log viewer reads.
inline constexpr std::size_t kMaxGameLogText = std::size_t{16} << 20;
// Saves while lines arrive come at most this often; the events that end a duel save at once.
inline constexpr std::int64_t kGameLogSaveGapMs = 1000;

// What the game log's saves carry from one to the next: the text last coded and its coding, so
// that a save codes only the lines added since (the coding is per character), the file writer
// that writes only what the coding added, and the save that waits for its turn.
class GameLogWriter {
public:
    GameLogWriter() = default;
    GameLogWriter(const GameLogWriter&) = delete;
    GameLogWriter& operator=(const GameLogWriter&) = delete;
    ~GameLogWriter() { CancelPending(); }

    // The coding of the text head + tail: the coding of the text last coded, extended, when the
    // text begins with it.
    const std::string& Code(std::string_view head, std::string_view tail = {});
    // How many leading bytes the last coding shares with the one before it.
    std::size_t Unchanged() const { return same_; }
    void CancelPending();
    bool Pending() const { return timer_ != 0; }
    void SetPending(platform::Reactor& reactor, platform::Reactor::TimerId id) {
        reactor_ = &reactor;
        timer_ = id;
    }
    void PendingFired() { timer_ = 0; }
    std::int64_t last_save_ms = 0;
    bool saved_once = false;
    std::string written_file;  // the log name the last save went to
    platform::GrowingFileWriter file;

private:
    std::string plain_;
    std::string coded_;
    std::size_t same_ = 0;
    platform::Reactor* reactor_ = nullptr;
    platform::Reactor::TimerId timer_ = 0;
};

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

// While LoggingOn and LogFileName is set, the log file is to hold the present duel's whole log:
// at once when the last save is a second old, else by a save that follows within that second.
// A failed write tells the player and stops logging. Both arguments are ignored.
void SaveLog(Tablewright& tw, const std::string& note = {}, std::int16_t flag = 0);

// Replaces the log file with the present duel's whole log now, when logging is on: the quit,
// the resets, a lost or failed connection and a change of the log's name do not wait. These
// end a stretch of the duel, so the writer's spare copy goes too.
void SaveLogNow(Tablewright& tw);

// Turns logging on or off from the duel window's "Log Duel" box, as a connection is made.
void StartLogging(Tablewright& tw);

// The opponent's name is known: the game log moves to the name that carries it, and a file
// already written under the old name goes with it, so a duel leaves one file.
void RenameLogForOpponent(Tablewright& tw, const std::string& opponent);

}  // namespace tw
