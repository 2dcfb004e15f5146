#pragma once
// The relay's window: Start and Quit for the two listening sockets, the log of what passes, and
// the operator's own chat line.
#include <string>

#include "platform/controls.hpp"
#include "platform/form.hpp"
#include "platform/tcp.hpp"
#include "relay/bridgehall.hpp"

namespace bh {
namespace win {

class Form1 : public platform::Form {
public:
    explicit Form1(Bridgehall& bh);
    ~Form1() override;

    platform::ListBox List1{this, "List1"};
    platform::TextBox Text1{this, "Text1"};
    platform::CommandButton Command1{this, "Command1"};  // Start
    platform::CommandButton Command2{this, "Command2"};  // Quit
    platform::CommandButton Command3{this, "Command3"};  // Send
    // 0: the host's socket; 1: the joining client's.
    platform::TcpSocket Winsock1[2];

    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Winsock1_ConnectionRequest(int Index, long requestID);
    void Winsock1_DataArrival(int Index, long bytesTotal);
    void Winsock1_Close(int Index);
    void Winsock1_Error(int Index, int Number, const std::string& Description);

    // Sends texty to every connected client but `from` (target -1), or to client `target`.
    // texty loses its frame markers in place.
    void WinsockSend(std::string& texty, int from, int target);
    // The same for a message that may carry the duel frame it came in.
    void WinsockSend(Outgoing& out, int from, int target);

    // Appends a line to the log and shows it as the newest.
    void Log(const std::string& line);

protected:
    void Form_Load() override;

private:
    // A connection that closed or framed nothing in time is no client: it goes without a line
    // and the port is listened on again.
    void DropUnproven(int Index);
    void Listen(int Index, int port);
    int listened_port_[2] = {0, 0};  // the port each socket last listened on

    Bridgehall& bh_;
};

}  // namespace win
}  // namespace bh
