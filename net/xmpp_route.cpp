#include "net/xmpp_route.hpp"

#include "cards/duel_log.hpp"
#include "cards/game_log.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/xmpp_texts.hpp"
#include "platform/ansi.hpp"
#include "platform/rt.hpp"
#include "platform/tcp.hpp"

namespace tw {

namespace {

// Letter case of ASCII only: the address is UTF-8, whose bytes the program's own case rules
// would mix up with other letters.
bool SameAsciiIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

}  // namespace

bool IsPeerAddress(std::string_view from, std::string_view peer, std::string_view server) {
    const std::string_view bare = from.substr(0, from.find('/'));
    // The stream is UTF-8; the names the player typed are the program's cp1252.
    const std::string want = rt::cp1252_to_utf8(peer) + ".plimvale@" + rt::cp1252_to_utf8(server);
    return !peer.empty() && SameAsciiIgnoringCase(bare, want);
}

void SendServerLogin(Tablewright& tw) {
    tw.net.XmppReceive.clear();
    tw.FormA().Winsock1.send_data(XmppStreamHeader(tw.prefs.JabberServer) + XmppDuelLogin(tw.net.JabberUser, tw.net.JabberPassword) +
                                  XmppPresence());
}

void EndUnreadableServerStream(Tablewright& tw) {
    auto& socket = tw.FormA().Winsock1;
    if (socket.state() == platform::TcpSocket::StateClosed) return;
    // Closed first, so that nothing more is written to a stream the server no longer keeps.
    socket.close();
    rt::try_step([&] { AddChat(tw, "Disconnected", "Game", true); });
    if (tw.log.LoggingOn) rt::try_step([&] { SaveLogNow(tw); });
    rt::try_step([&] { tw.FormA().Settings2.set_enabled(true); });
    rt::try_step([&] { tw.FormA().gameplay.set_enabled(false); });
}

std::string TakeServerDuelFrames(Tablewright& tw, std::string_view bytes) {
    auto& in = tw.net.XmppReceive;
    in.append(bytes);
    std::string frames;
    while (auto stanza = in.next()) {
        if (stanza->name == "iq" && stanza->id == kDuelLoginId && stanza->type == "error") {
            rt::try_step([&] { AddChat(tw, std::string(kServerLoginFailed), "Game", false); });
            continue;
        }
        if (stanza->name != "message" || stanza->type == "error" || !stanza->has_body) continue;
        if (!IsPeerAddress(stanza->from, tw.net.JabberPeer, tw.prefs.JabberServer)) continue;
        // The body of a duel message is the frame in dotted decimal: digits, dots and markers.
        frames += stanza->body;
    }
    return frames;
}

}  // namespace tw
