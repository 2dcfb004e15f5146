// A stranger on the duel socket: whatever bytes arrive, the table neither crashes nor opens a
// box, writes outside its folder or lets the peer move one of its cards.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/dispatcher.hpp"
#include "platform/files.hpp"
#include "tests/support/duel_pair.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::PeerTable;
using test::WireFrame;

constexpr const char* kMalformed = "<Game> Ignored a malformed command from the opponent.";

std::string Frame(const std::string& command, int count, const std::string& number) {
    return WireFrame(command + "|$|" + std::to_string(count) + "~" + number);
}
std::string Frame(const std::string& command, int count, int number) {
    return Frame(command, count, std::to_string(number));
}

// Everything of ours a peer must not touch: the piles, the hand list and the field.
std::vector<std::string> Piles(Tablewright& tw) {
    std::vector<std::string> out;
    auto add = [&](const char* pile, const rt::Array<Card>& a) {
        for (int i = 0; i <= a.ubound(); ++i) out.push_back(std::string(pile) + ":" + a[i].Name);
    };
    add("deck", tw.piles.DeckCards);
    add("hand", tw.piles.HandCards);
    add("trash", tw.piles.TrashCards);
    add("extra", tw.piles.ExtraDeckCards);
    add("field", tw.field.FieldCards);
    for (const auto& item : tw.FormA().hand.items()) out.push_back("list:" + item);
    return out;
}

// Whether a path lies in the folder or below it.
bool Inside(const fs::path& folder, const fs::path& path) {
    const fs::path rel = fs::weakly_canonical(path).lexically_relative(fs::weakly_canonical(folder));
    return !rel.empty() && *rel.begin() != "..";
}

// The game log's file as the program names it (a name without a folder lies in the program's).
fs::path LogFile(Tablewright& tw) {
    const fs::path name(tw.log.LogFileName);
    return name.is_absolute() ? name : tw.folder() / name;
}

// A table with cards in its deck and hand and the game log on, connected to a raw peer.
struct HostileTable {
    PeerTable t;
    Tablewright& tw = t.tw();
    std::vector<std::string> piles_before;

    // The game log is rewritten for every frame while it is on: only the cases that need it.
    explicit HostileTable(bool logging = false) {
        t.side.GiveDeck({"Ember Drake", "Salt Wyrm", "Grey Tide"});
        tw.piles.HandCards.redim(1);
        tw.piles.HandCards[1].Name = "Quiet Lantern";
        tw.FormA().hand.add_item("Quiet Lantern");
        fs::create_directories(tw.folder() / "Logs");
        tw.log.LogFolder = "Logs/";
        tw.log.LoggingOn = logging;
        piles_before = Piles(tw);
    }

    int Malformed() { return t.side.CountLogged(kMalformed); }
};

struct Hostile : ::testing::Test, HostileTable {};

struct HostileCase {
    const char* name;
    std::function<void(PeerTable&)> act;
    std::function<void(PeerTable&)> check;
};

