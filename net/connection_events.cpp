// The duel socket's events that open and end a connection, and the online-users timer. Each step
// that fails is passed over and the next one runs.
#include <string>

#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "cards/game_log.hpp"
#include "cards/helpers.hpp"
#include "cards/settings_window.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/connect3.hpp"
#include "net/connection.hpp"
#include "net/handshake.hpp"
#include "net/probation.hpp"
#include "net/site.hpp"
#include "platform/rt.hpp"
#include "platform/tcp.hpp"
#include "table/piles.hpp"

namespace tw::win {

namespace {

template <class F>
void Step(F&& fn) {
    rt::try_step(std::forward<F>(fn));
}

// The connection panel's status while a connection is up, and once it has gone.
constexpr const char* kConnectedStatus = "Connected.";
constexpr const char* kDisconnectedStatus = "Disconnected.";

int LiveCards(const rt::Array<Card>& pile) {
    int n = 0;
    for (int i = 1; i <= pile.ubound(); ++i) n += IsLiveEntry(pile[i]) ? 1 : 0;
    return n;
}

}  // namespace

void FormA::Winsock1_Connect() {
    if (tw_.net.ServerDuel) Step([&] { tw_.net.SendServerLogin(); });
    Step([&] {
        Command3.set_enabled(false);
        Command2.set_enabled(false);
        Check1.set_enabled(false);
        Text3.set_visible(false);
        Command3.set_visible(true);
    });
    Step([&] { Label3.set_caption(kConnectedStatus); });
    Step([&] { LoadWindowPicture(tw_, Command2, "listen normal.jpg"); });
    Step([&] {
        cmdCancel.set_visible(false);
        Combo2.set_visible(false);
        Text4.set_visible(false);
    });
    tw_.net.AttentionSent = false;
    // The box counts as it is when the duel begins, not as it was when the attempt began.
    Step([&] { StartLogging(tw_); });
    Step([&] { SendChallenge(tw_); });
    Step([&] { SendPlayerInfo(tw_, true); });
    Step([&] { AddChat(tw_, "Connected!", "Game", false); });
    // Only a web host has the page; the bundled site is never asked.
    if (SiteIsWebHost(tw_)) Step([&] { browser.navigate(WhosOnlineUrl(tw_, tw_.prefs.UserName)); });
    Step([&] { Timer2.set_enabled(true); });
    Step([&] {
        gameplay.set_enabled(true);
        HP.set_enabled(true);
    });
    Step([&] { ShuffleDeck(tw_); });
    Step([&] { ShuffleDeck(tw_); });
    Step([&] { AddChat(tw_, tw_.prefs.UserName + " shuffled the deck", "Game", true); });
    if (tw_.net.ServerDuel) Step([&] { AddChat(tw_, "Waiting for opponent...", "Game", false); });
    DialogsDone(tw_);
    Step([&] { Settings2.set_enabled(false); });
    if (auto* window = tw_.settings.peek()) Step([&] { window->hide(); });
}

void FormA::Winsock1_ConnectionRequest(long requestID) {
    tw_.net.AttentionSent = false;
    const bool listening = Winsock1.state() == platform::TcpSocket::StateListening;
    if (listening) Step([&] { NoteListenState(tw_); });
    Step([&] {
        if (Winsock1.state() != platform::TcpSocket::StateConnected) Winsock1.close();
        Winsock1.accept(requestID);
    });
    if (listening && Winsock1.state() == platform::TcpSocket::StateConnected) BeginProbation(tw_);
    Step([&] { StartLogging(tw_); });
    Step([&] { AddChat(tw_, "Connected!", "Game", false); });
    Step([&] { Timer2.set_enabled(true); });
    if (tw_.net.PlayerNumber == 1) {
        Step([&] { SendChallenge(tw_); });
        IdleListenPanel(tw_);
        Step([&] {
            Command2.set_enabled(false);
            Command3.set_enabled(false);
            Check1.set_enabled(false);
        });
        Step([&] { SendPlayerInfo(tw_, true); });
    }
    Step([&] { Label3.set_caption(kConnectedStatus); });
    Step([&] {
        AddChat(tw_,
                tw_.prefs.UserName + " loaded their deck (" + rt::cstr(LiveCards(tw_.piles.DeckCards)) + " in Deck, " +
                    rt::cstr(LiveCards(tw_.piles.ExtraDeckCards)) + " in extra)",
                "Game", true);
    });
    for (int i = 0; i < 3; ++i) Step([&] { ShuffleDeck(tw_); });
    Step([&] { AddChat(tw_, tw_.prefs.UserName + " shuffled the deck", "Game", true); });
    DialogsDone(tw_);
    Step([&] { gameplay.set_enabled(true); });
}

// The buttons stay disabled until a reset; the socket lets its descriptor go at once.
void FormA::Winsock1_Close() {
    if (OnProbation(tw_)) {
        ProbationFailed(tw_);
        return;
    }
    if (Winsock1.send_overflowed()) Step([&] { AddChat(tw_, std::string(kPeerStoppedReading), "Game", false); });
    Step([&] { AddChat(tw_, "Disconnected!", "Game", true); });
    // The buttons stay out of reach, so the idle text would mislead as much as "Connected.".
    Step([&] { Label3.set_caption(kDisconnectedStatus); });
    if (tw_.log.LoggingOn) Step([&] { SaveLogNow(tw_); });
    Step([&] { Settings2.set_enabled(true); });
    Step([&] { gameplay.set_enabled(false); });
    Winsock1.close();
}

void FormA::Winsock1_Error(int, const std::string& Description) {
    if (OnProbation(tw_)) {
        ProbationFailed(tw_);
        return;
    }
    // An error that ends a connect attempt gives the panel back, so the player can try again.
    auto* dialog = tw_.connect3.peek();
    const bool attempt = dialog && dialog->Timer1.enabled();
    if (attempt) Step([&] { dialog->Timer1.set_enabled(false); });
    Step([&] { ShowMessage(tw_, Description); });
    Step([&] { AddChat(tw_, "Disconnected", "Game", true); });
    if (tw_.log.LoggingOn) Step([&] { SaveLogNow(tw_); });
    Winsock1.close();
    if (attempt) RestoreConnectPanel(tw_);
}

void FormA::Timer2_Timer() {
    if (Winsock1.state() != platform::TcpSocket::StateConnected) return;
    if (!SiteIsWebHost(tw_)) return;
    Step([&] {
        if (IsOddNumber(tw_.app.clock().local_time().tm_min))
            browser.navigate(WhosOnlineUrl(tw_));
        else
            browser.refresh();
    });
}

}  // namespace tw::win
