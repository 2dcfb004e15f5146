#pragma once
// Profile (INI) files read and written one key at a time: settings.ini, token files, skin
// settings. Sections and keys are found without regard to letter case.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace platform {

// One key = value to be set.
using IniEntry = std::pair<std::string, std::string>;

// The value of key in section: everything after the key's first "=", trimmed of blanks, quotes
// kept, cut to at most max_chars characters. A missing file, section or key gives deflt. When a
// section or key occurs twice, the first one counts.
std::string ini_read(const std::filesystem::path& file, std::string_view section,
                     std::string_view key, std::string_view deflt = "",
                     std::size_t max_chars = 749);

// Sets key = value in section. The key's line is replaced, or the key is added after the last
// line of its section, or the section is added at the end; a missing file is created (with
// mode_on_create when given). Every other line is kept byte for byte, and new lines take the
// file's line ending (CR LF for a new file). Line breaks inside value become blanks. A section
// or key that is empty or holds "=", "[", "]", CR or LF is refused. Written atomically; false
// on any failure, the old file then left as it was.
bool ini_write(const std::filesystem::path& file, std::string_view section,
               std::string_view key, std::string_view value,
               std::optional<std::filesystem::perms> mode_on_create = {});
// Sets several keys of section in one write, in order, each as ini_write would; nothing is
// written when any key is refused.
bool ini_write(const std::filesystem::path& file, std::string_view section,
               const std::vector<IniEntry>& entries,
               std::optional<std::filesystem::perms> mode_on_create = {});

// What ini_read and ini_write do, on a file's bytes held in memory.
std::string ini_read_text(std::string_view bytes, std::string_view section, std::string_view key,
                          std::string_view deflt = "", std::size_t max_chars = 749);
// The new bytes, or nullopt when a section or key is refused.
std::optional<std::string> ini_set(std::string_view bytes, std::string_view section,
                                   const std::vector<IniEntry>& entries);

// The sections of a profile file's bytes, for reading many of them: the lines of each section
// up to the next section line, by name without regard to case, the first section of a name
// counting as ini_read counts it. Views into bytes, which must outlive the index.
class IniIndex {
public:
    explicit IniIndex(std::string_view bytes);
    std::optional<std::string_view> body(std::string_view section) const;

private:
    std::unordered_map<std::string, std::string_view> bodies_;  // by lower-cased name
};

// The value of key among the lines of a section's body, as ini_read gives it.
std::string ini_value(std::string_view body, std::string_view key, std::string_view deflt = "",
                      std::size_t max_chars = 749);

}  // namespace platform
