// A chat server's stream as a table in a server duel takes it in, over a real loopback
// connection: the stanzas read, the duel frames taken only from the bodies of messages from the
// peer's account, then cut, numbered and carried out as on a direct connection; a stream that
// stops being readable ends the duel. The first two bytes choose where the rest is cut into the
// pieces that arrive one by one.
//
// Whatever the server sends: exactly the bodies of the peer's messages reach the frame reader (a
// scanner of the whole stream at once tells which those are), a stream the table gives up on
// leaves the socket closed with "Disconnected" in the duel log, and what the direct connection's
// target checks holds too: own cards and piles unchanged, no file written outside the logs
// folder, no runtime error.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "fuzz/duel_table.hpp"
#include "net/duel_frame.hpp"
#include "net/xmpp_stream.hpp"

namespace {

// The peer's account, as the table's server-duel settings name it.
constexpr const char* kPeer = "Bob";
constexpr const char* kServer = "chat.example";
constexpr std::string_view kPeerAddress = "bob.plimvale@chat.example";

struct ServerDuelTable : tw::fuzz::LoopbackTable {
    ServerDuelTable() {
        table->net.ServerDuel = true;
        table->net.JabberUser = "Ann";
        table->net.JabberPeer = kPeer;
        table->prefs.JabberServer = kServer;
    }
};

bool FromPeer(const tw::XmppStanza& s) {
    std::string bare = s.from.substr(0, s.from.find('/'));
    for (char& c : bare) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return bare == kPeerAddress;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) { return tw::fuzz::WithoutLeakChecks(argc, argv); }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& p = tw::fuzz::Kept<ServerDuelTable>(1000);
    if (size < 2) return 0;
    auto& tw = *p.table;
    if (!p.connected() || !p.peer.open()) p.Connect();
    const tw::fuzz::Unchanged unchanged(p);
    // Each input is a stream of its own, read from its start.
    tw.net.XmppReceive.clear();
    const std::uint64_t before = tw.net.ReceiveBuffer.total_bytes();

    const std::string_view stream(reinterpret_cast<const char*>(data) + 2, size - 2);
    tw::XmppStreamScanner whole;
    whole.append(stream);
    std::string frames;
    while (auto stanza = whole.next())
        if (stanza->name == "message" && stanza->type != "error" && stanza->has_body && FromPeer(*stanza))
            frames += stanza->body;

    p.Feed(stream, data[0] | data[1] << 8);

    const std::uint64_t taken = tw.net.ReceiveBuffer.total_bytes() - before;
    // A table that closed early (a command may end the duel) took less.
    if (p.connected() || whole.broken()) tw::fuzz::Require(taken == frames.size());
    else tw::fuzz::Require(taken <= frames.size());
    if (whole.broken()) {
        tw::fuzz::Require(!p.connected());
        tw::fuzz::Require(tw.FormA().chat.text().find("Disconnected") != std::string::npos);
    }
    unchanged.Check(tw::fuzz::Count(frames, tw::kFrameEnd));
    return 0;
}
