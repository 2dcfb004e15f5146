#include "cards/game_log.hpp"

#include <filesystem>

#include "cards/errors.hpp"
#include "cards/log_coding.hpp"
#include "cards/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/files.hpp"
#include "platform/rt.hpp"

namespace tw {

std::string NewLogFileName(const Tablewright& tw) {
    return tw.LogFolder + rt::log_stamp(tw.app.clock().local_time()) + ".qlra";
}

std::string PeerLogFileName(const Tablewright& tw, const std::string& opponent) {
    return tw.LogFolder + rt::log_stamp_peer(tw.app.clock().local_time()) + "_" +
           platform::safe_component(opponent) + ".qlra";
}

std::string GameLogFileText(const std::string& duel_log) { return ScrambleLog(duel_log) + "\r\n"; }

void SaveLog(Tablewright& tw, const std::string& /*note*/, std::int16_t /*flag*/) {
    if (tw.LogFileName.empty() || !tw.LoggingOn) return;
    // Without the duel window there is no duel log; writing an empty one would wipe the last.
    const auto* duel = tw.FormA.peek();
    if (!duel) return;
    const auto file = platform::resolve(tw.folder(), std::filesystem::path(tw.LogFileName));
    if (!platform::write_file_atomic(file, GameLogFileText(duel->chat.text()))) {
        tw.LoggingOn = false;
        ShowMessage(tw, "There has been an error adding to the Logfile, Logging will now stop");
    }
}

}  // namespace tw
