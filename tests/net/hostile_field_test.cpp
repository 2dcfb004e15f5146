// A stranger's field commands over a real loopback socket: whatever they name, the table neither
// crashes nor opens a box, and no card of the player's own changes.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "cards/card.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "table/field.hpp"
#include "table/field_slots.hpp"
#include "tests/net/field_pair.hpp"

namespace tw {
namespace {

using test::PeerTable;
using test::SampleCard;

constexpr const char* kMalformed = "<Game> Ignored a malformed command from the opponent.";

// A table in seat 1 with two cards of its own (slot 1 face up, slot 2 face down) and one of the
// opponent's (slot 3), connected to a raw peer.
struct FieldTable {
    PeerTable t;
    Tablewright& tw = t.tw();
    win::FormA& duel = tw.FormA();
    int count = 0;

    FieldTable() {
        test::GiveSampleCards(t.side);
        for (bool face_down : {false, true}) {
            Card c = SampleCard(t.side, "BWX", face_down ? "Tessel Golem" : "Vellicor Drake");
            c.Flipped = face_down;
            std::int32_t owner = 0;
            PutCardOnField(tw, c, owner);
        }
        Send("lc~3~Jarrow Drake:BWX");
        tw.net.SentCommands.clear();
        duel.chat.set_text("");
    }

    void Send(const std::string& command) {
        t.clock.advance(1000);
        ++count;
        t.Send(command + "|$|" + std::to_string(count) + "~" + std::to_string((count - 1) % 256));
    }
    void Write(const std::string& raw) { t.Write(raw); }

