#pragma once
// What Tablewright writes on a chat-server stream besides its duel messages: the stream's
// opening and end, the logins of the duel and of the account dialog, the registration and the
// presence. No window code here, so that tests and helper programs write the same texts.
//
// The server's legacy login and in-band registration are used, without TLS: the password
// travels as typed, in plain text.
#include <string>
#include <string_view>

namespace tw {

// Every login and registration uses the account name with this after it.
inline constexpr std::string_view kAccountSuffix = ".Plimvale";
inline constexpr std::string_view kAccountResource = "ZQM";
// The ids that tell the server's answers apart.
inline constexpr std::string_view kDuelLoginId = "set_01";
inline constexpr std::string_view kVerificationLoginId = "jcl_22";
inline constexpr std::string_view kRegistrationId = "jcl_20";

std::string XmppStreamHeader(std::string_view server);
// The duel window's login ("set_01") and the account dialog's ("jcl_22").
std::string XmppDuelLogin(std::string_view name, std::string_view password);
std::string XmppVerificationLogin(std::string_view name, std::string_view password);
// The account dialog's registration ("jcl_20"), sent after its login failed.
std::string XmppRegistration(std::string_view name, std::string_view password);
std::string XmppPresence();
std::string XmppStreamEnd();

// Whether a typed account name can be the local part of a chat-server address once the suffix
// is added: not empty, not too long, and without the characters such an address cannot hold
// (blanks, control characters, and " & ' / : < > @). The server refuses the others, and a name
// with "@" or "/" would name another server or resource.
bool AccountNameUsable(std::string_view name);

}  // namespace tw
