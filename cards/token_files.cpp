#include "cards/token_files.hpp"

#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "platform/files.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

constexpr std::size_t kMaxTokenValue = 749;  // what the profile reader gives of a value

// Lines ended by LF (a CR before it belongs to the line end); the text after the last line end
// is a line only when it is not empty.
std::vector<std::string_view> lines_of(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t at = text.find('\n', start);
        std::size_t end = at == std::string_view::npos ? text.size() : at;
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (at == std::string_view::npos) break;
        start = at + 1;
    }
    return lines;
}

std::string* field_for_key(Card& c, std::string_view key) {
    const std::string k = rt::lcase(key);
    if (k == "name") return &c.Name;
    if (k == "group") return &c.Group;
    if (k == "type") return &c.Attribute;
    if (k == "level") return &c.Level;
    if (k == "atk") return &c.Atk;
    if (k == "def") return &c.Def;
    if (k == "desc") return &c.Desc;
    return nullptr;
}

// A section line as the profile reader sees one: "[" first and "]" last, blanks aside. A value
// line always starts with its key, so a value ending in "]" is not taken for one.
bool IsSectionLine(std::string_view line) {
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    return text;
}

}  // namespace

std::filesystem::path TokenFilePath(const Tablewright& tw) { return tw.path_of(kTokenFileName); }
std::filesystem::path TokenListPath(const Tablewright& tw) {
    return tw.path_of(kTokenListFileName);
}

std::vector<std::string> ParseTokenList(std::string_view text) {
    std::vector<std::string> names;
    for (auto line : lines_of(text)) names.emplace_back(line);
    return names;
}

std::optional<std::vector<std::string>> ReadTokenList(Tablewright& tw) {
    const auto file = TokenListPath(tw);
    if (!FileExists(file)) return std::nullopt;
    const auto text = ReadFileTextIfReadable(file, kMaxTokenFileBytes);
    if (!text) return std::nullopt;
    return ParseTokenList(*text);
}

std::vector<Card> ParseTokenFile(std::string_view text, std::size_t max_tokens) {
    std::vector<Card> tokens;
    for (auto line : lines_of(text)) {
        if (IsSectionLine(line)) {
            if (tokens.size() >= max_tokens) break;
            tokens.emplace_back();
            continue;
        }
        if (tokens.empty()) continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        if (std::string* field = field_for_key(tokens.back(), line.substr(0, eq)))
            *field = std::string(line.substr(eq + 1));
    }
    return tokens;
}

std::optional<std::vector<Card>> ReadTokenFile(Tablewright& tw, std::size_t max_tokens) {
    auto bytes = platform::read_file(TokenFilePath(tw), kMaxTokenFileBytes);
    if (!bytes) return std::nullopt;
    return ParseTokenFile(*bytes, max_tokens);
}

std::optional<std::string_view> TokenSection(Tablewright& tw, const std::filesystem::path& file,
                                             const std::string& name) {
    if (!tw.prefs.TokenCache) tw.prefs.TokenCache = std::make_shared<TokenFileCache>();
    TokenFileCache& cache = *tw.prefs.TokenCache;
    const auto& bytes = cache.file.read(file);
    if (!bytes) return std::nullopt;
    // The index points into the copy: a new copy needs a new index.
    if (!cache.index || cache.indexed != cache.file.generation()) {
        cache.index.emplace(*bytes);
        cache.indexed = cache.file.generation();
    }
    return cache.index->body(name);
}

std::string TokenValue(std::string_view section, const char* key) {
    return rt::trim(platform::ini_value(section, key, "", kMaxTokenValue));
}

bool HasToken(Tablewright& tw, const std::string& name) {
    const auto file = TokenFilePath(tw);
    if (!FileExists(file)) return false;
    const auto section = TokenSection(tw, file, name);
    return section && !TokenValue(*section, "group").empty();
}

std::string TokenFileText(const std::vector<Card>& tokens) {
    std::string out;
    auto line = [&out](std::string_view key, const std::string& value) {
        out.append(key);
        out += OneLine(value);
        out += "\r\n";
    };
    for (const Card& t : tokens) {
        out += "[" + OneLine(t.Name) + "]\r\n";
        line("CARDNO=", {});
        line("NAME=", t.Name);
        line("GROUP=", t.Group);
        line("TYPE=", t.Attribute);
        line("LEVEL=", t.Level);
        line("ICON=", {});
        line("ATK=", t.Atk);
        line("DEF=", t.Def);
        line("DESC=", t.Desc);
        line("FUSION=", "0");
        out += "\r\n";
    }
    return out;
}

std::string TokenListText(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += OneLine(n) + "\r\n";
    return out;
}

}  // namespace tw
