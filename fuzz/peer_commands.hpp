#pragma once
// A fuzz input as the commands a peer sends: one per line, each carried out by the dispatcher
// as the socket's data event hands it over, a quarter of a second apart.
#include <cstdint>
#include <string>
#include <string_view>

#include "cards/tablewright.hpp"
#include "net/dispatcher.hpp"
#include "platform/clock.hpp"
#include "platform/scripted_host.hpp"

namespace tw::fuzz {

inline void RunPeerCommands(Tablewright& tw, platform::FakeClock& clock, std::string_view input) {
    while (!input.empty()) {
        const std::size_t end = input.find('\n');
        std::string message(input.substr(0, end));
        input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
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
