#pragma once
// A stranger on the duel socket: a plain TCP connection outside the program's own socket code,
// which writes whatever bytes a test gives it and reads what the program answers. Its writes
// never block the one event loop: while the kernel's buffer is full it pumps the reactor, so
// the program on the other end goes on reading.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/reactor.hpp"

namespace tw::test {

class RawPeer {
public:
    explicit RawPeer(platform::Reactor& reactor) : reactor_(reactor) {}
    ~RawPeer();
    RawPeer(const RawPeer&) = delete;
    RawPeer& operator=(const RawPeer&) = delete;

    // Connects to 127.0.0.1:port. A receive buffer of that many bytes (0: the system's) makes a
    // peer that never reads fill up soon.
    void connect(int port, int receive_buffer = 0);
    // Writes all bytes, pumping the reactor while the connection is full.
    void write(std::string_view bytes);
    // Everything received since the last call, without waiting.
    std::string read();
    // Ends the connection (the program sees the peer close).
    void close();
    bool open() const { return fd_ >= 0; }

private:
    platform::Reactor& reactor_;
    int fd_ = -1;
};

// A TCP duel frame as a table writes it: "^~", the tag byte, the body, "~^".
std::string WireFrame(std::string_view body, char tag = '\n');

// The commands (with their counts, without frame numbers) that a stream of TCP duel frames
// carries, in order.
std::vector<std::string> CommandsIn(std::string_view stream);

// A command without its "|$|" and count.
std::string WithoutCount(const std::string& command);

}  // namespace tw::test
