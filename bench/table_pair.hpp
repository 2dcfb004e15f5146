#pragma once
// Two players' programs on one loop, each in a folder of its own, their duel sockets connected on
// loopback: the rig of the network benchmarks.
#include <memory>
#include <string>

#include "bench/scratch_folder.hpp"
#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/receiver.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/net_config.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"
#include "platform/tcp.hpp"

namespace tw::bench {

struct TableSide {
    ScratchFolder folder;
    platform::ScriptedHost host;
    platform::App app;
    std::unique_ptr<Tablewright> table;

    TableSide(platform::Reactor& r, platform::FakeClock& c, const std::string& name)
        : folder("tw-bench-table-" + name), host(r, c), app(r, host) {
        app.path = folder.path.string();
        app.prev_instance_check = [] { return false; };
        table = std::make_unique<Tablewright>(app);
        table->net_config = platform::NetConfig::ephemeral();
        WriteSetting(*table, "username", name);
        table->FormA();
        ResetFrameNumbers(*table);
    }
    platform::TcpSocket& socket() { return table->FormA().Winsock1; }
};

struct TablePair {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    TableSide ann{reactor, clock, "Ann"};
    TableSide bob{reactor, clock, "Bob"};

    TablePair() {
        ann.table->net.PlayerNumber = 1;
        bob.table->net.PlayerNumber = 2;
        auto& listener = ann.socket();
        listener.set_local_port(0);
        listener.ConnectionRequest = [&listener](long id) {
            listener.close();
            listener.accept(id);
        };
        listener.listen();
        bob.socket().connect("127.0.0.1", listener.bound_port());
        reactor.wait_until([&] {
            return ann.socket().state() == platform::TcpSocket::StateConnected &&
                   bob.socket().state() == platform::TcpSocket::StateConnected;
        }, 5000);
    }
};

}  // namespace tw::bench
