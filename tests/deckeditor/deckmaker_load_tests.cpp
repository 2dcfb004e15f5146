// The deck editor's load: the end of the start-up road, the first run, the settings it settles.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cards/loadset.hpp"
#include "cards/settings.hpp"
#include "deckeditor/deckmaker.hpp"
#include "duel/forma.hpp"
#include "net/site.hpp"
#include "platform/files.hpp"
#include "tests/deckeditor/editor_fixture.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;
using test::EditorTest;

constexpr const char* kFirstRunText =
    "This seems to be your first time. Im going to open up a webpage that may help you. Please "
    "read everything!";
constexpr const char* kUserNameText = "Make sure you goto Menu|Settings to set your username";

TEST_F(EditorTest, TheStartUpRoadEndsInTheDeckEditorWithTheDuelWindowHidden) {
    returning_player();
    start();
    auto& dm = editor();

    EXPECT_FALSE(tw().LoadSet.loaded());
    ASSERT_TRUE(tw().FormA.loaded());
    EXPECT_FALSE(tw().FormA.peek()->visible());
    EXPECT_TRUE(dm.visible());
    EXPECT_FALSE(app.ended());
    EXPECT_TRUE(host.messages().empty());

    EXPECT_EQ(dm.caption(), "Deck Shop");
    EXPECT_EQ(dm.Label4.caption(), "Tablewright Version 9.1");
    // Blank and repeated codes are left out; letter case tells codes apart.
    EXPECT_EQ(dm.Combo1.items(), (std::vector<std::string>{"All", "SA", "SB", "sb"}));
    EXPECT_EQ(dm.Combo1.list_index(), 0);
    EXPECT_EQ(tw().cards.SetCodes, (std::vector<std::string>{"", "SA", "SB", "sb"}));
    EXPECT_FALSE(tw().duel.AttentionShown);
    EXPECT_EQ(dm.List1.items(), std::vector<std::string>{"-SIDE DECK-"});

    EXPECT_EQ(dm.Grid.cols(), 3);
    EXPECT_EQ(dm.Grid.col_width(0), 75);
    EXPECT_EQ(dm.Grid.col_width(1), 720);  // a five-letter set code fits
    EXPECT_EQ(dm.Grid.col_width(2), 1950);
    EXPECT_EQ(dm.Grid.text_matrix(0, 1), "Set");
    EXPECT_EQ(dm.Grid.text_matrix(0, 2), "Card Name (" + std::to_string(dm.Grid.rows() - 1) + ")");

    EXPECT_EQ(dm.Combo3.items(), (std::vector<std::string>{"No List", "Advanced", "Traditional"}));
    EXPECT_EQ(dm.Combo3.text(), "Advanced");
    EXPECT_TRUE(dm.Command5.enabled());
    EXPECT_FALSE(dm.Frame1.visible());
}

TEST_F(EditorTest, TheFilterListsAreFilledWithTheirStartChoices) {
    returning_player();
    start();
    auto& dm = editor();
    const struct {
        platform::ComboBox& box;
        std::size_t count;
        int selected;
    } lists[] = {{dm.Attrib, 7, 0},  {dm.Combo2, 3, 0},  {dm.SpellType, 7, 0}, {dm.TrapType, 4, 0},
                 {dm.TypeIcon, 11, 0}, {dm.Combo4, 3, 0}, {dm.Combo5, 3, 0},  {dm.typebox, 22, -1}};
    for (const auto& l : lists) {
        SCOPED_TRACE(l.box.name());
        EXPECT_EQ(l.box.items().size(), l.count);
        EXPECT_EQ(l.box.list_index(), l.selected);
    }
    EXPECT_EQ(dm.Attrib.list(6), "Wind");
    EXPECT_EQ(dm.TypeIcon.list(10), "Union");
    EXPECT_EQ(dm.typebox.list(21), "Zombie");
    EXPECT_EQ(dm.Combo5.items(), (std::vector<std::string>{"<=", ">=", "="}));
    for (auto* check : {&dm.MonsterCheck, &dm.SpellCheck, &dm.TrapCheck}) EXPECT_EQ(check->value(), 1);
    EXPECT_EQ(dm.hidecopies.value(), 0);
}

