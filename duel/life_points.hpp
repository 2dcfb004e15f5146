#pragma once
// The player's own life points as the menus and the calculator change them: every change is
// sent to the peer as "nl~" and announced; none may leave the 32-bit range.
#include <cstdint>
#include <optional>
#include <string_view>

namespace tw {
class Tablewright;

inline constexpr std::string_view kLifePointsOutOfRange = "That would put your LP out of range.";

// The value rounded half to even as life points; when it does not fit in 32 bits the player
// is told and nullopt comes back, so that nothing is changed or sent.
std::optional<std::int32_t> FitLifePoints(Tablewright& tw, double value);

// Tells the peer the player's life points.
void SendMyLifePoints(Tablewright& tw);

}  // namespace tw
