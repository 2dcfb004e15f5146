#include "cards/main.hpp"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cards/game_log.hpp"
#include "cards/helpers.hpp"
#include "cards/loadset.hpp"
#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "platform/files.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

// What saves cut off by a crash left behind (old copies of the settings with their password,
// game logs, error reports) would otherwise stay for ever: a later save removes only its own
// target's. Saves still running in another copy of the program hold theirs locked.
void RemoveStaleTemporaryFiles(Tablewright& tw) {
    namespace fs = std::filesystem;
    std::vector<fs::path> folders{tw.folder(), tw.path_of("Decks"), tw.path_of("Logs")};
    const std::string decks = ReadSetting(tw, std::string(setting_key::decks));
    if (!rt::trim(decks).empty()) folders.push_back(platform::resolve(tw.folder(), fs::path(decks)));
    const std::string logs = ReadSetting(tw, std::string(setting_key::lang));
    if (LogFolderUsable(tw, logs)) folders.push_back(platform::resolve(tw.folder(), fs::path(logs)));
    std::vector<fs::path> swept;
    for (const fs::path& folder : folders) {
        std::error_code ec;
        const fs::path real = fs::weakly_canonical(folder, ec);
        const fs::path& key = ec ? folder : real;
        if (std::find(swept.begin(), swept.end(), key) != swept.end()) continue;
        swept.push_back(key);
        if (platform::folder_exists(folder)) platform::remove_stale_temp_files(folder);
    }
}

}  // namespace

void Main(Tablewright& tw) {
    rt::try_step([&] { RemoveStaleTemporaryFiles(tw); });
    rt::try_step([] { InitCommonControls(); });
    rt::try_step([&] { tw.LoadSet().show(); });
}

}  // namespace tw
