#pragma once
// The dispatcher of received commands and the one table of every command of the duel protocol:
// its code, who may send it, how its arguments must look, and what carries it out.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tw {
class Tablewright;

// One command on its way to the handler of its row.
struct ReceivedCommand {
    std::string code;       // in lower case
    std::string args;       // everything after the first "~"
    std::string& message;   // the command without its count
    std::int32_t& cls;      // the caller's variable; some answers pass it on
    bool own = false;       // the table's own call, not the peer's
};

// Carries a command out; false when it ended early, so that the closing step is skipped.
using CommandHandler = bool (*)(Tablewright& tw, ReceivedCommand& c);

// How a row's arguments must look before its handler may see them. The peer is a stranger:
// anything else is dropped as malformed.
enum class ArgShape {
    Any,
    WholeNumber,   // a whole 32-bit number
    FiveCounts,    // five whole numbers from 0 up, joined by ":"
    NoteIndex,     // a sticky note's number, 1 to 25
    NotePosition,  // note:top:left
    NoteText,      // text:note, the note after the last ":"
    Challenge,     // at least 15 digits and nothing else
    PlayerInfo,    // name:version:seat:online: with the seat 1 to 4, read from the right
    ChatLine,      // "<", the speaker, ">", a blank and the text
    Slot,          // a field slot, 1 to 24
    SlotTilde,     // a slot, "~" and the rest
    SlotColon,     // a slot, ":" and the rest
};

// Who may send a code.
enum class Sender {
    Peer,    // the opponent (the relay's messages among them)
    Own,     // only the table itself, through RunOwnCommand
    Nobody,  // no program of this system sends it; from the peer it is malformed
};

struct CommandRow {
    std::string_view code;
    Sender sender;
    ArgShape shape;
    std::string_view example;  // well-formed arguments, as a legitimate sender writes them
    CommandHandler handler;
};

// Every row, in the order the codes are tested. A code with no row is counted and ends with
// the closing step only.
std::span<const CommandRow> CommandTable();
const CommandRow* FindCommand(std::string_view code);  // code in any letter case

bool ArgsFit(ArgShape shape, std::string_view args);

// Carries out one command that came from the peer: code "~" arguments "|$|" count. The command
// is counted (a count of -1 is not) and the tamper meter updated; then its row runs, or a
// malformed command is dropped with one line in the duel log. Afterwards message holds the
// command without its count.
void DetermineInfo(Tablewright& tw, std::string& message, std::int32_t& cls);

// Runs one of the table's own commands ("ok~searchdeck", "ok~viewxcards", ...) through its row,
// uncounted. Only rows the table itself sends are run; anything else is ignored.
void RunOwnCommand(Tablewright& tw, const std::string& command);

// Writes "Ignored a malformed command from the opponent." into the duel log (not sent), at most
// once a second, so that a flood of bad commands costs one line a second and never a box.
void NoteMalformedCommand(Tablewright& tw);

// What every carried-out command ends with: the field slots' design templates stay hidden.
void DispatchClosingStep(Tablewright& tw);

}  // namespace tw
