#include "cards/game_log.hpp"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cards/chat_input.hpp"
#include "cards/duel_log.hpp"
#include "cards/log_coding.hpp"
#include "duel/forma.hpp"
#include "platform/files.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;

const char kSaveFailed[] = "There has been an error adding to the Logfile, Logging will now stop";

// A table with a logs folder, logging on into a file of that folder.
struct GameLog : ::testing::Test {
    test::TableFixture fx;
    fs::path logs = fx.dir.path() / "Logs";

    void SetUp() override {
        fx.LoadDuelWindow();
        fs::create_directories(logs);
        fx.tw().log.LogFolder = logs.string() + "/";
        fx.tw().log.LogFileName = fx.tw().log.LogFolder + "duel.qlra";
        fx.tw().log.LoggingOn = true;
    }
    void SetChat(const std::string& text) { fx.tw().FormA().chat.set_text(text); }
    std::string LogFile() { return test::TempDir::read(fx.tw().log.LogFileName); }
    std::size_t Failures() const {
        std::size_t n = 0;
        for (const auto& m : fx.host.messages()) n += m.text == kSaveFailed;
        return n;
    }
};

// Decodes a log file as the viewer does.
std::string Decode(std::string file) {
    EXPECT_GE(file.size(), 2u);
    EXPECT_EQ(file.substr(file.size() - 2), "\r\n");
    auto plain = NoNumbers(file.substr(0, file.size() - 2));
    EXPECT_TRUE(plain.has_value());
    return plain ? EncryptIt(*plain) : std::string();
}

// The bytes this process has handed to write calls so far.
std::uint64_t BytesWritten() {
    std::ifstream io("/proc/self/io");
    std::string key;
    std::uint64_t value = 0;
    while (io >> key >> value)
        if (key == "wchar:") return value;
    ADD_FAILURE() << "no write count";
    return 0;
}

TEST_F(GameLog, WorkedExampleFile) {
    SetChat("<Game> Hi");
    SaveLogNow(fx.tw());
    EXPECT_EQ(LogFile(), "74.38.15.25.31.91.75.62.8\r\n");
    EXPECT_TRUE(fx.tw().log.LoggingOn);
    EXPECT_EQ(Failures(), 0u);
}

TEST_F(GameLog, EmptyChatBoxGivesOnlyTheLineEnd) {
    SetChat("");
    SaveLog(fx.tw(), "User Terminated Program", 1);
    EXPECT_EQ(LogFile(), "\r\n");
}

TEST_F(GameLog, EverySaveReplacesTheWholeFile) {
    SetChat(std::string(5000, 'x'));
    SaveLogNow(fx.tw());
    SetChat("<Game> Hi");
    SaveLogNow(fx.tw());
    EXPECT_EQ(LogFile(), "74.38.15.25.31.91.75.62.8\r\n");
    // No temporary file is left beside the log.
    EXPECT_EQ(std::distance(fs::directory_iterator(logs), fs::directory_iterator()), 1);
}

TEST_F(GameLog, LogBeyond40000CharactersIsWrittenAndReadBackWhole) {
    std::string chat;
    for (int i = 0; chat.size() <= 40000; ++i)
        chat += "<Bob> (9:05:01 PM) line " + std::to_string(i) + " \xe9\x01\xff\r\n";
    SetChat(chat);
    SaveLogNow(fx.tw());
    EXPECT_TRUE(fx.tw().log.LoggingOn);
    EXPECT_EQ(Failures(), 0u);
    EXPECT_EQ(Decode(LogFile()), chat);
}

TEST_F(GameLog, NothingHappensWithoutLoggingOrName) {
    struct Case {
        const char* what;
        bool logging;
        const char* name;
    };
    for (const Case& c : {Case{"logging off", false, "duel.qlra"}, Case{"no name", true, ""}}) {
        fx.tw().log.LoggingOn = c.logging;
        fx.tw().log.LogFileName = c.name[0] ? fx.tw().log.LogFolder + c.name : std::string();
        SetChat("<Game> Hi");
        const auto shown = fx.host.messages().size();
        SaveLogNow(fx.tw());
        EXPECT_EQ(fx.host.messages().size(), shown) << c.what;
        EXPECT_TRUE(fs::is_empty(logs)) << c.what;
        EXPECT_EQ(fx.tw().log.LoggingOn, c.logging) << c.what;
    }
}

