#include "cards/game_log.hpp"

#include <algorithm>
#include <filesystem>

#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "cards/log_coding.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/controls.hpp"
#include "platform/files.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace fs = std::filesystem;

namespace {

fs::path SettingFolder(const Tablewright& tw, const std::string& folder) {
    return platform::resolve(tw.folder(), fs::path(folder));
}

}  // namespace

bool LogFolderUsable(const Tablewright& tw, const std::string& folder) {
    // A bare separator is what an empty box used to be stored as, not a wish for the root.
    if (rt::trim(folder).find_first_not_of("/\\") == std::string::npos) return false;
    return platform::folder_writable(SettingFolder(tw, folder));
}

fs::path LogsFolder(const Tablewright& tw) {
    if (LogFolderUsable(tw, tw.log.LogFolder)) return SettingFolder(tw, tw.log.LogFolder);
    // An empty setting would otherwise name the root or the program folder itself, and an
    // unusable one would cost the duel its log.
    return tw.path_of("Logs");
}

std::string NewLogFileName(const Tablewright& tw) {
    return (LogsFolder(tw) / (rt::log_stamp(tw.app.clock().local_time()) + ".qlra")).string();
}

std::string PeerLogFileName(const Tablewright& tw, const std::string& opponent) {
    const std::string name = rt::log_stamp_peer(tw.app.clock().local_time()) + "_" +
                             platform::safe_component(opponent) + ".qlra";
    return (LogsFolder(tw) / name).string();
}

std::string GameLogFileText(const std::string& duel_log) { return ScrambleLog(duel_log) + "\r\n"; }

namespace {

// The decimal digits of every byte code, for the coding's inner loop.
struct ByteDigits {
    char text[256][4];
    unsigned char size[256];
    ByteDigits() {
        for (unsigned code = 0; code < 256; ++code) {
            const std::string digits = std::to_string(code);
            size[code] = static_cast<unsigned char>(digits.size());
            digits.copy(text[code], digits.size());
        }
    }
};
const ByteDigits kByteDigits;

}  // namespace

const std::string& GameLogWriter::Code(std::string_view head, std::string_view tail) {
    const std::size_t total = head.size() + tail.size();
    const std::size_t in_head = std::min(plain_.size(), head.size());
    const bool extends = !coded_.empty() && total >= plain_.size() &&
                         head.compare(0, in_head, std::string_view(plain_).substr(0, in_head)) == 0 &&
                         tail.compare(0, plain_.size() - in_head, std::string_view(plain_).substr(in_head)) == 0;
    if (!extends) {
        plain_.clear();
        coded_ = "\r\n";
    }
    // Nothing new keeps the whole coding; else it is the same up to its closing line end.
    same_ = !extends ? 0 : total == plain_.size() ? coded_.size() : coded_.size() - 2;
    // At most a dot and three digits a character, written in place.
    const std::size_t start = coded_.size() - 2;
    coded_.resize(start + (total - plain_.size()) * 4 + 2);
    char* out = coded_.data() + start;
    std::size_t i = plain_.size(), part_start = 0;
    for (std::string_view part : {head, tail}) {
        for (; i < part_start + part.size(); ++i) {
            if (i > 0) *out++ = '.';
            const unsigned code = static_cast<unsigned char>(part[i - part_start]) ^
                                  static_cast<unsigned char>(kLogKey[i % kLogKey.size()]);
            for (unsigned d = 0; d < kByteDigits.size[code]; ++d) *out++ = kByteDigits.text[code][d];
        }
        part_start += part.size();
    }
    *out++ = '\r';
    *out++ = '\n';
    coded_.resize(static_cast<std::size_t>(out - coded_.data()));
    if (plain_.size() < head.size()) plain_.append(head.substr(plain_.size()));
    plain_.append(tail.substr(plain_.size() - head.size()));
    return coded_;
}

void GameLogWriter::CancelPending() {
    if (timer_ && reactor_) reactor_->cancel_timer(timer_);
    timer_ = 0;
}

void CutChatBoxStart(Tablewright& tw, platform::RichTextBox& chat, int keep_from) {
    const std::string& text = chat.text();
    // Only a game log needs what the box no longer shows; without one, keeping it would let a
    // flood of chat grow the program without bound.
    if (!tw.log.LoggingOn || !text.starts_with(tw.log.DuelLogKept)) tw.log.DuelLogCut.clear();
    if (tw.log.LoggingOn) tw.log.DuelLogCut += rt::left(text, keep_from - 1);
    chat.set_text(rt::mid(text, keep_from));
    tw.log.DuelLogKept = tw.log.LoggingOn ? chat.text() : std::string();
}

