#include "relay/relaying.hpp"

#include <algorithm>

#include "platform/rt.hpp"
#include "platform/tcp.hpp"
#include "relay/form1.hpp"

namespace bh {

namespace {

constexpr std::string_view kCountMark = "|$|";

// The command of a duel frame's text, its sender's count taken off.
std::string WithoutCount(const std::string& text) {
    const std::size_t at = text.rfind(kCountMark);
    return at == std::string::npos ? text : text.substr(0, at);
}

// The first start marker of either kind tells how the client frames; the bytes before it wait
// with it. Each byte is looked at once however the bytes arrive.
void Detect(Link& link, const std::string& bytes) {
    const std::size_t from = link.undetected.empty() ? 0 : link.undetected.size() - 1;
    link.undetected += bytes;
    const std::size_t duel = link.undetected.find(tw::kFrameStart, from);
    const std::size_t relay = link.undetected.find(kRelayFrameStart, from);
    if (duel == std::string::npos && relay == std::string::npos) {
        // Nothing here can become a frame but a marker begun by the last byte.
        if (link.undetected.size() > Link::kMaxHeld) link.undetected.erase(0, link.undetected.size() - 1);
        return;
    }
    if (relay < duel) {
        link.kind = FrameKind::Relay;
        link.reader = tw::DuelFrameReader(kRelayFrameStart, kRelayFrameEnd);
    } else {
        link.kind = FrameKind::Duel;
        link.reader = tw::DuelFrameReader();
    }
    // Only from the marker on: the bytes before it are no frame, and with them a large arrival
    // could pass the reader's bound and take the first frame down with the junk.
    link.reader.append(std::string_view(link.undetected).substr(std::min(duel, relay)));
    link.undetected.clear();
}

bool Connected(const platform::TcpSocket& s) { return s.state() == platform::TcpSocket::StateConnected; }

}  // namespace

void ResetLink(Bridgehall& bh, int Index) {
    auto& link = bh.links[Index];
    if (link.probation_timer) bh.app.reactor().cancel_timer(link.probation_timer);
    link = Link{};
}

bool CanTake(Bridgehall& bh, int Index) {
    return Connected(bh.Form1().Winsock1[Index]) && bh.links[Index].kind != FrameKind::Unknown;
}

void Hold(Bridgehall& bh, int Index, const Outgoing& out) {
    auto& link = bh.links[Index];
    link.held.push_back(out);
    link.held_bytes += out.message.size() + out.duel_frame.size();
    bool lost = false;
    while (link.held_bytes > Link::kMaxHeld && !link.held.empty()) {
        const Outgoing& oldest = link.held.front();
        link.held_bytes -= oldest.message.size() + oldest.duel_frame.size();
        link.held.pop_front();
        lost = true;
    }
    if (lost && !link.held_loss_told) {
        link.held_loss_told = true;
        bh.Form1().Log("<Relay> A message could not be sent.");
    }
}

void PassOnHeld(Bridgehall& bh, int Index) {
    auto& link = bh.links[Index];
    if (link.held.empty()) return;
    std::deque<Outgoing> held = std::move(link.held);
    link.held.clear();
    link.held_bytes = 0;
    link.held_loss_told = false;
    for (auto& out : held) bh.Form1().WinsockSend(out, Index, 1 - Index);
}

void SendTo(Bridgehall& bh, int Index, const Outgoing& out) {
    auto& form = bh.Form1();
    auto& socket = form.Winsock1[Index];
    auto& link = bh.links[Index];
    switch (link.kind) {
        case FrameKind::Unknown: {
            const std::size_t size = out.message.size() + out.duel_frame.size();
            if (link.waiting_bytes + size > 2 * Link::kMaxHeld) {
                form.Log("<Relay> A message could not be sent.");
                return;
            }
            link.waiting.push_back(out);
            link.waiting_bytes += size;
            return;
        }
        case FrameKind::Relay: {
            auto frame = RelayFrame(out.message, bh.draw_offsets());
            if (!frame) {
                form.Log("<Relay> A message could not be sent.");
                return;
            }
            socket.send_data(*frame);
            return;
        }
        case FrameKind::Duel: {
            if (!out.duel_frame.empty()) {
                socket.send_data(out.duel_frame);
                if (out.frame_number) link.last_frame_number = *out.frame_number;
                return;
            }
            // The relay's own words are not the other player's commands: the count -1 keeps them
            // out of the receiver's count, and the number of the frame it got last asks it for
            // no resend.
            const std::string body =
                tw::FrameBody(tw::RemoveFrameMarkers(out.message), -1, link.last_frame_number);
            socket.send_data(tw::DuelFrame(0, tw::EncodeWire(body)));
            return;
        }
    }
}

void ReceiveRelayData(Bridgehall& bh, int Index) {
    auto& form = bh.Form1();
    auto& socket = form.Winsock1[Index];
    auto& link = bh.links[Index];
    if (!Connected(socket)) {
        socket.close();
        return;
    }
    const std::string bytes = socket.get_data();
    if (link.kind == FrameKind::Unknown) {
        Detect(link, bytes);
        if (link.kind == FrameKind::Unknown) return;
        std::vector<Outgoing> waiting = std::move(link.waiting);
        link.waiting.clear();
        link.waiting_bytes = 0;
        for (const auto& out : waiting) SendTo(bh, Index, out);
        // What the partner said before this client could hear it follows "pd~c", in order.
        PassOnHeld(bh, 1 - Index);
    } else {
        link.reader.append(bytes);
    }

    for (;;) {
        if (!Connected(socket)) {
            socket.close();
            return;
        }
        auto piece = link.reader.next();
        if (!piece) return;  // the rest comes with a later event
        if (piece->kind != tw::DuelFrameReader::Piece::Frame) continue;
        Outgoing out;
        if (link.kind == FrameKind::Duel) {
            auto frame = tw::OpenFrame(piece->text, false);
            if (!frame) continue;
            out = {WithoutCount(frame->text), std::move(piece->text), frame->number};
        } else {
            out.message = OpenRelayFrame(piece->text);
        }
        if (out.message.empty()) continue;
        if (out.message.size() >= 3 && out.message[2] == '~') {
            // Until the partner is there and has framed something, its messages are kept:
            // the host's opening is what the joining table needs first.
            if (CanTake(bh, 1 - Index)) form.WinsockSend(out, Index, -1);
            else Hold(bh, Index, out);
        }
        if (form.List1.list_count() > 0) form.List1.set_list_index(form.List1.list_count() - 1);
        const std::string message = tw::RemoveFrameMarkers(out.message, kRelayFrameStart, kRelayFrameEnd);
        if (!message.empty()) InspectMessage(bh, message, Index);
    }
}

void InspectMessage(Bridgehall& bh, const std::string& text, int socket) {
    const std::size_t x = text.find('~');
    if (x == std::string::npos) return;
    const std::string code = rt::lcase(std::string_view(text).substr(0, x));
    if (code == "ch") {
        const std::size_t a = text.find('<');
        const std::size_t b = text.find('>');
        // Only a line that names its speaker in brackets, "<" first, is chat to show.
        if (a == std::string::npos || b == std::string::npos || b < a) return;
        std::string chat = b + 2 <= text.size() ? text.substr(b + 2) : std::string();
        chat = rt::replace_all(rt::replace_all(chat, "&tilde&", "~"), "&clolon&", ":");
        bh.Form1().Log("<" + bh.RelayPlayerNames[socket] + ">" + chat);
    } else if (code == "mi") {
        const std::string args = text.substr(x + 1);
        bh.RelayPlayerNames[socket] = args.substr(0, args.find(':'));
    }
}

}  // namespace bh
