#include "net/connect3.hpp"

#include <string>

#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/connection.hpp"
#include "net/site.hpp"
#include "net/xmpp_texts.hpp"
#include "platform/rt.hpp"
#include "platform/tcp.hpp"

namespace tw::win {

Connect3::Connect3(Tablewright& tw) : platform::Form(tw.app, "connect3"), WebBrowser1(tw.app.reactor()), tw_(tw) {
    set_caption("Connect to Opponent");
    set_border_style(platform::BorderStyle::FixedDialog);
    move(0, 0, 6015, 4350);
    Label1.set_caption("Duel Mode:");
    Label1.move(120, 135, 1095, 255);
    Combo1.move(1215, 90, 4575, 315);
    Label2.set_caption("Opponent`s IP:");
    Label2.move(120, 555, 1095, 255);
    oct1.move(1215, 510, 3255, 315);
    Command1.set_caption("Connect");
    Command1.move(4575, 495, 1215, 345);
    status.set_caption("Status...");
    status.move(120, 975, 5670, 255);
    Label4.set_caption("Your IP(s):");
    Label4.move(120, 1395, 2655, 255);
    Text1.move(120, 1650, 2655, 1575);
    Label5.set_caption("Your IP is most likely:");
    Label5.move(3015, 1395, 2775, 255);
    Label6.set_caption("Note: Your cards will appear in the top playing field");
    Label6.move(120, 3360, 5670, 255);
    Check1.set_caption("Log Duel");
    Check1.move(120, 3720, 1575, 255);
    Timer1.set_interval(1000);
    Timer1.set_enabled(false);

    Command1.Click = [this] { Command1_Click(); };
    Timer1.Tick = [this] { Timer1_Timer(); };
    Text1.DblClick = [this] { Text1_DblClick(); };
    Label1.Click = [this] { Label1_Click(); };
}

void Connect3::Form_Load() {
    Combo1.clear();
    for (const char* mode : kDuelModes) Combo1.add_item(mode);
    Combo1.set_list_index(0);
    // The page is only shown; the bundled site has none.
    if (SiteIsWebHost(tw_)) rt::try_step([&] { WebBrowser1.navigate(SiteUrl(tw_, site::kConnectIp)); });
    rt::try_step([&] { ListLocalIPs(tw_, Text1); });
}

void Connect3::Command1_Click() {
    auto& duel = tw_.FormA();
    auto& socket = duel.Winsock1;
    const bool started = !rt::trap([&] {
        status.set_caption("Connecting to " + oct1.text());
        StartConnectionState(tw_);
        tw_.net.PlayerNumber = 2;
        const int mode = Combo1.list_index();
        const DuelRoute route = RouteOf(tw_, mode, oct1.text());
        // Set from the mode on every attempt: a later direct or relay duel must never send the
        // chat server's login to the peer.
        tw_.net.ServerDuel = route.server;
        tw_.net.PlayerNumber = route.seat;
        tw_.net.RelayMode = route.relay;
        if (route.server) tw_.net.JabberPeer = oct1.text();
        socket.close();
        socket.set_local_port(route.local_port);
        // No peer checks the port a connection comes from: one that is taken is no reason to fail.
        socket.set_local_port_optional(true);
        socket.connect(route.host, route.port);
        ConnectTicks = 0;
        Timer1.set_enabled(false);
        Timer1.set_enabled(true);
    });
    // An attempt that could not even start leaves the panel as it was before it.
    if (!started) RestoreConnectPanel(tw_);
}

// The attempt is given up after its time: the player sees why, and may try again at once.
void Connect3::Timer1_Timer() {
    auto& socket = tw_.FormA().Winsock1;
    if (socket.state() != platform::TcpSocket::StateConnecting) {
        Timer1.set_enabled(false);
        return;
    }
    if (++ConnectTicks < kConnectLimitTicks) return;
    Timer1.set_enabled(false);
    rt::try_step([&] { status.set_caption(std::string(kConnectTimedOut)); });
    tw_.net.PlayerNumber = 0;
    rt::try_step([&] { AddChat(tw_, "Disconnected", "Game", true); });
    socket.close();
    RestoreConnectPanel(tw_);
    ShowMessage(tw_, std::string(kConnectTimedOut));
}

void Connect3::Text1_DblClick() { CopyAddressRow(tw_, Text1); }

void Connect3::Label1_Click() { Check1.set_value(Check1.value() == 1 ? 0 : 1); }

void Connect3::Form_Unload(bool&) {
    unloaded_ = true;
    auto& duel = tw_.FormA();
    auto& socket = duel.Winsock1;
    Timer1.set_enabled(false);
    tw_.net.PlayerNumber = 0;
    rt::try_step([&] { AddChat(tw_, "Disconnected", "Game", true); });
    if (tw_.net.ServerDuel && socket.state() == platform::TcpSocket::StateConnected)
        rt::try_step([&] { socket.send_data(XmppStreamEnd()); });
    socket.close();
    rt::try_step([&] { duel.gameplay.set_enabled(true); });
}

// The unload above has done all of this already; the line is not written twice.
void Connect3::Form_Terminate() {
    Timer1.set_enabled(false);
    tw_.net.PlayerNumber = 0;
    auto& duel = tw_.FormA();
    rt::try_step([&] { duel.gameplay.set_enabled(true); });
    if (unloaded_ || duel.Winsock1.state() == platform::TcpSocket::StateConnected) return;
    rt::try_step([&] { AddChat(tw_, "Disconnected", "Game", true); });
    duel.Winsock1.close();
}

}  // namespace tw::win
