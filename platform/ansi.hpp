#pragma once
// The programs keep text as cp1252 bytes; only the front end, which shows and reads Unicode,
// converts at its edge.
#include <string>
#include <string_view>

namespace rt {

// Every byte maps; the five bytes cp1252 leaves unassigned (81 8D 8F 90 9D) become the control
// characters of the same number, so a round trip keeps them.
std::string cp1252_to_utf8(std::string_view bytes);
// A character cp1252 has no byte for, and each malformed UTF-8 sequence, becomes '?'.
std::string utf8_to_cp1252(std::string_view utf8);

}  // namespace rt
