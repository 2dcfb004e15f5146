#include "cards/game_log.hpp"

#include <filesystem>

#include "cards/errors.hpp"
#include "cards/log_coding.hpp"
#include "cards/tablewright.hpp"
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
    if (LogFolderUsable(tw, tw.LogFolder)) return SettingFolder(tw, tw.LogFolder);
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

void CutChatBoxStart(Tablewright& tw, platform::RichTextBox& chat, int keep_from) {
    const std::string& text = chat.text();
    if (!text.starts_with(tw.DuelLogKept)) tw.DuelLogCut.clear();
    tw.DuelLogCut += rt::left(text, keep_from - 1);
    chat.set_text(rt::mid(text, keep_from));
    tw.DuelLogKept = chat.text();
}

std::string WholeDuelLog(Tablewright& tw, const std::string& chat_text) {
    // A box emptied since the last cut (a new duel) no longer begins with what that cut kept.
    if (!tw.DuelLogCut.empty() && !chat_text.starts_with(tw.DuelLogKept)) {
        tw.DuelLogCut.clear();
        tw.DuelLogKept.clear();
    }
    return tw.DuelLogCut + chat_text;
}

void SaveLog(Tablewright& tw, const std::string& /*note*/, std::int16_t /*flag*/) {
    if (tw.LogFileName.empty() || !tw.LoggingOn) return;
    // Without the duel window there is no duel log; writing an empty one would wipe the last.
    auto* duel = tw.FormA.peek();
    if (!duel) return;
    const auto file = platform::resolve(tw.folder(), fs::path(tw.LogFileName));
    // The program's own logs folder is made when a log first needs it.
    if (file.parent_path() == tw.path_of("Logs") && !platform::folder_exists(file.parent_path()))
        platform::make_folder_one_level(file.parent_path());
    if (!platform::write_file_atomic(file, GameLogFileText(WholeDuelLog(tw, duel->chat.text())))) {
        tw.LoggingOn = false;
        ShowMessage(tw, "There has been an error adding to the Logfile, Logging will now stop");
    }
}

}  // namespace tw
