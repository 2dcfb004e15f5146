#pragma once
// The TCP ports the programs use. A program object holds one; tests set free ports (0 lets the
// system choose one when binding) so that several tables and relays can run side by side.
namespace platform {

struct NetConfig {
    int direct_local_port = 7237;        // a direct connect binds this
    int relay_host_local_port = 7238;    // connecting to the relay as its host
    int relay_client_local_port = 7239;  // connecting to the relay as its client
    int listen_port = 7238;              // waiting for a direct connect
    int relay_host_port = 7237;          // the relay listens here for its host
    int relay_client_port = 7240;        // and here for its client
    int xmpp_port = 5222;                // the chat server of server duels

    // Every port 0: each bind takes a free port, and the caller passes on what it got.
    static NetConfig ephemeral();
};

}  // namespace platform