namespace {

// A box emptied since the last cut (a new duel) no longer begins with what that cut kept.
void ForgetCutOfEarlierDuel(Tablewright& tw, const std::string& chat_text) {
    if (!tw.log.DuelLogCut.empty() && !chat_text.starts_with(tw.log.DuelLogKept)) {
        tw.log.DuelLogCut.clear();
        tw.log.DuelLogKept.clear();
    }
}

}  // namespace

std::string WholeDuelLog(Tablewright& tw, const std::string& chat_text) {
    ForgetCutOfEarlierDuel(tw, chat_text);
    return tw.log.DuelLogCut + chat_text;
}

namespace {

void StopLogging(Tablewright& tw) {
    tw.log.LoggingOn = false;
    tw.log.GameLog.CancelPending();
    tw.log.GameLog.file.release();
    tw.log.DuelLogCut.clear();
    tw.log.DuelLogKept.clear();
}

// The save itself. One that comes while lines arrive keeps the writer's spare copy for the next.
void Save(Tablewright& tw) {
    auto& writer = tw.log.GameLog;
    writer.CancelPending();
    if (tw.log.LogFileName.empty() || !tw.log.LoggingOn) return;
    // Without the duel window there is no duel log; writing an empty one would wipe the last.
    auto* duel = tw.FormA.peek();
    if (!duel) return;
    const std::string& box = duel->chat.text();
    ForgetCutOfEarlierDuel(tw, box);
    const bool full = tw.log.DuelLogCut.size() + box.size() > kMaxGameLogText;
    std::string whole;
    if (full) {
        // The log ends with the last whole line that fits.
        whole = tw.log.DuelLogCut + box;
        const std::size_t end = whole.rfind("\r\n", kMaxGameLogText - 2);
        whole.resize(end == std::string::npos ? 0 : end + 2);
    }
    const auto file = platform::resolve(tw.folder(), fs::path(tw.log.LogFileName));
    // The program's own logs folder is made when a log first needs it.
    if (file.parent_path() == tw.path_of("Logs") && !platform::folder_exists(file.parent_path()))
        platform::make_folder_one_level(file.parent_path());
    writer.last_save_ms = tw.app.clock().now_ms();
    writer.saved_once = true;
    const std::string& coded = full ? writer.Code(whole) : writer.Code(tw.log.DuelLogCut, box);
    if (!writer.file.write(file, coded, writer.Unchanged())) {
        StopLogging(tw);
        ShowMessage(tw, "There has been an error adding to the Logfile, Logging will now stop");
        return;
    }
    writer.written_file = tw.log.LogFileName;
    if (full) {
        StopLogging(tw);
        AddChat(tw, "The game log is full; logging stops.", "Game", false);
    }
}

}  // namespace

void SaveLogNow(Tablewright& tw) {
    Save(tw);
    tw.log.GameLog.file.release();
}

void SaveLog(Tablewright& tw, const std::string& /*note*/, std::int16_t /*flag*/) {
    if (tw.log.LogFileName.empty() || !tw.log.LoggingOn) return;
    auto* duel = tw.FormA.peek();
    if (!duel) return;
    auto& writer = tw.log.GameLog;
    // A log at its limit stops at once rather than keep growing until the next save.
    if (tw.log.DuelLogCut.size() + duel->chat.text().size() > kMaxGameLogText) return Save(tw);
    if (writer.Pending()) return;
    const std::int64_t now = tw.app.clock().now_ms();
    const std::int64_t due = writer.last_save_ms + kGameLogSaveGapMs;
    if (!writer.saved_once || now >= due) return Save(tw);
    auto& reactor = tw.app.reactor();
    Tablewright* table = &tw;
    writer.SetPending(reactor, reactor.add_timer(due - now, [table] {
        table->log.GameLog.PendingFired();
        Save(*table);
    }));
}

void StartLogging(Tablewright& tw) {
    tw.log.LoggingOn = tw.FormA().Check1.value() == 1;
    if (tw.log.LoggingOn) AddChat(tw, "Loging and saving to " + tw.log.LogFileName, "Game", false);
}

void RenameLogForOpponent(Tablewright& tw, const std::string& opponent) {
    const std::string old_name = tw.log.LogFileName;
    tw.log.LogFileName = PeerLogFileName(tw, opponent);
    if (old_name.empty() || old_name == tw.log.LogFileName || tw.log.GameLog.written_file != old_name) return;
    // Only the file this duel wrote moves; what a pending save holds goes to the new name.
    std::error_code ec;
    fs::rename(platform::resolve(tw.folder(), fs::path(old_name)),
               platform::resolve(tw.folder(), fs::path(tw.log.LogFileName)), ec);
    if (!ec) tw.log.GameLog.written_file = tw.log.LogFileName;
}

}  // namespace tw
