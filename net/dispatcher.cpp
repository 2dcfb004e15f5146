#include "net/dispatcher.hpp"

#include <array>
#include <limits>
#include <optional>

#include "cards/duel_log.hpp"
#include "cards/errors.hpp"
#include "cards/helpers.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "duel/sticky_notes.hpp"
#include "net/chat_box.hpp"
#include "net/handshake.hpp"
#include "net/received_commands.hpp"
#include "net/send_command.hpp"
#include "platform/rt.hpp"

namespace tw {

namespace {

constexpr std::string_view kCountMark = "|$|";
constexpr std::int64_t kMalformedNoteGapMs = 1000;

// A whole number as this program writes one: an optional "-" and decimal digits, within 32 bits.
std::optional<std::int32_t> ParseWhole(std::string_view s) {
    bool negative = false;
    if (!s.empty() && s.front() == '-') {
        negative = true;
        s.remove_prefix(1);
    }
    if (s.empty()) return std::nullopt;
    long long value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 1LL + std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    }
    if (negative) value = -value;
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

bool InRange(std::string_view s, std::int32_t low, std::int32_t high) {
    const auto n = ParseWhole(s);
    return n && *n >= low && *n <= high;
}

bool IsSlot(std::string_view s) { return InRange(s, 1, 24); }
bool IsNote(std::string_view s) { return InRange(s, 1, kMaxStickyNotes); }

// The fields of s split at sep, as views.
std::vector<std::string_view> Fields(std::string_view s, char sep) {
    std::vector<std::string_view> out;
    for (;;) {
        const std::size_t at = s.find(sep);
        out.push_back(s.substr(0, at));
        if (at == std::string_view::npos) return out;
        s.remove_prefix(at + 1);
    }
}

bool SlotBefore(std::string_view args, char sep) {
    const std::size_t at = args.find(sep);
    return at != std::string_view::npos && IsSlot(args.substr(0, at));
}

void Send(Tablewright& tw, const std::string& command) {
    std::int32_t cls = 0;
    SendCommand(tw, command, cls);
}

// ---- The branches carried out here ----

bool Ping(Tablewright& tw, ReceivedCommand&) {
    Send(tw, "pong~" + rt::cstr(tw.net.SentCount));
    return true;
}

bool Close(Tablewright&, ReceivedCommand&) { return true; }
bool Ignore(Tablewright&, ReceivedCommand&) { return false; }

bool PileCounts(Tablewright& tw, ReceivedCommand& c) {
    auto& stats = tw.FormA().Stats;
    const auto counts = Fields(c.args, ':');
    for (int k = 1; k <= 5; ++k) stats.set_text_matrix(k, 2, std::string(counts[static_cast<std::size_t>(k - 1)]));
    return true;
}

bool MoveNote(Tablewright& tw, ReceivedCommand& c) {
    const auto f = Fields(c.args, ':');
    auto& duel = tw.FormA();
    const std::int32_t n = *ParseWhole(f[0]);
    if (!IsControlLoaded(duel.StickyNote, n)) return false;
    tw.errors.LineMarker = "620";
    auto& note = duel.StickyNote[n];
    // The opponent's table is ours upside down.
    note.set_top(duel.playsurface.height() - rt::to_double(f[1]) - note.height());
    note.set_left(rt::to_double(f[2]));
    tw.errors.LineMarker = "625A";
    return true;
}

bool NewNote(Tablewright& tw, ReceivedCommand&) {
    auto& duel = tw.FormA();
    // A full table would answer with a box; the opponent's note is simply not made.
    int made = 0;
    for (int k = 1; k <= kMaxStickyNotes; ++k)
        if (IsControlLoaded(duel.StickyNote, k)) ++made;
    if (made >= kMaxStickyNotes) return false;
    MakeStickyNote(tw);
    return true;
}

bool DropNote(Tablewright& tw, ReceivedCommand& c) {
    DeleteStickyNote(tw, *ParseWhole(c.args));
    return true;
}

bool EditNote(Tablewright& tw, ReceivedCommand& c) {
    const std::size_t at = c.args.rfind(':');
    EditStickyNote(tw, c.args.substr(0, at), *ParseWhole(std::string_view(c.args).substr(at + 1)));
    return true;
}

bool OpponentError(Tablewright& tw, ReceivedCommand& c) {
    AddChat(tw, c.args + " has encountered an error and may become disconnected.", "Game", true);
    return true;
}

bool OpponentLifePoints(Tablewright& tw, ReceivedCommand& c) {
    tw.duel.OppLP = *ParseWhole(c.args);
    tw.FormA().Text2.set_caption(rt::cstr(tw.duel.OppLP));
    return true;
}

bool Chat(Tablewright& tw, ReceivedCommand& c) {
    const std::size_t p = c.args.find('<');
    const std::size_t q = c.args.find('>');
    const std::string speaker = c.args.substr(p + 1, q - p - 1);
    const std::string line = q + 2 <= c.args.size() ? c.args.substr(q + 2) : std::string();
    AddReceivedChat(tw, line, speaker);
    return true;
}

bool ChallengeArrives(Tablewright& tw, ReceivedCommand& c) { return ReceivedChallenge(tw, c.args); }
bool Answer(Tablewright& tw, ReceivedCommand& c) { return ReceivedHandshakeAnswer(tw, c.args); }
bool RelayProbe(Tablewright& tw, ReceivedCommand&) { return ReceivedRelayProbe(tw); }
bool OpponentInfo(Tablewright& tw, ReceivedCommand& c) {
    DI_MI(tw, c.args);
    return true;
}

// Handlers that take the argument text alone.
template <bool (*F)(Tablewright&, const std::string&)>
bool Args(Tablewright& tw, ReceivedCommand& c) {
    return F(tw, c.args);
}
template <bool (*F)(Tablewright&, const std::string&, std::int32_t&)>
bool ArgsCls(Tablewright& tw, ReceivedCommand& c) {
    return F(tw, c.args, c.cls);
}
bool PileList(Tablewright& tw, ReceivedCommand& c) { return DI_RD(tw, c.code, c.args); }

// Every code of the duel protocol, in the order the dispatcher tests them.
constexpr std::array kTable = {
    CommandRow{"ping", Sender::Peer, ArgShape::Any, "0", Ping},
    CommandRow{"pong", Sender::Peer, ArgShape::Any, "12", Close},
    CommandRow{"ig", Sender::Peer, ArgShape::Any, "x", Ignore},
    CommandRow{"ok", Sender::Own, ArgShape::Any, "searchdeck", Args<DI_OK>},
    CommandRow{"pe", Sender::Peer, ArgShape::Any, "searchdeck", Args<DI_PE>},
    CommandRow{"pd", Sender::Peer, ArgShape::Any, "c", RelayProbe},
    CommandRow{"us", Sender::Peer, ArgShape::FiveCounts, "5:33:1:0:2", PileCounts},
    CommandRow{"sl", Sender::Peer, ArgShape::NotePosition, "1:2985:4005", MoveNote},
    CommandRow{"mn", Sender::Peer, ArgShape::WholeNumber, "1", NewNote},
    CommandRow{"dn", Sender::Peer, ArgShape::NoteIndex, "1", DropNote},
    CommandRow{"en", Sender::Peer, ArgShape::NoteText, "Ann`s Sticky Note:1", EditNote},
    CommandRow{"dh", Sender::Peer, ArgShape::Any, "66", Answer},
    CommandRow{"hs", Sender::Peer, ArgShape::Challenge, "1234567891234567", ChallengeArrives},
    CommandRow{"ri", Sender::Peer, ArgShape::SlotColon, "3:1800:1200", Args<DI_RI>},
    CommandRow{"sc", Sender::Peer, ArgShape::Any, "Ann", OpponentError},
    CommandRow{"wi", Sender::Peer, ArgShape::Any, "x", Close},
    CommandRow{"m2", Sender::Peer, ArgShape::SlotTilde, "3~1:2", Args<DI_M2>},
    CommandRow{"cp", Sender::Peer, ArgShape::WholeNumber, "3", Args<DI_CP>},
    CommandRow{"mi", Sender::Peer, ArgShape::PlayerInfo, "Ann:20:1:0:", OpponentInfo},
    CommandRow{"rd", Sender::Peer, ArgShape::Any, "<BWX Ember Drake", PileList},
    CommandRow{"rg", Sender::Peer, ArgShape::Any, "<BWX Ember Drake", PileList},
    CommandRow{"rr", Sender::Peer, ArgShape::Any, "<BWX Ember Drake", PileList},
    CommandRow{"sg", Sender::Peer, ArgShape::Any, "D", ArgsCls<DI_SG>},
    CommandRow{"nl", Sender::Peer, ArgShape::WholeNumber, "7200", OpponentLifePoints},
    CommandRow{"ya", Sender::Nobody, ArgShape::Any, "3", Ignore},
    CommandRow{"vh", Sender::Peer, ArgShape::SlotTilde, "3~1", Args<DI_VH>},
    CommandRow{"ii", Sender::Peer, ArgShape::SlotTilde, "3~Ember Drake:BWX", Args<DI_II>},
    CommandRow{"si", Sender::Peer, ArgShape::Slot, "3", Args<DI_SI>},
    CommandRow{"fc", Sender::Peer, ArgShape::SlotTilde, "3~0", Args<DI_FC>},
    CommandRow{"ac", Sender::Peer, ArgShape::Slot, "3", Args<DI_AC>},
    CommandRow{"r2", Sender::Peer, ArgShape::Slot, "3", Args<DI_R2>},
    CommandRow{"rc", Sender::Peer, ArgShape::Slot, "3", Args<DI_RC>},
    CommandRow{"co", Sender::Peer, ArgShape::SlotColon, "3:2", Args<DI_CO>},
    CommandRow{"mv", Sender::Peer, ArgShape::SlotTilde, "3~2070:505", Args<DI_MV>},
    CommandRow{"ch", Sender::Peer, ArgShape::ChatLine, "<Ann> hello", Chat},
    CommandRow{"lc", Sender::Peer, ArgShape::SlotTilde, "3~Ember Drake:BWX", ArgsCls<DI_LC>},
};

// Runs a row's handler; an error in it is a fault of ours, reported as the dispatcher's.
void Run(Tablewright& tw, const CommandRow& row, ReceivedCommand& c) {
    bool closing = false;
    auto error = rt::trap([&] { closing = row.handler(tw, c); });
    if (error) {
        ReportRuntimeError(tw, error->description, rt::cstr(error->number), "DetermineInfo");
        return;
    }
    if (closing) DispatchClosingStep(tw);
}

}  // namespace

std::span<const CommandRow> CommandTable() { return kTable; }

const CommandRow* FindCommand(std::string_view code) {
    const std::string lower = rt::lcase(code);
    for (const CommandRow& row : kTable)
        if (row.code == lower) return &row;
    return nullptr;
}

bool ArgsFit(ArgShape shape, std::string_view args) {
    switch (shape) {
        case ArgShape::Any: return true;
        case ArgShape::WholeNumber: return ParseWhole(args).has_value();
        case ArgShape::FiveCounts: {
            const auto f = Fields(args, ':');
            if (f.size() != 5) return false;
            for (auto x : f)
                if (!InRange(x, 0, std::numeric_limits<std::int32_t>::max())) return false;
            return true;
        }
        case ArgShape::NoteIndex: return IsNote(args);
        case ArgShape::NotePosition: {
            const auto f = Fields(args, ':');
            return f.size() == 3 && IsNote(f[0]) && IsNumber(std::string(f[1])) && IsNumber(std::string(f[2]));
        }
        case ArgShape::NoteText: {
            const std::size_t at = args.rfind(':');
            return at != std::string_view::npos && IsNote(args.substr(at + 1));
        }
        case ArgShape::Challenge: {
            if (args.size() < 15 || args.size() > 64) return false;
            for (char c : args)
                if (c < '0' || c > '9') return false;
            return true;
        }
        case ArgShape::PlayerInfo: {
            const auto f = Fields(args, ':');
            return f.size() >= 5 && InRange(f[f.size() - 3], 1, 4);
        }
        case ArgShape::ChatLine: {
            const std::size_t p = args.find('<');
            const std::size_t q = args.find('>');
            return p != std::string_view::npos && q != std::string_view::npos && q > p;
        }
        case ArgShape::Slot: return IsSlot(args);
        case ArgShape::SlotTilde: return SlotBefore(args, '~');
        case ArgShape::SlotColon: return SlotBefore(args, ':');
    }
    return false;
}

void DispatchClosingStep(Tablewright& tw) {
    tw.errors.LineMarker = "925A";
    auto& duel = tw.FormA();
    rt::try_step([&] { duel.Label5[0].set_visible(false); });
    rt::try_step([&] { duel.Shape1[0].set_visible(false); });
    rt::try_step([&] { duel.cardstencil[0].set_visible(false); });
}

void NoteMalformedCommand(Tablewright& tw) {
    const std::int64_t now = tw.app.clock().now_ms();
    if (tw.net.MalformedNotedMs >= 0 && now - tw.net.MalformedNotedMs < kMalformedNoteGapMs) return;
    tw.net.MalformedNotedMs = now;
    AddChat(tw, "Ignored a malformed command from the opponent.", "Game", false);
}

void DetermineInfo(Tablewright& tw, std::string& message, std::int32_t& cls) {
    tw.errors.LineMarker = "600A";
    if (message.find('~') == std::string::npos) return;

    // The sender appends exactly one count, so a chat line holding the mark keeps it.
    const std::size_t mark = message.rfind(kCountMark);
    const auto count = mark == std::string::npos
                           ? std::nullopt
                           : ParseWhole(std::string_view(message).substr(mark + kCountMark.size()));
    if (!count) {
        NoteMalformedCommand(tw);
        return;
    }
    // -1 marks the relay's own messages: they are not the peer's commands to count.
    if (*count != -1) {
        // Only a connection's commands are counted.
        if (tw.FormA().Winsock1.state() == platform::TcpSocket::StateConnected)
            tw.net.ReceivedCount = tw.net.ReceivedCount == std::numeric_limits<std::int32_t>::max() ? 0 : tw.net.ReceivedCount + 1;
        UpdateHackMeter(tw, *count);
    }
    message.resize(mark);
    const std::size_t x = message.find('~');
    if (x == std::string::npos) return;
    ReceivedCommand c{rt::lcase(std::string_view(message).substr(0, x)), message.substr(x + 1), message, cls, false};

    tw.errors.LineMarker = "610";
    const CommandRow* row = FindCommand(c.code);
    if (!row) {
        DispatchClosingStep(tw);
        return;
    }
    if (row->sender != Sender::Peer || !ArgsFit(row->shape, c.args)) {
        NoteMalformedCommand(tw);
        return;
    }
    Run(tw, *row, c);
}

void RunOwnCommand(Tablewright& tw, const std::string& command) {
    tw.errors.LineMarker = "600A";
    const std::size_t x = command.find('~');
    if (x == std::string::npos) return;
    std::string message = command;
    std::int32_t cls = 0;
    ReceivedCommand c{rt::lcase(std::string_view(command).substr(0, x)), command.substr(x + 1), message, cls, true};
    tw.errors.LineMarker = "610";
    const CommandRow* row = FindCommand(c.code);
    if (!row || row->sender != Sender::Own || !ArgsFit(row->shape, c.args)) return;
    Run(tw, *row, c);
}

}  // namespace tw