// Each coding is the whole text's, however the text is split between what the box's trimming
// cut off and the box, and whatever changed since; what it says stayed the same did.
TEST(GameLogCoding, EveryCodingIsTheWholeTextsAndSaysWhatStayed) {
    struct Step {
        std::string head, tail;
    };
    const std::string line = "<Game> Ann drew \xe9\x01\xff a card\r\n";
    const std::vector<Step> steps = {
        {"", ""},
        {"", line},
        {"", line + line},
        {line, line},            // the first line cut off the box
        {line, line + line},
        {line + line + line, ""},  // all of it cut off
        {line + line + line, "x"},
        {line + line + line, "x"},  // nothing new
        {line, "changed"},        // an earlier part changed
        {"", ""},                 // a new duel
        {"", line},
    };
    GameLogWriter writer;
    std::string before;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const std::string coded = writer.Code(steps[i].head, steps[i].tail);
        EXPECT_EQ(coded, GameLogFileText(steps[i].head + steps[i].tail)) << i;
        ASSERT_LE(writer.Unchanged(), std::min(coded.size(), before.size())) << i;
        EXPECT_EQ(coded.substr(0, writer.Unchanged()), before.substr(0, writer.Unchanged())) << i;
        // An extension keeps all but the closing line end.
        if (i == 2 || i == 4 || i == 6) {
            EXPECT_EQ(writer.Unchanged(), before.size() - 2) << i;
        }
        if (i == 7) {
            EXPECT_EQ(writer.Unchanged(), coded.size());
        }
        before = coded;
    }
}

TEST(GameLogBeforeTheDuelWindow, TheLastLogIsKept) {
    test::TableFixture fx;
    fs::create_directories(fx.dir.path() / "Logs");
    const auto file = fx.dir.write("Logs/duel.qlra", "74.38\r\n");
    fx.tw().log.LogFileName = file.string();
    fx.tw().log.LoggingOn = true;
    SaveLogNow(fx.tw());
    EXPECT_FALSE(fx.tw().FormA.loaded());
    EXPECT_EQ(test::TempDir::read(file), "74.38\r\n");
    EXPECT_TRUE(fx.tw().log.LoggingOn);
}

TEST_F(GameLog, MissingLogsFolderStopsLoggingOnce) {
    fx.tw().log.LogFileName = (fx.dir.path() / "NoSuchFolder" / "duel.qlra").string();
    SetChat("<Game> Hi");
    SaveLogNow(fx.tw());
    EXPECT_FALSE(fx.tw().log.LoggingOn);
    EXPECT_EQ(Failures(), 1u);
    EXPECT_EQ(fx.tw().FormA().chat.text(), "<Game> Hi");

    // Later lines are not logged, and not reported again, even once the folder exists.
    fs::create_directories(fx.dir.path() / "NoSuchFolder");
    SaveLogNow(fx.tw());
    EXPECT_FALSE(fs::exists(fx.tw().log.LogFileName));
    EXPECT_EQ(Failures(), 1u);
}

TEST_F(GameLog, FailedRewriteLeavesThePreviousLogWhole) {
    SetChat("<Game> Hi");
    SaveLogNow(fx.tw());
    struct Crash {
        platform::BeforeRenameHook old = platform::before_rename_hook;
        Crash() { platform::before_rename_hook = [](const fs::path&, const fs::path&) { return false; }; }
        ~Crash() { platform::before_rename_hook = old; }
    };
    {
        Crash crash;
        SetChat("<Game> Hi\r\n<Game> more");
        SaveLogNow(fx.tw());
    }
    EXPECT_EQ(LogFile(), "74.38.15.25.31.91.75.62.8\r\n");
    EXPECT_FALSE(fx.tw().log.LoggingOn);
    EXPECT_EQ(Failures(), 1u);
    EXPECT_EQ(std::distance(fs::directory_iterator(logs), fs::directory_iterator()), 1);
}

