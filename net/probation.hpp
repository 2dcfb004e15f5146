#pragma once
// A connection taken while listening is on probation until it proves to be a table: anything on
// the internet may connect to a listening port (a scan, a connection that never speaks), and the
// one seat must not go to it. A connection that closes, fails or stays without a handshake for
// kProbationMs is let go without a box, and the port is listened on again as Listen left it.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/picture.hpp"
#include "platform/reactor.hpp"

namespace tw {
class Tablewright;

inline constexpr int kProbationMs = 10000;
inline constexpr std::string_view kCameAndWent = "A connection came and went without a duel; still listening.";

// What accepting a connection changes and a failed probation puts back.
struct ListenProbation {
    bool on = false;
    std::uint64_t connection = 0;  // which accepted connection the timer belongs to
    platform::Reactor::TimerId timer = 0;
    int port = 0;  // the port that was listened on

    // The panel and the dialog as the listen left them.
    std::string status;
    bool address_shown = false;
    bool connect_shown = false;
    bool connect_enabled = false;
    bool listen_enabled = false;
    int listen_left = 0;
    platform::PicturePtr listen_picture;
    bool log_box_enabled = false;
    bool gameplay_enabled = false;
    bool dialog_shown = false;
    std::string dialog_status;
    // The counts the greeting raised; the real opponent must find them as they were.
    std::int32_t sent = 0;
    std::int32_t received = 0;
    std::int32_t garbled = 0;
};

// Called by the connection request while the listener is still open: notes the panel and the port.
void NoteListenState(Tablewright& tw);
// The connection was taken: its probation starts.
void BeginProbation(Tablewright& tw);
// A valid challenge or answer came: the connection is the opponent's.
void EndProbation(Tablewright& tw);
bool OnProbation(const Tablewright& tw);
// The connection went, failed or stayed silent: it is let go and the port listened on again.
void ProbationFailed(Tablewright& tw);

}  // namespace tw
