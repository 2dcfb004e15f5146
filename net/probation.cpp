#include "net/probation.hpp"

#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/connection.hpp"
#include "net/listenwindow.hpp"
#include "net/receiver.hpp"
#include "platform/rt.hpp"
#include "platform/tcp.hpp"

namespace tw {

void NoteListenState(Tablewright& tw) {
    auto& p = tw.net.Probation;
    auto& duel = tw.FormA();
    p.port = duel.Winsock1.bound_port();
    p.status = duel.Label3.caption();
    p.address_shown = duel.Text3.visible();
    p.connect_shown = duel.Command3.visible();
    p.connect_enabled = duel.Command3.enabled();
    p.listen_enabled = duel.Command2.enabled();
    p.listen_left = duel.Command2.left();
    p.listen_picture = duel.Command2.picture();
    p.log_box_enabled = duel.Check1.enabled();
    p.gameplay_enabled = duel.gameplay.enabled();
    auto* dialog = tw.listenwindow.peek();
    p.dialog_shown = dialog && dialog->visible();
    p.dialog_status = dialog ? dialog->Label3.caption() : std::string();
    p.sent = tw.net.SentCount;
    p.received = tw.net.ReceivedCount;
    p.garbled = tw.net.GarbledCount;
}

void BeginProbation(Tablewright& tw) {
    auto& p = tw.net.Probation;
    auto& reactor = tw.app.reactor();
    if (p.timer) reactor.cancel_timer(p.timer);
    p.on = true;
    const std::uint64_t connection = ++p.connection;
    std::weak_ptr<const bool> alive = tw.Alive;
    p.timer = reactor.add_timer(kProbationMs, [&tw, alive, connection] {
        if (alive.expired()) return;
        auto& p = tw.net.Probation;
        if (p.connection != connection) return;
        p.timer = 0;
        const int state = tw.FormA().Winsock1.state();
        if (!p.on) return;
        if (state == platform::TcpSocket::StateConnected || state == platform::TcpSocket::StateClosing) ProbationFailed(tw);
        else EndProbation(tw);
    });
}

void EndProbation(Tablewright& tw) {
    auto& p = tw.net.Probation;
    if (!p.on) return;
    p.on = false;
    if (p.timer) tw.app.reactor().cancel_timer(p.timer);
    p.timer = 0;
}

bool OnProbation(const Tablewright& tw) { return tw.net.Probation.on; }

void ProbationFailed(Tablewright& tw) {
    EndProbation(tw);
    auto& p = tw.net.Probation;
    auto& duel = tw.FormA();
    auto& socket = duel.Winsock1;
    socket.close();
    rt::try_step([&] { AddChat(tw, std::string(kCameAndWent), "Game", false); });
    ResetFrameNumbers(tw);
    tw.net.SentCount = p.sent;
    tw.net.ReceivedCount = p.received;
    tw.net.GarbledCount = p.garbled;

    rt::try_step([&] { duel.Label3.set_caption(p.status); });
    rt::try_step([&] { duel.Text3.set_visible(p.address_shown); });
    rt::try_step([&] { duel.Command3.set_visible(p.connect_shown); });
    rt::try_step([&] { duel.Command3.set_enabled(p.connect_enabled); });
    rt::try_step([&] { duel.Command2.set_enabled(p.listen_enabled); });
    rt::try_step([&] { duel.Command2.set_left(p.listen_left); });
    rt::try_step([&] { duel.Command2.set_picture(p.listen_picture); });
    rt::try_step([&] { duel.Check1.set_enabled(p.log_box_enabled); });
    rt::try_step([&] { duel.gameplay.set_enabled(p.gameplay_enabled); });
    if (auto* dialog = tw.listenwindow.peek()) {
        rt::try_step([&] { dialog->Label3.set_caption(p.dialog_status); });
        if (p.dialog_shown) rt::try_step([&] { dialog->show(); });
    }

    if (auto error = rt::trap([&] {
            socket.set_local_port(p.port);
            socket.listen();
        })) {
        // The port went to another program meanwhile: the listen is over, as if it had failed.
        tw.net.PlayerNumber = 0;
        IdleListenPanel(tw);
        ShowMessage(tw, "Could not listen on port " + rt::cstr(p.port) + ": " + error->description);
    }
}

}  // namespace tw
