// The duel window's connection panel: the duel mode, the opponent's address, Connect, Listen,
// and the Game menu's commands that show the two dialogs.
#include <string>

#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/connect3.hpp"
#include "net/connection.hpp"
#include "net/listenwindow.hpp"
#include "platform/rt.hpp"
#include "platform/tcp.hpp"

namespace tw::win {

namespace {

constexpr platform::Color kPlaceholderGrey = 8421504;
constexpr platform::Color kTyped = 0;
constexpr int kWaitStepMs = 20;

constexpr const char* kPlayedOffline =
    "You have already played cards, which isnt fair to your opponent.\r\n"
    "Goto File | Reset Game to reset the playing field.";

const char* Placeholder(int mode) { return IsServerMode(mode) ? "Enter Opponent Username" : "Enter IP"; }

}  // namespace

bool FormA::WireConnection() {
    Text4.GotFocus = [this] { Text4_GotFocus(); };
    Text4.LostFocus = [this] { Text4_LostFocus(); };
    cmdCancel.Click = [this] { cmdCancel_Click(); };
    Text3.DblClick = [this] { Text3_DblClick(); };
    game.Click = [this] { game_Click(); };
    connect2.Click = [this] { connect2_Click(); };
    Listenwindow2.Click = [this] { Listenwindow2_Click(); };
    Winsock1.Connect = [this] { Winsock1_Connect(); };
    Winsock1.ConnectionRequest = [this](long id) { Winsock1_ConnectionRequest(id); };
    Winsock1.Close = [this] { Winsock1_Close(); };
    Winsock1.Error = [this](int number, std::string description) { Winsock1_Error(number, description); };
    return true;
}

void FormA::Combo2_Click() {
    const int mode = Combo2.list_index();
    if (IsServerMode(mode) && tw_.net.JabberUser.empty()) tw_.net.ShowAccountDialog();
    // A grey text is the placeholder; what the player typed is left alone.
    if (Text4.fore_color() != kTyped) {
        Text4.set_fore_color(kPlaceholderGrey);
        Text4.set_text(Placeholder(mode));
    }
}

void FormA::Text4_GotFocus() {
    if (Text4.fore_color() == kTyped) return;
    Text4.set_fore_color(kTyped);
    Text4.set_text("");
}

// A box left empty shows what to type again.
void FormA::Text4_LostFocus() {
    if (Text4.fore_color() != kTyped || !Text4.text().empty()) return;
    Text4.set_fore_color(kPlaceholderGrey);
    Text4.set_text(Placeholder(Combo2.list_index()));
}

void FormA::Command3_Click() {
    if (tw_.piles.PlayedOffline) {
        ShowMessage(tw_, kPlayedOffline);
        return;
    }
    if (Winsock1.state() != platform::TcpSocket::StateClosed) return;
    if (!Text4.visible()) {
        Combo2.set_visible(true);
        cmdCancel.set_visible(true);
        Text4.set_visible(true);
        return;
    }
    if (Text4.fore_color() != kTyped) {
        ShowMessage(tw_, "Enter your opponent's IP first.");
        return;
    }
    if (Text4.text().empty()) {
        ShowMessageDirect(tw_, "BZZZT! Forgot to enter a username or ip");
        return;
    }
    AddChat(tw_, "Connecting...", "Game", true);
    const int mode = Combo2.list_index();
    auto& dialog = tw_.connect3();
    dialog.Combo1.set_list_index(mode);
    dialog.oct1.set_text(Text4.text());
    cmdCancel.set_visible(false);
    Text4.set_visible(false);
    Combo2.set_visible(false);
    // A server duel logs in with the verified account; without one there is nothing to send.
    if (IsServerMode(mode) && tw_.net.JabberUser.empty()) {
        tw_.net.ShowAccountDialog();
        while (tw_.net.JabberUser.empty()) {
            if (!tw_.net.AccountDialogVisible()) {
                AddChat(tw_, "Connection Failed", "Game", true);
                return;
            }
            tw_.app.do_events();
            if (tw_.net.JabberUser.empty()) tw_.app.host().sleep_ms(kWaitStepMs);
        }
    }
    dialog.Command1_Click();
}

void FormA::cmdCancel_Click() {
    cmdCancel.set_visible(false);
    Combo2.set_visible(false);
    Text4.set_visible(false);
}

void FormA::Command2_Click() {
    if (tw_.piles.PlayedOffline) {
        ShowMessage(tw_, kPlayedOffline);
        return;
    }
    if (Winsock1.state() != platform::TcpSocket::StateClosed || Text3.visible() || WaitingForAddress) {
        // Pressed again while the own address is still being looked up: that wait ends too.
        if (WaitingForAddress) ListenCancelled = true;
        Label3.set_caption("Select a connection option above.");
        tw_.net.PlayerNumber = 0;
        Winsock1.close();
        gameplay.set_enabled(true);
        IdleListenPanel(tw_);
        AddChat(tw_, tw_.prefs.UserName + " stopped waiting for a connection", "Game", true);
        return;
    }
    Label3.set_caption("Your IP is:");
    Command3.set_visible(false);
    auto& dialog = tw_.listenwindow();
    rt::try_step([&] { LoadWindowPicture(tw_, Command2, "cancel normal.jpg"); });
    Command2.set_left(1320);

    WaitingForAddress = true;
    ListenCancelled = false;
    const std::string address = OwnAddressForListening(tw_, dialog.WebBrowser1, ListenCancelled);
    WaitingForAddress = false;
    if (ListenCancelled) return;
    Text3.set_text(address);
    Text3.set_visible(true);

    dialog.Command1_Click();
    // The dialog has said why it cannot listen; the panel is as it was.
    if (Winsock1.state() != platform::TcpSocket::StateListening) {
        IdleListenPanel(tw_);
        return;
    }
    AddChat(tw_, tw_.prefs.UserName + " is waiting for a connection...", "Game", true);
}

void FormA::Text3_DblClick() { tw_.app.host().set_clipboard_text(Text3.text()); }

void FormA::game_Click() {
    const bool idle = Winsock1.state() != platform::TcpSocket::StateConnected;
    connect2.set_enabled(idle);
    Listenwindow2.set_enabled(idle);
}

void FormA::connect2_Click() {
    hand.clear();
    Winsock1.close();
    if (tw_.piles.PlayedOffline) {
        ShowMessage(tw_, kPlayedOffline);
    } else if (tw_.piles.DeckLoaded) {
        gameplay.set_enabled(false);
        if (auto* other = tw_.listenwindow.peek(); other && other->visible()) other->unload();
        tw_.connect3().show();
    } else {
        ShowMessage(tw_, "Please load a deck first");
    }
}

void FormA::Listenwindow2_Click() {
    if (tw_.piles.PlayedOffline) {
        ShowMessage(tw_,
                    "You have already played cards, which isnt fair to your opponent.\r\n"
                    "Goto File | Reset Game to reset the playing field");
        return;
    }
    hand.clear();
    Winsock1.close();
    if (tw_.piles.DeckLoaded) {
        gameplay.set_enabled(false);
        if (auto* other = tw_.connect3.peek(); other && other->visible()) other->unload();
        tw_.listenwindow().show();
    } else {
        ShowMessage(tw_, "Please load a deck first");
    }
}

}  // namespace tw::win