TEST_F(EditorTest, TheCountLabelsTakeTheLcdFont) {
    returning_player();
    start();
    auto& dm = editor();
    for (platform::Label* l : {&dm.Monsters, &dm.Spells, &dm.Traps, &dm.Label1, &dm.Label6, &dm.Label5,
                               &dm.Label8, &dm.Label16, &dm.Label28, &dm.Label29, &dm.Label30,
                               &dm.Label31, &dm.Label15, &dm.Label23, &dm.Label24, &dm.Label26,
                               &dm.Label25, &dm.Label27}) {
        SCOPED_TRACE(l->name());
        EXPECT_EQ(l->font_name(), "LCD");
    }
    EXPECT_EQ(dm.Label30.caption(), "Side Deck:");
    EXPECT_EQ(dm.Monsters.caption(), "000");
    EXPECT_NE(dm.Label4.font_name(), "LCD");
}

TEST(EditorTitle, NamesTheVersionAndOnlyExactlyMinusOcgAddsTheMode) {
    const struct {
        const char* command;
        const char* title;
    } cases[] = {{"", "Tablewright Version 9.1"},
                 {"-ocg", "Tablewright Version 9.1 [OCG Mode]"},
                 {"-OCG", "Tablewright Version 9.1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        test::Editor t;
        t.app.command = c.command;
        t.dir.write("ocg_zqm.set", test::kSampleSet);
        t.returning_player();
        t.start();
        EXPECT_EQ(t.editor().Label4.caption(), c.title);
    }
}

TEST_F(EditorTest, TheFirstRunWelcomesThePlayerAndMakesTheFolders) {
    start();

    // The duel window's own word about the user name comes first.
    ASSERT_EQ(message_texts(), (std::vector<std::string>{kUserNameText, kFirstRunText}));
    const auto& welcome = host.messages()[1];
    EXPECT_EQ(welcome.title, "Tablewright Version 9.1");
    EXPECT_EQ(welcome.icon, platform::MsgIcon::Information);
    EXPECT_TRUE(host.visible_at_box[1].empty()) << "a window was on screen";
    EXPECT_EQ(host.urls(), std::vector<std::string>{std::string(test::kTestSite) + "/index.php?goto=zqm"});

    EXPECT_EQ(setting(setting_key::firsttime), "no");
    EXPECT_EQ(setting(setting_key::username), "Newbie");
    EXPECT_EQ(setting(setting_key::jabber), kDefaultJabberServer);
    const std::string logs = setting(setting_key::lang);
    const std::string decks = setting(setting_key::decks);
    EXPECT_EQ(logs, DefaultLogFolder(tw()));
    EXPECT_EQ(decks, DefaultDeckFolder(tw()));
    EXPECT_EQ(logs.back(), '/');
    EXPECT_EQ(decks.back(), '/');
    EXPECT_EQ(fs::path(logs).parent_path(), dir.path() / "Logs");
    EXPECT_TRUE(fs::is_directory(dir.path() / "Logs"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "Decks"));

    // Empty folders are used: they exist.
    EXPECT_EQ(tw().log.LogFolder, logs);
    EXPECT_EQ(fs::path(editor().File1.path()), fs::path(decks));
    EXPECT_TRUE(editor().visible());
}

TEST_F(EditorTest, LaterRunsSkipTheFirstRunWhateverTheMarkerSays) {
    for (const char* marker : {"no", "yes", "0"}) {
        SCOPED_TRACE(marker);
        test::Editor t;
        t.store(setting_key::firsttime, marker);
        t.store(setting_key::username, "Ria");
        t.start();
        EXPECT_TRUE(t.host.messages().empty());
        EXPECT_TRUE(t.host.urls().empty());
        EXPECT_EQ(t.setting(setting_key::firsttime), marker);
        EXPECT_EQ(t.setting(setting_key::lang), "");
        EXPECT_FALSE(fs::exists(t.dir.path() / "Logs"));
        EXPECT_FALSE(fs::exists(t.dir.path() / "Decks"));
    }
}

TEST_F(EditorTest, TheExistingLogsFolderIsKeptAndTheDecksFolderFillsTheFileList) {
    returning_player();
    dir.write("mydecks/burn.dek", "1 SA Alpha\r\n");
    dir.write("mydecks/notes.txt", "x");
    fs::create_directories(dir.path() / "mylogs");
    const std::string logs = (dir.path() / "mylogs").string() + "/";
    store(setting_key::lang, logs);
    store(setting_key::decks, (dir.path() / "MyDecks").string() + "/");  // found without regard to case
    start();
    EXPECT_EQ(tw().log.LogFolder, logs);
    EXPECT_EQ(editor().File1.items(), std::vector<std::string>{"burn.dek"});
}

TEST_F(EditorTest, MissingStoredFoldersAreNotApplied) {
    returning_player();
    store(setting_key::decks, (dir.path() / "gone").string() + "/");
    start();
    EXPECT_TRUE(editor().File1.items().empty());
    EXPECT_EQ(editor().File1.path().string().find("gone"), std::string::npos);
    EXPECT_TRUE(editor().visible());
}

TEST_F(EditorTest, AFirstRunThatCannotMakeTheLogsFolderLeavesTheLogFolderAsTheDuelWindowSetIt) {
    dir.write("Logs", "a file in the way");
    start();
    EXPECT_EQ(setting(setting_key::lang), DefaultLogFolder(tw()));
    EXPECT_EQ(tw().log.LogFolder, "");
    EXPECT_TRUE(fs::is_directory(dir.path() / "Decks"));
    EXPECT_EQ(setting(setting_key::firsttime), "no");
}

TEST_F(EditorTest, AReservedOrEmptyUserNameBecomesNewbieAndIsStored) {
    const struct {
        const char* stored;
        const char* name;
        const char* stored_after;
        bool told;
    } cases[] = {
        {"", "Newbie", "Newbie", true},         {"game", "Newbie", "Newbie", true},
        {"  GaMe  ", "Newbie", "Newbie", true}, {"***", "Newbie", "Newbie", true},
        {"Ri*a", "Ria", "Ri*a", false},         {"gamer", "gamer", "gamer", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        test::Editor t;
        t.store(setting_key::firsttime, "no");
        t.store(setting_key::username, c.stored);
        t.start();
        EXPECT_EQ(t.tw().prefs.UserName, c.name);
        EXPECT_EQ(t.setting(setting_key::username), c.stored_after);
        EXPECT_EQ(t.message_texts() == std::vector<std::string>{kUserNameText}, c.told);
    }
}

TEST_F(EditorTest, AnUnsetChatServerGetsTheDefaultAndASetOneIsKept) {
    returning_player();
    start();
    EXPECT_EQ(tw().prefs.JabberServer, kDefaultJabberServer);
    EXPECT_EQ(setting(setting_key::jabber), kDefaultJabberServer);

    test::Editor t;
    t.returning_player();
    t.store(setting_key::jabber, "chat.example.org");
    t.start();
    EXPECT_EQ(t.tw().prefs.JabberServer, "chat.example.org");
    EXPECT_EQ(t.setting(setting_key::jabber), "chat.example.org");
}

TEST_F(EditorTest, TheLcdFontIsRegisteredThroughTheDesktop) {
    returning_player();
    dir.write("LCD-BOLD.TTF", "font bytes");
    start();
    ASSERT_EQ(host.fonts().size(), 1u);
    EXPECT_EQ(fs::path(host.fonts()[0]), dir.path() / "LCD-BOLD.TTF");
    for (const auto& entry : fs::directory_iterator(dir.path()))
        EXPECT_NE(entry.path().extension(), ".fot");
}

TEST_F(EditorTest, AMissingOrRefusedFontDoesNotStopTheLoad) {
    for (bool present : {false, true}) {
        SCOPED_TRACE(present);
        test::Editor t;
        t.returning_player();
        if (present) t.dir.write("LCD-BOLD.TTF", "not a font");
        t.host.set_register_font_result(false);
        t.start();
        EXPECT_EQ(t.host.fonts().size(), present ? 1u : 0u);
        EXPECT_TRUE(t.editor().Command5.enabled());
        EXPECT_TRUE(t.host.messages().empty());
    }
}

TEST_F(EditorTest, TheLastDeckPathIsReadFromTheSettings) {
    returning_player();
    const std::string deck = (dir.path() / "decks" / "burn.dek").string();
    store(setting_key::lastdeck, deck);
    start();
    EXPECT_EQ(tw().editor.LastDeckPath, deck);
    EXPECT_EQ(setting(setting_key::lastdeck), deck);
}

}  // namespace
}  // namespace tw
