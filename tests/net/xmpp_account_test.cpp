// The account dialog against a real chat server that each test starts for itself.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "net/jabber_window.hpp"
#include "net/xmpp_texts.hpp"
#include "platform/tcp.hpp"
#include "tests/support/duel_pair.hpp"
#include "tests/support/prosody_server.hpp"

namespace tw {
namespace {

using test::NetSide;
using test::ProsodyServer;

struct AccountDialog : ::testing::Test {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    NetSide side{reactor, clock};

    win::FrmJabber& dialog() { return side.tw().frmJabber(); }

    void UseServer(int port) {
        // The duel window's load reads the server from the settings.
        WriteSetting(side.tw(), std::string(setting_key::jabber), ProsodyServer::kHost);
        side.tw().prefs.JabberServer = ProsodyServer::kHost;
        side.tw().net_config.xmpp_port = port;
    }
    // Runs the loop with the program's clock following real time: the name lookup and the
    // server's answers take what they take, and only a real wait reaches the time-out.
    bool InRealTime(const std::function<bool()>& pred, int limit_ms = 15000) {
        using namespace std::chrono;
        auto last = steady_clock::now();
        const auto end = last + milliseconds(limit_ms);
        while (!pred()) {
            if (steady_clock::now() > end) return false;
            reactor.pump(10);
            const auto now = steady_clock::now();
            clock.advance(duration_cast<milliseconds>(now - last).count());
            last = now;
        }
        return true;
    }
    // Types a name and password and presses "Verify Account"; the server answers in real time,
    // so the wait does not move the program's clock.
    std::string Verify(const std::string& name, const std::string& password) {
        dialog().Text1.set_text(name);
        dialog().Text2.set_text(password);
        const std::string before = "(waiting)";
        dialog().Label1.set_caption(before);
        dialog().Command2_Click();
        InRealTime([&] { return dialog().Label1.caption() != before; });
        return dialog().Label1.caption();
    }
};

TEST_F(AccountDialog, ANewNameIsRegisteredAndAKnownOneVerifiedOnlyWithItsPassword) {
    ProsodyServer server;
    UseServer(server.port());
    WriteSetting(side.tw(), "juser", "saved");
    WriteSetting(side.tw(), "jpass", "savedpw");
    side.tw().net.ShowAccountDialog();
    EXPECT_EQ(dialog().caption(), "Account Verification");
    EXPECT_EQ(dialog().Text1.text(), "saved");
    EXPECT_EQ(dialog().Text2.text(), "savedpw");
    EXPECT_EQ(dialog().Text2.password_char(), '*');
    EXPECT_EQ(dialog().Label1.caption(), kAccountPleaseVerify);
    EXPECT_FALSE(dialog().Command1.enabled());

    // The name holds "error": the answer is read by its stanza, not by searching the text.
    EXPECT_EQ(Verify("errorbob", "s3cret"), kAccountVerified) << server.log();
    EXPECT_TRUE(dialog().Command1.enabled());
    EXPECT_FALSE(dialog().Command2.enabled());
    EXPECT_EQ(dialog().Winsock1.state(), platform::TcpSocket::StateClosed);

    // Known now: the login itself succeeds; with another password both steps fail.
    dialog().Command2.set_enabled(true);
    EXPECT_EQ(Verify("errorbob", "s3cret"), kAccountVerified);
    EXPECT_EQ(dialog().step(), win::FrmJabber::Step::Login);
    EXPECT_EQ(Verify("errorbob", "wrong"), kAccountNotVerified);
    EXPECT_EQ(dialog().step(), win::FrmJabber::Step::Register);
    EXPECT_TRUE(dialog().Command2.enabled());
    EXPECT_FALSE(dialog().Command1.enabled());

    // Letter case does not make another account.
    EXPECT_EQ(Verify("ErrorBob", "wrong"), kAccountNotVerified);
}

TEST_F(AccountDialog, SavingHandsTheVerifiedLoginOnAndAnEditTakesTheVerificationBack) {
    ProsodyServer server;
    UseServer(server.port());
    side.tw().net.ShowAccountDialog();
    ASSERT_EQ(Verify("carol", "pw & <more>"), kAccountVerified) << server.log();
    // Edited after the verification: saving is no longer offered, and the new text is to be
    // verified in its turn.
    dialog().Text2.set_text("pw & <more>!");
    EXPECT_FALSE(dialog().Command1.enabled());
    EXPECT_TRUE(dialog().Command2.enabled());
    EXPECT_EQ(dialog().Label1.caption(), kAccountPleaseVerify);
    dialog().Text2.set_text("pw & <more>");
    EXPECT_FALSE(dialog().Command1.enabled());
    ASSERT_EQ(Verify("carol", "pw & <more>"), kAccountVerified);

    dialog().Command1_Click();
    EXPECT_EQ(side.tw().net.JabberUser, "carol");
    EXPECT_EQ(side.tw().net.JabberPassword, "pw & <more>");
    EXPECT_EQ(ReadSetting(side.tw(), "juser"), "carol");
    EXPECT_EQ(ReadSetting(side.tw(), "jpass"), "pw & <more>");
    EXPECT_FALSE(side.tw().net.AccountDialogVisible());
}

TEST_F(AccountDialog, NamesThatCannotBeAnAddressAreRefusedBeforeAnythingIsSent) {
    // No server: a name refused here never reaches a socket.
    side.tw().net.ShowAccountDialog();
    for (const char* name : {"a b", "x@evil", "x/y", "it's", ""}) {
        dialog().Text1.set_text(name);
        dialog().Command2_Click();
        EXPECT_EQ(dialog().Label1.caption(), kAccountNameUnusable) << name;
        EXPECT_TRUE(dialog().Command2.enabled()) << name;
        EXPECT_EQ(dialog().Winsock1.state(), platform::TcpSocket::StateClosed) << name;
    }
}

TEST_F(AccountDialog, AServerThatCannotBeReachedSaysWhy) {
    struct Case {
        const char* server;
        std::string_view said;
    };
    const Case cases[] = {
        {ProsodyServer::kHost, kAccountConnectionError},  // nothing listens on the port
        {"no-such-chat-server.invalid", kAccountServerNotFound},
        {"", kAccountServerNotFound},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server);
        UseServer(test::FreeLoopbackPort());
        side.tw().prefs.JabberServer = c.server;
        side.tw().net.ShowAccountDialog();
        EXPECT_EQ(Verify("dave", "pw"), c.said);
        EXPECT_FALSE(dialog().Command1.enabled());
        dialog().unload();
    }
}

// A chat server in name only: it takes one connection at a time and keeps what arrives, and
// answers only what a test makes it send.
struct RawServer {
    int fd = -1;
    int port = 0;
    int conn = -1;
    std::string heard;
    RawServer() {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t n = sizeof a;
        EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        EXPECT_EQ(::listen(fd, 4), 0);
        EXPECT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &n), 0);
        port = ntohs(a.sin_port);
    }
    ~RawServer() {
        Hang();
        ::close(fd);
    }
    // Takes the connection and what it sent; true once the dialog's login has arrived whole.
    bool HeardLogin() {
        if (conn < 0) conn = ::accept4(fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        char buf[4096];
        for (ssize_t got; conn >= 0 && (got = ::recv(conn, buf, sizeof buf, 0)) > 0;) heard.append(buf, static_cast<std::size_t>(got));
        return heard.find("</iq>") != std::string::npos;
    }
    void Hang() {
        if (conn >= 0) ::close(conn);
        conn = -1;
        heard.clear();
    }
};

