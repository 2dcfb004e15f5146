#include "cards/chat_input.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "duel/forma.hpp"
#include "platform/rt.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

const char kTooLong[] = "That message is too long, under 120 letters please.";

struct ChatInput : ::testing::Test {
    test::TableFixture fx;
    Tablewright& tw = fx.tw();

    void SetUp() override {
        fx.LoadDuelWindow("Rook");
        tw.prefs.UserName = "Rook";
    }
    win::FormA& duel() { return tw.FormA(); }
    std::vector<std::string> Sent() const {
        std::vector<std::string> out;
        for (const auto& c : tw.net.SentCommands) out.push_back(c.command);
        return out;
    }
    void Clear() {
        tw.net.SentCommands.clear();
        duel().chat.set_text("");
    }
};

TEST_F(ChatInput, LifePointCommandsSetTheLifePointsAndAnnounceThem) {
    struct Step {
        std::string typed;
        std::int32_t lp;
        std::string line;
    };
    const Step steps[] = {
        {"/add 500", 8500, "Rook`s LP is now 8500 (+500)"},
        {"/sub 300", 8200, "Rook`s LP is now 8200(-300)"},
        {"/lp 4000", 4000, "Rook`s LP is now 4000"},
        {"/ADD 500", 4500, "Rook`s LP is now 4500 (+500)"},
        {"  /Lp 100  \r\n", 100, "Rook`s LP is now 100"},
        {"/sub 1.5", 98, "Rook`s LP is now 98(-1.5)"},  // a fraction rounds half to even
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.typed);
        Clear();
        SubmitChatInput(tw, s.typed);
        EXPECT_EQ(tw.duel.MyLP, s.lp);
        EXPECT_EQ(duel().Text1.caption(), rt::cstr(s.lp));
        EXPECT_EQ(duel().chat.text(), "<Game> " + s.line + "\r\n");
        const std::vector<std::string> sent{"nl~" + rt::cstr(s.lp), "ch~<Game> " + s.line, "us~0:0:0:0:0"};
        EXPECT_EQ(Sent(), sent);
    }
}

TEST_F(ChatInput, CommandsWithoutAWholeNumberAreChatLines) {
    for (const std::string typed : {"/add500", "/add x", "/sub many", "/lp ", "/lpx 5"}) {
        SCOPED_TRACE(typed);
        Clear();
        SubmitChatInput(tw, typed);
        EXPECT_EQ(tw.duel.MyLP, 8000);
        EXPECT_EQ(duel().chat.text(), "<Rook> " + rt::trim(typed) + "\r\n");
        EXPECT_EQ(Sent().front(), "ch~<Rook> " + rt::trim(typed));
    }
}

TEST_F(ChatInput, OverflowingLifePointsAreRefused) {
    struct Case {
        std::int32_t lp;
        std::string typed;
    };
    const Case cases[] = {{2147483000, "/add 1000"}, {-2147483000, "/sub 1000"}, {0, "/sub -2147483648"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        Clear();
        tw.duel.MyLP = c.lp;
        SubmitChatInput(tw, c.typed);
        EXPECT_EQ(tw.duel.MyLP, c.lp);
        EXPECT_TRUE(Sent().empty());
        EXPECT_EQ(duel().chat.text(), "");
        ASSERT_FALSE(fx.host.messages().empty());
        EXPECT_EQ(fx.host.messages().back().text, "That would put your LP out of range.");
    }
    // The limits themselves are reached.
    Clear();
    tw.duel.MyLP = 2147483000;
    SubmitChatInput(tw, "/add 647");
    EXPECT_EQ(tw.duel.MyLP, 2147483647);
}

TEST_F(ChatInput, LinesUpTo120CharactersArePosted) {
    const std::string line120(120, 'a');
    SubmitChatInput(tw, line120);
    EXPECT_EQ(duel().chat.text(), "<Rook> " + line120 + "\r\n");
    EXPECT_TRUE(fx.host.messages().empty());

    Clear();
    duel().chattext.set_text(line120 + "b");
    SubmitChatInput(tw, line120 + "b");
    ASSERT_EQ(fx.host.messages().size(), 1u);
    EXPECT_EQ(fx.host.messages()[0].text, kTooLong);
    EXPECT_EQ(duel().chat.text(), "");
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(duel().chattext.text(), line120 + "b");  // the box is its caller's to empty

    // The blanks around do not count; a life-point command has no limit.
    Clear();
    SubmitChatInput(tw, "   " + line120 + "   ");
    EXPECT_EQ(fx.host.messages().size(), 1u);
    SubmitChatInput(tw, "/add " + std::string(130, '0') + "5");
    EXPECT_EQ(tw.duel.MyLP, 8005);
}

TEST_F(ChatInput, SendButtonEmptiesTheBoxEvenForARefusedLine) {
    duel().chattext.set_text(std::string(121, 'x'));
    SubmitChatBox(tw);
    EXPECT_EQ(fx.host.messages().size(), 1u);
    EXPECT_EQ(duel().chattext.text(), "");

    duel().chattext.set_text("hi");
    SubmitChatBox(tw);
    EXPECT_EQ(duel().chat.text(), "<Rook> hi\r\n");
    EXPECT_EQ(duel().chattext.text(), "");
}

TEST_F(ChatInput, PostingALineEmptiesTheInputBox) {
    duel().chattext.set_text("hi");
    SubmitChatInput(tw, "hi");
    EXPECT_EQ(duel().chattext.text(), "");
}

TEST_F(ChatInput, ALongChatBoxIsCutBeforeALineIsPosted) {
    std::string old;
    for (int i = 0; old.size() < 8193; ++i) old += "<Game> line " + std::to_string(i) + "\r\n";
    old.resize(8193);
    duel().chat.set_text(old);
    SubmitChatInput(tw, "hi");
    EXPECT_EQ(duel().chat.text(), old.substr(6143) + "<Rook> hi\r\n");
    EXPECT_EQ(old.substr(6143).size(), 2050u);

    // At 8192 characters, and for life-point commands, nothing is cut.
    old.resize(8192);
    duel().chat.set_text(old);
    SubmitChatInput(tw, "hi");
    EXPECT_EQ(duel().chat.text(), old + "<Rook> hi\r\n");
    old += "x";
    duel().chat.set_text(old);
    SubmitChatInput(tw, "/lp 10");
    EXPECT_EQ(duel().chat.text(), old + "<Game> Rook`s LP is now 10\r\n");
}

TEST_F(ChatInput, NothingButLineBreaksOrBlanksDoesNothing) {
    for (const std::string typed : {"", "\r\n", "\r\n\r\n", "    ", " \r\n "}) {
        SubmitChatInput(tw, typed);
    }
    EXPECT_EQ(duel().chat.text(), "");
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(fx.host.messages().empty());
}

TEST_F(ChatInput, AttentionMarksTheAlertUsedAndIsPosted) {
    SubmitChatInput(tw, "/Attention");
    EXPECT_TRUE(tw.net.AttentionSent);
    EXPECT_EQ(Sent().front(), "ch~<Rook> /Attention");
    // Its own line raises no box on this side.
    EXPECT_TRUE(fx.host.messages().empty());
    EXPECT_FALSE(tw.duel.AttentionShown);
}

}  // namespace
}  // namespace tw
