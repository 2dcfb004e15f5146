#include "platform/ini.hpp"

#include "platform/rt.hpp"

#include <vector>

#include "platform/files.hpp"

namespace platform {

namespace {


bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

struct Line {
    std::string_view text;  // without its line end
    std::string_view eol;   // "\r\n", "\n" or "" for a last line without one
};

std::vector<Line> split_lines(std::string_view bytes) {
    std::vector<Line> lines;
    while (!bytes.empty()) {
        size_t lf = bytes.find('\n');
        if (lf == std::string_view::npos) {
            lines.push_back({bytes, {}});
            break;
        }
        size_t end = (lf > 0 && bytes[lf - 1] == '\r') ? lf - 1 : lf;
        lines.push_back({bytes.substr(0, end), bytes.substr(end, lf + 1 - end)});
        bytes.remove_prefix(lf + 1);
    }
    return lines;
}

// The section name of a "[name]" line: up to the line's last "]", so that a name holding "]"
// (a token's, written as "[" + name + "]") is read back whole.
std::optional<std::string_view> section_of(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    size_t close = line.rfind(']');
    if (close == std::string_view::npos) return std::nullopt;
    return trim(line.substr(1, close - 1));
}

// The key of a "key=value" line.
std::optional<std::string_view> key_of(std::string_view line) {
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    return trim(line.substr(0, eq));
}

bool valid_name(std::string_view s) {
    return !s.empty() && s.find_first_of("=[]\r\n") == std::string_view::npos;
}

// The file's bytes: "" for a missing file, nullopt when it exists but cannot be read.
std::optional<std::string> read_existing(const std::filesystem::path& file, bool& existed) {
    existed = true;
    if (auto bytes = read_file(file)) return bytes;
    std::error_code ec;
    if (std::filesystem::symlink_status(file, ec).type() != std::filesystem::file_type::not_found)
        return std::nullopt;
    existed = false;
    return std::string();
}

std::string cut(std::string_view v, std::size_t max_chars) { return std::string(trim(v.substr(0, max_chars))); }

// The lines of the first section named section, up to the next section line.
std::optional<std::string_view> find_body(std::string_view bytes, std::string_view section) {
    std::optional<std::size_t> from;
    for (const Line& line : split_lines(bytes)) {
        const auto at = static_cast<std::size_t>(line.text.data() - bytes.data());
        if (auto name = section_of(line.text)) {
            if (from) return bytes.substr(*from, at - *from);
            if (rt::equals_ci(*name, section)) from = at + line.text.size() + line.eol.size();
        }
    }
    if (from) return bytes.substr(*from);
    return std::nullopt;
}

// key = value set in section of bytes; section and key already checked.
std::string set_one(std::string_view bytes, std::string_view section, std::string_view key,
                    std::string_view value) {
    std::string flat;
    for (size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') continue;
        flat += (c == '\r' || c == '\n') ? ' ' : c;
    }
    std::vector<Line> lines = split_lines(bytes);

    std::string_view style = "\r\n";
    for (const Line& l : lines)
        if (!l.eol.empty()) {
            style = l.eol;
            break;
        }

    std::string entry = std::string(key) + "=" + flat;
    std::string header = "[" + std::string(section) + "]";

    // Find the first matching section, its key line, and its last non-blank line.
    std::optional<size_t> header_at, key_at, last_at;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (auto name = section_of(lines[i].text)) {
            if (header_at) break;
            if (rt::equals_ci(*name, section)) header_at = last_at = i;
            continue;
        }
        if (!header_at) continue;
        if (!trim(lines[i].text).empty()) last_at = i;
        auto k = key_of(lines[i].text);
        if (k && rt::equals_ci(*k, key)) {
            key_at = i;
            break;
        }
    }