TEST(HostilePeer, NoCaseCrashesOpensABoxWritesOutsideOrMovesACard) {
    auto frames = [](std::vector<std::string> list) {
        std::string s;
        for (auto& f : list) s += f;
        return s;
    };
    const std::vector<HostileCase> cases = {
        {"junk before a frame",
         [](PeerTable& p) { p.Write("garbage!!" + Frame("nl~7200", 1, 0)); },
         [](PeerTable& p) {
             EXPECT_EQ(p.tw().duel.OppLP, 7200);
             EXPECT_EQ(p.tw().FormA().Text2.caption(), "7200");
             EXPECT_EQ(p.tw().net.GarbledCount, 0);
         }},
        {"a frame split at every byte",
         [](PeerTable& p) {
             for (char c : Frame("nl~7100", 1, 0)) p.Write(std::string(1, c));
         },
         [](PeerTable& p) {
             EXPECT_EQ(p.tw().duel.OppLP, 7100);
             EXPECT_EQ(p.tw().net.ReceivedCount, 1);
         }},
        {"ten frames in one write",
         [&](PeerTable& p) {
             std::vector<std::string> list;
             for (int k = 0; k < 10; ++k) list.push_back(Frame("ch~<Eve> line " + std::to_string(k), k + 1, k));
             p.Write(frames(list));
         },
         [](PeerTable& p) {
             std::vector<std::string> lines;
             for (auto& l : p.side.Log())
                 if (l.rfind("<Eve> ", 0) == 0) lines.push_back(l);
             ASSERT_EQ(lines.size(), 10u);
             for (int k = 0; k < 10; ++k) EXPECT_EQ(lines[static_cast<std::size_t>(k)], "<Eve> line " + std::to_string(k));
         }},
        {"markers and the count mark in chat",
         [](PeerTable& p) {
             p.Write(WireFrame("ch~<Eve> x~~^^y|$|1~0"));
             p.Write(Frame("ch~<Eve> a|$|b", 2, 1));
         },
         [](PeerTable& p) { EXPECT_TRUE(p.side.Logged("<Eve> a|$|b")); }},
        {"frames 3 then 5",
         [&](PeerTable& p) {
             p.Write(frames({Frame("pong~0", 1, 0), Frame("pong~0", 2, 1), Frame("pong~0", 3, 2),
                             Frame("pong~0", 4, 3), Frame("nl~5000", 5, 5)}));
         },
         [](PeerTable& p) {
             EXPECT_EQ(p.Answers(), std::vector<std::string>{"rp~4"});
             EXPECT_EQ(p.tw().duel.OppLP, 5000);  // frame 5 is dispatched all the same
             EXPECT_EQ(p.tw().net.ReceiveSeq, 5);
         }},
        {"frames 253 then 255",
         [&](PeerTable& p) { p.Write(frames({Frame("pong~0", 1, 253), Frame("pong~0", 2, 255)})); },
         [](PeerTable& p) {
             const auto answers = p.Answers();
             EXPECT_EQ(answers, (std::vector<std::string>{"rp~252", "rp~254"}));
         }},
        {"frame numbers x, -1 and 999",
         [&](PeerTable& p) {
             p.Write(frames({Frame("nl~7001", 1, "x"), Frame("nl~7002", 2, "-1"), Frame("nl~7003", 3, "999")}));
         },
         [](PeerTable& p) {
             EXPECT_EQ(p.tw().duel.OppLP, 7003);
             EXPECT_EQ(p.tw().net.ReceivedCount, 3);
             EXPECT_TRUE(p.Answers().empty());
             for (int i = 0; i <= 255; ++i) EXPECT_EQ(p.tw().net.ReceiveHistory[i], "") << i;
         }},
        {"a missing count",
         [](PeerTable& p) { p.Write(WireFrame("nl~6000~0")); },
         [](PeerTable& p) {
             EXPECT_EQ(p.tw().duel.OppLP, 8000);
             EXPECT_EQ(p.tw().net.ReceivedCount, 0);
             EXPECT_TRUE(p.side.Logged(kMalformed));
         }},
        {"1 MiB without an end marker",
         [](PeerTable& p) {
             p.Write("^~\n" + std::string(std::size_t{1} << 20, 'A'));
             p.Write(Frame("nl~6500", 1, 0));
         },
         [](PeerTable& p) {
             EXPECT_GE(p.tw().net.GarbledCount, 1);
             EXPECT_EQ(p.tw().duel.OppLP, 6500);
             EXPECT_EQ(p.tw().net.ReceiveBuffer.pending(), 0u);
             EXPECT_EQ(p.side.socket().state(), platform::TcpSocket::StateConnected);
         }},
        {"ok~drawcard from the peer",
         [](PeerTable& p) { p.Write(Frame("ok~drawcard", 1, 0)); },
         [](PeerTable& p) { EXPECT_TRUE(p.side.Logged(kMalformed)); }},
        {"ya~3 from the peer",
         [](PeerTable& p) { p.Write(Frame("ya~3", 1, 0)); },
         [](PeerTable& p) {
             EXPECT_EQ(p.tw().net.PlayerNumber, 1);
             EXPECT_TRUE(p.side.Logged(kMalformed));
         }},
        {"mi with a name holding \":\", \"/\" and \"..\"",
         [](PeerTable& p) {
             p.Write(Frame("mi~../../Ev:e/x:20:2:0:", 1, 0));
             p.Write(Frame("pong~0", 2, 1));  // the next frame saves the game log
         },
         [](PeerTable& p) {
             auto& tw = p.tw();
             EXPECT_EQ(tw.net.PlayerNames[2], "../../Ev:e/x");
             EXPECT_TRUE(p.side.Logged("<Game> Your Opponent is ../../Ev:e/x"));
             const fs::path file = LogFile(tw);
             ASSERT_TRUE(fs::exists(file)) << file;
             EXPECT_EQ(fs::canonical(file).parent_path(), fs::canonical(tw.folder() / "Logs"));
         }},
        {"sl~0:1:1 and en~x:0",
         [](PeerTable& p) {
             p.Write(Frame("sl~0:1:1", 1, 0));
             p.Write(Frame("en~x:0", 2, 1));
         },
         [](PeerTable& p) { EXPECT_TRUE(p.side.Logged(kMalformed)); }},
        {"mn when 25 notes exist",
         [](PeerTable& p) {
             for (int k = 1; k <= 25; ++k) p.tw().FormA().StickyNote.load(k);
             p.Write(Frame("mn~26", 1, 0));
         },
         [](PeerTable& p) { EXPECT_FALSE(p.tw().FormA().StickyNote.exists(26)); }},
        {"hs~12",
         [](PeerTable& p) { p.Write(Frame("hs~12", 1, 0)); },
         [](PeerTable& p) {
             for (const auto& a : p.Answers()) EXPECT_NE(a.rfind("dh~", 0), 0u) << a;
             EXPECT_TRUE(p.side.Logged(kMalformed));
         }},
        {"the peer says it quit and closes at once",
         [](PeerTable& p) {
             p.peer.write(Frame("ch~<Eve> Eve has quit", 1, 0));
             p.peer.close();
             p.reactor.wait_until(
                 [&] { return p.side.socket().state() != platform::TcpSocket::StateConnected; }, 5000);
         },
         [](PeerTable& p) { EXPECT_TRUE(p.side.Logged("<Eve> Eve has quit")); }},
    };

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HostileTable fresh(true);  // each case on its own table and connection
        auto& p = fresh.t;
        ASSERT_EQ(p.side.socket().state(), platform::TcpSocket::StateConnected);
        const std::size_t boxes = p.side.host.messages().size();
        c.act(p);
        c.check(p);
        EXPECT_EQ(p.side.host.messages().size(), boxes);
        EXPECT_TRUE(p.side.host.questions().empty());
        EXPECT_EQ(Piles(p.tw()), fresh.piles_before);
        EXPECT_TRUE(Inside(p.tw().folder(), LogFile(p.tw())));
    }
}

