#pragma once
// One Tablewright on a fake clock, with a scripted desktop and a program folder of its own.
#include <memory>

#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
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

    // Loads the duel window for a player with a stored name, then forgets what its load wrote
    // and sent, so a test starts from a quiet table.
    win::FormA& LoadDuelWindow(const std::string& user = "Tester") {
        WriteSetting(*table, "username", user);
        auto& duel = table->FormA();
        duel.chat.set_text("");
        table->net.SentCommands.clear();
        return duel;
    }
};

}  // namespace tw::test