    // Everything the player's own cards show and record, and the grid places they hold.
    std::string OwnCards() {
        std::string out;
        for (int s = kFirstFieldSlot; s <= kLastFieldSlot; ++s) {
            if (!SlotInUse(tw, s) || !IsOwnCard(tw, tw.field.FieldCards[s])) continue;
            const Card& c = tw.field.FieldCards[s];
            const auto& p = duel.cardstencil[s];
            out += std::to_string(s) + ":" + c.Name + "|" + c.SetCode + "|" + std::to_string(c.Flipped) +
                   std::to_string(c.Horizontal) + "|" + std::to_string(c.Counters) + "|" +
                   std::to_string(c.Controller) + "|" + std::to_string(c.GridRow) + "," + std::to_string(c.GridCol) +
                   "|" + c.CurrentAtk + "/" + c.CurrentDef + "|" + std::to_string(p.left()) + "," +
                   std::to_string(p.top()) + "," + std::to_string(p.width()) + "," + std::to_string(p.height()) +
                   std::to_string(p.visible()) + "|" + test::PictureOf(t.side, s) + "|" + duel.Label5[s].caption() +
                   std::to_string(duel.Label5[s].visible()) + "|" + duel.Label4[s].caption() +
                   std::to_string(duel.Label4[s].visible()) + "|" + std::to_string(duel.Shape1[s].border_color()) +
                   "\n";
        }
        for (int row = 0; row <= 3; ++row)
            for (int col = 0; col <= 6; ++col) {
                const int s = tw.field.FieldGrid(row, col);
                if (s >= 1 && SlotInUse(tw, s) && IsOwnCard(tw, tw.field.FieldCards[s]))
                    out += "place " + std::to_string(row) + "," + std::to_string(col) + "=" + std::to_string(s) + "\n";
            }
        return out;
    }
};

struct HostileCase {
    const char* name;
    std::vector<std::string> commands;
    std::function<void(FieldTable&)> check;
};

TEST(HostileFieldCommands, NoCaseCrashesOpensABoxOrChangesAnOwnCard) {
    const auto malformed = [](int lines) {
        return [lines](FieldTable& f) { EXPECT_EQ(f.t.side.CountLogged(kMalformed), lines); };
    };
    std::vector<HostileCase> cases;
    // Slots outside the field, or no number at all, for every command that names one.
    for (const char* slot : {"0", "25", "x"}) {
        const std::string s(slot);
        cases.push_back({"slot", {"mv~" + s + "~1:1", "m2~" + s + "~1:1", "fc~" + s + "~0", "vh~" + s + "~1",
                                  "ii~" + s + "~Jarrow Drake:BWX", "si~" + s, "ac~" + s, "r2~" + s, "rc~" + s,
                                  "co~" + s + ":1", "ri~" + s + ":1:1", "lc~" + s + "~Jarrow Drake:BWX"},
                         malformed(12)});
    }
    cases.push_back({"rc on an empty slot", {"rc~9"}, [](FieldTable& f) {
                         EXPECT_FALSE(SlotInUse(f.tw, 9));
                         EXPECT_EQ(f.t.side.CountLogged(kMalformed), 0);
                     }});
    cases.push_back({"lc onto an own card", {"lc~1~Jarrow Drake:BWX", "lc~2~back:extras"}, [](FieldTable& f) {
                         EXPECT_TRUE(f.t.side.Logged("<Game> Out of step with the opponent: slot 1."));
                         EXPECT_TRUE(f.t.side.Logged("<Game> Out of step with the opponent: slot 2."));
                     }});
    cases.push_back({"m2 to a place an own card holds", {"m2~3~2:1"}, [](FieldTable& f) {
                         EXPECT_EQ(f.tw.field.FieldGrid(2, 1), 1);
                         EXPECT_EQ(f.tw.field.FieldCards[3].GridRow, 2);
                     }});
    cases.push_back({"a row of 4 and a column of 7", {"m2~3~4:1", "m2~3~1:7", "m2~3~-1:1"}, [](FieldTable& f) {
                         EXPECT_EQ(f.tw.field.FieldCards[3].GridRow, 1);
                         EXPECT_EQ(f.t.side.CountLogged(kMalformed), 3);
                     }});
    cases.push_back({"ii with a colon in the name", {"ii~3~Vellicor: Drake:BWX", "ii~3~no set at all"},
                     [](FieldTable& f) {
                         EXPECT_EQ(f.tw.field.FieldCards[3].Name, kBadCard);  // "Vellicor: Drake" is no card
                         EXPECT_EQ(f.t.side.CountLogged(kMalformed), 1);
                     }});
    cases.push_back({"every command on an own card",
                     {"mv~1~100:100", "m2~1~0:3", "fc~1~1", "fc~2~0", "vh~1~1", "ac~1", "r2~1", "co~1:2", "ri~1:0:0",
                      "rc~1", "rc~2", "ii~1~Jarrow Drake:BWX", "ii~2~Jarrow Drake:BWX"},
                     [](FieldTable& f) { EXPECT_EQ(f.t.side.CountLogged(kMalformed), 9); }});
    cases.push_back({"a seat that is no player's", {"co~3:3", "co~3:0", "co~3:x", "co~3:"}, [](FieldTable& f) {
                         EXPECT_EQ(f.tw.field.FieldCards[3].Controller, 2);
                         EXPECT_EQ(f.t.side.CountLogged(kMalformed), 4);
                     }});
    cases.push_back({"positions beyond any table", {"mv~3~40000:1", "mv~3~1:99999999999", "mv~3~1e5:1", "mv~3~1"},
                     malformed(4)});

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FieldTable f;
        ASSERT_EQ(f.t.side.socket().state(), platform::TcpSocket::StateConnected);
        const std::string own_before = f.OwnCards();
        const std::size_t boxes = f.t.side.host.messages().size();
        for (const auto& command : c.commands) f.Send(command);
        c.check(f);
        EXPECT_EQ(f.OwnCards(), own_before);
        EXPECT_EQ(f.t.side.host.messages().size(), boxes);
        EXPECT_TRUE(f.t.side.host.questions().empty());
        EXPECT_EQ(f.t.side.socket().state(), platform::TcpSocket::StateConnected);
    }
}

TEST(HostileFieldCommands, ACommandFloodCostsOneOutOfStepLineASecond) {
    FieldTable f;
    std::string frames;
    for (int i = 0; i < 50; ++i)
        frames += test::WireFrame("lc~1~Jarrow Drake:BWX|$|" + std::to_string(i + 2) + "~" + std::to_string(i + 1));
    f.Write(frames);
    EXPECT_EQ(f.t.side.CountLogged("<Game> Out of step with the opponent: slot 1."), 1);
}

TEST(HostileFieldCommands, ALongChatLineIsCutAndTheBoxStaysBounded) {
    FieldTable f;
    // Beyond what the receiver holds for one frame: dropped as garbled, never shown.
    f.Write(test::WireFrame("ch~<Eve> " + std::string(std::size_t{1} << 20, 'x') + "|$|2~1"));
    EXPECT_EQ(f.t.side.Log().size(), 0u);
    EXPECT_EQ(f.t.side.socket().state(), platform::TcpSocket::StateConnected);
    // Within it: the line is cut to 4,096 characters with its speaker.
    f.count = 2;
    f.Send("ch~<Eve> " + std::string(60000, 'y'));
    const auto log = f.t.side.Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "<Eve> " + std::string(4096 - 6, 'y'));
    // A speaker that fills the line leaves no room for text.
    f.Send("ch~<" + std::string(5000, 'E') + "> hello");
    EXPECT_EQ(f.t.side.Log().back(), "<" + std::string(4093, 'E') + "> ");
    // Line after line, the box is cut from the front and stays bounded.
    for (int i = 0; i < 40; ++i) f.Send("ch~<Eve> " + std::string(3000, 'z'));
    EXPECT_LE(f.duel.chat.text().size(), 8192u + 4096u + 2u);
    EXPECT_TRUE(f.t.side.host.messages().empty());
}

}  // namespace
}  // namespace tw
