#pragma once
// A loaded duel window for the game-flow tests: what it sent, wrote and said.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/rt.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw::test {

// The phase labels' colours, one letter each: g light grey, b blue, o light orange, y yellow,
// w white.
inline std::string PhaseColours(win::FormA& duel) {
    using F = win::FormA;
    std::string out;
    for (platform::Label* l : duel.PhaseLabels()) {
        const platform::Color c = l->fore_color();
        out += c == F::kPhaseIdle        ? 'g'
               : c == F::kPhaseCurrent   ? 'b'
               : c == F::kOppTurnCurrent ? 'o'
               : c == F::kTurnHandedOver ? 'y'
               : c == F::kOpponentPhase  ? 'w'
                                         : '?';
    }
    return out;
}

struct FlowTest : ::testing::Test {
    TableFixture fx;
    Tablewright& tw = fx.tw();
    win::FormA& duel = fx.LoadDuelWindow("Tester");
    std::size_t notices_at_start = fx.host.messages().size();

    // The commands sent, less the chat lines and pile counts that every log line brings.
    std::vector<std::string> Sent() const {
        std::vector<std::string> out;
        for (const auto& c : tw.net.SentCommands)
            if (c.command.rfind("ch~", 0) != 0 && c.command.rfind("us~", 0) != 0) out.push_back(c.command);
        return out;
    }
    // The duel log, line by line.
    std::vector<std::string> Log() const {
        std::vector<std::string> lines;
        const auto parts = rt::split(duel.chat.text(), "\r\n");
        for (int i = 0; i <= parts.ubound(); ++i)
            if (!parts[i].empty()) lines.push_back(parts[i]);
        return lines;
    }
    std::string LastLog() const {
        const auto lines = Log();
        return lines.empty() ? std::string() : lines.back();
    }
    // The boxes shown since the test started.
    std::vector<std::string> Notices() const {
        std::vector<std::string> out;
        const auto& all = fx.host.messages();
        for (std::size_t i = notices_at_start; i < all.size(); ++i) out.push_back(all[i].text);
        return out;
    }
    void Forget() {
        tw.net.SentCommands.clear();
        duel.chat.set_text("");
        notices_at_start = fx.host.messages().size();
    }
};

}  // namespace tw::test
