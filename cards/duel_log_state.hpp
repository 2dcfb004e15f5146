#pragma once
// The duel log: where it is kept, what the chat box's trimming cut off, the game log file, and
// the card references it shows.
#include <string>
#include <vector>

#include "cards/game_log.hpp"

namespace tw {

struct DuelLogState {
    std::string LogFolder;
    std::string LogFileName;
    bool LoggingOn = false;
    // The start of the duel log that the chat box's trimming cut off, and the box's text just
    // after the last cut; the game log keeps the whole duel (cards/game_log.hpp).
    std::string DuelLogCut;
    std::string DuelLogKept;
    GameLogWriter GameLog;
    // Element 0 empty, then "name|set" of every card reference the duel log shows.
    std::vector<std::string> ChatCardLinks = std::vector<std::string>(1);
};

}  // namespace tw