// Every row that checks its arguments drops a bad one with the log line; a row only the table
// itself (or nobody) sends is dropped from the peer whatever its arguments.
TEST_F(Hostile, EveryRowDropsMalformedArguments) {
    int count = 0;
    int frame = 0;
    for (const CommandRow& row : CommandTable()) {
        std::vector<std::string> bad;
        if (row.sender != Sender::Peer) bad.push_back(std::string(row.example));
        if (row.shape != ArgShape::Any) bad.insert(bad.end(), {"", "x:x~x", ":~"});
        // The example with its slot or note (the first field; a note's text comes first) spoiled.
        const std::string ex(row.example);
        const std::size_t cut = ex.find_first_of(":~");
        const std::string rest = cut == std::string::npos ? "" : ex.substr(cut);
        switch (row.shape) {
            case ArgShape::Slot:
            case ArgShape::SlotTilde:
            case ArgShape::SlotColon:
                for (const char* s : {"0", "25", "-1", "x", "99999999999", " 3"}) bad.push_back(s + rest);
                break;
            case ArgShape::NoteIndex:
            case ArgShape::NotePosition:
                for (const char* s : {"0", "26", "-1", "x", "99999999999"}) bad.push_back(s + rest);
                break;
            case ArgShape::NoteText:
                for (const char* s : {"0", "26", "x"}) bad.push_back(ex.substr(0, ex.rfind(':') + 1) + s);
                break;
            default:
                break;
        }
        const std::vector<std::string> more = [&]() -> std::vector<std::string> {
            switch (row.shape) {
                case ArgShape::FiveCounts: return {"1:2:3", "1:2:3:4:x", "1:2:3:4:5:6", "1:2:3:4:-1"};
                case ArgShape::NotePosition: return {"1:2985", "1:x:4005"};
                case ArgShape::Challenge: return {"12345678901234", "12345678901234x67"};
                case ArgShape::PlayerInfo: return {"Ann:20:0:0:", "Ann:20:5:0:", "Ann:20:x:0:", "20:1:0:"};
                case ArgShape::ChatLine: return {"Ann> <x", "<Ann"};
                case ArgShape::WholeNumber: return {"7 200", "1.5", "99999999999"};
                default: return {};
            }
        }();
        bad.insert(bad.end(), more.begin(), more.end());
        for (const auto& args : bad) {
            SCOPED_TRACE(std::string(row.code) + "~" + args);
            t.clock.advance(1000);
            const int before = Malformed();
            t.Write(Frame(std::string(row.code) + "~" + args, ++count, frame++ % 256));
            EXPECT_EQ(Malformed(), before + 1);
        }
    }
    EXPECT_TRUE(t.side.host.messages().empty());
    EXPECT_EQ(Piles(tw), piles_before);
    EXPECT_EQ(t.side.socket().state(), platform::TcpSocket::StateConnected);
}

