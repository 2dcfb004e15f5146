#pragma once
// A real chat server for the tests of server duels and of the account dialog: the system's
// prosody, started in the foreground on a free loopback port with its configuration, data and
// process id file in a temporary folder, and stopped by its process id. When the tests run as
// root it runs as the "prosody" user, as the server expects to. A server that cannot
// be started throws: a test that needs one fails, it is never skipped.
#include <filesystem>
#include <string>

#include "tests/support/temp_dir.hpp"

namespace tw::test {

class ProsodyServer {
public:
    // Starts the server and waits until its port takes connections.
    ProsodyServer();
    ~ProsodyServer();
    ProsodyServer(const ProsodyServer&) = delete;
    ProsodyServer& operator=(const ProsodyServer&) = delete;

    int port() const { return port_; }
    // The only virtual host.
    static constexpr const char* kHost = "localhost";
    // What the server wrote to its console (for a failing test's message).
    std::string log() const;

private:
    TempDir dir_;
    int port_ = 0;
    int pid_ = -1;
};

// A port on 127.0.0.1 that nothing listens on at the moment of the call.
int FreeLoopbackPort();

}  // namespace tw::test
