#pragma once
// Bridgehall, the duel relay: a program of its own with a single window. Two players who cannot
// reach each other connect to it, one on the host port and one on the client port, and it
// passes their messages across.
#include <array>
#include <deque>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/duel_frame.hpp"
#include "platform/app.hpp"
#include "platform/form.hpp"
#include "platform/net_config.hpp"
#include "platform/random.hpp"
#include "platform/reactor.hpp"
#include "relay/relay_frame.hpp"

namespace bh {

namespace win {
class Form1;
}

inline constexpr std::string_view kTitle = "Bridgehall";

// How a client frames what it sends, told by the first start marker it sends; the relay
// answers it in the same kind.
enum class FrameKind { Unknown, Duel, Relay };

// One message on its way to a client. A duel frame from the other side goes on byte for byte
// to a client that reads duel frames; everything else is framed for the client's kind.
struct Outgoing {
    std::string message;             // the command, without a count
    std::string duel_frame;          // the frame as it came, when it came as a duel frame
    std::optional<int> frame_number; // that frame's number, when it has one
};

// What the relay knows of the connection on one of its sockets.
struct Link {
    static constexpr std::size_t kMaxHeld = tw::DuelFrameReader::kMaxUnended;
    // A connection that has not framed anything by then is no client.
    static constexpr int kProbationMs = 10000;

    FrameKind kind = FrameKind::Unknown;
    std::string undetected;       // bytes before the first start marker of either kind
    tw::DuelFrameReader reader;   // cuts frames of the kind, once known
    int last_frame_number = 0;    // of the last duel frame passed to this client
    // Messages for a client whose kind is not known yet, sent once it is: the relay's own and
    // what the other client had kept for it, so room for both.
    std::vector<Outgoing> waiting;
    std::size_t waiting_bytes = 0;
    // What this client sent while no partner could take it, passed on when one can; the oldest
    // go first when it grows past kMaxHeld, said once in the log.
    std::deque<Outgoing> held;
    std::size_t held_bytes = 0;
    bool held_loss_told = false;
    platform::Reactor::TimerId probation_timer = 0;
};

class Bridgehall {
public:
    explicit Bridgehall(platform::App& app);
    ~Bridgehall();
    Bridgehall(const Bridgehall&) = delete;
    Bridgehall& operator=(const Bridgehall&) = delete;

    platform::App& app;
    // The host port and the client port the relay listens on (0 in tests: any free port).
    platform::NetConfig net_config;
    // Seeded once; the outer offsets of every frame come from it.
    platform::Random random;
    // The five outer offsets of the next frame; tests may fix them.
    std::function<Offsets()> draw_offsets;

    // The player name last announced on each socket; made at the window's load.
    std::array<std::string, 2> RelayPlayerNames;
    std::array<Link, 2> links;

    // Declared last: the window's sockets use the state above until they are gone.
    platform::FormSlot<win::Form1> Form1;
};

// Start-up: shows the window. The caller then runs the App's loop.
void Main(Bridgehall& bh);

// The newest lines of the relay's log that it keeps; older ones go, so that a talkative client
// cannot fill the relay's memory.
inline constexpr int kMaxLogLines = 2000;

}  // namespace bh
