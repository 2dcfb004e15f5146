// Start-up from Main through the set-loading window to the deck editor, headless.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cards/card_lookup.hpp"
#include "cards/loadset.hpp"
#include "cards/main.hpp"
#include "deckeditor/deckmaker.hpp"
#include "duel/forma.hpp"
#include "platform/control.hpp"
#include "platform/controls.hpp"
#include "platform/files.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;

const fs::path kFixtures = fs::path(TW_SOURCE_DIR) / "tests" / "cards" / "fixtures";

std::string read_fixture(const char* name) {
    return test::TempDir::read(kFixtures / name);
}

// What the set-loading window showed, in order.
struct ProgressRecorder : platform::ControlObserver {
    std::vector<std::string> labels;
    std::vector<double> bar;
    void changed(platform::Control& c, platform::Prop p) override {
        if (c.parent() == nullptr || c.parent()->name() != "LoadSet") return;
        if (auto* l = dynamic_cast<platform::Label*>(&c); l && c.name() == "Label2" &&
                                                        p == platform::Prop::Caption)
            labels.push_back(l->caption());
        if (auto* b = dynamic_cast<platform::ProgressBar*>(&c); b && p == platform::Prop::Value)
            bar.push_back(b->value());
    }
};

struct StartUp : ::testing::Test {
    ProgressRecorder seen;  // outlives the forms that report to it
    test::TableFixture f;
    StartUp() { f.app.observer = &seen; }
    Tablewright& tw() { return f.tw(); }
};

TEST_F(StartUp, MainLoadsTheSetAndHandsOverToTheDeckEditor) {
    f.dir.write("zqm.set", read_fixture("startup.set"));
    // Runs when the load first lets pending events through.
    std::string label_when_events_ran;
    f.reactor.post([&] {
        if (auto* w = tw().LoadSet.peek()) label_when_events_ran = w->Label2.caption();
    });

    Main(tw());

    EXPECT_EQ(seen.labels, (std::vector<std::string>{"12%", "25%", "38%", "50%", "62%", "75%",
                                                     "88%", "100%"}));
    EXPECT_EQ(seen.bar, (std::vector<double>{12, 25, 38, 50, 62, 75, 88, 100}));
    EXPECT_EQ(label_when_events_ran, "12%");

    ASSERT_EQ(tw().cards.CardDatabase.size(), 10u);
    EXPECT_EQ(tw().cards.CardDatabase[2].Name, "Salt & Ash Wyrm");
    EXPECT_TRUE(tw().cards.CardDatabase[2].Fusion);
    EXPECT_EQ(tw().cards.CardDatabase[4], Card{});  // the empty record
    EXPECT_EQ(tw().cards.CardDatabase[5], Card{});  // three fields
    EXPECT_EQ(tw().cards.CardDatabase.back(), Card{});
    EXPECT_EQ(tw().cards.SetCodes, (std::vector<std::string>{"", "SET-001", "SET-014", "SET-002",
                                                       "SET-003", "set-003"}));

    EXPECT_FALSE(tw().LoadSet.loaded());
    ASSERT_TRUE(tw().FormA.loaded());
    EXPECT_FALSE(tw().FormA.peek()->visible());
    ASSERT_TRUE(tw().DeckMaker.loaded());
    EXPECT_TRUE(tw().DeckMaker.peek()->visible());
    EXPECT_FALSE(tw().duel.AttentionShown);
    EXPECT_FALSE(f.app.ended());

    // The load leaves an index that answers as the scan does.
    EXPECT_EQ(LookupCard(tw(), "set-014", "salt & ash wyrm"), tw().cards.CardDatabase[2]);
}

