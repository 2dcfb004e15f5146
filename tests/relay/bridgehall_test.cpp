// Bridgehall with raw clients on loopback: the window, pairing, relaying in both frame kinds, the
// operator's line, dropped clients and hostile byte streams.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tests/relay/relay_rig.hpp"

namespace bh {
namespace {

using test::Client;
using test::Rig;
using K = FrameKind;

constexpr int kClosed = platform::TcpSocket::StateClosed;
constexpr int kListening = platform::TcpSocket::StateListening;

std::vector<std::string> From(const std::vector<std::string>& v, std::size_t at) {
    return {v.begin() + static_cast<std::ptrdiff_t>(std::min(at, v.size())), v.end()};
}

TEST(Bridgehall, WindowStartAndQuit) {
    Rig rig;
    auto& f = rig.form();
    EXPECT_TRUE(f.visible());
    EXPECT_EQ(f.caption(), "ZQM Bridgehall v0.1");
    EXPECT_EQ(f.Command1.caption(), "Start");
    EXPECT_EQ(f.Command2.caption(), "Quit");
    EXPECT_EQ(f.Command3.caption(), "Send");
    EXPECT_TRUE(f.Command1.enabled());
    EXPECT_TRUE(f.Command2.enabled());
    EXPECT_EQ(rig.relay->RelayPlayerNames, (std::array<std::string, 2>{"", ""}));

    rig.Start();
    EXPECT_EQ(rig.Log(), std::vector<std::string>{"<Relay> Now Listening!"});
    EXPECT_EQ(rig.socket(0).state(), kListening);
    EXPECT_EQ(rig.socket(1).state(), kListening);
    EXPECT_NE(rig.Port(0), rig.Port(1));
    EXPECT_FALSE(f.Command1.enabled());
    EXPECT_TRUE(f.Command2.enabled());
    EXPECT_EQ(f.List1.list_index(), 0);

    rig.Quit();
    EXPECT_EQ(rig.Log().back(), "<Relay> Disconnected!");
    EXPECT_EQ(rig.socket(0).state(), kClosed);
    EXPECT_EQ(rig.socket(1).state(), kClosed);
    EXPECT_TRUE(f.Command1.enabled());
    EXPECT_FALSE(f.Command2.enabled());
    EXPECT_TRUE(rig.host.messages().empty());
}

TEST(Bridgehall, APortInUseIsToldInTheLog) {
    Rig other;
    other.Start();
    Rig rig;
    rig.relay->net_config.relay_host_port = other.Port(0);
    rig.Start();
    ASSERT_EQ(rig.Log().size(), 1u);
    EXPECT_EQ(rig.Log()[0].rfind("<Relay> Cannot listen on port " + std::to_string(other.Port(0)) + ": ", 0), 0u)
        << rig.Log()[0];
    EXPECT_EQ(rig.socket(0).state(), kClosed);
    EXPECT_EQ(rig.socket(1).state(), kListening);
    EXPECT_TRUE(rig.form().Command2.enabled());
}

// The pairing in both frame kinds: the log in the order of the connections, "pd~c" to both once
// both are there, and each side's messages to the other.
TEST(Bridgehall, PairsAHostAndAClientOfEitherKind) {
    for (K host_kind : {K::Relay, K::Duel}) {
        for (K client_kind : {K::Relay, K::Duel}) {
            SCOPED_TRACE(testing::Message() << "host " << int(host_kind) << " client " << int(client_kind));
            Rig rig;
            Client ann(rig.reactor, host_kind), bob(rig.reactor, client_kind);
            ASSERT_TRUE(rig.Pair(ann, bob));
            EXPECT_EQ(rig.Log(), (std::vector<std::string>{"<Relay> Now Listening!", "<Relay> Host Connected",
                                                           "<Relay> Client Connected",
                                                           "<Relay> Both Connected Duel Starting!"}));
            // What the host said before the client was there follows "pd~c".
            EXPECT_EQ(bob.got, (std::vector<std::string>{Rig::Expect(bob, "pd~c"),
                                                          Rig::Expect(bob, "mi~Ann:20:1:0:", Rig::Count(ann))}));

            ann.Send("ch~<Ann> hello &tilde& &clolon&");
            bob.Send("lc~3~Ember Drake:BWX");
            ASSERT_TRUE(rig.PumpUntil([&] {
                return bob.Has(Rig::Expect(bob, "ch~<Ann> hello &tilde& &clolon&", Rig::Count(ann))) &&
                       ann.Has(Rig::Expect(ann, "lc~3~Ember Drake:BWX", Rig::Count(bob)));
            }));
            EXPECT_EQ(rig.Log().back(), "<Ann>hello ~ :");
            EXPECT_TRUE(rig.host.messages().empty());
        }
    }
}

TEST(Bridgehall, EachCopyOfPdcIsScrambledAnew) {
    Rig rig;
    Client ann(rig.reactor, K::Relay), bob(rig.reactor, K::Relay);
    rig.relay->random.seed(7);
    ASSERT_TRUE(rig.Pair(ann, bob));
    auto frame_of = [](Client& c) {
        const std::size_t at = c.raw.find(kRelayFrameStart);
        return c.raw.substr(at, 46);
    };
    const std::string a = frame_of(ann), b = frame_of(bob);
    ASSERT_EQ(a.size(), 46u);
    ASSERT_EQ(b.size(), 46u);
    EXPECT_EQ(a.substr(a.size() - 2), std::string(kRelayFrameEnd));
    EXPECT_NE(a.substr(3, 4) + a[43], b.substr(3, 4) + b[43]) << "the outer offsets differ";
    EXPECT_EQ(OuterUnwrap(a.substr(3, 41)).substr(0, 32), OuterUnwrap(b.substr(3, 41)).substr(0, 32))
        << "the key is the same";
    for (const std::string& f : {a, b}) {
        EXPECT_EQ(f[2], '\0');
        for (int i : {3, 4, 5, 6, 43}) {
            const int o = static_cast<unsigned char>(f[i]);
            EXPECT_TRUE(o >= 33 && o <= 41) << o;
        }
    }
}

// A duel frame passes byte for byte, every byte value of a card name kept; the relay's own
// messages carry the count -1 and the number of the last frame the client got.
TEST(Bridgehall, DuelFramesPassByteForByte) {
    Rig rig;
    Client ann(rig.reactor, K::Duel), bob(rig.reactor, K::Duel);
    ASSERT_TRUE(rig.Pair(ann, bob));
    // Before any frame reached the host its "pd~c" carried 0; Bob's "mi" was his frame 0.
    ann.Poll();
    ASSERT_EQ(ann.numbers.size(), 2u);
    EXPECT_EQ(ann.numbers[0], 0);
    EXPECT_EQ(ann.numbers[1], 0);

    std::string name;
    for (int b = 1; b < 256; ++b)
        if (b != '~' && b != '^' && b != ':') name += static_cast<char>(b);
    const std::string frame = tw::DuelFrame(21, tw::FrameBody("lc~4~" + name + ":BWX", 9, 5)) +
                              tw::DuelFrame(20, tw::FrameBody("ch~<Bob> it&apos;s \x92 fine", 10, 6));
    const std::size_t before = ann.raw.size();
    bob.Write(frame);
    ASSERT_TRUE(rig.PumpUntil([&] {
        ann.Poll();
        return ann.raw.size() >= before + frame.size();
    }));
    EXPECT_EQ(ann.raw.substr(before), frame);
    EXPECT_EQ(rig.Log().back(), "<Bob>it's \x92 fine");

    rig.Operator("hi both");
    ASSERT_TRUE(rig.PumpUntil([&] { return ann.Has("ch~<Relay> hi both|$|-1") && bob.Has("ch~<Relay> hi both|$|-1"); }));
    EXPECT_EQ(ann.numbers.back(), 6) << "the last frame the host got";
    EXPECT_EQ(bob.numbers.back(), 0) << "nothing reached Bob but the relay's own";
}

TEST(Bridgehall, MixedPairGetsEachMessageInItsOwnKind) {
    Rig rig;
    Client ann(rig.reactor, K::Duel), bob(rig.reactor, K::Relay);
    ASSERT_TRUE(rig.Pair(ann, bob));
    ann.Send("ch~<Ann> a card: Ember Drake");
    bob.Send("nl~7200");
    ASSERT_TRUE(rig.PumpUntil([&] { return bob.Has("ch~<Ann> a card: Ember Drake") && ann.Has("nl~7200|$|-1"); }));
    // A byte the relay frame cannot carry is left out or changed on the way, and a message the
    // outer layer cannot carry at all is not sent as an empty frame.
    rig.relay->draw_offsets = [] { return Offsets{41, 41, 41, 41, 41}; };
    std::string heavy;
    for (int c = 200; c < 256 && heavy.empty(); ++c)
        for (int d = 200; d < 256 && heavy.empty(); ++d) {
            const std::string m = "ch~<Ann> " + std::string{static_cast<char>(c), static_cast<char>(d)};
            if (!EncodeMessage(m, {41, 41, 41, 41, 41})) heavy = m;
        }
    ASSERT_FALSE(heavy.empty());
    ann.Send(heavy);
    ASSERT_TRUE(rig.Through(ann, bob));
    EXPECT_EQ(bob.got.back(), "ch~<X> end");
    EXPECT_EQ(bob.got[bob.got.size() - 2], "ch~<Ann> a card: Ember Drake");
    EXPECT_TRUE(rig.Logged("<Relay> A message could not be sent."));
}

// A relay-frame client sends these bytes (after its announcement) and then a last chat line.
// The other client must have received exactly the expected messages in between, and the relay
// must keep both connections.
TEST(Bridgehall, HostileRelayFrameStreams) {
    const auto frame = [](const std::string& m) { return *RelayFrame(m, {33, 34, 35, 36, 37}); };
    const std::string start(kRelayFrameStart), end(kRelayFrameEnd);
    std::string below_zero = start + '\0' + *OuterWrap("f" + std::string(31, '0') + "\x02", {33, 33, 33, 33, 33}) + end;
    std::string mib(1 << 20, 'x');
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> forwarded;
        int split = 0;  // write this many bytes at a time, pumping between
    };
    const std::vector<Case> cases = {
        {"split at every byte", frame("nl~7200") + frame("cp~3"), {"nl~7200", "cp~3"}, 1},
        {"junk before a frame", "junk\x01\xfe" + frame("nl~100"), {"nl~100"}},
        {"junk that ends in an end marker", "noise" + end + frame("nl~200"), {"nl~200"}},
        {"an empty frame between two", frame("nl~1") + start + end + frame("nl~2"), {"nl~1", "nl~2"}},
        {"only a tag between the markers", frame("nl~1") + start + '\0' + end + frame("nl~2"), {"nl~1", "nl~2"}},
        {"a three-letter code", frame("abc~x") + frame("ping~x") + frame("nl~3"), {"nl~3"}},
        {"no code at all", frame("hello") + frame("nl~4"), {"nl~4"}},
        {"a code ending the text", frame("nl~") + frame("  ") + frame("nl~5"), {"nl~5"}},
        {"a payload of five bytes", start + '\0' + "!!!!!" + end + frame("nl~6"), {"nl~6"}},
        {"a payload below its offsets", start + '\0' + "((((\x01(" + end + frame("nl~7"), {"nl~7"}},
        {"an inner byte below 0", below_zero + frame("nl~8"), {"nl~8"}},
        {"another tag", [&] { auto f = frame("nl~9"); f[2] = 'Z'; return f; }(), {"nl~9"}},
        // A frame begun and never ended runs on to the next end marker, as in the duel frame.
        {"a frame begun and not ended", start + "\0ab" + frame("nl~10") + frame("nl~12"), {"nl~12"}},
        {"1 MiB without an end marker", start + '\0' + mib + end + frame("nl~11"), {"nl~11"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        Client ann(rig.reactor, K::Relay), bob(rig.reactor, K::Relay);
        ASSERT_TRUE(rig.Pair(ann, bob));
        const std::size_t seen = bob.got.size();
        if (c.split > 0) {
            for (std::size_t at = 0; at < c.bytes.size(); at += c.split) {
                ann.Write(c.bytes.substr(at, c.split));
                rig.reactor.pump(0);
            }
        } else {
            ann.Write(c.bytes);
        }
        ASSERT_TRUE(rig.Through(ann, bob));
        auto got = From(bob.got, seen);
        got.pop_back();
        EXPECT_EQ(got, c.forwarded);
        EXPECT_TRUE(rig.Connected(0));
        EXPECT_TRUE(rig.Connected(1));
        EXPECT_LE(rig.relay->links[0].reader.pending(), Link::kMaxHeld);
        EXPECT_TRUE(rig.host.messages().empty());
    }
}

TEST(Bridgehall, WhatTheRelayShowsOfAMessage) {
    struct Case {
        const char* what;
        std::string message;
        std::vector<std::string> shown;  // lines added to the log
    };
    const std::vector<Case> cases = {
        {"chat under the announced name", "ch~<Someone> hello", {"<Ann>hello"}},
        {"code in capitals", "CH~<Ann> shout", {"<Ann>shout"}},
        {"escapes", "ch~<Ann> a&tilde&b&clolon&c", {"<Ann>a~b:c"}},
        {"nothing after the name", "ch~<Ann>", {"<Ann>"}},
        {"'>' before '<'", "ch~> oops <", {}},
        {"no brackets", "ch~plain", {}},
        {"only '<'", "ch~<Ann hello", {}},
        {"a three-letter code", "chx~<Ann> hi", {}},
        {"not chat", "nl~7200", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        Client ann(rig.reactor, K::Relay), bob(rig.reactor, K::Relay);
        ASSERT_TRUE(rig.Pair(ann, bob));
        const std::size_t lines = rig.Log().size();
        ann.Send(c.message);
        ASSERT_TRUE(rig.Through(bob, ann, "nl~1"));
        EXPECT_EQ(From(rig.Log(), lines), c.shown);
    }

    // A name comes from "mi" up to its first ":", or the whole of it; a socket that has not
    // announced shows an empty name.
    Rig rig;
    Client ann(rig.reactor, K::Relay), bob(rig.reactor, K::Relay);
    rig.Start();
    ASSERT_TRUE(rig.Join(ann, 0));
    ann.Send("ch~<Ann> first");
    ASSERT_TRUE(rig.PumpUntil([&] { return rig.Logged("<>first"); }));
    ann.Send("mi~Nameless");
    ann.Send("ch~<Ann> second");
    ASSERT_TRUE(rig.PumpUntil([&] { return rig.Logged("<Nameless>second"); }));
}

TEST(Bridgehall, OperatorLine) {
    Rig rig;
    Client ann(rig.reactor, K::Relay), bob(rig.reactor, K::Duel);
    ASSERT_TRUE(rig.Pair(ann, bob));
    const std::size_t lines = rig.Log().size();

    rig.Operator("");
    rig.Operator("ends in a tilde~");
    EXPECT_EQ(rig.form().Text1.text(), "");
    rig.Operator("markers \xfe\xff gone, duel ~^ markers too");
    ASSERT_TRUE(rig.PumpUntil([&] {
        return ann.Has("ch~<Relay> markers  gone, duel ~^ markers too") &&
               bob.Has("ch~<Relay> markers  gone, duel  markers too|$|-1");
    }));
    ann.Poll();
    bob.Poll();
    EXPECT_EQ(ann.got.size(), 3u) << "pd~c, Bob's mi and the one line";
    EXPECT_EQ(bob.got.size(), 3u) << "pd~c, Ann's mi kept for Bob and the one line";
    EXPECT_EQ(rig.Log().size(), lines) << "the operator's own line is not logged";
}

// A client that goes is logged at once, with no box; the other keeps its connection, and its
// messages go nowhere until the operator starts again.
TEST(Bridgehall, ADroppedClientIsLogged) {
    for (int gone : {0, 1}) {
        Rig rig;
        Client ann(rig.reactor, K::Duel), bob(rig.reactor, K::Relay);
        ASSERT_TRUE(rig.Pair(ann, bob));
        Client& leaving = gone == 0 ? ann : bob;
        Client& staying = gone == 0 ? bob : ann;
        leaving.peer.close();
        const std::string line = gone == 0 ? "<Relay> Host Disconnected" : "<Relay> Client Disconnected";
        ASSERT_TRUE(rig.PumpUntil([&] { return rig.Logged(line); }));
        EXPECT_EQ(rig.socket(gone).state(), kClosed);
        staying.Send("ch~<S> still here");
        ASSERT_TRUE(rig.PumpUntil([&] { return rig.Logged(std::string("<") + (gone == 0 ? "Bob" : "Ann") + ">still here"); }));
        EXPECT_TRUE(rig.Connected(1 - gone));
        EXPECT_EQ(rig.socket(gone).state(), kClosed) << "it does not listen again by itself";
        EXPECT_TRUE(rig.host.messages().empty());
        // The one left is told, as by a line of the operator's.
        EXPECT_TRUE(staying.Has(Rig::Expect(staying, "ch~" + line)));
    }
}

TEST(Bridgehall, StartAgainDropsBothAndListens) {
    Rig rig;
    Client ann(rig.reactor, K::Relay), bob(rig.reactor, K::Duel);
    ASSERT_TRUE(rig.Pair(ann, bob));
    rig.Quit();
    rig.Start();
    EXPECT_EQ(rig.socket(0).state(), kListening);
    EXPECT_EQ(rig.socket(1).state(), kListening);
    // Names stay until a new client announces itself.
    EXPECT_EQ(rig.relay->RelayPlayerNames[0], "Ann");
    Client carl(rig.reactor, K::Duel);
    ASSERT_TRUE(rig.Join(carl, 0));
    carl.Send("ch~<Carl> hi");
    ASSERT_TRUE(rig.PumpUntil([&] { return rig.Logged("<Ann>hi"); }));
}

// The bytes a client may send before its first start marker are bounded, and a client that
// never frames anything gets nothing.
TEST(Bridgehall, AClientThatNeverFramesIsBounded) {
    Rig rig;
    Client ann(rig.reactor, K::Relay), bob(rig.reactor, K::Relay);
    rig.Start();
    ASSERT_TRUE(rig.Join(ann, 0));
    ASSERT_TRUE(rig.Join(bob, 1));
    ann.Write(std::string(1 << 20, 'y'));
    ann.Send("mi~Ann:20:1:0:");
    ASSERT_TRUE(rig.PumpUntil([&] { return rig.relay->RelayPlayerNames[0] == "Ann"; }));
    EXPECT_EQ(rig.relay->links[0].kind, K::Relay);
    EXPECT_TRUE(rig.Connected(0));
    EXPECT_TRUE(rig.Logged("<Relay> Both Connected Duel Starting!"));
    // Bob has not spoken: his "pd~c" waits for his frame kind.
    bob.Poll();
    EXPECT_EQ(bob.raw, "");
    bob.Send("nl~1");
    ASSERT_TRUE(rig.PumpUntil([&] { return bob.Has("pd~c"); }));
}

// A client that lets what the relay sends it pile up is dropped at a megabyte, as if it had
// gone; the other is told, and the relay's memory stays bounded.
TEST(Bridgehall, AClientThatNeverReadsIsDroppedAtAMegabyte) {
    for (const K kind : {K::Duel, K::Relay}) {
        SCOPED_TRACE(kind == K::Duel ? "duel frames" : "relay frames");
        Rig rig;
        Client ann(rig.reactor, K::Duel), bob(rig.reactor, kind);
        rig.Start();
        ASSERT_TRUE(rig.Join(ann, 0));
        ann.Send("mi~Ann:20:1:0:");
        ASSERT_TRUE(rig.Join(bob, 1, 4096));
        bob.Send("mi~Bob:20:2:0:");
        ASSERT_TRUE(rig.PumpUntil([&] { return rig.relay->RelayPlayerNames[1] == "Bob"; }));
        std::string batch;
        for (int i = 0; i < 500; ++i) batch += ann.Frame("ch~<Ann> " + std::string(200, 'f'));
        std::size_t most = 0;
        for (int round = 0; round < 2000 && rig.Connected(1); ++round) {
            ann.Write(batch);
            for (int k = 0; k < 20; ++k) {
                rig.reactor.pump(0);
                most = std::max(most, rig.socket(1).queued_bytes());
            }
            ann.Poll();
        }
        ASSERT_TRUE(rig.PumpUntil([&] { return rig.Logged("<Relay> Client Disconnected"); }));
        EXPECT_LE(most, platform::TcpSocket::kSendCap);
        EXPECT_EQ(rig.socket(1).state(), kClosed);
        EXPECT_TRUE(rig.Connected(0));
        EXPECT_TRUE(ann.Has(Rig::Expect(ann, "ch~<Relay> Client Disconnected")));
        // What Ann says now waits for a partner, and only so much of it.
        for (int i = 0; i < 2; ++i) ann.Write(batch);
        ASSERT_TRUE(rig.PumpUntil([&] { return rig.Logged("<Relay> A message could not be sent."); }));
        EXPECT_LE(rig.relay->links[0].held_bytes, Link::kMaxHeld);
        EXPECT_TRUE(rig.host.messages().empty());
    }
}

// A connection that never frames anything is no client: it goes without a line, the port
// listens again, and the real client pairs as if it had not been.
TEST(Bridgehall, AConnectionThatFramesNothingIsNoClient) {
    struct Case {
        const char* what;
        std::function<void(tw::test::RawPeer&)> act;
    };
    const std::vector<Case> cases = {
        {"silent", [](tw::test::RawPeer&) {}},
        {"a scan that connects and closes", [](tw::test::RawPeer& r) { r.close(); }},
        {"junk without a start marker", [](tw::test::RawPeer& r) { r.write("GET / HTTP/1.0\r\n\r\n"); }},
    };
    for (const auto& c : cases) {
        for (int port : {0, 1}) {
            SCOPED_TRACE(std::string(c.what) + (port == 0 ? " on the host port" : " on the client port"));
            Rig rig;
            rig.Start();
            const int number = rig.Port(port);
            tw::test::RawPeer stranger(rig.reactor);
            stranger.connect(number);
            ASSERT_TRUE(rig.PumpUntil([&] { return rig.Connected(port); }));
            c.act(stranger);
            ASSERT_TRUE(rig.reactor.run_until([&] { return rig.socket(port).state() == kListening; }, 30000));
            EXPECT_EQ(rig.Port(port), number);
            for (const auto& line : rig.Log()) EXPECT_EQ(line.find("Disconnected"), std::string::npos) << line;
            stranger.close();

            Client ann(rig.reactor, K::Duel), bob(rig.reactor, K::Relay);
            ASSERT_TRUE(rig.Join(ann, 0));
            ann.Send("mi~Ann:20:1:0:");
            ASSERT_TRUE(rig.Join(bob, 1));
            bob.Send("mi~Bob:20:2:0:");
            ASSERT_TRUE(rig.PumpUntil([&] { return bob.Has("pd~c") && bob.Has("mi~Ann:20:1:0:"); }));
            EXPECT_TRUE(rig.host.messages().empty());
        }
    }
}

// The bound on bytes held before an end marker counts from the frame's start marker.
TEST(Bridgehall, AFrameBehindMuchJunkIsRelayed) {
    for (const K kind : {K::Duel, K::Relay}) {
        for (const bool split : {false, true}) {
            SCOPED_TRACE(std::string(kind == K::Duel ? "duel frames" : "relay frames") + (split ? ", two writes" : ""));
            Rig rig;
            Client ann(rig.reactor, kind), bob(rig.reactor, K::Duel);
            ASSERT_TRUE(rig.Pair(ann, bob));
            const std::string junk(70000, 'j');
            const std::string frame = ann.Frame("ch~<Ann> behind the junk");
            if (split) {
                ann.Write(junk);
                rig.reactor.pump(0);
                ann.Write(frame);
            } else {
                ann.Write(junk + frame);
            }
            ASSERT_TRUE(rig.PumpUntil([&] { return rig.Logged("<Ann>behind the junk"); }));
            EXPECT_TRUE(bob.Has(Rig::Expect(bob, "ch~<Ann> behind the junk", Rig::Count(ann))));
        }
    }
}

// What a client says before its partner is there reaches the partner right after "pd~c", in
// order; past the bound the oldest messages go, said once in the log.
TEST(Bridgehall, WhatAClientSaysAloneReachesItsPartnerAfterPdc) {
    for (const K kind : {K::Duel, K::Relay}) {
        SCOPED_TRACE(kind == K::Duel ? "duel frames" : "relay frames");
        Rig rig;
        Client ann(rig.reactor, K::Duel), bob(rig.reactor, kind);
        rig.Start();
        ASSERT_TRUE(rig.Join(ann, 0));
        const std::vector<std::string> opening = {"hs~1234567891234567", "mi~Ann:20:1:0:",
                                                  "ch~<Game> Ann loaded their deck (40 in Deck, 0 in extra)",
                                                  "ch~<Game> Ann shuffled the deck"};
        for (const auto& m : opening) ann.Send(m);
        ASSERT_TRUE(rig.PumpUntil([&] { return rig.relay->RelayPlayerNames[0] == "Ann"; }));
        ASSERT_TRUE(rig.Join(bob, 1));
        bob.Send("mi~Bob:20:2:0:");
        ASSERT_TRUE(rig.PumpUntil([&] { return bob.Has(Rig::Expect(bob, opening.back(), 4)); }));
        std::vector<std::string> want = {Rig::Expect(bob, "pd~c")};
        for (std::size_t i = 0; i < opening.size(); ++i)
            want.push_back(Rig::Expect(bob, opening[i], static_cast<int>(i) + 1));
        EXPECT_EQ(bob.got, want);
        if (kind == K::Duel) {
            // Ann's frames pass with their own numbers, so the joining table sees no gap.
            EXPECT_EQ(bob.numbers, (std::vector<std::optional<int>>{0, 0, 1, 2, 3}));
        }
        EXPECT_FALSE(rig.Logged("<Relay> A message could not be sent."));
    }

    // A host that says more than the bound while alone: the newest part comes through.
    Rig rig;
    Client ann(rig.reactor, K::Relay), bob(rig.reactor, K::Relay);
    rig.Start();
    ASSERT_TRUE(rig.Join(ann, 0));
    ann.Send("mi~Ann:20:1:0:");
    for (int i = 0; i < 400; ++i) ann.Send("ch~<Ann> line " + std::to_string(i) + " " + std::string(400, 'l'));
    ASSERT_TRUE(rig.PumpUntil([&] { return rig.Logged("<Ann>line 399 " + std::string(400, 'l')); }));
    EXPECT_LE(rig.relay->links[0].held_bytes, Link::kMaxHeld);
    ASSERT_TRUE(rig.Join(bob, 1));
    bob.Send("mi~Bob:20:2:0:");
    const std::string last = "ch~<Ann> line 399 " + std::string(400, 'l');
    ASSERT_TRUE(rig.PumpUntil([&] { return bob.Has(last); }));
    EXPECT_FALSE(bob.Has("ch~<Ann> line 0 " + std::string(400, 'l')));
    int told = 0;
    for (const auto& l : rig.Log()) told += l == "<Relay> A message could not be sent." ? 1 : 0;
    EXPECT_EQ(told, 1);
}

}  // namespace
}  // namespace bh