TEST_F(GameLog, FileNamesFromTheClockLieInsideTheLogsFolder) {
    std::tm t{};
    t.tm_year = 2009 - 1900;
    t.tm_mon = 6;  // July
    t.tm_mday = 4;
    t.tm_hour = 21;
    t.tm_min = 5;
    fx.clock.set_local_time(t);
    const fs::path chosen = fx.dir.path() / "Chosen Logs";
    fs::create_directories(chosen);
    const fs::path file = fx.dir.write("plain-file", "x");
    const fs::path own = fx.dir.path() / "Logs";
    struct Case {
        std::string folder;  // the Log Folder setting
        fs::path into;
    };
    const Case cases[] = {
        {chosen.string() + "/", chosen},
        {chosen.string(), chosen},  // stored without its closing separator
        {"Chosen Logs\\", chosen},  // relative to the program folder
        {"", own},                  // no setting: the program's own
        {"/", own},                 // what an empty box used to be stored as
        {(fx.dir.path() / "gone").string() + "/", own},
        {file.string() + "/", own},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        fx.tw().log.LogFolder = c.folder;
        EXPECT_EQ(NewLogFileName(fx.tw()), (c.into / "7-4-2009_21-5.qlra").string());
        EXPECT_EQ(PeerLogFileName(fx.tw(), "Bob"), (c.into / "7-4_21_5_Bob.qlra").string());
    }
}

TEST(GameLogFolder, FallsBackToTheProgramsLogsFolderAndMakesIt) {
    test::TableFixture fx;
    fx.LoadDuelWindow();
    fx.tw().log.LogFolder = "";
    fx.tw().log.LogFileName = NewLogFileName(fx.tw());
    fx.tw().log.LoggingOn = true;
    fx.tw().FormA().chat.set_text("<Game> Hi");
    SaveLogNow(fx.tw());
    EXPECT_TRUE(fx.tw().log.LoggingOn);
    EXPECT_EQ(fs::path(fx.tw().log.LogFileName).parent_path(), fx.dir.path() / "Logs");
    EXPECT_EQ(test::TempDir::read(fx.tw().log.LogFileName), "74.38.15.25.31.91.75.62.8\r\n");
}

// A duel whose player chats: each line submitted once the box passes 8192 characters trims it.
TEST_F(GameLog, TheGameLogKeepsTheWholeDuelWhileTheChatBoxIsTrimmed) {
    auto& chat = fx.tw().FormA().chat;
    fx.tw().prefs.UserName = "Tester";
    std::string whole;
    const auto play = [&](int lines) {
        for (int i = 0; i < lines; ++i) {
            const std::string said = "line " + std::to_string(i) + std::string(40 + i % 50, 'a' + i % 26);
            SubmitChatInput(fx.tw(), said);
            whole += "<Tester> " + said + "\r\n";
            AddChat(fx.tw(), "Tester drew a card", "Game", true);
            whole += "<Game> Tester drew a card\r\n";
        }
    };
    play(90);
    SaveLogNow(fx.tw());
    ASSERT_LT(chat.text().size(), whole.size()) << "the box was trimmed while logging";
    EXPECT_EQ(Decode(LogFile()), whole);
    play(201);
    SaveLogNow(fx.tw());
    EXPECT_GT(whole.size(), 30000u);
    EXPECT_LT(chat.text().size(), 9000u) << "the box is trimmed as before";
    EXPECT_EQ(whole.substr(whole.size() - chat.text().size()), chat.text());
    EXPECT_EQ(Decode(LogFile()), whole);
    EXPECT_EQ(Failures(), 0u);

    // A new duel's log (the box emptied for it) starts with its own lines only.
    chat.set_text("");
    AddChat(fx.tw(), "Game Reset!", "Game", false);
    SaveLogNow(fx.tw());
    EXPECT_EQ(Decode(LogFile()), "<Game> Game Reset!\r\n");
}

TEST_F(GameLog, OpponentNameCannotLeaveTheLogsFolder) {
    for (const char* name : {"../../escape", "a/b\\c", "..", "", "\x01\n"}) {
        fx.tw().log.LogFileName = PeerLogFileName(fx.tw(), name);
        const fs::path file(fx.tw().log.LogFileName);
        EXPECT_EQ(file.parent_path(), logs) << name;
        SetChat("<Game> Hi");
        SaveLogNow(fx.tw());
        EXPECT_TRUE(fs::is_regular_file(file)) << name;
    }
    EXPECT_TRUE(fx.tw().log.LoggingOn);
    EXPECT_FALSE(fs::exists(fx.dir.path() / "escape"));
    EXPECT_FALSE(fs::exists(fx.dir.path().parent_path() / "escape"));
}

