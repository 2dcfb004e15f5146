#pragma once
// The receiving half of the duel socket: bytes in, frames cut, numbered and dispatched.
namespace tw {
class Tablewright;

// What the duel socket's data event does: takes what arrived, and every complete frame in turn
// is checked against the frame numbers seen (a gap asks the peer with "rp~") and handed to the
// dispatcher, in the order of the stream.
void ReceiveDuelData(Tablewright& tw);

// A new connection's start: frames numbered from 0 both ways, no frame seen, nothing held.
void ResetFrameNumbers(Tablewright& tw);

}  // namespace tw
