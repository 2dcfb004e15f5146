#pragma once
// The duel window's socket in a server duel: the chat server's login, and the duel frames taken
// from what the server sends.
#include <string>
#include <string_view>

namespace tw {
class Tablewright;

// Written first on a new connection to the chat server: the stream header, the login with the
// verified account, and the presence. The reading of the server's stream starts afresh.
void SendServerLogin(Tablewright& tw);

// What the chat server sent, reduced to the duel frames it carries. Frames are taken only from
// the bodies of messages that come from the peer's account, so no other account on the server
// (nor a copy of our own message bounced back as an error) can play for the peer. A refused
// login is said in the duel log; nothing else on the stream is acted on.
std::string TakeServerDuelFrames(Tablewright& tw, std::string_view bytes);

// The chat server's stream stopped being readable: "Disconnected" in the duel log, once, and the
// socket closed, as when the server ends its stream.
void EndUnreadableServerStream(Tablewright& tw);

// Whether an address ("name@server/resource") is the peer's account on the server.
bool IsPeerAddress(std::string_view from, std::string_view peer, std::string_view server);

inline constexpr std::string_view kServerLoginFailed = "Server login failed.";

}  // namespace tw
