#include "net/send_command.hpp"

#include "cards/tablewright.hpp"
#include "duel/forma.hpp"
#include "platform/rt.hpp"

namespace tw {

// Until the duel frame exists, a command is recorded as the peer would get it.
void SendCommand(Tablewright& tw, const std::string& command, std::int16_t& tag) {
    if (rt::trim(command).empty() || command.back() == '~') return;
    const bool connected = tw.FormA.loaded() && tw.FormA().Winsock1.state() == platform::TcpSocket::StateConnected;
    tag = static_cast<std::int16_t>(10 * tw.PlayerNumber + tag);
    tw.SentCommands.push_back({command, tag, connected});
}

}  // namespace tw
