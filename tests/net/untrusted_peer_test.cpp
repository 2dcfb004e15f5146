// What a peer that is not a table can do to the duel socket: make the table answer without ever
// reading, hide a frame behind junk, or (as a chat server) send a stream that cannot be read.
// Each case runs over a real loopback connection against the table's own socket code.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "cards/log_coding.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/connection.hpp"
#include "net/receiver.hpp"
#include "tests/net/field_pair.hpp"
#include "tests/support/duel_pair.hpp"

namespace tw {
namespace {

using platform::TcpSocket;
using test::NetSide;
using test::RawPeer;
using test::WireFrame;

std::string Frame(const std::string& command, int count, int number) {
    return WireFrame(command + "|$|" + std::to_string(count) + "~" + std::to_string(number % 256));
}

// A table listening for a raw peer whose receive buffer is small, so that a peer that never
// reads stops taking the table's bytes soon.
struct UnreadTable {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    NetSide side{reactor, clock};
    RawPeer peer{reactor};

    UnreadTable() {
        side.Load("Ann");
        ResetFrameNumbers(side.tw());
        side.tw().net.PlayerNumber = 1;
    }
    void Join() {
        peer.connect(side.Listen(), 4096);
        reactor.wait_until([&] { return side.socket().state() == TcpSocket::StateConnected; }, 5000);
    }
};

TEST(UntrustedPeer, APeerThatAsksAndNeverReadsIsCutOffOnceWithoutABox) {
    struct Case {
        const char* what;
        std::string command;
    };
    const std::vector<Case> cases = {
        {"ping", "ping~"},
        {"the identity of an opponent's card", "si~20"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        UnreadTable t;
        test::GiveSampleCards(t.side);
        t.Join();
        ASSERT_EQ(t.side.socket().state(), TcpSocket::StateConnected);
        t.peer.write(Frame("lc~20~Jarrow Drake:BWX", 1, 0));
        ASSERT_TRUE(t.reactor.wait_until([&] { return t.side.tw().field.FieldCards[20].Name == "Jarrow Drake"; }, 5000));

        std::string batch;
        for (int i = 0; i < 2000; ++i) batch += Frame(c.command, i + 2, i + 1);
        std::size_t most = 0;
        bool cut = false;
        // Far more answers than a megabyte and the system's buffers can hold.
        for (int round = 0; round < 2000 && !cut; ++round) {
            try {
                t.peer.write(batch);
            } catch (const std::runtime_error&) {
                cut = true;  // the table let the connection go
            }
            for (int k = 0; k < 20 && !cut; ++k) {
                t.reactor.pump(0);
                most = std::max(most, t.side.socket().queued_bytes());
                cut = t.side.socket().state() != TcpSocket::StateConnected;
            }
        }
        ASSERT_TRUE(t.reactor.wait_until([&] { return t.side.socket().state() == TcpSocket::StateClosed; }, 10000));
        EXPECT_LE(most, TcpSocket::kSendCap);
        EXPECT_EQ(t.side.CountLogged("<Game> " + std::string(kPeerStoppedReading)), 1);
        EXPECT_EQ(t.side.CountLogged("<Game> Disconnected!"), 1);
        // The reason comes first, then the close as the peer's own would end it.
        const auto log = t.side.Log();
        const auto reason = std::find(log.begin(), log.end(), "<Game> " + std::string(kPeerStoppedReading));
        ASSERT_NE(reason, log.end());
        EXPECT_EQ(std::find(reason, log.end(), "<Game> Disconnected!") - reason, 1);
        EXPECT_TRUE(t.side.host.messages().empty());
        EXPECT_FALSE(t.side.duel().gameplay.enabled());
    }
}

// The bound on what is held without an end marker is measured from the frame's start, so junk
// of any length before a frame costs nothing but the junk, however the bytes are split.
TEST(UntrustedPeer, AFrameBehindMuchJunkIsTakenHoweverTheStreamIsSplit) {
    const std::string frame = Frame("nl~7200", 1, 0);
    struct Case {
        const char* what;
        std::string before;  // what stands before the frame
        int garbled;         // pieces the table counts as dropped
    };
    const std::vector<Case> cases = {
        {"70,000 bytes of junk", std::string(70000, 'j'), 1},
        {"junk holding stray marker halves", std::string(35000, '^') + std::string(35000, 'x'), 1},
        {"a start marker with more than the bound behind it", "^~\n" + std::string(70000, 'A'), 1},
        {"a little junk", "abc", 0},
    };
    for (const auto& c : cases) {
        for (const bool split : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (split ? ", in two writes" : ", in one write"));
            test::PeerTable t;
            if (split) {
                t.Write(c.before);
                t.Write(frame);
            } else {
                t.Write(c.before + frame);
            }
            EXPECT_EQ(t.tw().duel.OppLP, 7200);
            EXPECT_EQ(t.tw().net.ReceivedCount, 1);
            EXPECT_EQ(t.tw().net.GarbledCount, c.garbled);
            EXPECT_EQ(t.side.socket().state(), TcpSocket::StateConnected);
            EXPECT_TRUE(t.side.host.messages().empty());
        }
    }
}

// A chat server's stream that stops being XML the reader can follow ends the server duel in the
// duel log, once, after the frames that came before it.
TEST(UntrustedPeer, AServerStreamThatCannotBeReadEndsTheDuelOnce) {
    const std::string header = "<?xml version='1.0'?><stream:stream from='localhost' id='x'>";
    const std::string message = "<message from='bob.plimvale@localhost/ZQM'><body>^~" +
                                ToDottedDecimal("nl~7200|$|1~0") + "~^</body></message>";
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    struct Case {
        const char* what;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {"deep nesting", "<message from='bob.plimvale@localhost'>" + deep},
        {"a document type", "<message from='bob.plimvale@localhost'><!DOCTYPE m [<!ENTITY x 'y'>]><body/></message>"},
        {"bytes that are not XML", "<message from='bob.plimvale@localhost' <<<>>>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::PeerTable t;
        auto& tw = t.tw();
        tw.net.ServerDuel = true;
        tw.net.RelayMode = true;
        tw.net.JabberPeer = "Bob";
        tw.prefs.JabberServer = "localhost";
        tw.net.XmppReceive.clear();
        t.peer.write(header + message + c.bytes);
        ASSERT_TRUE(t.reactor.wait_until([&] { return t.side.socket().state() == TcpSocket::StateClosed; }, 10000));
        // Nothing more went to a stream the server no longer keeps.
        const std::size_t sent = t.tw().net.SentCommands.size();
        EXPECT_EQ(tw.duel.OppLP, 7200) << "the frame before the fault is carried out";
        // What the server sends after it is not looked at; the closed socket hears nothing.
        t.peer.write(message);
        t.reactor.pump(10);
        EXPECT_EQ(t.side.CountLogged("<Game> Disconnected"), 1);
        EXPECT_TRUE(t.side.host.messages().empty());
        EXPECT_FALSE(t.side.duel().gameplay.enabled());
        EXPECT_EQ(t.tw().net.SentCommands.size(), sent);
        for (const auto& c : t.tw().net.SentCommands) EXPECT_TRUE(!c.connected || c.command.rfind("ch~<Game> Disconnected", 0) != 0);
    }
}

}  // namespace
}  // namespace tw
