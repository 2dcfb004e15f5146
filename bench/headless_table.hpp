#pragma once
// One headless Tablewright on a fake clock and a scripted desktop, in a given program folder.
#include <filesystem>
#include <memory>

#include "program/tablewright.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"

namespace tw::bench {

struct HeadlessTable {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    platform::ScriptedHost host{reactor, clock};
    platform::App app{reactor, host};
    std::unique_ptr<tw::Tablewright> tw;
    explicit HeadlessTable(const std::filesystem::path& program_folder) {
        app.path = program_folder.string();
        app.prev_instance_check = [] { return false; };
        tw = std::make_unique<tw::Tablewright>(app);
    }
};

}  // namespace tw::bench
