#pragma once
// What the relay does with the bytes of its clients: frames taken, passed across and looked at.
#include <string>

#include "relay/bridgehall.hpp"

namespace bh {

// Frames that arrived on socket Index, each in turn: a two-letter command goes to the other
// client, and every message is inspected.
void ReceiveRelayData(Bridgehall& bh, int Index);

// The relay's look at a message that passed: chat shows in its log under the name the socket
// announced last; "mi" announces that name.
void InspectMessage(Bridgehall& bh, const std::string& text, int socket);

// One message to client Index in the client's frame kind; held until the kind is known.
void SendTo(Bridgehall& bh, int Index, const Outgoing& out);

// A fresh start for the connection on socket Index.
void ResetLink(Bridgehall& bh, int Index);

// Whether client Index can be handed messages now: connected, and its frame kind known.
bool CanTake(Bridgehall& bh, int Index);

// Keeps a message of client Index until its partner can take it.
void Hold(Bridgehall& bh, int Index, const Outgoing& out);

// Passes what client Index kept on to its partner, in order.
void PassOnHeld(Bridgehall& bh, int Index);

}  // namespace bh
