#pragma once
// The player's settings as the program holds them, and its own files as last read or written.
#include <memory>
#include <string>
#include <vector>

#include "platform/files.hpp"

namespace tw {

struct TokenFileCache;

struct Preferences {
    std::string UserName;
    std::string JabberServer;
    bool ShowTimestamps = false;
    std::vector<std::string> Macros = std::vector<std::string>(10);  // 1 to 9 used
    // The settings file, and the token file with its sections (cards/token_files.hpp), each
    // read again only once it changed.
    platform::FileCache SettingsCache;
    std::shared_ptr<TokenFileCache> TokenCache;
    bool SettingsFailureTold = false;  // a failed settings write was told to the player
};

}  // namespace tw
