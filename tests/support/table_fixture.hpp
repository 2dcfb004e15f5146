#pragma once
// One Tablewright on a fake clock, with a scripted desktop and a program folder of its own.
#include <memory>

#include "cards/tablewright.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"
#include "tests/support/temp_dir.hpp"

namespace tw::test {

struct TableFixture {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    platform::ScriptedHost host{reactor, clock};
    TempDir dir;
    platform::App app{reactor, host};
    std::unique_ptr<Tablewright> table;

    TableFixture() {
        app.path = dir.path().string();
        app.prev_instance_check = [] { return false; };
        table = std::make_unique<Tablewright>(app);
    }
    Tablewright& tw() { return *table; }
};

}  // namespace tw::test
