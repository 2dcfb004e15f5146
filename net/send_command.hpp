#pragma once
#include <cstdint>
#include <string>

namespace tw {
class Tablewright;

// Sends one command to the peer; `tag` becomes 10 x PlayerNumber + tag and is sent with it.
void SendCommand(Tablewright& tw, const std::string& command, std::int16_t& tag);

}  // namespace tw