TEST_F(AccountDialog, AServerThatSaysNothingIsGivenUpAfterTenSeconds) {
    // A server that takes the connection and never answers.
    RawServer server;
    auto& heard = server.heard;
    auto listen_once = [&] { return server.HeardLogin(); };
    UseServer(server.port);
    side.tw().net.ShowAccountDialog();
    dialog().Text1.set_text("erin");
    dialog().Text2.set_text("pw");
    const auto start = clock.now_ms();
    dialog().Command2_Click();
    ASSERT_TRUE(InRealTime(listen_once));
    // No presence: it would make the server hand over the messages it keeps for the account.
    EXPECT_EQ(heard, XmppStreamHeader("localhost") + XmppVerificationLogin("erin", "pw"));
    ASSERT_TRUE(reactor.run_until([&] { return dialog().Label1.caption() != kAccountPleaseVerify; }));
    EXPECT_GE(clock.now_ms() - start, kAccountAnswerMs);
    EXPECT_EQ(dialog().Label1.caption(), kAccountConnectionError);
    EXPECT_TRUE(dialog().Command2.enabled());
    EXPECT_EQ(dialog().Winsock1.state(), platform::TcpSocket::StateClosed);
}

// A server whose stream turns into something the reader cannot follow is given up at once, as a
// server that went away: the player may verify again.
TEST_F(AccountDialog, AServerStreamThatCannotBeReadIsAConnectionError) {
    RawServer server;
    UseServer(server.port);
    side.tw().net.ShowAccountDialog();

    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<x>";
    const std::string header = "<?xml version='1.0'?><stream:stream from='localhost' id='s'>";
    for (const std::string& bad : {header + deep, header + "<!DOCTYPE iq [<!ENTITY a 'b'>]>", header + "<iq <<>>"}) {
        SCOPED_TRACE(bad.substr(header.size(), 30));
        dialog().Text1.set_text("erin");
        dialog().Text2.set_text("pw");
        dialog().Label1.set_caption("(waiting)");
        const auto start = clock.now_ms();
        dialog().Command2_Click();
        ASSERT_TRUE(InRealTime([&] { return server.HeardLogin(); }));
        ASSERT_EQ(::send(server.conn, bad.data(), bad.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bad.size()));
        ASSERT_TRUE(InRealTime([&] { return dialog().Label1.caption() == kAccountConnectionError; }, 5000));
        EXPECT_LT(clock.now_ms() - start, kAccountAnswerMs);
        EXPECT_TRUE(dialog().Command2.enabled());
        EXPECT_EQ(dialog().Winsock1.state(), platform::TcpSocket::StateClosed);
        server.Hang();
    }
}

}  // namespace
}  // namespace tw
