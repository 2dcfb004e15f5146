#pragma once
// The two token files beside the program that the token editor writes: "token.ptcg", one
// profile-file section of card data per token, and "token.cnl", the token names for the duel
// window's Tokens menu, one a line.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card.hpp"
#include "platform/files.hpp"
#include "platform/ini.hpp"

namespace tw {

class Tablewright;

inline constexpr std::string_view kTokenFileName = "token.ptcg";
inline constexpr std::string_view kTokenListFileName = "token.cnl";

std::filesystem::path TokenFilePath(const Tablewright& tw);
std::filesystem::path TokenListPath(const Tablewright& tw);

// No real token file or list comes near this; a larger one is refused as unreadable, unread.
inline constexpr std::size_t kMaxTokenFileBytes = std::size_t{1} << 20;

// The token file as the table looks tokens up in it: kept with its sections found by name, and
// read again only once the file changed.
struct TokenFileCache {
    platform::FileCache file{kMaxTokenFileBytes};
    std::uint64_t indexed = 0;  // the generation of the file's copy that index was built for
    std::optional<platform::IniIndex> index;
};

// The lines of the token named name (its section, found as the profile reader finds one) in the
// token file at file; nullopt when the file is missing, refused or holds no such section. Valid
// until the next look-up.
std::optional<std::string_view> TokenSection(Tablewright& tw, const std::filesystem::path& file,
                                             const std::string& name);
// The value of key (lower case) in such a section, as the profile reader gives it.
std::string TokenValue(std::string_view section, const char* key);
// Whether the token file of the program folder holds a token of that name: a section with a
// type line, which is what LoadTokenCard needs to find one.
bool HasToken(Tablewright& tw, const std::string& name);

// The names of a token list, one per line (CR LF, or a bare LF); no entry for the end of the
// last line.
std::vector<std::string> ParseTokenList(std::string_view text);
// The token list of the program folder; nullopt when there is no such file or it is refused.
std::optional<std::vector<std::string>> ReadTokenList(Tablewright& tw);

// The tokens of a token file as the token editor reads it, line by line: a line "[...]" starts
// the next token, and the keys NAME, GROUP, TYPE, LEVEL, ATK, DEF and DESC (any case) fill its
// Name, Group, Attribute, Level, Atk, Def and Desc with the whole text after the first "=", as
// the duel's profile reader takes it (so a value ending in "]" or holding "=" reads back as
// written). Lines before the first token, lines without "=" and other keys are passed over.
// Reading stops once max_tokens tokens are complete and another one starts.
std::vector<Card> ParseTokenFile(std::string_view text, std::size_t max_tokens = SIZE_MAX);
// The token file of the program folder; nullopt when it is missing, cannot be read or is refused.
std::optional<std::vector<Card>> ReadTokenFile(Tablewright& tw, std::size_t max_tokens = SIZE_MAX);

// The token file's text for these tokens: twelve lines each ("[name]", CARDNO, NAME, GROUP, TYPE,
// LEVEL, ICON, ATK, DEF, DESC, FUSION=0, an empty line), CR LF after each. A CR or LF inside a
// value becomes a blank, since a line break would split the value in two.
std::string TokenFileText(const std::vector<Card>& tokens);
// The token list's text: one name a line, CR LF after each, line breaks in a name as blanks.
std::string TokenListText(const std::vector<std::string>& names);

}  // namespace tw
