#include "cards/settings.hpp"

#include <optional>

#include "cards/tablewright.hpp"
#include "platform/ini.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

constexpr const char* kSettingsSection = "settings";
constexpr std::size_t kMaxValue = 749;

// The settings file holds the account password in plain text.
constexpr auto kOwnerOnly = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

void write_ini(const std::string& section, const std::string& key, const std::string& value,
               const std::filesystem::path& file, std::optional<std::filesystem::perms> mode) {
    // ini_write turns line breaks into blanks, so a value can never add lines to the file.
    rt::try_step([&] { platform::ini_write(file, section, rt::ucase(key), value, mode); });
}

}  // namespace

std::string ReadIniValue(const std::string& section, const std::string& key,
                         const std::filesystem::path& file) {
    std::string value;
    rt::try_step([&] { value = rt::trim(platform::ini_read(file, section, rt::lcase(key), "", kMaxValue)); });
    return value;
}

void WriteIniValue(const std::string& section, const std::string& key, const std::string& value,
                   const std::filesystem::path& file) {
    write_ini(section, key, value, file, std::nullopt);
}

std::filesystem::path SettingsFilePath(const Tablewright& tw) { return tw.path_of("settings.ini"); }

std::string ReadSetting(Tablewright& tw, const std::string& key) {
    return ReadIniValue(kSettingsSection, key, SettingsFilePath(tw));
}

void WriteSetting(Tablewright& tw, const std::string& key, const std::string& value) {
    const auto file = SettingsFilePath(tw);
    // A file made by hand, copied or restored keeps its own mode through a save, so it is made
    // private first: the password is never written into a file others can read.
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(file, ec);
    if (!ec && std::filesystem::is_regular_file(status) && (status.permissions() & ~kOwnerOnly) != std::filesystem::perms::none)
        std::filesystem::permissions(file, kOwnerOnly, std::filesystem::perm_options::replace, ec);
    write_ini(kSettingsSection, key, value, file, kOwnerOnly);
}

bool IsValidName(const std::string& text) {
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) continue;
        switch (c) {
            case '#': case '.': case '-': case ' ': case '\'': case '`': case ',': case 146:
                continue;
            default:
                return false;
        }
    }
    return true;
}

namespace setting_key {
std::string slot(int k) { return "slot" + std::to_string(k); }
}  // namespace setting_key

std::string_view DefaultMacro(int k) {
    static constexpr std::string_view kMacros[] = {
        "Heads or Tails?", "Heads!", "Tails!", "Ladder or Non-Ladder?", "Ladder!",
        "Non-Ladder!", "Change Me!", "Change Me!", "Change Me!"};
    if (k < 1 || k > 9) return {};
    return kMacros[k - 1];
}

std::string DefaultLogFolder(const Tablewright& tw) { return tw.path_of("Logs\\").string(); }
std::string DefaultDeckFolder(const Tablewright& tw) { return tw.path_of("Decks\\").string(); }

}  // namespace tw
