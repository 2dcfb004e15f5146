#pragma once
// A fuzz input as the commands a peer sends, each carried out by the dispatcher as the socket's
// data event hands it over, a quarter of a second apart. Commands are separated by "~^", the
// frame's end marker, which no command can hold once its frame is opened; anything else, a line
// feed among it, is part of a command as it is on the wire.
#include <cstdint>
#include <string>
#include <string_view>

#include "program/tablewright.hpp"
#include "net/dispatcher.hpp"
#include "net/duel_frame.hpp"
#include "platform/clock.hpp"
#include "platform/scripted_host.hpp"

namespace tw::fuzz {

inline constexpr std::string_view kCommandSeparator = kFrameEnd;

// The next command of the input, taken off its front.
inline std::string TakePeerCommand(std::string_view& input) {
    const std::size_t end = input.find(kCommandSeparator);
    std::string command(input.substr(0, end));
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + kCommandSeparator.size());
    return command;
}

inline void RunPeerCommands(Tablewright& tw, platform::FakeClock& clock, std::string_view input) {
    while (!input.empty()) {
        std::string message = TakePeerCommand(input);
        std::int32_t cls = 0;
        try {
            DetermineInfo(tw, message, cls);
        } catch (const platform::UnscriptedQuestion&) {
            // A command that asks the player something: a person would answer it.
        }
        clock.advance(250);
    }
}

}  // namespace tw::fuzz