TEST_F(Hostile, AFloodOfBadCommandsCostsOneLineASecond) {
    std::string flood;
    for (int i = 0; i < 50; ++i) flood += Frame("nl~lots", i + 1, i);
    t.Write(flood);
    EXPECT_EQ(Malformed(), 1);
    t.clock.advance(999);
    t.Write(Frame("us~1:2", 51, 50));
    EXPECT_EQ(Malformed(), 1);
    t.clock.advance(1);
    t.Write(Frame("us~1:2", 52, 51));
    EXPECT_EQ(Malformed(), 2);
    EXPECT_TRUE(t.side.host.messages().empty());
}

TEST_F(Hostile, ACopyOfAFrameIsCarriedOutAgainButMarkedOnce) {
    t.Write(Frame("nl~7000", 1, 0) + Frame("nl~6000", 2, 0));
    EXPECT_EQ(tw.duel.OppLP, 6000);
    EXPECT_EQ(tw.net.ReceivedCount, 2);
    EXPECT_EQ(tw.net.ReceiveHistory[0], "DONE nl~7000|$|1");
    // The count that marks the table's own calls makes nothing of ours run for the peer.
    t.Write(Frame("ok~drawcard", -1, 1));
    EXPECT_EQ(Malformed(), 1);
    EXPECT_EQ(tw.net.ReceivedCount, 2);
    EXPECT_EQ(Piles(tw), piles_before);
}

TEST_F(Hostile, AClosedConnectionSaysDisconnectedOnce) {
    // A wrong answer closes the connection; the frames behind it are not taken.
    tw.net.ExpectedHandshake = "66";
    t.Write(Frame("dh~65", 1, 0) + Frame("nl~100", 2, 1) + Frame("dh~64", 3, 2));
    EXPECT_TRUE(t.side.Logged("<Game> Invalid Handshake, Disconnecting"));
    EXPECT_EQ(tw.duel.OppLP, 8000);
    ASSERT_EQ(t.side.host.messages().size(), 1u);
    EXPECT_EQ(t.side.host.messages()[0].text, "Disconnected!");
    EXPECT_EQ(t.side.socket().state(), platform::TcpSocket::StateClosed);
    tw.FormA().Winsock1_DataArrival(0);  // a late event of the same connection
    EXPECT_EQ(t.side.host.messages().size(), 1u);
}

}  // namespace
}  // namespace tw
