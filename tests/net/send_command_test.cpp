#include "net/send_command.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/duel_frame.hpp"
#include "tests/support/duel_pair.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

using test::PeerTable;

// What the peer received: every frame's tag, body and number, in order.
struct Wire {
    int tag;
    std::string text;  // command with its count
    std::optional<int> number;
};
std::vector<Wire> Received(PeerTable& t) {
    t.reactor.pump(0);
    DuelFrameReader r;
    r.append(t.peer.read());
    std::vector<Wire> out;
    while (auto p = r.next()) {
        if (p->kind != DuelFrameReader::Piece::Frame || p->text.size() < 3) continue;
        auto f = OpenFrame(p->text, false);
        out.push_back({static_cast<unsigned char>(p->text[2]), f ? f->text : "", f ? f->number : std::nullopt});
    }
    return out;
}

TEST(SendCommand, RefusesEmptyArgumentsAndBlanksWithoutTouchingAnything) {
    PeerTable t;
    auto& tw = t.tw();
    for (const char* cmd : {"sg~", "ch~", "   ", ""}) {
        std::int32_t cls = 1;
        SendCommand(tw, cmd, cls);
        EXPECT_EQ(cls, 1) << cmd;
    }
    EXPECT_EQ(tw.net.SentCount, 0);
    EXPECT_EQ(tw.net.SendSeq, 0);
    EXPECT_TRUE(tw.net.SentCommands.empty());
    std::int32_t cls = 0;
    SendCommand(tw, "ping~x", cls);
    const auto got = Received(t);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].text, "ping~x|$|1");
    EXPECT_EQ(got[0].number, 0);
}

TEST(SendCommand, WithoutAConnectionOnlyRecords) {
    test::TableFixture fx;
    auto& tw = fx.tw();
    fx.LoadDuelWindow();
    tw.net.PlayerNumber = 2;
    std::int32_t cls = 0;
    SendCommand(tw, "nl~7000", cls);
    EXPECT_EQ(cls, 0);
    EXPECT_EQ(tw.net.SentCount, 0);
    EXPECT_EQ(tw.net.SendSeq, 0);
    ASSERT_EQ(tw.net.SentCommands.size(), 1u);
    EXPECT_EQ(tw.net.SentCommands[0].command, "nl~7000");
    EXPECT_EQ(tw.net.SentCommands[0].tag, 20);
    EXPECT_FALSE(tw.net.SentCommands[0].connected);
}

TEST(SendCommand, NumbersFramesFromZeroAroundTheRingAndCountsEveryCommand) {
    PeerTable t;
    auto& tw = t.tw();
    for (int i = 0; i < 258; ++i) {
        std::int32_t cls = 0;
        SendCommand(tw, "pong~" + std::to_string(i), cls);
    }
    const auto got = Received(t);
    ASSERT_EQ(got.size(), 258u);
    EXPECT_EQ(got[0].number, 0);
    EXPECT_EQ(got[1].number, 1);
    EXPECT_EQ(got[255].number, 255);
    EXPECT_EQ(got[256].number, 0);
    EXPECT_EQ(got[257].number, 1);
    EXPECT_EQ(got[257].text, "pong~257|$|258");
    EXPECT_EQ(tw.net.SentCount, 258);
    EXPECT_EQ(tw.net.SendSeq, 2);
}

TEST(SendCommand, TagsWithSeatAndClassAndCleansTheCommand) {
    PeerTable t;
    auto& tw = t.tw();
    tw.net.PlayerNumber = 2;
    std::int32_t cls = 1;
    SendCommand(tw, "sg~x", cls);
    EXPECT_EQ(cls, 21);  // the caller's variable changes with it
    std::int16_t old_tag = 0;
    SendCommand(tw, "ch~<Ann> (9:05:01 PM) a^~b~~^^c |$| d", old_tag);
    EXPECT_EQ(old_tag, 20);
    const auto got = Received(t);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].tag, 21);
    EXPECT_EQ(got[0].text, "sg~x|$|1");
    EXPECT_EQ(got[1].tag, 20);
    EXPECT_EQ(got[1].text, "ch~<Ann> abc |$| d|$|2");
    EXPECT_EQ(tw.net.SentCommands.back().command, "ch~<Ann> abc |$| d");
}

TEST(SendCommand, AServerDuelWritesTheXmppMessage) {
    PeerTable t;
    auto& tw = t.tw();
    tw.net.ServerDuel = true;
    tw.net.JabberPeer = "bob";
    tw.prefs.JabberServer = "chat.example";
    std::int32_t cls = 0;
    SendCommand(tw, "nl~8000", cls);
    t.reactor.pump(0);
    EXPECT_EQ(t.peer.read(),
              "<message id='zqm_1' to='bob.plimvale@chat.example'><body>^~"
              "110.108.126.56.48.48.48.124.36.124.49.126.48~^</body></message>");
}

}  // namespace
}  // namespace tw
