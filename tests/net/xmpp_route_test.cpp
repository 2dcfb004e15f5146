// What the duel window takes from the chat server's stream in a server duel.
#include "net/xmpp_route.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/duel_pair.hpp"

namespace tw {
namespace {

struct ServerStream : ::testing::Test {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    test::NetSide side{reactor, clock};

    ServerStream() {
        side.Load("Ann");
        side.tw().net.ServerDuel = true;
        side.tw().net.JabberPeer = "Bob";
        side.tw().prefs.JabberServer = "localhost";
        side.tw().net.XmppReceive.clear();
        side.tw().net.XmppReceive.append("<?xml version='1.0'?><stream:stream from='localhost' id='x'>");
    }
};

TEST_F(ServerStream, OnlyThePeersOwnMessagesCarryFrames) {
    struct Case {
        const char* what;
        std::string stanza;
        std::string frames;
    };
    const std::string body = "<body>^~1.2~^</body>";
    const std::vector<Case> cases = {
        {"the peer, any resource", "<message from='bob.plimvale@localhost/ZQM' id='zqm_1'>" + body + "</message>",
         "^~1.2~^"},
        {"the peer in other letter case", "<message from='BOB.Plimvale@LOCALHOST'>" + body + "</message>", "^~1.2~^"},
        {"stored while we were away", "<message from='bob.plimvale@localhost/ZQM'><delay xmlns='urn:xmpp:delay' "
                                      "stamp='2026-01-01T00:00:00Z'/>" + body + "</message>", "^~1.2~^"},
        {"another account", "<message from='eve.plimvale@localhost/ZQM'>" + body + "</message>", ""},
        {"an account that only starts like the peer's",
         "<message from='bob.plimvale@localhost.evil/ZQM'>" + body + "</message>", ""},
        {"no sender", "<message>" + body + "</message>", ""},
        {"our own message bounced", "<message type='error' from='bob.plimvale@localhost'>" + body +
                                        "<error type='cancel'/></message>", ""},
        {"a frame outside a message", "<iq from='bob.plimvale@localhost' type='result'>" + body + "</iq>", ""},
        {"a frame in stream text", "^~1.2~^", ""},
        {"a frame outside the body", "<message from='bob.plimvale@localhost'><x>^~1.2~^</x></message>", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(TakeServerDuelFrames(side.tw(), c.stanza), c.frames) << c.what;
    EXPECT_FALSE(side.Logged(std::string("<Game> ") + std::string(kServerLoginFailed)));
}

TEST_F(ServerStream, ARefusedLoginIsSaidInTheLog) {
    TakeServerDuelFrames(side.tw(), "<iq id='jcl_22' type='error'/><iq id='set_01' type='result'/>");
    EXPECT_FALSE(side.Logged("<Game> Server login failed."));
    TakeServerDuelFrames(side.tw(), "<iq id='set_01' type='error'><error type='auth'/></iq>");
    EXPECT_TRUE(side.Logged("<Game> Server login failed."));
}

}  // namespace
}  // namespace tw
