#include "net/receiver.hpp"

#include <limits>

#include "cards/errors.hpp"
#include "cards/game_log.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/connection.hpp"
#include "net/dispatcher.hpp"
#include "net/probation.hpp"
#include "net/duel_frame.hpp"
#include "net/send_command.hpp"
#include "net/xmpp_route.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

constexpr std::string_view kDone = "DONE ";

// Shown once per connection: a closed socket must not answer every later event with a box.
void Disconnected(Tablewright& tw, platform::TcpSocket& socket) {
    if (!tw.net.DisconnectShown) {
        tw.net.DisconnectShown = true;
        ShowMessage(tw, "Disconnected!");
    }
    socket.close();
    tw.net.ReceiveBuffer.clear();
}

// The frame number's place in the ring: a gap before it is asked for, and the half of the ring
// that the next pass will use is emptied in time.
void Number(Tablewright& tw, int n, const std::string& text) {
    auto& history = tw.net.ReceiveHistory;
    tw.net.ReceiveSeq = n;
    if (history[n].empty()) history[n] = text;
    if (n >= 1 && history[n - 1].empty()) {
        std::int32_t cls = 0;
        SendCommand(tw, "rp~" + rt::cstr(n - 1), cls);
    }
    if (n == 128)
        for (int i = 129; i <= 255; ++i) history[i].clear();
    if (n == 254)
        for (int i = 0; i <= 128; ++i) history[i].clear();
}

}  // namespace

void ResetFrameNumbers(Tablewright& tw) {
    tw.net.SendSeq = 0;
    tw.net.ReceiveSeq = 0;
    tw.net.ReceiveHistory.redim(255);
    tw.net.ReceiveBuffer.clear();
    tw.net.DisconnectShown = false;
    tw.net.ChallengeOpen = false;
    tw.net.ProbeAnswerWaits = false;
    EndProbation(tw);  // a new connection, a new listen or a reset: the old one is over
}

void ReceiveDuelData(Tablewright& tw) {
    auto& duel = tw.FormA();
    auto& socket = duel.Winsock1;
    rt::try_step([&] {
        if (!tw.app.host().is_active(duel)) {
            tw.duel.FlashFlags |= 2;
            FlashWindowAlert(tw, duel, 1000, 100);
        }
    });
    DialogsDone(tw);
    rt::try_step([&] { duel.Timer2.set_enabled(true); });
    rt::try_step([&] { duel.gameplay.set_enabled(true); });
    rt::try_step([&] { duel.HP.set_enabled(true); });

    for (;;) {
        if (socket.state() != platform::TcpSocket::StateConnected) {
            Disconnected(tw, socket);
            return;
        }
        tw.errors.LineMarker = "2661B";
        if (socket.bytes_received() > 0) {
            // Only the frames of the peer's own messages go on; the rest of the server's stream
            // is not the peer's to write.
            if (tw.net.ServerDuel) tw.net.ReceiveBuffer.append(TakeServerDuelFrames(tw, socket.get_data()));
            else tw.net.ReceiveBuffer.append(socket.get_data());
        }
        auto piece = tw.net.ReceiveBuffer.next();
        if (!piece) {
            // The frames that came before it are in; a stream that can no longer be read ends
            // the duel as the server's own end would.
            if (tw.net.ServerDuel && tw.net.XmppReceive.broken()) EndUnreadableServerStream(tw);
            return;  // the rest of the frame comes with a later event
        }
        if (piece->kind == DuelFrameReader::Piece::Garbled) {
            if (tw.net.GarbledCount < std::numeric_limits<std::int32_t>::max()) ++tw.net.GarbledCount;
            continue;
        }
        tw.errors.LineMarker = "2678B";
        auto frame = OpenFrame(piece->text, tw.net.ServerDuel);
        tw.errors.LineMarker = "2691B";
        if (!frame) continue;
        // A number outside the ring is still dispatched, but touches neither the ring nor the peer.
        if (frame->number) Number(tw, *frame->number, frame->text);
        tw.errors.LineMarker = "2710B";
        if (frame->text.empty()) continue;
        if (tw.log.LoggingOn) SaveLog(tw);
        tw.errors.LastReceivedCommand = frame->text;
        std::string message = frame->text;
        std::int32_t cls = 0;
        DetermineInfo(tw, message, cls);
        if (frame->number) {
            std::string& entry = tw.net.ReceiveHistory[*frame->number];
            if (entry.compare(0, kDone.size(), kDone) != 0) entry.insert(0, kDone);
        }
    }
}

}  // namespace tw
