#include "net/send_command.hpp"

#include <limits>

#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/duel_frame.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

// The record is for looking back at what went out; a long duel must not grow it for ever.
constexpr std::size_t kSentRecordLimit = 8192;

void Record(Tablewright& tw, std::string command, std::int32_t tag, bool connected) {
    auto& record = tw.net.SentCommands;
    if (record.size() >= kSentRecordLimit) record.erase(record.begin(), record.begin() + kSentRecordLimit / 2);
    record.push_back({std::move(command), tag, connected});
}

// The running count never passes into negative numbers: -1 marks the table's own calls.
std::int32_t NextCount(std::int32_t n) { return n == std::numeric_limits<std::int32_t>::max() ? 0 : n + 1; }

}  // namespace

void SendCommand(Tablewright& tw, const std::string& command, std::int32_t& cls) {
    if (command.empty() || command.back() == '~' || rt::trim(command).empty()) return;
    const std::string cmd = CutChatTimestamp(RemoveFrameMarkers(command, tw.net.FrameStart, tw.net.FrameEnd));
    const std::int32_t tag = FrameTag(tw.net.PlayerNumber, cls);

    auto* duel = tw.FormA.peek();
    const bool connected = duel && duel->Winsock1.state() == platform::TcpSocket::StateConnected;
    Record(tw, cmd, tag, connected);
    if (!connected) return;

    cls = tag;
    tw.net.SentCount = NextCount(tw.net.SentCount);
    const std::string body = EncodeWire(FrameBody(cmd, tw.net.SentCount, tw.net.SendSeq));
    if (tw.net.ServerDuel) {
        duel->Winsock1.send_data(JabberDuelMessage(tw.net.JabberPeer, tw.prefs.JabberServer, body));
    } else {
        duel->Winsock1.send_data(DuelFrame(tag, body));
    }
    tw.net.SendSeq = tw.net.SendSeq >= 255 ? 0 : tw.net.SendSeq + 1;
}

void SendCommand(Tablewright& tw, const std::string& command, std::int16_t& tag) {
    std::int32_t cls = tag;
    SendCommand(tw, command, cls);
    tag = static_cast<std::int16_t>(cls);
}

}  // namespace tw
