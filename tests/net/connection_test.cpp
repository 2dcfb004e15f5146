// The connection panel, its two dialogs and the socket's events: two tables on one loop whose
// players press Listen and Connect, and tables facing sockets that refuse, never answer or sit in
// the place of a relay or a chat server.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cards/duel_log.hpp"
#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/connect3.hpp"
#include "net/connection.hpp"
#include "net/listenwindow.hpp"
#include "net/probation.hpp"
#include "net/site.hpp"
#include "net/xmpp_texts.hpp"
#include "platform/html.hpp"
#include "platform/tcp.hpp"
#include "tests/platform/web/http_server.hpp"
#include "tests/support/duel_pair.hpp"
#include "tests/support/site_override.hpp"

namespace tw {
namespace {

using platform::TcpSocket;
using test::DuelPair;
using test::NetSide;

constexpr platform::Color kGrey = 8421504;
const std::vector<std::string> kDeck = {"Ember Drake", "Salt Wyrm", "Grey Tide"};

// What a player does with the panel.
void TypeAddress(NetSide& s, const std::string& text) {
    auto& box = s.duel().Text4;
    box.user_got_focus();
    box.user_edit(text);
    box.user_lost_focus();
}
void PressConnect(NetSide& s) { s.duel().Command3.user_click(); }
void PressListen(NetSide& s) { s.duel().Command2.user_click(); }
void ConnectFrom(NetSide& s, int mode, const std::string& address) {
    auto& duel = s.duel();
    if (!duel.Text4.visible()) PressConnect(s);
    duel.Combo2.user_select(mode);
    TypeAddress(s, address);
    PressConnect(s);
}

std::vector<std::string> Messages(NetSide& s) {
    std::vector<std::string> out;
    for (const auto& m : s.host.messages()) out.push_back(m.text);
    return out;
}

// The commands that reached the peer, in order.
std::vector<std::string> Delivered(NetSide& s) {
    std::vector<std::string> out;
    for (const auto& c : s.tw().net.SentCommands)
        if (c.connected) out.push_back(c.command);
    return out;
}

// Each part stands in a later line than the part before it.
void ExpectInOrder(const std::vector<std::string>& lines, const std::vector<std::string>& parts) {
    std::size_t at = 0;
    for (const auto& part : parts) {
        while (at < lines.size() && lines[at].find(part) == std::string::npos) ++at;
        ASSERT_LT(at, lines.size()) << "not found in order: " << part;
        ++at;
    }
}

// The panel as it stands when nothing is going on, or while an attempt may be made again.
void ExpectIdlePanel(NetSide& s) {
    auto& d = s.duel();
    EXPECT_EQ(d.Label3.caption(), "Select a connection option above.");
    EXPECT_FALSE(d.Text3.visible());
    EXPECT_TRUE(d.Command3.visible());
    EXPECT_TRUE(d.Command2.enabled());
    EXPECT_EQ(d.Command2.left(), 390);
}
void ExpectPanelBackAfterAttempt(NetSide& s, const std::string& typed) {
    auto& d = s.duel();
    EXPECT_TRUE(d.Combo2.visible());
    EXPECT_TRUE(d.Text4.visible());
    EXPECT_TRUE(d.cmdCancel.visible());
    EXPECT_EQ(d.Text4.text(), typed);
    EXPECT_TRUE(d.Command3.enabled());
    EXPECT_TRUE(d.Command2.enabled());
    EXPECT_EQ(s.socket().state(), TcpSocket::StateClosed);
}

// One player's table, alone on its loop.
struct OneTable {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    NetSide ann{reactor, clock};
    OneTable() { ann.Load("Ann"); }
};

struct PanelPair : DuelPair {
    PanelPair() {
        ann.GiveDeck(kDeck);
        bob.GiveDeck(kDeck);
    }
    // Ann listens from her panel, Bob connects to her from his; true once each has accepted
    // the other's answer.
    bool Duel() {
        PressListen(ann);
        bob.tw().net_config.listen_port = ann.socket().bound_port();
        ConnectFrom(bob, 0, "127.0.0.1");
        return PumpUntil([&] {
            return ann.CountLogged("<Game> Handshake Accepted") == 2 && bob.CountLogged("<Game> Handshake Accepted") == 2;
        });
    }
};

TEST(ConnectionPanel, ListenAndConnectStartTheDuelInTheirOrder) {
    PanelPair pair;
    auto& ann = pair.ann;
    auto& bob = pair.bob;
    ASSERT_TRUE(pair.Duel());
    ASSERT_TRUE(pair.PumpUntil([&] { return ann.Logged("<Game> Your Opponent is Bob"); }));

    EXPECT_EQ(ann.tw().net.PlayerNumber, 1);
    EXPECT_EQ(bob.tw().net.PlayerNumber, 2);
    ExpectInOrder(ann.Log(), {"<Game> Ann is waiting for a connection...", "<Game> Connected!",
                              "<Game> Ann loaded their deck (3 in Deck, 0 in extra)", "<Game> Ann shuffled the deck",
                              "<Game> Your Opponent is Bob", "<Game> Handshake Accepted"});
    ExpectInOrder(bob.Log(), {"<Game> Connecting...", "<Game> Connected!", "<Game> Bob shuffled the deck",
                              "<Game> Your Opponent is Ann", "<Game> Handshake Accepted"});
    // The challenge and the player information are the first commands either side sends, but
    // for the pile counts that follow every line.
    for (NetSide* s : {&ann, &bob}) {
        std::vector<std::string> sent;
        for (const auto& c : Delivered(*s))
            if (c.rfind("us~", 0) != 0) sent.push_back(c);
        ASSERT_GE(sent.size(), 2u);
        EXPECT_EQ(sent[0].rfind("hs~", 0), 0u) << sent[0];
        EXPECT_EQ(sent[1], "mi~" + s->tw().prefs.UserName + ":20:" + std::to_string(s->tw().net.PlayerNumber) + ":0:");
        EXPECT_TRUE(Messages(*s).empty());
    }

    // Both panels are closed to a second connection until a reset.
    for (NetSide* s : {&ann, &bob}) {
        auto& d = s->duel();
        EXPECT_FALSE(d.Command2.enabled());
        EXPECT_FALSE(d.Command3.enabled());
        EXPECT_FALSE(d.Check1.enabled());
        EXPECT_FALSE(d.Text3.visible());
        EXPECT_FALSE(d.Text4.visible());
        EXPECT_FALSE(d.Combo2.visible());
        EXPECT_TRUE(d.Command3.visible());
        EXPECT_EQ(d.Command2.left(), 390);
        EXPECT_EQ(d.Label3.caption(), "Connected.");
        EXPECT_TRUE(d.gameplay.enabled());
        EXPECT_TRUE(d.Timer2.enabled());
    }
    EXPECT_FALSE(bob.duel().Settings2.enabled());
    EXPECT_TRUE(bob.duel().HP.enabled());
    // The dialogs did the work unseen and stay loaded: unloading them would end the connection.
    ASSERT_NE(bob.tw().connect3.peek(), nullptr);
    EXPECT_FALSE(bob.tw().connect3.peek()->visible());
    EXPECT_FALSE(bob.tw().connect3.peek()->Timer1.enabled());
    ASSERT_NE(ann.tw().listenwindow.peek(), nullptr);
    EXPECT_EQ(ann.tw().listenwindow.peek()->Label3.caption(), "listening....");
}

TEST(ConnectionPanel, ThePeerClosingLeavesTheButtonsOffUntilAReset) {
    PanelPair pair;
    auto& ann = pair.ann;
    auto& bob = pair.bob;
    ann.duel().Check1.user_click();  // "Log Duel"
    const std::string log_name = ann.tw().log.LogFileName;
    ASSERT_TRUE(pair.Duel());
    ASSERT_TRUE(ann.tw().log.LoggingOn);
    EXPECT_TRUE(ann.Logged("<Game> Loging and saving to " + log_name));

    bob.socket().close();
    ASSERT_TRUE(pair.PumpUntil([&] { return ann.Logged("<Game> Disconnected!"); }));
    auto& d = ann.duel();
    // The descriptor is let go at once; the look stays that of a finished duel.
    EXPECT_EQ(ann.socket().state(), TcpSocket::StateClosed);
    EXPECT_FALSE(d.Command2.enabled());
    EXPECT_FALSE(d.Command3.enabled());
    EXPECT_EQ(d.Label3.caption(), "Disconnected.");
    EXPECT_TRUE(d.Settings2.enabled());
    EXPECT_FALSE(d.gameplay.enabled());
    EXPECT_EQ(ann.tw().net.PlayerNumber, 1);
    // The game log holds the line.
    EXPECT_NE(test::TempDir::read(ann.tw().log.LogFileName).size(), 0u);
    EXPECT_TRUE(Messages(ann).empty());
}

TEST(ConnectionPanel, WhatThePanelSaysBeforeAnAttempt) {
    struct Case {
        const char* name;
        std::function<void(NetSide&)> act;
        std::vector<std::string> messages;
        std::function<void(NetSide&)> check;
    };
    const std::vector<Case> cases = {
        {"the first press opens the panel with its placeholder",
         [](NetSide& s) { PressConnect(s); },
         {},
         [](NetSide& s) {
             EXPECT_TRUE(s.duel().Text4.visible());
             EXPECT_TRUE(s.duel().Combo2.visible());
             EXPECT_EQ(s.duel().Text4.text(), "Enter IP");
             EXPECT_EQ(s.duel().Text4.fore_color(), kGrey);
         }},
        {"a server mode asks for the opponent's login while nothing is typed",
         [](NetSide& s) {
             PressConnect(s);
             s.duel().Combo2.user_select(2);
         },
         {},
         [](NetSide& s) { EXPECT_EQ(s.duel().Text4.text(), "Enter Opponent Username"); }},
        {"what was typed stays when the mode changes",
         [](NetSide& s) {
             PressConnect(s);
             TypeAddress(s, "10.1.2.3");
             s.duel().Combo2.user_select(1);
         },
         {},
         [](NetSide& s) {
             EXPECT_EQ(s.duel().Text4.text(), "10.1.2.3");
             EXPECT_EQ(s.duel().Text4.fore_color(), 0);
         }},
        {"an emptied box shows its placeholder again",
         [](NetSide& s) {
             PressConnect(s);
             TypeAddress(s, "");
             PressConnect(s);
         },
         {"Enter your opponent's IP first."},
         nullptr},
        {"Connect with the placeholder showing",
         [](NetSide& s) {
             PressConnect(s);
             PressConnect(s);
         },
         {"Enter your opponent's IP first."},
         [](NetSide& s) { EXPECT_TRUE(s.duel().Text4.visible()); }},
        {"Connect with an empty box",
         [](NetSide& s) {
             PressConnect(s);
             s.duel().Text4.user_got_focus();
             PressConnect(s);
         },
         {"BZZZT! Forgot to enter a username or ip"},
         [](NetSide& s) { EXPECT_TRUE(s.duel().Text4.visible()); }},
        {"Cancel closes the panel",
         [](NetSide& s) {
             PressConnect(s);
             s.duel().cmdCancel.user_click();
         },
         {},
         [](NetSide& s) {
             EXPECT_FALSE(s.duel().Text4.visible());
             EXPECT_FALSE(s.duel().Combo2.visible());
             EXPECT_FALSE(s.duel().cmdCancel.visible());
         }},
        {"cards played before connecting",
         [](NetSide& s) {
             s.tw().piles.PlayedOffline = true;
             PressConnect(s);
             PressListen(s);
         },
         {"You have already played cards, which isnt fair to your opponent.\r\n"
          "Goto File | Reset Game to reset the playing field.",
          "You have already played cards, which isnt fair to your opponent.\r\n"
          "Goto File | Reset Game to reset the playing field."},
         [](NetSide& s) {
             EXPECT_FALSE(s.duel().Text4.visible());
             EXPECT_EQ(s.socket().state(), TcpSocket::StateClosed);
         }},
        {"Connect while listening does nothing",
         [](NetSide& s) {
             PressListen(s);
             PressConnect(s);
         },
         {},
         [](NetSide& s) {
             EXPECT_FALSE(s.duel().Text4.visible());
             EXPECT_EQ(s.socket().state(), TcpSocket::StateListening);
         }},
        {"Listen pressed again stops listening and gives up the seat",
         [](NetSide& s) {
             PressListen(s);
             PressListen(s);
         },
         {},
         [](NetSide& s) {
             EXPECT_EQ(s.socket().state(), TcpSocket::StateClosed);
             EXPECT_EQ(s.tw().net.PlayerNumber, 0);
             ExpectIdlePanel(s);
             EXPECT_TRUE(s.Logged("<Game> Ann stopped waiting for a connection"));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        OneTable one;
        c.act(one.ann);
        EXPECT_EQ(Messages(one.ann), c.messages);
        if (c.check) c.check(one.ann);
        EXPECT_FALSE(one.ann.Logged("<Game> Connecting..."));
    }
}

TEST(ConnectionPanel, ListeningShowsTheOwnAddressAndItCopies) {
    DuelPair pair;
    auto& ann = pair.ann;
    PressListen(ann);
    auto& d = ann.duel();
    ASSERT_EQ(ann.socket().state(), TcpSocket::StateListening);
    EXPECT_EQ(ann.tw().net.PlayerNumber, 1);
    EXPECT_EQ(d.Label3.caption(), "Your IP is:");
    EXPECT_FALSE(d.Command3.visible());
    EXPECT_EQ(d.Command2.left(), 1320);
    // The bundled site has no address page: the machine's own addresses stand in.
    EXPECT_TRUE(d.Text3.visible());
    EXPECT_EQ(d.Text3.text(), LocalAddressesText(ann.tw()));
    EXPECT_FALSE(d.Text3.text().empty());
    EXPECT_TRUE(ann.Logged("<Game> Ann is waiting for a connection..."));

    d.Text3.user_double_click();
    EXPECT_EQ(ann.host.clipboard_text(), d.Text3.text());

    // The dialog's address list: the count and the hint rows copy nothing.
    auto& dialog = ann.tw().listenwindow();
    dialog.show();
    auto& list = dialog.Text1;
    list.clear();
    for (const char* row : {"2 IP addresses found on your PC, Choose 1", "Dbl. Clicking an entry will add it",
                            "10.0.0.7"})
        list.add_item(row);
    ann.host.set_clipboard_text("before");
    for (int row : {0, 1}) list.user_double_click(row);
    EXPECT_EQ(ann.host.clipboard_text(), "before");
    EXPECT_TRUE(Messages(ann).empty());
    list.user_double_click(2);
    EXPECT_EQ(ann.host.clipboard_text(), "10.0.0.7");
    EXPECT_EQ(Messages(ann), std::vector<std::string>{"\"10.0.0.7\" added to clipboard"});
}

TEST(ConnectionPanel, AListenOnAPortInUseSaysSoAndPutsThePanelBack) {
    DuelPair pair;
    auto& ann = pair.ann;
    TcpSocket holder(pair.reactor);
    holder.listen();
    const int port = holder.bound_port();
    ann.tw().net_config.listen_port = port;
    PressListen(ann);

    EXPECT_EQ(Messages(ann), std::vector<std::string>{"Could not listen on port " + std::to_string(port) +
                                                      ": Address in use"});
    EXPECT_EQ(ann.tw().net.PlayerNumber, 0);
    ExpectIdlePanel(ann);
    EXPECT_FALSE(ann.Logged("<Game> Ann is waiting for a connection..."));
    EXPECT_NE(ann.tw().listenwindow.peek()->Label3.caption(), "listening....");

    // Once the port is free, the same button listens.
    holder.close();
    PressListen(ann);
    EXPECT_EQ(ann.socket().state(), TcpSocket::StateListening);
}

// What a listening table meets on the internet before its opponent comes: connections that never
// speak, scans that connect and close at once. None of them takes the seat or opens a box, and
// the opponent who comes after them duels as if they had never been.
TEST(ConnectionPanel, AConnectionThatIsNoTableLeavesTheTableListening) {
    const std::string came = "<Game> " + std::string(kCameAndWent);
    struct Case {
        const char* what;
        std::function<void(test::RawPeer&)> act;
        bool waits;  // whether only the time limit ends it
    };
    const std::vector<Case> cases = {
        {"silent", [](test::RawPeer&) {}, true},
        {"a scan that connects and closes", [](test::RawPeer& r) { r.close(); }, false},
        {"a few bytes, then gone", [](test::RawPeer& r) {
             r.write("GET / HTTP/1.0\r\n\r\n");
             r.close();
         }, false},
        {"junk and no handshake", [](test::RawPeer& r) { r.write("^~\nzz~^ hello"); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PanelPair pair;
        auto& ann = pair.ann;
        auto& bob = pair.bob;
        PressListen(ann);
        ASSERT_EQ(ann.socket().state(), TcpSocket::StateListening);
        const int port = ann.socket().bound_port();
        auto& d = ann.duel();
        const std::string status = d.Label3.caption();
        const int left = d.Command2.left();
        const auto picture = d.Command2.picture();
        const bool address = d.Text3.visible(), connect = d.Command3.visible(), log_box = d.Check1.enabled();

        test::RawPeer stranger(pair.reactor);
        stranger.connect(port);
        ASSERT_TRUE(pair.PumpUntil([&] { return ann.socket().state() == TcpSocket::StateConnected; }));
        const std::int64_t start = pair.clock.now_ms();
        c.act(stranger);
        ASSERT_TRUE(pair.reactor.run_until([&] { return ann.Logged(came); }));
        if (c.waits) EXPECT_GE(pair.clock.now_ms() - start, kProbationMs);
        else EXPECT_LT(pair.clock.now_ms() - start, kProbationMs);

        EXPECT_EQ(ann.socket().state(), TcpSocket::StateListening);
        EXPECT_EQ(ann.socket().bound_port(), port);
        EXPECT_EQ(ann.tw().net.PlayerNumber, 1);
        EXPECT_EQ(Messages(ann), std::vector<std::string>{});
        EXPECT_EQ(d.Label3.caption(), status);
        EXPECT_EQ(d.Command2.left(), left);
        EXPECT_EQ(d.Command2.picture(), picture);
        EXPECT_TRUE(d.Command2.enabled());
        EXPECT_EQ(d.Text3.visible(), address);
        EXPECT_EQ(d.Command3.visible(), connect);
        EXPECT_EQ(d.Check1.enabled(), log_box);
        EXPECT_FALSE(ann.Logged("<Game> Disconnected!"));

        // The opponent then duels on the same port, with frames numbered from 0 and counts in step.
        stranger.close();
        bob.tw().net_config.listen_port = port;
        ConnectFrom(bob, 0, "127.0.0.1");
        ASSERT_TRUE(pair.PumpUntil([&] {
            return ann.CountLogged("<Game> Handshake Accepted") == 2 && bob.CountLogged("<Game> Handshake Accepted") == 2;
        }));
        for (int i = 0; i < 10; ++i) AddChat(ann.tw(), "move " + std::to_string(i), "Ann", true);
        ASSERT_TRUE(pair.PumpUntil([&] { return bob.Logged("<Ann> move 9"); }));
        for (const auto& sent : bob.Sent()) EXPECT_NE(sent.rfind("rp~", 0), 0u) << sent;
        EXPECT_EQ(bob.tw().net.HackLevel, 0);
        EXPECT_EQ(ann.CountLogged(came), 1);
        EXPECT_TRUE(Messages(ann).empty());
        EXPECT_TRUE(Messages(bob).empty());
    }
}

TEST(ConnectionPanel, AConnectToAClosedPortShowsTheRefusalAndGivesThePanelBack) {
    DuelPair pair;
    auto& bob = pair.bob;
    bob.tw().net_config.listen_port = test::closed_port();
    ConnectFrom(bob, 0, "127.0.0.1");
    ASSERT_TRUE(pair.PumpUntil([&] { return bob.Logged("<Game> Disconnected"); }));
    EXPECT_EQ(Messages(bob), std::vector<std::string>{"Connection is forcefully rejected"});
    ExpectPanelBackAfterAttempt(bob, "127.0.0.1");
    EXPECT_FALSE(bob.tw().connect3.peek()->Timer1.enabled());

    // The panel is ready for the next attempt, which succeeds.
    pair.ann.GiveDeck(kDeck);
    PressListen(pair.ann);
    bob.tw().net_config.listen_port = pair.ann.socket().bound_port();
    PressConnect(bob);
    EXPECT_TRUE(pair.PumpUntil([&] { return bob.socket().state() == TcpSocket::StateConnected; }));
}

// A listening socket whose queue of waiting connections is full: a further connect is never
// answered.
struct SilentHost {
    int fd = -1;
    std::vector<int> fillers;
    int port = 0;
    SilentHost() {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd, 0);
        socklen_t len = sizeof a;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
        for (int i = 0; i < 2; ++i) {
            const int f = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            ::connect(f, reinterpret_cast<sockaddr*>(&a), sizeof a);
            fillers.push_back(f);
        }
        ::usleep(50 * 1000);
    }
    ~SilentHost() {
        for (int f : fillers) ::close(f);
        ::close(fd);
    }
};

TEST(ConnectionPanel, AnAttemptNobodyAnswersEndsAfterTenSeconds) {
    DuelPair pair;
    auto& bob = pair.bob;
    SilentHost silent;
    bob.tw().net_config.listen_port = silent.port;
    ConnectFrom(bob, 0, "127.0.0.1");
    const std::int64_t start = pair.clock.now_ms();
    ASSERT_TRUE(pair.reactor.run_until([&] { return pair.clock.now_ms() - start >= 9000; }));
    ASSERT_EQ(bob.socket().state(), TcpSocket::StateConnecting) << "the silent host answered";
    EXPECT_TRUE(Messages(bob).empty());

    ASSERT_TRUE(pair.reactor.run_until([&] { return !Messages(bob).empty(); }));
    EXPECT_EQ(pair.clock.now_ms() - start, 10000);
    EXPECT_EQ(Messages(bob), std::vector<std::string>{"Connection timed out."});
    EXPECT_EQ(bob.tw().connect3.peek()->status.caption(), "Connection timed out.");
    EXPECT_EQ(bob.tw().net.PlayerNumber, 0);
    EXPECT_TRUE(bob.Logged("<Game> Disconnected"));
    ExpectPanelBackAfterAttempt(bob, "127.0.0.1");
}

// Something in the place of a relay or a chat server: it takes one connection and keeps what
// arrives.
struct Catcher {
    TcpSocket socket;
    std::string received;
    explicit Catcher(platform::Reactor& reactor) : socket(reactor) {
        socket.ConnectionRequest = [this](long id) {
            socket.close();
            socket.accept(id);
        };
        socket.DataArrival = [this](long) { received += socket.get_data(); };
        socket.listen();
    }
    int port() const { return socket.bound_port(); }
};

TEST(ConnectionPanel, EachModeTakesItsSeatRouteAndPorts) {
    struct Case {
        int mode;
        int seat;
        bool server;
        bool relay;
        int platform::NetConfig::*remote;
        int platform::NetConfig::*local;  // null: the system's choice
    };
    using C = platform::NetConfig;
    const Case cases[] = {
        {0, 2, false, false, &C::listen_port, &C::direct_local_port},
        {1, 1, true, true, &C::xmpp_port, nullptr},
        {2, 2, true, true, &C::xmpp_port, nullptr},
        {3, 1, false, true, &C::relay_host_port, &C::relay_host_local_port},
        {4, 2, false, true, &C::relay_client_port, &C::relay_client_local_port},
    };
    // One table makes every attempt in a row, each mode also right after a server attempt.
    DuelPair pair;
    auto& bob = pair.bob;
    bob.tw().prefs.JabberServer = "127.0.0.1";
    bob.tw().net.JabberUser = "bobby";
    // An attempt in a mode to a far end that keeps what arrives; true once a frame came.
    auto attempt = [&](int mode, Catcher& far_end) {
        auto& d = bob.duel();
        for (platform::Control* c : std::initializer_list<platform::Control*>{&d.Command2, &d.Command3, &d.Check1})
            c->set_enabled(true);
        ConnectFrom(bob, mode, "127.0.0.1");
        const bool arrived = pair.PumpUntil([&] {
            return far_end.socket.state() == TcpSocket::StateConnected &&
                   far_end.received.find("~^") != std::string::npos;
        });
        bob.socket().close();
        return arrived;
    };
    for (const Case& c : cases) {
        for (const bool after_server : {false, true}) {
            SCOPED_TRACE("mode " + std::to_string(c.mode) + (after_server ? ", after a server attempt" : ""));
            if (after_server) {
                Catcher server(pair.reactor);
                bob.tw().net_config.xmpp_port = server.port();
                ASSERT_TRUE(attempt(1, server));
                ASSERT_TRUE(bob.tw().net.ServerDuel);
            }
            Catcher far_end(pair.reactor);
            const int free_local = test::closed_port();
            bob.tw().net_config.*(c.remote) = far_end.port();
            if (c.local) bob.tw().net_config.*(c.local) = free_local;
            ASSERT_TRUE(attempt(c.mode, far_end));
            EXPECT_EQ(bob.tw().net.PlayerNumber, c.seat);
            EXPECT_EQ(bob.tw().net.ServerDuel, c.server);
            EXPECT_EQ(bob.tw().net.RelayMode, c.relay);
            if (c.local) EXPECT_EQ(far_end.socket.remote_port(), free_local);
            // A server duel logs in to the chat server first and wraps its frames for it; no other
            // mode ever does.
            EXPECT_EQ(far_end.received.rfind(XmppStreamHeader("127.0.0.1"), 0) == 0, c.server)
                << far_end.received.substr(0, 40);
            EXPECT_EQ(far_end.received.find("<message id='zqm_1'") != std::string::npos, c.server);
            EXPECT_EQ(far_end.received.rfind("^~", 0) == 0, !c.server) << far_end.received.substr(0, 40);
            if (c.server) EXPECT_EQ(bob.tw().net.JabberPeer, "127.0.0.1");
            EXPECT_TRUE(Messages(bob).empty());
        }
    }
}

TEST(ConnectionPanel, AServerDuelWithoutAnAccountDoesNotConnect) {
    DuelPair pair;
    auto& bob = pair.bob;
    Catcher server(pair.reactor);
    bob.tw().prefs.JabberServer = "127.0.0.1";
    bob.tw().net_config.xmpp_port = server.port();
    int shown = 0;
    bob.tw().net.ShowAccountDialog = [&] { ++shown; };
    ConnectFrom(bob, 2, "alice");
    EXPECT_EQ(shown, 2);  // on choosing the mode, and again on Connect
    EXPECT_TRUE(bob.Logged("<Game> Connection Failed"));
    EXPECT_EQ(bob.socket().state(), TcpSocket::StateClosed);
    EXPECT_FALSE(pair.PumpUntil([&] { return server.socket.state() == TcpSocket::StateConnected; }, 200));

    // With the account given while the dialog is open, the attempt goes on.
    bool open = true;
    bob.tw().net.AccountDialogVisible = [&] { return open; };
    bob.tw().net.ShowAccountDialog = [&] {
        pair.reactor.post([&] {
            bob.tw().net.JabberUser = "bobby";
            open = false;
        });
    };
    ConnectFrom(bob, 2, "alice");
    EXPECT_TRUE(pair.PumpUntil([&] { return server.socket.state() == TcpSocket::StateConnected; }));
}

TEST(ConnectionPanel, ATakenLocalPortIsNoReasonToFail) {
    DuelPair pair;
    auto& bob = pair.bob;
    TcpSocket holder(pair.reactor);
    holder.listen();
    Catcher far_end(pair.reactor);
    bob.tw().net_config.direct_local_port = holder.bound_port();
    bob.tw().net_config.listen_port = far_end.port();
    ConnectFrom(bob, 0, "127.0.0.1");
    ASSERT_TRUE(pair.PumpUntil([&] { return far_end.socket.state() == TcpSocket::StateConnected; }));
    EXPECT_NE(far_end.socket.remote_port(), holder.bound_port());
    EXPECT_TRUE(Messages(bob).empty());
}

TEST(ConnectionPanel, AHostNameIsLookedUpWithoutStoppingTheWindow) {
    PanelPair pair;
    PressListen(pair.ann);
    pair.bob.tw().net_config.listen_port = pair.ann.socket().bound_port();
    ConnectFrom(pair.bob, 0, "localhost");
    // The press returned before the connection: the name is still being looked up.
    EXPECT_EQ(pair.bob.socket().state(), TcpSocket::StateConnecting);
    // The lookup is polled on the loop's clock, which moves here at about the pace of real time.
    EXPECT_TRUE(pair.PumpUntil([&] {
        pair.clock.advance(5);
        return pair.ann.CountLogged("<Game> Handshake Accepted") == 2;
    }));
}

TEST(ConnectionPanel, TheMenuDialogsNeedADeckAndEndWhatTheyStarted) {
    DuelPair pair;
    auto& ann = pair.ann;
    auto& bob = pair.bob;
    ann.duel().Listenwindow2_Click();
    bob.duel().connect2_Click();
    EXPECT_EQ(Messages(ann), std::vector<std::string>{"Please load a deck first"});
    EXPECT_EQ(Messages(bob), std::vector<std::string>{"Please load a deck first"});

    ann.GiveDeck(kDeck);
    bob.GiveDeck(kDeck);
    ann.duel().Listenwindow2_Click();
    auto& listen = *ann.tw().listenwindow.peek();
    EXPECT_TRUE(listen.visible());
    EXPECT_FALSE(ann.duel().gameplay.enabled());
    listen.Command1.user_click();
    EXPECT_EQ(listen.Label3.caption(), "listening....");
    listen.Command2.user_click();
    EXPECT_EQ(listen.Label3.caption(), "Quit listening");
    EXPECT_EQ(ann.tw().net.PlayerNumber, 0);
    EXPECT_EQ(ann.socket().state(), TcpSocket::StateClosed);
    listen.Command1.user_click();

    bob.duel().connect2_Click();
    auto& dialog = *bob.tw().connect3.peek();
    EXPECT_TRUE(dialog.visible());
    EXPECT_EQ(dialog.Combo1.list_count(), 5);
    bob.tw().net_config.listen_port = ann.socket().bound_port();
    dialog.oct1.set_text("127.0.0.1");
    dialog.Command1.user_click();
    EXPECT_EQ(dialog.status.caption(), "Connecting to 127.0.0.1");
    ASSERT_TRUE(pair.PumpUntil([&] { return ann.CountLogged("<Game> Handshake Accepted") == 2; }));
    EXPECT_FALSE(dialog.visible());
    EXPECT_FALSE(listen.visible());

    // Unloading the connect dialog ends the connection with its line, which the peer sees.
    dialog.unload();
    EXPECT_EQ(bob.socket().state(), TcpSocket::StateClosed);
    EXPECT_EQ(bob.tw().net.PlayerNumber, 0);
    EXPECT_EQ(bob.CountLogged("<Game> Disconnected"), 1);
    EXPECT_TRUE(bob.duel().gameplay.enabled());
    ASSERT_TRUE(pair.PumpUntil([&] { return ann.Logged("<Game> Disconnected!"); }));
    EXPECT_TRUE(ann.Logged("<Game> Disconnected"));
}

TEST(ConnectionPanel, TheOnlineUsersPageIsAskedOfAWebHostOnly) {
    for (const bool web : {true, false}) {
        SCOPED_TRACE(web ? "a web host" : "the bundled site");
        // A port where nobody answers: the page is asked for, and never read.
        test::SiteOverride site(web ? std::optional<std::string>("http://127.0.0.1:" + std::to_string(test::closed_port()))
                                    : std::nullopt);
        PanelPair pair;
        auto& ann = pair.ann;
        auto& bob = pair.bob;
        bob.tw().prefs.UserName = "B&b x";
        ann.duel().Timer2_Timer();  // not connected: nothing
        EXPECT_EQ(ann.duel().browser.location_url(), "");
        ASSERT_TRUE(pair.Duel());

        const std::string base = SiteBase(bob.tw());
        EXPECT_EQ(bob.duel().browser.location_url(), web ? base + "/whosonline.php?username=B%26b%20x" : "");
        EXPECT_EQ(ann.duel().browser.location_url(), "");  // the listening side only ticks

        std::tm odd{};
        odd.tm_year = 126;
        odd.tm_mday = 1;
        odd.tm_hour = 12;
        odd.tm_min = 7;
        pair.clock.set_local_time(odd);
        ann.duel().Timer2_Timer();
        EXPECT_EQ(ann.duel().browser.location_url(), web ? base + "/whosonline.php" : "");
        odd.tm_min = 8;  // an even minute loads the same page again
        pair.clock.set_local_time(odd);
        ann.duel().Timer2_Timer();
        EXPECT_EQ(ann.duel().browser.location_url(), web ? base + "/whosonline.php" : "");
    }
}

TEST(ConnectionPanel, TheListenButtonReadsTheAddressPageOrWaitsFiveSecondsAtMost) {
    struct Case {
        const char* name;
        std::function<void(test::HttpServer&)> serve;
        std::string shown;  // "" : the machine's own addresses
        std::int64_t at_most_ms;
    };
    const std::vector<Case> cases = {
        {"the page's address",
         [](test::HttpServer& s) {
             s.page("/ip.php", "<html><head><title>IP</title></head><body> 198.51.100.7 </body></html>");
         },
         "198.51.100.7", 1000},
        {"an error page", [](test::HttpServer&) {}, "", 1000},
        {"markup where the address should be",
         [](test::HttpServer& s) {
             s.page("/ip.php", "<html><head><title>x</title></head><body><b>1.2.3.4</b></body></html>");
         },
         "", 1000},
        {"a page that never comes", [](test::HttpServer& s) { s.never_answer("/ip.php"); }, "", 5000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DuelPair pair;
        test::HttpServer server(pair.reactor);
        c.serve(server);
        test::SiteOverride site(server.url(""));
        auto& ann = pair.ann;
        const std::int64_t start = pair.clock.now_ms();
        PressListen(ann);
        EXPECT_LE(pair.clock.now_ms() - start, c.at_most_ms);
        EXPECT_EQ(ann.duel().Text3.text(), c.shown.empty() ? LocalAddressesText(ann.tw()) : c.shown);
        EXPECT_EQ(ann.socket().state(), TcpSocket::StateListening);
        EXPECT_EQ(server.request_lines().size(), 1u);
    }
}

TEST(ConnectionPanel, TheAddressOfAPageIsTakenOnlyWhenItReadsAsOne) {
    const std::string head = "<html><head><title>t</title></head><body>";
    struct Case {
        std::string page;
        std::optional<std::string> address;
    };
    const std::vector<Case> cases = {
        {head + "203.0.113.9</body></html>", "203.0.113.9"},
        {head + "\r\n  host-7.example.net \r\n</body></html>", "host-7.example.net"},
        {head + "2001:db8::1</body></html>", "2001:db8::1"},
        {head + "</body></html>", std::nullopt},
        {"1.2.3.4", std::nullopt},  // no fourth element: html, head and body only
        {head + "1.2.3.4<script>x</script></body></html>", std::nullopt},
        {head + "1.2.3.4 5.6.7.8</body></html>", std::nullopt},
        {head + std::string(254, 'a') + "</body></html>", std::nullopt},
        {head + std::string(1 << 20, ' ') + "</body></html>", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page.substr(0, 80));
        EXPECT_EQ(AddressFromPage(platform::HtmlDocument(c.page)), c.address);
    }
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

// "Log Duel" ticked after Listen still logs the duel, and the duel leaves one game log, named
// after the opponent.
TEST(ConnectionPanel, LogDuelTickedAfterListenLogsTheDuelIntoOneFile) {
    PanelPair pair;
    auto& ann = pair.ann;
    auto& bob = pair.bob;
    PressListen(ann);
    ann.duel().Check1.user_click();  // "Log Duel", ticked while listening
    bob.tw().net_config.listen_port = ann.socket().bound_port();
    ConnectFrom(bob, 0, "127.0.0.1");
    ASSERT_TRUE(pair.PumpUntil([&] { return ann.Logged("<Game> Your Opponent is Bob"); }));
    ASSERT_TRUE(ann.tw().log.LoggingOn);
    bob.socket().close();
    ASSERT_TRUE(pair.PumpUntil([&] { return ann.Logged("<Game> Disconnected!"); }));
    const auto logs = std::filesystem::path(ann.tw().log.LogFileName).parent_path();
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(logs)) files.push_back(e.path().filename().string());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_NE(files[0].find("_Bob.qlra"), std::string::npos) << files[0];
}

}  // namespace
}  // namespace tw
