#pragma once
// The network side of a duel: who plays, the frame markers and numbers, the counts the tamper
// meter compares, what was received, the chat-server login and the connection's probation.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "net/duel_frame.hpp"
#include "net/probation.hpp"
#include "net/xmpp_stream.hpp"
#include "platform/rt_array.hpp"

namespace tw {

// One command that SendCommand was asked to send, as it would go out.
struct SentCommand {
    std::string command;
    std::int32_t tag = 0;
    bool connected = false;  // whether a connection was there to carry it
};

struct NetState {
    std::int32_t PlayerNumber = 0;
    std::vector<std::string> PlayerNames = std::vector<std::string>(5);
    std::string FrameStart = "^~";
    std::string FrameEnd = "~^";
    std::int32_t ProtocolVersion = 20;
    bool ServerDuel = false;  // frames travel as XMPP messages
    bool RelayMode = false;   // a relay or a server sits between the tables
    std::string JabberPeer;   // the opponent's XMPP login name
    // The own XMPP account as verified by the account dialog; empty at every start.
    std::string JabberUser;
    std::string JabberPassword;
    // The account dialog: shown owned by the duel window, and whether it is still shown. Until
    // the dialog is built there is none to show.
    std::function<void()> ShowAccountDialog = [] {};
    std::function<bool()> AccountDialogVisible = [] { return false; };
    // What a server duel writes first on its new connection: the chat server's login.
    std::function<void()> SendServerLogin = [] {};
    XmppStreamScanner XmppReceive;  // the chat server's stream on the duel window's socket
    bool UsingOnlineDeck = false;
    bool AttentionSent = false;  // the player's own "/attention" went out on this connection
    bool DeckLookAsked = false;  // the opponent's wish to see the deck is being put to the player
    // Commands sent and received since the counts were last set back, and pieces of received
    // data that were dropped; the tamper meter compares them. 32-bit, so a long duel never wraps.
    std::int32_t SentCount = 0;
    std::int32_t ReceivedCount = 0;
    std::int32_t GarbledCount = 0;
    std::int16_t HackLevel = 0;  // 0 to 20
    std::string HackLight;       // the meter's light last shown
    std::int32_t SendSeq = 0;     // number of the next frame sent, 0 to 255
    std::int32_t ReceiveSeq = 0;  // number of the frame taken in last
    // Per frame number: "" not seen, else the command with its count; "DONE " once dispatched.
    rt::Array<std::string> ReceiveHistory{255};
    DuelFrameReader ReceiveBuffer;  // bytes of the duel socket not yet cut into frames
    bool DisconnectShown = false;   // "Disconnected!" was shown for this connection
    ListenProbation Probation;      // of the connection taken while listening
    std::string ExpectedHandshake;
    bool ChallengeOpen = false;     // our challenge went out and its right answer has not come
    bool ProbeAnswerWaits = false;  // the relay's probe came while the challenge was open
    std::int64_t MalformedNotedMs = -1;  // when a malformed command was last noted in the log
    std::int64_t OutOfStepNotedMs = -1;  // when the tables' disagreement about a slot was last noted
    // Every command handed to SendCommand, in order (what the peer would receive while connected).
    // Only the newest ones are kept.
    std::vector<SentCommand> SentCommands;
};

}  // namespace tw
