// Text the duel window's game flow takes in: an entry on the calculator's tape and the tape's
// answer, and a skin's path from the settings window. None may crash; every result the
// calculator writes reads back as an answer, and a skin's name never leads out of the skins
// folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "program/tablewright.hpp"
#include "duel/calc.hpp"
#include "duel/forma.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

// One program object for the whole run: only its folder is read.
tw::Tablewright& Program() {
    static platform::FakeClock clock;
    static platform::Reactor reactor{clock};
    static platform::ScriptedHost host{reactor, clock};
    static platform::App app{reactor, host};
    static auto table = [] {
        app.path = "/opt/tablewright";
        return std::make_unique<tw::Tablewright>(app);
    }();
    return *table;
}

void Entry(std::string_view bytes) {
    const tw::CalcOutcome outcome = tw::EvaluateCalcEntry(std::string(bytes));
    if (outcome.kind != tw::CalcOutcome::Kind::Result) {
        Check(outcome.result.empty());
        return;
    }
    Check(outcome.result.empty() || tw::CalcAnswerValue(outcome.result).has_value());
}

void Answer(std::string_view bytes) { (void)tw::CalcAnswerValue(bytes); }

void Skin(std::string_view bytes) {
    const auto name = tw::win::SkinName(Program(), std::string(bytes));
    if (!name) return;
    Check(!name->empty() && name->find('/') == std::string::npos && *name != "..");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 3) {
        case 0: Entry(bytes); break;
        case 1: Answer(bytes); break;
        default: Skin(bytes); break;
    }
    return 0;
}