// With logging off nothing beyond the chat box is kept, however much chat passes.
TEST_F(GameLog, AChatFloodWithLoggingOffKeepsOnlyTheChatBox) {
    fx.tw().log.LoggingOn = false;
    fx.tw().prefs.UserName = "Tester";
    for (int i = 0; i < 400; ++i) SubmitChatInput(fx.tw(), "flood " + std::to_string(i) + std::string(90, 'a' + i % 26));
    EXPECT_LT(fx.tw().FormA().chat.text().size(), 9000u);
    EXPECT_EQ(fx.tw().log.DuelLogCut.size(), 0u);
    EXPECT_TRUE(fs::is_empty(logs));
}

// A log whose text passes its limit keeps the lines that fit, says so once and stops; the
// duel goes on.
TEST_F(GameLog, ALogPastItsLimitStopsWithOneLine) {
    const std::string line = "<Game> " + std::string(1 << 20, 'x') + "\r\n";
    std::string chat;
    while (chat.size() + line.size() <= kMaxGameLogText) chat += line;
    SetChat(chat);
    SaveLogNow(fx.tw());
    ASSERT_TRUE(fx.tw().log.LoggingOn);
    AddChat(fx.tw(), std::string(1 << 20, 'y'), "Game", false);
    EXPECT_FALSE(fx.tw().log.LoggingOn);
    EXPECT_EQ(Decode(LogFile()), chat);
    AddChat(fx.tw(), "the duel goes on", "Game", false);
    const std::string& shown = fx.tw().FormA().chat.text();
    std::size_t count = 0;
    for (std::size_t at = shown.find("The game log is full; logging stops."); at != std::string::npos;
         at = shown.find("The game log is full; logging stops.", at + 1))
        ++count;
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(Failures(), 0u);
}

// Lines that come within a second of a save reach the file within that second, in one save.
TEST_F(GameLog, SavesWhileLinesArriveComeOncePerSecond) {
    AddChat(fx.tw(), "first", "Game", false);
    const std::string after_first = LogFile();
    EXPECT_EQ(Decode(after_first), fx.tw().FormA().chat.text());
    AddChat(fx.tw(), "second", "Game", false);
    EXPECT_EQ(LogFile(), after_first);
    fx.clock.advance(kGameLogSaveGapMs);
    fx.reactor.pump(0);
    EXPECT_EQ(Decode(LogFile()), fx.tw().FormA().chat.text());
}

// A long duel's saves, one a second, each write about what the lines since the save before
// added, not the whole file; the file is whole after each. A save that ends a stretch of the
// duel leaves nothing beside the log.
TEST_F(GameLog, ALongDuelsSavesWriteWhatIsNewNotTheWholeLog) {
    auto& chat = fx.tw().FormA().chat;
    for (int i = 0; i < 600; ++i) AddChat(fx.tw(), "Ann moved card " + std::to_string(i) + " to the graveyard", "Game", false);
    for (int second = 0; second < 6; ++second) {
        const std::size_t before_lines = WholeDuelLog(fx.tw(), chat.text()).size();
        for (int i = 0; i < 10; ++i) AddChat(fx.tw(), "Bob drew card " + std::to_string(i), "Game", false);
        const std::size_t new_text = WholeDuelLog(fx.tw(), chat.text()).size() - before_lines;
        const std::uint64_t before = BytesWritten();
        fx.clock.advance(kGameLogSaveGapMs);
        fx.reactor.pump(0);
        const std::uint64_t written = BytesWritten() - before;
        const std::string file = LogFile();
        EXPECT_EQ(Decode(file), WholeDuelLog(fx.tw(), chat.text())) << second;
        // The first two saves copy the whole log; then the coding of this second's lines and
        // of the second's before, at four bytes a character.
        if (second >= 2) {
            EXPECT_LE(written, 2 * 4 * new_text + 64) << second << ": " << file.size() << " bytes in the log";
        }
    }
    EXPECT_TRUE(fx.tw().log.LoggingOn);
    SaveLogNow(fx.tw());
    EXPECT_EQ(Decode(LogFile()), WholeDuelLog(fx.tw(), chat.text()));
    EXPECT_EQ(std::distance(fs::directory_iterator(logs), fs::directory_iterator()), 1);
    EXPECT_EQ(Failures(), 0u);
}

}  // namespace
}  // namespace tw
