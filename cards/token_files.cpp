#include "cards/token_files.hpp"

#include "cards/helpers.hpp"
#include "cards/tablewright.hpp"
#include "platform/files.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

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
    return ParseTokenList(ReadFileText(file));
}

std::vector<Card> ParseTokenFile(std::string_view text) {
    std::vector<Card> tokens;
    for (auto line : lines_of(text)) {
        if (!line.empty() && line.back() == ']') {
            tokens.emplace_back();
            continue;
        }
        if (tokens.empty()) continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        if (std::string* field = field_for_key(tokens.back(), line.substr(0, eq))) {
            std::string_view value = line.substr(eq + 1);
            *field = std::string(value.substr(0, value.find('=')));
        }
    }
    return tokens;
}

std::optional<std::vector<Card>> ReadTokenFile(Tablewright& tw) {
    auto bytes = platform::read_file(TokenFilePath(tw));
    if (!bytes) return std::nullopt;
    return ParseTokenFile(*bytes);
}

}  // namespace tw
