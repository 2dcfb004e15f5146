#pragma once
// Profile (INI) files read and written one key at a time: settings.ini, token files, skin
// settings. Sections and keys are found without regard to letter case.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

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

}  // namespace platform
