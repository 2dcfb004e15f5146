#include "relay/form1.hpp"

#include "platform/rt.hpp"
#include "platform/rt_error.hpp"
#include "relay/relaying.hpp"

namespace bh::win {

namespace {

bool Connected(const platform::TcpSocket& s) { return s.state() == platform::TcpSocket::StateConnected; }

}  // namespace

Form1::Form1(Bridgehall& bh)
    : platform::Form(bh.app, "Form1"),
      Winsock1{platform::TcpSocket(bh.app.reactor(), "Winsock1", 0),
               platform::TcpSocket(bh.app.reactor(), "Winsock1", 1)},
      bh_(bh) {
    set_caption("ZQM Bridgehall v0.1");
    set_border_style(platform::BorderStyle::FixedSingle);
    move(2400, 1800, 6480, 5205);
    List1.move(120, 120, 6120, 3570);
    Text1.move(120, 3810, 4815, 315);
    Command3.move(5055, 3780, 1185, 375);
    Command1.move(120, 4320, 1335, 375);
    Command2.move(1575, 4320, 1335, 375);
    Command1.set_caption("Start");
    Command2.set_caption("Quit");
    Command3.set_caption("Send");
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    Command3.Click = [this] { Command3_Click(); };
    for (int i = 0; i < 2; ++i) {
        auto& s = Winsock1[i];
        s.ConnectionRequest = [this, i](long id) { Winsock1_ConnectionRequest(i, id); };
        s.DataArrival = [this, i](long bytes) { Winsock1_DataArrival(i, bytes); };
        s.Close = [this, i] { Winsock1_Close(i); };
        s.Error = [this, i](int number, std::string description) { Winsock1_Error(i, number, description); };
    }
}

// A connection's time limit refers to this window; it must not outlive it.
Form1::~Form1() {
    for (int i = 0; i < 2; ++i) ResetLink(bh_, i);
}

void Form1::Form_Load() {
    bh_.RelayPlayerNames = {"", ""};
    Command1.set_enabled(true);
    Command2.set_enabled(true);
}

void Form1::Log(const std::string& line) {
    List1.add_item(line);
    while (List1.list_count() > kMaxLogLines) List1.remove_item(0);
    List1.set_list_index(List1.list_count() - 1);
}

void Form1::Listen(int Index, int port) {
    auto& s = Winsock1[Index];
    s.close();
    ResetLink(bh_, Index);
    s.set_local_port(port);
    s.listen();
    listened_port_[Index] = s.bound_port();
}

void Form1::Command1_Click() {
    const int ports[2] = {bh_.net_config.relay_host_port, bh_.net_config.relay_client_port};
    bool listening = true;
    for (int i = 0; i < 2; ++i) {
        try {
            Listen(i, ports[i]);
        } catch (const rt::RuntimeError& e) {
            // A port another program holds: the operator learns which, and Quit then Start
            // tries again.
            listening = false;
            Log("<Relay> Cannot listen on port " + std::to_string(ports[i]) + ": " + e.description);
        }
    }
    if (listening) Log("<Relay> Now Listening!");
    Command1.set_enabled(false);
    Command2.set_enabled(true);
}

void Form1::DropUnproven(int Index) {
    const int port = listened_port_[Index];
    try {
        Listen(Index, port);
    } catch (const rt::RuntimeError& e) {
        Log("<Relay> Cannot listen on port " + std::to_string(port) + ": " + e.description);
    }
}

void Form1::Command2_Click() {
    for (int i = 0; i < 2; ++i) {
        Winsock1[i].close();
        ResetLink(bh_, i);
    }
    Log("<Relay> Disconnected!");
    Command1.set_enabled(true);
    Command2.set_enabled(false);
}

void Form1::Command3_Click() {
    if (Text1.text().empty()) return;
    std::string line = "ch~<Relay> " + Text1.text();
    WinsockSend(line, -1, -1);
    Text1.set_text("");
}

void Form1::Winsock1_ConnectionRequest(int Index, long requestID) {
    auto& s = Winsock1[Index];
    s.close();
    s.accept(requestID);
    ResetLink(bh_, Index);
    auto& link = bh_.links[Index];
    link.probation_timer = bh_.app.reactor().add_timer(Link::kProbationMs, [this, Index] {
        auto& l = bh_.links[Index];
        l.probation_timer = 0;
        if (l.kind == FrameKind::Unknown) DropUnproven(Index);
    });
    Log(Index != 0 ? "<Relay> Client Connected" : "<Relay> Host Connected");
    if (Connected(Winsock1[1]) && Connected(Winsock1[0])) {
        // A client's frame kind is known only from its first start marker, so "pd~c" waits for
        // that on a client that has not spoken yet. Tablewright always speaks first (its
        // challenge goes out as soon as it is connected), so each table has it at once.
        std::string probe = "pd~c";
        WinsockSend(probe, -1, -1);
        Log("<Relay> Both Connected Duel Starting!");
    }
}

void Form1::Winsock1_DataArrival(int Index, long) { ReceiveRelayData(bh_, Index); }

// A client that goes is told in the log at once, without a box that would hold up the other
// client's traffic, and the other client hears it as one of the relay's chat lines; the socket
// listens again only after Quit and Start. A connection that never framed anything was no client.
void Form1::Winsock1_Close(int Index) {
    if (bh_.links[Index].kind == FrameKind::Unknown) {
        DropUnproven(Index);
        return;
    }
    const std::string line = Index != 0 ? "<Relay> Client Disconnected" : "<Relay> Host Disconnected";
    Log(line);
    Winsock1[Index].close();
    ResetLink(bh_, Index);
    std::string chat = "ch~" + line;
    WinsockSend(chat, -1, -1);
}

void Form1::Winsock1_Error(int Index, int, const std::string&) { Winsock1_Close(Index); }

void Form1::WinsockSend(std::string& texty, int from, int target) {
    Outgoing out{texty, {}, std::nullopt};
    WinsockSend(out, from, target);
    texty = out.message;
}

void Form1::WinsockSend(Outgoing& out, int from, int target) {
    if (out.message.empty() || out.message.back() == '~' || rt::trim(out.message).empty()) return;
    out.message = tw::RemoveFrameMarkers(out.message, kRelayFrameStart, kRelayFrameEnd);
    if (target == -1) {
        for (int i = 0; i < 2; ++i)
            if (i != from && Connected(Winsock1[i])) SendTo(bh_, i, out);
    } else if (target >= 0 && target < 2 && Connected(Winsock1[target])) {
        SendTo(bh_, target, out);
    }
}

}  // namespace bh::win
