#pragma once
// The player's preferences in "settings.ini" beside the program (one section, "settings"), and
// the general profile-file access beneath them.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini.hpp"

namespace tw {

class Tablewright;

// The value of key in section of a profile file, trimmed of blanks, at most 749 characters.
// A missing file, section or key, or any failure, gives "".
std::string ReadIniValue(const std::string& section, const std::string& key,
                         const std::filesystem::path& file);

// Stores key (upper-cased) = value in section; line breaks in value become blanks. False when
// nothing was written.
bool WriteIniValue(const std::string& section, const std::string& key, const std::string& value,
                   const std::filesystem::path& file);

// The settings file of this program folder.
std::filesystem::path SettingsFilePath(const Tablewright& tw);

// The settings file is read once and kept; it is read again when it changed on disk.
std::string ReadSetting(Tablewright& tw, const std::string& key);
// Stores the keys in one write of the settings file, which is left readable by its owner only:
// it holds a password. False when nothing was written; the file is then as it was.
bool WriteSettings(Tablewright& tw, const std::vector<platform::IniEntry>& entries);
// One key, for the writes that no one asked for as a save of their own (the last deck, a
// default): the first failure of the run tells the player kSettingsNotSaved.
bool WriteSetting(Tablewright& tw, const std::string& key, const std::string& value);

inline constexpr std::string_view kSettingsNotSaved = "The settings could not be saved.";

// The user-name rule: only ASCII letters, digits, blanks and # . - ' ` , and code 146.
// An empty text passes.
bool IsValidName(const std::string& text);

// The keys of the settings file. Folder values end in the native separator "/".
namespace setting_key {
inline constexpr std::string_view username = "username";
inline constexpr std::string_view timestamp = "timestamp";
inline constexpr std::string_view wallpaper = "wallpaper";
inline constexpr std::string_view lang = "lang";  // the logs folder
inline constexpr std::string_view decks = "decks";
inline constexpr std::string_view firsttime = "firsttime";
inline constexpr std::string_view jabber = "jabber";
inline constexpr std::string_view lastdeck = "lastdeck";
inline constexpr std::string_view juser = "juser";
inline constexpr std::string_view jpass = "jpass";
// "slot1" to "slot9": chat macro k.
std::string slot(int k);
}  // namespace setting_key

// Defaults that the loads store when a key is empty.
inline constexpr std::string_view kDefaultUserName = "Newbie";
inline constexpr std::string_view kFirstTimeDone = "no";
// The macro default of slot k (1 to 9); "" outside that range.
std::string_view DefaultMacro(int k);
// Program-folder defaults of the two folder keys, ending in "/".
std::string DefaultLogFolder(const Tablewright& tw);
std::string DefaultDeckFolder(const Tablewright& tw);

}  // namespace tw