    std::string out;
    out.reserve(bytes.size() + entry.size() + header.size() + 4);
    auto emit = [&out](std::string_view text, std::string_view eol) {
        out.append(text);
        out.append(eol);
    };
    if (key_at) {
        for (size_t i = 0; i < lines.size(); ++i)
            emit(i == *key_at ? std::string_view(entry) : lines[i].text, lines[i].eol);
    } else if (header_at) {
        for (size_t i = 0; i < lines.size(); ++i) {
            bool here = i == *last_at;
            emit(lines[i].text, here && lines[i].eol.empty() ? style : lines[i].eol);
            if (here) emit(entry, style);
        }
    } else {
        for (const Line& l : lines) emit(l.text, l.eol.empty() ? style : l.eol);
        emit(header, style);
        emit(entry, style);
    }
    return out;
}

}  // namespace

std::string ini_read_text(std::string_view bytes, std::string_view section, std::string_view key,
                          std::string_view deflt, std::size_t max_chars) {
    section = trim(section);
    key = trim(key);
    if (section.empty() || key.empty()) return cut(deflt, max_chars);
    if (auto body = find_body(bytes, section)) return ini_value(*body, key, deflt, max_chars);
    return cut(deflt, max_chars);
}

std::string ini_read(const std::filesystem::path& file, std::string_view section,
                     std::string_view key, std::string_view deflt, std::size_t max_chars) {
    auto bytes = read_file(file);
    if (!bytes) return cut(deflt, max_chars);
    return ini_read_text(*bytes, section, key, deflt, max_chars);
}

std::string ini_value(std::string_view body, std::string_view key, std::string_view deflt,
                      std::size_t max_chars) {
    key = trim(key);
    if (key.empty()) return cut(deflt, max_chars);
    for (const Line& line : split_lines(body)) {
        if (section_of(line.text)) break;
        auto k = key_of(line.text);
        if (k && rt::equals_ci(*k, key)) return cut(trim(line.text.substr(line.text.find('=') + 1)), max_chars);
    }
    return cut(deflt, max_chars);
}

IniIndex::IniIndex(std::string_view bytes) {
    std::string open;  // the section being collected, lower-cased; empty before the first
    std::size_t from = 0;
    bool collecting = false;
    auto close_at = [&](std::size_t at) {
        if (collecting) bodies_.try_emplace(open, bytes.substr(from, at - from));
    };
    for (const Line& line : split_lines(bytes)) {
        auto name = section_of(line.text);
        if (!name) continue;
        const auto at = static_cast<std::size_t>(line.text.data() - bytes.data());
        close_at(at);
        open = rt::lcase(*name);
        collecting = !open.empty() && !bodies_.contains(open);
        from = at + line.text.size() + line.eol.size();
    }
    close_at(bytes.size());
}

std::optional<std::string_view> IniIndex::body(std::string_view section) const {
    section = trim(section);
    if (section.empty()) return std::nullopt;
    auto it = bodies_.find(rt::lcase(section));
    if (it == bodies_.end()) return std::nullopt;
    return it->second;
}

std::optional<std::string> ini_set(std::string_view bytes, std::string_view section,
                                   const std::vector<IniEntry>& entries) {
    section = trim(section);
    if (!valid_name(section)) return std::nullopt;
    for (const auto& [key, value] : entries)
        if (!valid_name(trim(key))) return std::nullopt;
    std::string out(bytes);
    for (const auto& [key, value] : entries) out = set_one(out, section, trim(key), value);
    return out;
}

bool ini_write(const std::filesystem::path& file, std::string_view section,
               const std::vector<IniEntry>& entries, std::optional<std::filesystem::perms> mode_on_create) {
    bool existed = false;
    auto bytes = read_existing(file, existed);
    if (!bytes) return false;  // never replace a file we could not read
    auto out = ini_set(*bytes, section, entries);
    if (!out) return false;
    return write_file_atomic(file, *out, existed ? std::nullopt : mode_on_create);
}

bool ini_write(const std::filesystem::path& file, std::string_view section, std::string_view key,
               std::string_view value, std::optional<std::filesystem::perms> mode_on_create) {
    return ini_write(file, section, {IniEntry(key, value)}, mode_on_create);
}

}  // namespace platform
