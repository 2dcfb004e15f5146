#include "net/listenwindow.hpp"

#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/connection.hpp"
#include "net/site.hpp"
#include "platform/rt.hpp"
#include "platform/rt_error.hpp"
#include "platform/tcp.hpp"

namespace tw::win {

ListenWindow::ListenWindow(Tablewright& tw)
    : platform::Form(tw.app, "listenwindow"), WebBrowser1(tw.app.reactor()), tw_(tw) {
    set_caption("Listen for connection");
    set_border_style(platform::BorderStyle::FixedDialog);
    move(0, 0, 6015, 4710);
    Label1.set_caption(
        "Just give the person who wants to connect to you your ip. Then press listen. Once they connect "
        "the game will start. You must be listening BEFORE they try to connect. Make sure to turn all "
        "firewalls off!");
    Label1.move(120, 120, 5775, 855);
    Command1.set_caption("Listen");
    Command1.move(120, 1095, 1455, 375);
    Command2.set_caption("Stop Listening");
    Command2.move(1695, 1095, 1455, 375);
    Label3.move(3270, 1155, 2625, 255);
    Label4.set_caption("Your IP(s):");
    Label4.move(120, 1650, 2655, 255);
    Text1.move(120, 1905, 2655, 1575);
    Label5.set_caption("Your IP is most likely: ");
    Label5.move(3015, 1650, 2880, 255);
    Label6.set_caption("Note: Your cards will appear in the bottom playing field");
    Label6.move(120, 3615, 5775, 255);
    Check1.set_caption("Log Duel.");
    Check1.move(120, 3975, 1575, 255);
    WebBrowser1.set_time_limit_ms(kAddressPageLimitMs);

    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    Text1.DblClick = [this] { Text1_DblClick(); };
    Label5.Click = [this] { Label5_Click(); };
}

void ListenWindow::Form_Load() {
    // The listen button reads this page; the bundled site has none.
    if (SiteIsWebHost(tw_)) rt::try_step([&] { WebBrowser1.navigate(SiteUrl(tw_, site::kListenIp)); });
    rt::try_step([&] { ListLocalIPs(tw_, Text1); });
}

void ListenWindow::Command1_Click() {
    auto& duel = tw_.FormA();
    auto& socket = duel.Winsock1;
    tw_.net.PlayerNumber = 1;
    tw_.net.RelayMode = false;
    tw_.net.ServerDuel = false;
    StartConnectionState(tw_);
    rt::try_step([&] { duel.browser.stop(); });
    socket.close();
    const int port = tw_.net_config.listen_port;
    ListenError.clear();
    if (auto error = rt::trap([&] {
            socket.set_local_port(port);
            socket.listen();
        })) {
        ListenError = error->description;
        tw_.net.PlayerNumber = 0;
        ShowMessage(tw_, "Could not listen on port " + rt::cstr(port) + ": " + ListenError);
        return;
    }
    Label3.set_caption("listening....");
}

void ListenWindow::Command2_Click() {
    tw_.net.PlayerNumber = 0;
    tw_.FormA().Winsock1.close();
    Label3.set_caption("Quit listening");
}

void ListenWindow::Text1_DblClick() { CopyAddressRow(tw_, Text1); }

void ListenWindow::Label5_Click() { Check1.set_value(Check1.value() == 1 ? 0 : 1); }

void ListenWindow::Closed() {
    tw_.net.PlayerNumber = 0;
    auto& duel = tw_.FormA();
    duel.Winsock1.close();
    rt::try_step([&] { duel.gameplay.set_enabled(true); });
    rt::try_step([&] { Label3.set_caption("Quit listen"); });
}

void ListenWindow::Form_Unload(bool&) { Closed(); }

void ListenWindow::Form_Terminate() { Closed(); }

}  // namespace tw::win
