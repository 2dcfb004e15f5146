#include "cards/settings.hpp"

#include <optional>

#include "cards/errors.hpp"
#include "program/tablewright.hpp"
#include "platform/files.hpp"
#include "platform/ini.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

constexpr const char* kSettingsSection = "settings";
constexpr std::size_t kMaxValue = 749;

// The settings file holds the account password in plain text.
constexpr auto kOwnerOnly = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

}  // namespace

std::string ReadIniValue(const std::string& section, const std::string& key,
                         const std::filesystem::path& file) {
    std::string value;
    rt::try_step([&] { value = rt::trim(platform::ini_read(file, section, rt::lcase(key), "", kMaxValue)); });
    return value;
}

bool WriteIniValue(const std::string& section, const std::string& key, const std::string& value,
                   const std::filesystem::path& file) {
    bool written = false;
    // ini_write turns line breaks into blanks, so a value can never add lines to the file.
    rt::try_step([&] { written = platform::ini_write(file, section, rt::ucase(key), value); });
    return written;
}

std::filesystem::path SettingsFilePath(const Tablewright& tw) { return tw.path_of("settings.ini"); }

std::string ReadSetting(Tablewright& tw, const std::string& key) {
    std::string value;
    rt::try_step([&] {
        const auto& bytes = tw.prefs.SettingsCache.read(SettingsFilePath(tw));
        if (bytes) value = rt::trim(platform::ini_read_text(*bytes, kSettingsSection, rt::lcase(key), "", kMaxValue));
    });
    return value;
}

bool WriteSettings(Tablewright& tw, const std::vector<platform::IniEntry>& entries) {
    bool written = false;
    rt::try_step([&] {
        const auto file = SettingsFilePath(tw);
        // A file made by hand, copied or restored is made private first, even should this write
        // fail: the password is never left in a file others can read.
        std::error_code ec;
        const auto status = std::filesystem::symlink_status(file, ec);
        if (!ec && std::filesystem::is_regular_file(status) && (status.permissions() & ~kOwnerOnly) != std::filesystem::perms::none)
            std::filesystem::permissions(file, kOwnerOnly, std::filesystem::perm_options::replace, ec);

        const auto& old = tw.prefs.SettingsCache.read(file);
        // A file that is there but cannot be read is never replaced.
        if (!old && !tw.prefs.SettingsCache.missing()) return;
        std::vector<platform::IniEntry> upper;
        for (const auto& [key, value] : entries) upper.emplace_back(rt::ucase(key), value);
        // ini_set turns line breaks into blanks, so a value can never add lines to the file.
        auto bytes = platform::ini_set(old ? *old : std::string(), kSettingsSection, upper);
        if (!bytes || !platform::write_file_atomic(file, *bytes, kOwnerOnly)) return;
        tw.prefs.SettingsCache.wrote(file, std::move(*bytes));
        written = true;
    });
    return written;
}

bool WriteSetting(Tablewright& tw, const std::string& key, const std::string& value) {
    if (WriteSettings(tw, {platform::IniEntry(key, value)})) return true;
    // Such writes come in runs (every macro, every deck opened): one notice is enough.
    if (!tw.prefs.SettingsFailureTold) {
        tw.prefs.SettingsFailureTold = true;
        ShowMessageDirect(tw, std::string(kSettingsNotSaved));
    }
    return false;
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
