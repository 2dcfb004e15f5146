#pragma once
// The two token files beside the program that the token editor writes: "token.ptcg", one
// profile-file section of card data per token, and "token.cnl", the token names for the duel
// window's Tokens menu, one a line.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cards/card.hpp"

namespace tw {

class Tablewright;

inline constexpr std::string_view kTokenFileName = "token.ptcg";
inline constexpr std::string_view kTokenListFileName = "token.cnl";

std::filesystem::path TokenFilePath(const Tablewright& tw);
std::filesystem::path TokenListPath(const Tablewright& tw);

// The names of a token list, one per line (CR LF, or a bare LF); no entry for the end of the
// last line.
std::vector<std::string> ParseTokenList(std::string_view text);
// The token list of the program folder; nullopt when there is no such file.
std::optional<std::vector<std::string>> ReadTokenList(Tablewright& tw);

// The tokens of a token file as the token editor reads it, line by line: a line ending in "]"
// starts the next token, and the keys NAME, GROUP, TYPE, LEVEL, ATK, DEF and DESC (any case)
// fill its Name, Group, Attribute, Level, Atk, Def and Desc with the text after the first "="
// up to a second one. Lines before the first token, lines without "=" and other keys are
// passed over.
std::vector<Card> ParseTokenFile(std::string_view text);
// The token file of the program folder; nullopt when it is missing or cannot be read.
std::optional<std::vector<Card>> ReadTokenFile(Tablewright& tw);

}  // namespace tw