TEST_F(StartUp, RemovesWhatCrashedSavesLeftButNotASaveInProgress) {
    f.dir.write("zqm.set", read_fixture("startup.set"));
    const fs::path own_decks = f.dir.path() / "my decks";
    fs::create_directories(own_decks);
    f.dir.write("settings.ini", "[settings]\r\nDECKS=" + own_decks.string() + "/\r\nFIRSTTIME=no\r\n");
    struct Case {
        const char* file;
        bool stale;
    };
    const Case cases[] = {
        {".settings.ini.tmp-a1B2c3", true},
        {".errormessage.txt.tmp-Zz9Yy8", true},
        {"Logs/.5-3_14_2_Rook.qlra.tmp-q1w2e3", true},
        {"Decks/.burn.dek.tmp-abcdef", true},
        {"my decks/.x.dek.tmp-123456", true},
        // Not the writer's names, or not in the folders it writes.
        {"Logs/5-3_14_2_Rook.qlra", false},
        {".settings.ini.tmp-12345", false},
        {"notes.tmp-abcdef", false},
        {".tmp-abcdef", false},
        {"Logs/old/.a.qlra.tmp-abcdef", false},
        {"elsewhere/.a.dek.tmp-abcdef", false},
    };
    for (const Case& c : cases) f.dir.write(c.file, "left behind");
    // A save still running in another copy of the program holds its temporary file locked.
    const fs::path live = f.dir.write("Logs/.5-3_14_3_Rook.qlra.tmp-L1ve00", "being written");
    const int live_fd = ::open(live.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(live_fd, 0);
    ASSERT_EQ(::flock(live_fd, LOCK_EX), 0);

    Main(tw());
    ::close(live_fd);

    for (const Case& c : cases) EXPECT_EQ(fs::exists(f.dir / c.file), !c.stale) << c.file;
    EXPECT_TRUE(fs::exists(live));
    ASSERT_TRUE(tw().DeckMaker.loaded());
}

TEST(StartUpWindow, ShowsItselfWithItsCaptionsWhileLoading) {
    struct Shown {
        bool visible = false;
        std::string caption, label1, label2;
    };
    // Looks at the set-loading window when the deck editor starts loading.
    struct Spy : platform::ControlObserver {
        Tablewright* tw = nullptr;
        std::optional<Shown> shown;
        void created(platform::Control& c) override {
            if (c.name() != "DeckMaker" || shown) return;
            if (auto* w = tw->LoadSet.peek())
                shown = Shown{w->visible(), w->caption(), w->Label1.caption(),
                              w->Label2.caption()};
        }
        void changed(platform::Control&, platform::Prop) override {}
    } spy;  // outlives the forms that report to it
    test::TableFixture f;
    // A file without separator never moves the progress.
    f.dir.write("zqm.set", "x|Only|1|S|Golem|STONE|1||1|1|t");
    spy.tw = &f.tw();
    f.app.observer = &spy;
    Main(f.tw());

    ASSERT_TRUE(spy.shown);
    EXPECT_TRUE(spy.shown->visible);
    EXPECT_EQ(spy.shown->caption, "Loading Set File");
    EXPECT_EQ(spy.shown->label1, "Loading");
    EXPECT_EQ(spy.shown->label2, "0%");
    EXPECT_EQ(f.tw().cards.CardDatabase.size(), 1u);
}

TEST_F(StartUp, AMissingSetFileEndsTheProgramBeforeAnyOtherWindow) {
    EXPECT_THROW(Main(tw()), platform::ProgramEnd);

    EXPECT_TRUE(f.app.ended());
    ASSERT_EQ(f.host.messages().size(), 1u);
    EXPECT_EQ(f.host.messages()[0].text, "I cannot find the Main Card List. Program Closing.");
    ASSERT_EQ(f.app.forms().size(), 1u);
    EXPECT_EQ(f.app.forms()[0]->name(), "LoadSet");
    EXPECT_FALSE(tw().FormA.loaded());
    EXPECT_FALSE(tw().DeckMaker.loaded());
    EXPECT_FALSE(tw().hax.loaded());
    EXPECT_TRUE(tw().cards.CardDatabase.empty());
}

TEST(StartUpUnreadableSetFile, EndsTheProgramWithTheMissingFilesMessage) {
    const struct {
        const char* what;
        std::function<void(const fs::path&)> make;
    } cases[] = {
        {"over the size limit",
         [](const fs::path& p) {
             std::ofstream{p};
             fs::resize_file(p, platform::kMaxReadBytes + 1);  // sparse: costs no disk
         }},
        {"a FIFO", [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"a folder", [](const fs::path& p) { fs::create_directory(p); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TableFixture f;
        c.make(f.dir / "zqm.set");
        EXPECT_THROW(Main(f.tw()), platform::ProgramEnd);
        EXPECT_TRUE(f.app.ended());
        ASSERT_EQ(f.host.messages().size(), 1u);
        EXPECT_EQ(f.host.messages()[0].text, "I cannot find the Main Card List. Program Closing.");
        EXPECT_FALSE(f.tw().DeckMaker.loaded());
    }
}

TEST_F(StartUp, AnEmptySetFileGivesAnEmptyDatabaseAndTheDeckEditor) {
    f.dir.write("zqm.set", "");
    Main(tw());
    EXPECT_TRUE(tw().cards.CardDatabase.empty());
    EXPECT_EQ(tw().cards.SetCodes, std::vector<std::string>{""});
    EXPECT_TRUE(seen.labels.empty());
    ASSERT_TRUE(tw().DeckMaker.loaded());
    EXPECT_TRUE(tw().DeckMaker.peek()->visible());
    EXPECT_FALSE(tw().LoadSet.loaded());
}

TEST(StartUpCommandLine, OnlyExactlyMinusOcgReadsTheAlternativeList) {
    const struct {
        const char* command;
        const char* first_card;
    } cases[] = {{"", "Plain"}, {"-ocg", "Alternative"}, {"-OCG", "Plain"},
                 {"-ocg extra", "Plain"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        test::TableFixture f;
        f.app.command = c.command;
        f.dir.write("zqm.set", "x|Plain|1|S|Golem|STONE|1||1|1|t");
        f.dir.write("ocg_zqm.set", "x|Alternative|1|S|Golem|STONE|1||1|1|t");
        Main(f.tw());
        ASSERT_EQ(f.tw().cards.CardDatabase.size(), 1u);
        EXPECT_EQ(f.tw().cards.CardDatabase[0].Name, c.first_card);
    }
}

TEST(StartUpCommandLine, TheSetFileNameIsFoundWithoutRegardToCase) {
    test::TableFixture f;
    f.dir.write("ZQM.SET", "x|Upper|1|S|Golem|STONE|1||1|1|t");
    Main(f.tw());
    ASSERT_EQ(f.tw().cards.CardDatabase.size(), 1u);
    EXPECT_EQ(f.tw().cards.CardDatabase[0].Name, "Upper");
}

}  // namespace
}  // namespace tw
