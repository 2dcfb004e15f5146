#pragma once
// What every duel connection shares: the five duel modes with their seats, routes and ports,
// the start values of a new connection, the own address for the listening player, and the steps
// that put the connection panel back when an attempt or a listen came to nothing.
#include <optional>
#include <string>
#include <string_view>

namespace platform {
class HtmlDocument;
class ListBox;
class WebBrowser;
}  // namespace platform

namespace tw {
class Tablewright;

// The duel modes in the order of the mode lists.
inline constexpr const char* kDuelModes[] = {
    "Normal Duel: Im connecting to my Opponent.",
    "Server Duel: Im going to be the HOST",
    "Server Duel: Im going to be the CLIENT",
    "Relay Duel: Im going to be the HOST",
    "Relay Duel: Im going to be the CLIENT",
};
inline constexpr int kDuelModeCount = 5;

// Where one mode's attempt goes.
struct DuelRoute {
    int seat = 2;
    bool server = false;  // the frames travel as XMPP messages through a chat server
    bool relay = false;   // a relay or a chat server sits between the tables
    int local_port = 0;   // 0: the system chooses
    std::string host;
    int port = 0;
};

// The route of a mode (0 to 4) to the typed address or login; modes out of range are mode 0.
// The ports come from the program's NetConfig.
DuelRoute RouteOf(const Tablewright& tw, int mode, const std::string& typed);

// Whether a mode duels through a chat server, where the typed text is the opponent's login.
bool IsServerMode(int mode);

// A new connection's start on either side: frames numbered from 0 both ways, and the game log
// switched on or off by the duel window's "Log Duel" box (with its line in the duel log).
void StartConnectionState(Tablewright& tw);

// The own address as the address page gives it: the fourth element's text, when it reads as a
// host name or an address (letters, digits, ".", ":", "-", at most 253 characters). A page that
// holds anything else (an error page, markup, a flood) gives nothing.
std::optional<std::string> AddressFromPage(const platform::HtmlDocument& page);

// The machine's own addresses for the peer to type, as the address lists show them, joined by
// blanks; with none of those, every other address that is not the loopback.
std::string LocalAddressesText(Tablewright& tw);

// How long the address page of the listen button may take.
inline constexpr int kAddressPageLimitMs = 5000;

// The own address while listening: the address page when the site is a web host and answers in
// time, else the machine's own addresses. Runs the loop while it waits; `cancelled` ends the wait.
std::string OwnAddressForListening(Tablewright& tw, platform::WebBrowser& page, const bool& cancelled);

// A double click on an address list: from the third row on, the chosen row goes onto the
// clipboard and the player is told so; the count and hint rows above do nothing.
void CopyAddressRow(Tablewright& tw, platform::ListBox& list);

// A connect attempt that will not come to a connection: the panel shows the mode list, the
// address box and Cancel again with what was typed, and Connect and Listen are back.
void RestoreConnectPanel(Tablewright& tw);

// The panel as it is when nobody listens or connects: Listen at its place with its picture,
// Connect shown, the own address hidden.
void IdleListenPanel(Tablewright& tw);

// A connection stands: the connect dialog's attempt timer stops and both dialogs are hidden
// (they stay loaded; unloading them would end the connection).
void DialogsDone(Tablewright& tw);

// Said in the duel log when the peer let so much wait to be sent that the connection was ended.
inline constexpr std::string_view kPeerStoppedReading =
    "The connection was closed: the opponent stopped taking our messages.";

// The seconds a connect attempt may take before it is given up.
inline constexpr int kConnectLimitTicks = 10;
inline constexpr std::string_view kConnectTimedOut = "Connection timed out.";

}  // namespace tw
