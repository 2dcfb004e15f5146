#include "net/xmpp_texts.hpp"

#include "net/duel_frame.hpp"
#include "platform/ansi.hpp"

namespace tw {

namespace {

// The longest local part a chat-server address may have, in bytes of UTF-8.
constexpr std::size_t kMaxLocalPart = 1023;

std::string Login(std::string_view id, std::string_view name, std::string_view password) {
    std::string s = "<iq id='";
    s += id;
    s += "' type='set'><query xmlns='jabber:iq:auth'><username>";
    s += XmlValue(name);
    s += kAccountSuffix;
    s += "</username><password>";
    s += XmlValue(password);
    s += "</password><resource>";
    s += kAccountResource;
    s += "</resource></query></iq>";
    return s;
}

bool UnusableByte(unsigned char c) {
    if (c <= 0x20 || c == 0x7F) return true;  // blanks and control characters
    // cp1252's unassigned bytes stand for control characters; A0 is the no-break space.
    switch (c) {
        case 0x81: case 0x8D: case 0x8F: case 0x90: case 0x9D: case 0xA0:
        case '"': case '&': case '\'': case '/': case ':': case '<': case '>': case '@':
            return true;
        default:
            return false;
    }
}

}  // namespace

std::string XmppStreamHeader(std::string_view server) {
    return "<stream:stream to='" + XmlValue(server) +
           "' xmlns='jabber:client' xmlns:stream='http://etherx.jabber.org/streams'>";
}

std::string XmppDuelLogin(std::string_view name, std::string_view password) {
    return Login(kDuelLoginId, name, password);
}

std::string XmppVerificationLogin(std::string_view name, std::string_view password) {
    return Login(kVerificationLoginId, name, password);
}

std::string XmppRegistration(std::string_view name, std::string_view password) {
    std::string s = "<iq id='";
    s += kRegistrationId;
    s += "' type='set'><query xmlns='jabber:iq:register'><username>";
    s += XmlValue(name);
    s += kAccountSuffix;
    s += "</username><password>";
    s += XmlValue(password);
    s += "</password></query></iq>";
    return s;
}

std::string XmppPresence() { return "<presence><status>available</status><priority>0</priority></presence>"; }

std::string XmppStreamEnd() { return "</stream:stream>"; }

bool AccountNameUsable(std::string_view name) {
    if (name.empty()) return false;
    for (char c : name)
        if (UnusableByte(static_cast<unsigned char>(c))) return false;
    return rt::cp1252_to_utf8(name).size() + kAccountSuffix.size() <= kMaxLocalPart;
}

}  // namespace tw
