#pragma once
// The game log's coding, shared by Tablewright (which writes logs and codes server-duel frame
// bodies) and Scrollkeep (which reads logs): a repeating-key exclusive-or over the bytes, written
// out as the decimal byte codes joined by dots. No window code here.
#include <optional>
#include <string>
#include <string_view>

namespace tw {

// The same key on the writing and the reading side.
inline constexpr std::string_view kLogKey = "vantzek";

// Byte i combined by exclusive or with key letter i mod 7; its own inverse. Any length.
std::string LogScramble(std::string_view text);

// "AB" -> "65.66"; "" -> "".
std::string ToDottedDecimal(std::string_view text);

// The text the dotted form codes; nullopt when a piece between dots is not a whole number from
// 0 to 255 (an empty piece included: "1..2", ".1", "1."). "" -> "".
std::optional<std::string> FromDottedDecimal(std::string_view dotted);

// The body of a game log file: ToDottedDecimal(LogScramble(text)).
std::string ScrambleLog(std::string_view text);

// The names the log viewer uses for the same two steps.
inline std::string EncryptIt(std::string_view text) { return LogScramble(text); }
inline std::optional<std::string> NoNumbers(std::string_view dotted) {
    return FromDottedDecimal(dotted);
}

}  // namespace tw
