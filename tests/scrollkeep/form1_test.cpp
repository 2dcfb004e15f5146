#include "scrollkeep/form1.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cards/chat_input.hpp"
#include "cards/duel_log.hpp"
#include "cards/game_log.hpp"
#include "cards/log_coding.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"
#include "scrollkeep/scrollkeep.hpp"
#include "tests/support/table_fixture.hpp"
#include "tests/support/temp_dir.hpp"

namespace sk {
namespace {

const char kBadName[] = "Log File must end with .qlra";
const char kCorrupt[] = "This is not a valid log file.";

struct Viewer : ::testing::Test {
    platform::FakeClock clock;
    platform::Reactor reactor{clock};
    platform::ScriptedHost host{reactor, clock};
    tw::test::TempDir dir;
    platform::App app{reactor, host};
    std::unique_ptr<Scrollkeep> program;

    void SetUp() override {
        app.path = dir.path().string();
        program = std::make_unique<Scrollkeep>(app);
        Main(*program);
    }
    win::Form1& form() { return program->Form1(); }

    // Writes a log file as Tablewright writes it.
    std::string WriteLog(const std::string& name, const std::string& text) {
        return dir.write(name, tw::ScrambleLog(text) + "\r\n").string();
    }
    void Open(const std::optional<std::string>& path) {
        host.expect_file(path);
        form().Command1.user_click();
        EXPECT_EQ(host.expectations_left(), 0u);
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> out;
        for (const auto& m : host.messages()) out.push_back(m.text);
        return out;
    }
};

TEST_F(Viewer, StartsWithItsWindowShown) {
    EXPECT_TRUE(form().visible());
    EXPECT_EQ(form().caption(), "Scrollkeep for V0.4");
    EXPECT_EQ(form().Command1.caption(), "Open Log");
    EXPECT_EQ(form().Command2.caption(), "About");
}

TEST_F(Viewer, OpenLogShowsTheDuelLog) {
    const std::string chat = "<Game> Welcome\r\n<Bob> (9:05:01 PM) hi \xe9\r\n";
    Open(WriteLog("Logs/7-4-2009_9-5.qlra", chat));
    EXPECT_EQ(form().Text1.text(), chat);
    EXPECT_TRUE(host.messages().empty());

    // A second log in the same run replaces the first.
    Open(WriteLog("Logs/second.qlra", "<Game> Hi"));
    EXPECT_EQ(form().Text1.text(), "<Game> Hi");
}

TEST_F(Viewer, FileContentsThatDecode) {
    struct Case {
        const char* what;
        std::string content;
        std::string shown;
    };
    const std::vector<Case> cases = {
        {"worked example", "74.38.15.25.31.91.75.62.8\r\n", "<Game> Hi"},
        {"no final line end", "74.38.15.25.31.91.75.62.8", "<Game> Hi"},
        {"items across lines and commas", "74.38.15,.25.31\r\n.91.75.62.8\r\n", "<Game> Hi"},
        {"empty file", "", ""},
        {"only a line end", "\r\n", ""},
    };
    for (const auto& c : cases) {
        form().Text1.set_text("before");
        Open(dir.write("log.qlra", c.content).string());
        EXPECT_EQ(form().Text1.text(), c.shown) << c.what;
    }
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(Viewer, LogBeyond40000CharactersIsShownWhole) {
    std::string chat;
    for (int i = 0; chat.size() <= 40000; ++i) chat += "<Game> line " + std::to_string(i) + "\r\n";
    Open(WriteLog("long.qlra", chat));
    EXPECT_EQ(form().Text1.text(), chat);
}

// A duel of 30,000 characters in which the player chats: the table trims its chat box as the
// duel goes on, yet the game log it writes holds the whole duel, and the viewer shows all of it.
TEST_F(Viewer, AWholeLongDuelAsTheTableLoggedIt) {
    tw::test::TableFixture table;
    tw::Tablewright& t = table.tw();
    table.LoadDuelWindow("Rook");
    t.prefs.UserName = "Rook";
    std::filesystem::create_directories(table.dir.path() / "Logs");
    t.log.LogFolder = (table.dir.path() / "Logs").string() + "/";
    t.log.LogFileName = tw::NewLogFileName(t);
    t.log.LoggingOn = true;
    std::string duel;
    for (int i = 0; duel.size() < 30000; ++i) {
        const std::string said = "move " + std::to_string(i) + ", your turn" + std::string(40 + i % 60, '.');
        tw::SubmitChatInput(t, said);
        duel += "<Rook> " + said + "\r\n";
        tw::AddChat(t, "Rook drew a card", "Game", true);
        duel += "<Game> Rook drew a card\r\n";
    }
    ASSERT_LT(t.FormA().chat.text().size(), duel.size() / 2) << "the chat box was trimmed";
    tw::AddChat(t, "Rook wins", "Game", true);
    duel += "<Game> Rook wins\r\n";
    tw::SaveLogNow(t);
    Open(t.log.LogFileName);
    EXPECT_EQ(form().Text1.text(), duel);
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(Viewer, NamesNotEndingInTheExactExtensionAreRefused) {
    form().Text1.set_text("kept");
    WriteLog("a.QLRA", "<Game> Hi");
    WriteLog("a.Qlra", "<Game> Hi");
    WriteLog("a.qlra.txt", "<Game> Hi");
    for (const char* name : {"a.QLRA", "a.Qlra", "a.qlra.txt"}) Open((dir.path() / name).string());
    EXPECT_EQ(Messages(), std::vector<std::string>(3, kBadName));
    EXPECT_EQ(form().Text1.text(), "kept");
}

TEST_F(Viewer, CancelShowsNothingAndKeepsTheLog) {
    form().Text1.set_text("kept");
    Open(std::nullopt);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(form().Text1.text(), "kept");
}

// Scrollkeep runs from the Utilities folder of Tablewright's folder.
TEST(ViewerStart, TheOpenDialogStartsInTheLogsFolder) {
    struct Case {
        const char* what;
        const char* stored;        // the "lang" setting, nullptr: no settings file
        const char* logs_folder;   // made below Tablewright's folder, nullptr: none
        const char* expected;      // below Tablewright's folder; "" for Scrollkeep's own
    } cases[] = {
        {"stored logs folder", "Duel Logs/", "Duel Logs", "Duel Logs"},
        {"no settings", nullptr, "Logs", "Logs"},
        {"stored folder gone", "Gone/", "Logs", "Logs"},
        {"no logs anywhere", nullptr, nullptr, "Utilities"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform::FakeClock clock;
        platform::Reactor reactor{clock};
        platform::ScriptedHost host{reactor, clock};
        tw::test::TempDir dir;
        platform::App app{reactor, host};
        std::filesystem::create_directories(dir.path() / "Utilities");
        if (c.logs_folder) std::filesystem::create_directories(dir.path() / c.logs_folder);
        if (c.stored)
            dir.write("settings.ini", std::string("[settings]\r\nlang=") + (dir.path() / c.stored).string() + "\r\n");
        app.path = (dir.path() / "Utilities").string();
        Scrollkeep sk(app);
        Main(sk);
        host.expect_file(std::nullopt);
        sk.Form1().Command1.user_click();
        EXPECT_TRUE(std::filesystem::equivalent(sk.Form1().comm1.file_name, dir.path() / c.expected));
        EXPECT_TRUE(host.messages().empty());
    }
}

TEST_F(Viewer, CorruptOrUnreadableFileIsReportedAndTheBoxKept) {
    const std::string chat = "<Game> Hi";
    Open(WriteLog("good.qlra", chat));
    struct Case {
        const char* what;
        std::string content;
    };
    const std::vector<Case> cases = {
        {"number above 255", "74.300.15\r\n"},
        {"empty piece", "74..38\r\n"},
        {"trailing dot", "74.38.\r\n"},
        {"not numbers", "hello there\r\n"},
        {"negative", "74.-1\r\n"},
    };
    for (const auto& c : cases) {
        Open(dir.write("bad.qlra", c.content).string());
        EXPECT_EQ(form().Text1.text(), chat) << c.what;
    }
    EXPECT_EQ(Messages(), std::vector<std::string>(cases.size(), kCorrupt));

    // A file that cannot be read does not pass for an empty log.
    Open((dir.path() / "missing.qlra").string());
    EXPECT_EQ(form().Text1.text(), chat);
    ASSERT_EQ(host.messages().size(), cases.size() + 1);
    EXPECT_NE(host.messages().back().text, "");
}

TEST_F(Viewer, AboutShowsItsLine) {
    form().Command2.user_click();
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].text, "Tablewright Scrollkeep. This can read V9.1 Logs.");
    EXPECT_EQ(host.messages()[0].title, "Scrollkeep");
}

TEST_F(Viewer, EncryptItTwiceGivesEveryByteBack) {
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    EXPECT_NE(form().EncryptIt(all), all);
    EXPECT_EQ(form().EncryptIt(form().EncryptIt(all)), all);
    EXPECT_EQ(form().NoNumbers("72.105"), "Hi");
    EXPECT_FALSE(form().NoNumbers("72.256").has_value());
}

}  // namespace
}  // namespace sk
