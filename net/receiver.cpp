#include "net/receiver.hpp"

#include <limits>

#include "cards/errors.hpp"
#include "cards/game_log.hpp"
#include "cards/helpers.hpp"
#include "cards/tablewright.hpp"
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
    if (!tw.DisconnectShown) {
        tw.DisconnectShown = true;
        ShowMessage(tw, "Disconnected!");
    }
    socket.close();
    tw.ReceiveBuffer.clear();
}

// The frame number's place in the ring: a gap before it is asked for, and the half of the ring
// that the next pass will use is emptied in time.
void Number(Tablewright& tw, int n, const std::string& text) {
    auto& history = tw.ReceiveHistory;
    tw.ReceiveSeq = n;
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
    tw.SendSeq = 0;
    tw.ReceiveSeq = 0;
    tw.ReceiveHistory.redim(255);
    tw.ReceiveBuffer.clear();
    tw.DisconnectShown = false;
    tw.ChallengeOpen = false;
    tw.ProbeAnswerWaits = false;
    EndProbation(tw);  // a new connection, a new listen or a reset: the old one is over
}

void ReceiveDuelData(Tablewright& tw) {
    auto& duel = tw.FormA();
    auto& socket = duel.Winsock1;
    rt::try_step([&] {
        if (!tw.app.host().is_active(duel)) {
            tw.FlashFlags |= 2;
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
        tw.LineMarker = "2661B";
        if (socket.bytes_received() > 0) {
            // Only the frames of the peer's own messages go on; the rest of the server's stream
            // is not the peer's to write.
            if (tw.ServerDuel) tw.ReceiveBuffer.append(TakeServerDuelFrames(tw, socket.get_data()));
            else tw.ReceiveBuffer.append(socket.get_data());
        }
        auto piece = tw.ReceiveBuffer.next();
        if (!piece) {
            // The frames that came before it are in; a stream that can no longer be read ends
            // the duel as the server's own end would.
            if (tw.ServerDuel && tw.XmppReceive.broken()) EndUnreadableServerStream(tw);
            return;  // the rest of the frame comes with a later event
        }
        if (piece->kind == DuelFrameReader::Piece::Garbled) {
            if (tw.GarbledCount < std::numeric_limits<std::int32_t>::max()) ++tw.GarbledCount;
            continue;
        }
        tw.LineMarker = "2678B";
        auto frame = OpenFrame(piece->text, tw.ServerDuel);
        tw.LineMarker = "2691B";
        if (!frame) continue;
        // A number outside the ring is still dispatched, but touches neither the ring nor the peer.
        if (frame->number) Number(tw, *frame->number, frame->text);
        tw.LineMarker = "2710B";
        if (frame->text.empty()) continue;
        if (tw.LoggingOn) SaveLog(tw);
        tw.LastReceivedCommand = frame->text;
        std::string message = frame->text;
        std::int32_t cls = 0;
        DetermineInfo(tw, message, cls);
        if (frame->number) {
            std::string& entry = tw.ReceiveHistory[*frame->number];
            if (entry.compare(0, kDone.size(), kDone) != 0) entry.insert(0, kDone);
        }
    }
}

}  // namespace tw
