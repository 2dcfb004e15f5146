#include "net/xmpp_stream.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/xmpp_texts.hpp"

namespace tw {
namespace {

TEST(XmppTexts, TheSixTextsByteForByte) {
    struct Row {
        std::string got, want;
    };
    const std::vector<Row> rows = {
        {XmppStreamHeader("chat.example"),
         "<stream:stream to='chat.example' xmlns='jabber:client' xmlns:stream='http://etherx.jabber.org/streams'>"},
        {XmppDuelLogin("ann", "pw1"),
         "<iq id='set_01' type='set'><query xmlns='jabber:iq:auth'><username>ann.Plimvale</username><password>pw1"
         "</password><resource>ZQM</resource></query></iq>"},
        {XmppVerificationLogin("ann", "pw1"),
         "<iq id='jcl_22' type='set'><query xmlns='jabber:iq:auth'><username>ann.Plimvale</username><password>pw1"
         "</password><resource>ZQM</resource></query></iq>"},
        {XmppRegistration("ann", "pw1"),
         "<iq id='jcl_20' type='set'><query xmlns='jabber:iq:register'><username>ann.Plimvale</username>"
         "<password>pw1</password></query></iq>"},
        {XmppPresence(), "<presence><status>available</status><priority>0</priority></presence>"},
        {XmppStreamEnd(), "</stream:stream>"},
        // Every value is escaped, and the program's cp1252 bytes go out as UTF-8.
        {XmppVerificationLogin("R&D", "a<'\">\x92"),
         "<iq id='jcl_22' type='set'><query xmlns='jabber:iq:auth'><username>R&amp;D.Plimvale</username>"
         "<password>a&lt;&apos;&quot;&gt;\xE2\x80\x99</password><resource>ZQM</resource></query></iq>"},
        {XmppRegistration("R&D", "x"),
         "<iq id='jcl_20' type='set'><query xmlns='jabber:iq:register'><username>R&amp;D.Plimvale</username>"
         "<password>x</password></query></iq>"},
        {XmppStreamHeader("a'b"),
         "<stream:stream to='a&apos;b' xmlns='jabber:client' xmlns:stream='http://etherx.jabber.org/streams'>"},
    };
    for (const auto& r : rows) EXPECT_EQ(r.got, r.want);
}

TEST(XmppTexts, AccountNamesThatCannotBeAnAddressAreRefused) {
    for (const char* ok : {"ann", "Anne-Marie_2", "\xE9tienne", "a.b"})
        EXPECT_TRUE(AccountNameUsable(ok)) << ok;
    for (const std::string& bad : std::vector<std::string>{"", "a@b", "a/b", "a b", "a\tb", std::string("a\0b", 3), "a'b", "a\"b", "a:b",
                                  "a<b", "a>b", "a&b", "\xA0", std::string(1020, 'x')})
        EXPECT_FALSE(AccountNameUsable(bad)) << bad;
}

std::vector<XmppStanza> ScanAll(XmppStreamScanner& s) {
    std::vector<XmppStanza> out;
    while (auto st = s.next()) out.push_back(*st);
    return out;
}

// What a real server sends at the start of a session: declaration, header, features, answers.
const std::string kServerStart =
    "<?xml version='1.0'?><stream:stream xmlns:stream='http://etherx.jabber.org/streams' xmlns='jabber:client' "
    "xml:lang='en' id='e5ec' from='localhost'><stream:features><mechanisms "
    "xmlns='urn:ietf:params:xml:ns:xmpp-sasl'><mechanism>PLAIN</mechanism></mechanisms><auth "
    "xmlns='http://jabber.org/features/iq-auth'/></stream:features><iq id='jcl_22' type='error'><error "
    "type='auth'><not-authorized xmlns='urn:ietf:params:xml:ns:xmpp-stanzas'/></error></iq>"
    "<iq id=\"jcl_20\" type=\"result\"/>"
    "<message from='bob.plimvale@localhost/ZQM' to='ann.plimvale@localhost' id='zqm_1'><delay "
    "xmlns='urn:xmpp:delay' stamp='2026'/><body>^~1.2&amp;&#51;&#x34;<![CDATA[<x>]]>~^</body><body>no</body></message>";

TEST(XmppScanner, ReadsTheStanzasOfAServerStreamHoweverItIsCut) {
    for (std::size_t step : {kServerStart.size(), std::size_t{1}, std::size_t{2}, std::size_t{7}}) {
        XmppStreamScanner s;
        std::vector<XmppStanza> got;
        for (std::size_t i = 0; i < kServerStart.size(); i += step) {
            s.append(std::string_view(kServerStart).substr(i, step));
            for (auto& st : ScanAll(s)) got.push_back(st);
        }
        ASSERT_EQ(got.size(), 4u) << step;
        EXPECT_TRUE(s.opened());
        EXPECT_EQ(got[0].name, "stream:features");
        EXPECT_EQ(got[1].name, "iq");
        EXPECT_EQ(got[1].id, "jcl_22");
        EXPECT_EQ(got[1].type, "error");
        EXPECT_FALSE(got[1].has_body);
        EXPECT_EQ(got[2].id, "jcl_20");
        EXPECT_EQ(got[2].type, "result");
        EXPECT_EQ(got[3].name, "message");
        EXPECT_EQ(got[3].from, "bob.plimvale@localhost/ZQM");
        EXPECT_TRUE(got[3].has_body);
        // Only the first body counts; its text has every reference resolved.
        EXPECT_EQ(got[3].body, "^~1.2&34<x>~^");
        EXPECT_FALSE(s.broken());
        EXPECT_FALSE(s.ended());
    }
}

TEST(XmppScanner, HostileStreams) {
    const std::string head = "<stream:stream from='s'>";
    struct Case {
        const char* what;
        std::string stream;
        std::vector<std::string> names;  // of the stanzas read, in order
        bool broken;
    };
    const std::string big(XmppStreamScanner::kMaxBody + 1, 'x');
    const std::vector<Case> cases = {
        {"not XML at all", "HTTP/1.1 400 Bad Request\r\n\r\n<html>", {}, false},
        {"markup that is not a tag", head + "<iq/><<a/>", {"iq"}, true},
        {"an end tag with nothing open", "</stream:stream><iq/>", {}, true},
        {"a quote never closed", head + "<iq id='x/><iq/>", {}, true},
        {"an attribute without value", head + "<iq id/><m/>", {}, true},
        {"a body over the bound drops its stanza only", head + "<message><body>" + big + "</body></message><iq/>",
         {"iq"}, false},
        {"an attribute over the bound drops its stanza only",
         head + "<message from='" + std::string(XmppStreamScanner::kMaxValue + 1, 'a') + "'/><iq/>", {"iq"}, false},
        {"a long name drops its stanza only", head + "<" + std::string(300, 'n') + "/><iq/>", {"iq"}, false},
        {"nesting without end", head + "<a>" + [] { std::string s; for (int i = 0; i < 100; ++i) s += "<a>"; return s; }(),
         {}, true},
        {"a declaration that is not a comment", head + "<!DOCTYPE x><iq/>", {}, true},
        {"comments and instructions are passed over", head + "<!-- <iq/> --><?pi <iq/>?><iq/>", {"iq"}, false},
        {"the stream's end stops the reading", head + "<iq/></stream:stream><message/>", {"iq"}, false},
        {"a reference that is none stays as written", head + "<m><body>&bogus; &#0; &#xD800; &#1234567890;&</body></m>",
         {"m"}, false},
    };
    for (const auto& c : cases) {
        XmppStreamScanner s;
        s.append(c.stream);
        std::vector<std::string> names;
        for (auto& st : ScanAll(s)) names.push_back(st.name);
        EXPECT_EQ(names, c.names) << c.what;
        EXPECT_EQ(s.broken(), c.broken) << c.what;
    }
    XmppStreamScanner s;
    s.append(head + "<m><body>&bogus; &#0; &#xD800; &#65;&</body></m>");
    auto st = s.next();
    ASSERT_TRUE(st);
    EXPECT_EQ(st->body, "&bogus; &#0; &#xD800; A&");
}

TEST(XmppScanner, NothingIsReadAfterTheStreamBrokeOrEnded) {
    XmppStreamScanner s;
    s.append("<stream:stream><iq/>");
    s.append("</stream:stream>");
    EXPECT_TRUE(s.next());
    EXPECT_FALSE(s.next());
    EXPECT_TRUE(s.ended());
    s.append("<stream:stream><iq/>");
    EXPECT_FALSE(s.next());
    s.clear();
    s.append("<stream:stream><iq/>");
    EXPECT_TRUE(s.next());
}

}  // namespace
}  // namespace tw
