#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cards/frmbrowse.hpp"
#include "cards/game_log.hpp"
#include "cards/settings.hpp"
#include "cards/settings_window.hpp"
#include "duel/forma.hpp"
#include "tests/support/tiny_bmp.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;

constexpr const char* kInvalidName = "Your Username isnt valid, A-Z, a-z, 0-9 please";
constexpr const char* kNiceTry = "Nice Try, get a REAL username";
constexpr const char* kNotASkin = "Please choose a settings.ini file for your skin";

using test::TinyBmp;

struct SettingsWindow : ::testing::Test {
    test::TableFixture f;
    Tablewright& tw = f.tw();

    win::Settings& open() {
        auto& s = tw.settings();
        s.show();
        return s;
    }
    std::vector<std::string> message_texts() const {
        std::vector<std::string> out;
        for (const auto& m : f.host.messages()) out.push_back(m.text);
        return out;
    }
    bool said(const std::string& text) const {
        auto t = message_texts();
        return std::find(t.begin(), t.end(), text) != t.end();
    }
    std::string setting(const char* key) { return ReadSetting(tw, key); }
    std::string program_folder() const { return f.dir.path().string(); }
};

TEST_F(SettingsWindow, LoadShowsTheStoredValues) {
    f.dir.write("settings.ini",
                "[settings]\r\nTIMESTAMP=1\r\nLANG=/logs/\r\nDECKS=/decks/\r\n"
                "WALLPAPER=/p/w.jpg\r\nUSERNAME=FromFile\r\n");
    tw.prefs.UserName = "Joe";
    auto& s = open();
    EXPECT_EQ(s.caption(), "Settings");
    EXPECT_EQ(s.Check2.value(), 1);
    EXPECT_EQ(s.Text5.text(), "/logs/");
    EXPECT_EQ(s.Text3.text(), "/decks/");
    EXPECT_EQ(s.Text1.text(), "Joe");  // the running name, not the file's
    EXPECT_EQ(s.Text2.text(), "/p/w.jpg");
    EXPECT_EQ(s.Label4.caption(), "200");
    EXPECT_EQ(s.HScroll1.value(), 200);
    EXPECT_EQ(s.HScroll1.max(), 254);
}

TEST_F(SettingsWindow, LoadWithoutASettingsFileLeavesTheBoxesEmpty) {
    for (const char* stamp : {"", "0", "yes", "11"}) {
        test::TableFixture g;
        if (*stamp) WriteSetting(g.tw(), "timestamp", stamp);
        auto& s = g.tw().settings();
        EXPECT_EQ(s.Check2.value(), 0) << stamp;
        EXPECT_EQ(s.Text5.text(), "");
        EXPECT_EQ(s.Text2.text(), "");
    }
}

TEST_F(SettingsWindow, SaveStoresEverythingAndHides) {
    auto& s = open();
    s.Text1.user_edit("Joe's Deck #2");
    s.Text5.user_edit("/var/games/logs");  // no final separator
    s.Text3.user_edit("/var/games/decks/");
    s.Text2.user_edit("/nowhere/wall.jpg");  // names no file: stored all the same
    s.Check2.user_click();
    s.Command1.user_click();

    EXPECT_EQ(setting("timestamp"), "1");
    EXPECT_EQ(setting("username"), "Joe's Deck #2");
    EXPECT_EQ(setting("wallpaper"), "/nowhere/wall.jpg");
    EXPECT_EQ(setting("lang"), "/var/games/logs/");
    EXPECT_EQ(setting("decks"), "/var/games/decks/");
    EXPECT_EQ(tw.prefs.UserName, "Joe's Deck #2");
    EXPECT_EQ(tw.log.LogFolder, "/var/games/logs/");
    EXPECT_TRUE(tw.prefs.ShowTimestamps);
    EXPECT_FALSE(s.visible());
    EXPECT_FALSE(said(kInvalidName));
    EXPECT_FALSE(said(kNiceTry));
    EXPECT_EQ(tw.FormA().playsurface.picture(), nullptr);

    // Shown again, the boxes keep what they held.
    s.show();
    s.Check2.user_click();
    s.Command1.user_click();
    EXPECT_EQ(setting("timestamp"), "0");
    EXPECT_FALSE(tw.prefs.ShowTimestamps);
    EXPECT_EQ(setting("username"), "Joe's Deck #2");
}

TEST_F(SettingsWindow, EmptyFolderBoxesLeaveTheLogsInTheProgramFolder) {
    auto& s = open();
    s.Text1.user_edit("Joe");
    s.Command1.user_click();
    EXPECT_EQ(setting("lang"), "");
    EXPECT_EQ(setting("decks"), "");
    EXPECT_EQ(tw.log.LogFolder, "");
    EXPECT_EQ(fs::path(NewLogFileName(tw)).parent_path(), f.dir.path() / "Logs");
    EXPECT_TRUE(f.host.messages().empty());
}

TEST_F(SettingsWindow, ALogFolderThatCannotBeWrittenIsToldOnSave) {
    const fs::path file = f.dir.write("not-a-folder", "x");
    const fs::path writable = f.dir.path() / "mine";
    fs::create_directories(writable);
    struct Case {
        std::string typed;
        bool told;
    };
    for (const Case& c : {Case{(f.dir.path() / "missing").string(), true}, Case{file.string(), true},
                          Case{writable.string(), false}}) {
        SCOPED_TRACE(c.typed);
        auto& s = open();
        s.Text1.user_edit("Joe");
        s.Text5.user_edit(c.typed);
        const std::size_t before = f.host.messages().size();
        s.Command1.user_click();
        // The choice is stored all the same; the logs go where they can be written.
        EXPECT_EQ(setting("lang"), c.typed + "/");
        EXPECT_FALSE(s.visible());
        const fs::path logs = c.told ? f.dir.path() / "Logs" : writable;
        EXPECT_EQ(fs::path(NewLogFileName(tw)).parent_path(), logs);
        ASSERT_EQ(f.host.messages().size(), before + (c.told ? 1 : 0));
        if (c.told)
            EXPECT_EQ(f.host.messages().back().text,
                      "The Log Folder cannot be written to. Game logs will be kept in " + logs.string() +
                          " instead.");
    }
}

TEST_F(SettingsWindow, RefusedNamesKeepTheWindowOpenAndTheStoredName) {
    struct Case {
        std::string typed;
        const char* message;
        std::string box_after;
    };
    const Case cases[] = {
        {"Joe_1", kInvalidName, "Joe_1"},
        {"star*", kInvalidName, "star*"},
        {"caf\xe9", kInvalidName, "caf\xe9"},
        {"", kNiceTry, ""},
        {"   ", kNiceTry, ""},
        {"game", kNiceTry, ""},
        {"GaMe", kNiceTry, ""},
    };
    for (const auto& c : cases) {
        test::TableFixture g;
        Tablewright& t = g.tw();
        WriteSetting(t, "username", "OldName");
        t.prefs.UserName = "OldName";
        auto& s = t.settings();
        s.show();
        s.Text1.user_edit(c.typed);
        s.Text5.user_edit("/new/logs");
        s.Check2.user_click();
        s.Command1.user_click();

        ASSERT_EQ(g.host.messages().size(), 1u) << c.typed;
        EXPECT_EQ(g.host.messages().back().text, c.message) << c.typed;
        EXPECT_EQ(g.host.messages().back().title, "Tablewright " + t.VersionText);
        EXPECT_TRUE(s.visible()) << c.typed;
        EXPECT_EQ(s.Text1.text(), c.box_after) << c.typed;
        EXPECT_EQ(ReadSetting(t, "username"), "OldName") << c.typed;
        EXPECT_EQ(ReadSetting(t, "lang"), "") << c.typed;
        EXPECT_EQ(s.Text5.text(), "/new/logs");
        // The timestamp is stored before the name is looked at.
        EXPECT_EQ(ReadSetting(t, "timestamp"), "1") << c.typed;
        EXPECT_TRUE(t.prefs.ShowTimestamps);
        // Only the "Nice Try" refusal clears the running name.
        EXPECT_EQ(t.prefs.UserName, c.message == kNiceTry ? "" : "OldName") << c.typed;
    }
}

TEST_F(SettingsWindow, GameWithALeadingBlankIsAcceptedAsTyped) {
    auto& s = open();
    s.Text1.user_edit(" game");
    s.Command1.user_click();
    EXPECT_TRUE(f.host.messages().empty());
    EXPECT_EQ(tw.prefs.UserName, " game");
    EXPECT_EQ(setting("username"), "game");  // reads back trimmed
    EXPECT_FALSE(s.visible());
}

TEST_F(SettingsWindow, RestoreDefaultsStoresNothingUntilSave) {
    fs::create_directory(f.dir / "decks");  // the folder's real name differs in case
    fs::create_directory(f.dir / "Logs");
    auto& s = open();
    s.Text1.user_edit("Joe");
    s.Text2.user_edit("/p/w.jpg");
    s.Command5.user_click();
    EXPECT_EQ(s.Text1.text(), "Newbie");
    EXPECT_EQ(s.Text2.text(), "");
    EXPECT_EQ(s.Text5.text(), program_folder() + "/Logs/");
    EXPECT_EQ(s.Text3.text(), program_folder() + "/decks/");
    EXPECT_FALSE(fs::exists(f.dir / "settings.ini"));

    s.Command1.user_click();
    EXPECT_EQ(setting("username"), "Newbie");
    EXPECT_EQ(setting("wallpaper"), "");
    EXPECT_EQ(setting("lang"), program_folder() + "/Logs/");
    EXPECT_EQ(setting("decks"), program_folder() + "/decks/");
    EXPECT_EQ(tw.log.LogFolder, program_folder() + "/Logs/");
}

TEST_F(SettingsWindow, WallpaperChosenAndSavedShowsOnThePlaySurface) {
    const auto pic = f.dir.write("pics/wall.bmp", TinyBmp());
    auto& s = open();
    s.Text1.user_edit("Joe");
    f.host.expect_file(pic.string());
    s.Browse.user_click();
    EXPECT_EQ(s.Text2.text(), pic.string());
    EXPECT_EQ(s.comm1.filter, "JPEG Image Files|*.jpg");
    EXPECT_EQ(s.comm1.init_dir, program_folder());

    // A cancelled choice keeps the box.
    f.host.expect_file(std::nullopt);
    s.Browse.user_click();
    EXPECT_EQ(s.Text2.text(), pic.string());
    EXPECT_EQ(f.host.expectations_left(), 0u);

    s.Command1.user_click();
    const auto& shown = tw.FormA().playsurface.picture();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->width, 1);
    EXPECT_EQ(setting("wallpaper"), pic.string());
}

TEST_F(SettingsWindow, CancelBeforeAnyChoiceKeepsTheStoredWallpaper) {
    WriteSetting(tw, "wallpaper", "/p/old.jpg");
    auto& s = open();
    f.host.expect_file(std::nullopt);
    s.Browse.user_click();
    EXPECT_EQ(s.Text2.text(), "/p/old.jpg");
}

TEST_F(SettingsWindow, AWallpaperThatIsNoPictureKeepsThePlaySurfaceAndSaveGoesOn) {
    const auto good = f.dir.write("good.bmp", TinyBmp());
    const auto bad = f.dir.write("bad.jpg", "this is no picture");
    tw.FormA().playsurface.load_picture(good);
    const auto before = tw.FormA().playsurface.picture();

    auto& s = open();
    s.Text1.user_edit("Joe");
    s.Text2.user_edit(bad.string());
    s.Text5.user_edit("/l");
    s.Command1.user_click();
    EXPECT_EQ(tw.FormA().playsurface.picture(), before);
    EXPECT_EQ(setting("wallpaper"), bad.string());
    EXPECT_EQ(setting("lang"), "/l/");
    EXPECT_FALSE(s.visible());

    // A path that names no file leaves it too.
    s.show();
    s.Text2.user_edit((f.dir / "gone.bmp").string());
    s.Command1.user_click();
    EXPECT_EQ(tw.FormA().playsurface.picture(), before);
}

TEST_F(SettingsWindow, SkinDialogTakesOnlyASettingsFileAndAppliesIt) {
    WriteSetting(tw, "username", "Joe");
    auto& duel = tw.FormA();
    duel.hand.set_back_color(255);
    const auto preset = f.dir.write("Skins/Default/settings.ini", "[skin]\r\n");
    const std::string blue = f.dir.write("Skins/Blue/Settings.INI", "[settings]\r\n").string();
    auto& s = open();

    f.host.expect_file(blue);
    s.Command3.user_click();
    EXPECT_EQ(s.Text4.text(), blue);
    EXPECT_EQ(s.comm1.filter, "settings.ini (settings.ini)");
    EXPECT_EQ(duel.hand.back_color(), 16777215u);  // the duel window wears it at once
    EXPECT_TRUE(f.host.messages().empty());

    duel.hand.set_back_color(255);
    f.host.expect_file("/home/me/skins/blue/colors.ini");
    s.Command3.user_click();
    EXPECT_EQ(s.Text4.text(), blue);
    ASSERT_EQ(f.host.messages().size(), 1u);
    EXPECT_EQ(f.host.messages()[0].text, kNotASkin);

    // Cancel: the dialog was preset to the default skin, but nothing is taken or said.
    f.host.expect_file(std::nullopt);
    s.Command3.user_click();
    EXPECT_EQ(s.comm1.file_name, preset.string());
    EXPECT_EQ(s.Text4.text(), blue);
    EXPECT_EQ(f.host.messages().size(), 1u);
    EXPECT_EQ(duel.hand.back_color(), 255u);
    EXPECT_EQ(setting("skin"), "");  // the skin is not a setting
}

TEST_F(SettingsWindow, TransparencyBarNeverStaysBelowForty) {
    auto& s = open();
    struct Case {
        int moved_to;
        int value;
        const char* shown;
    };
    const Case cases[] = {{100, 100, "100"}, {39, 40, "40"}, {0, 40, "40"},
                          {40, 40, "40"},    {41, 41, "41"}, {254, 254, "254"},
                          {999, 254, "254"}};
    for (const auto& c : cases) {
        s.HScroll1.user_scroll(c.moved_to);
        EXPECT_EQ(s.HScroll1.value(), c.value) << c.moved_to;
        EXPECT_EQ(s.Label4.caption(), c.shown) << c.moved_to;
    }
    EXPECT_FALSE(fs::exists(f.dir / "settings.ini"));
}

struct FolderPicker : SettingsWindow {};

TEST_F(FolderPicker, OkPutsTheChosenFolderInTheBoxThatOpenedIt) {
    fs::create_directories(f.dir / "Logs" / "old");
    fs::create_directories(f.dir / "Logs" / "new");
    auto& s = open();
    s.Text5.user_edit((f.dir / "Logs" / "old").string() + "/");
    s.Text3.user_edit("/untouched/");
    s.Command4.user_click();

    auto* picker = tw.frmBrowse.peek();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->caption(), "Select a Folder");
    EXPECT_TRUE(picker->visible());
    EXPECT_EQ(picker->owner(), &s);
    EXPECT_EQ(picker->whichFolder, "logs");
    // A stored folder ends in a separator: the picker shows that folder, and the folder above
    // it is its parent, so ".." goes up at the first press.
    EXPECT_EQ(picker->Dir1.path(), fs::path(f.dir / "Logs" / "old"));
    EXPECT_EQ(picker->Dir1.path().parent_path(), fs::path(f.dir / "Logs"));
    EXPECT_EQ(picker->lblFolder.caption(), (f.dir / "Logs" / "old").string());
    picker->Dir1.user_open(picker->Dir1.path().parent_path());
    EXPECT_EQ(picker->lblFolder.caption(), (f.dir / "Logs").string());

    picker->Dir1.user_open(f.dir / "Logs" / "new");
    picker->Command1.user_click();
    EXPECT_FALSE(picker->visible());
    EXPECT_EQ(s.Text5.text(), (f.dir / "Logs" / "new").string());  // no final separator
    EXPECT_EQ(s.Text3.text(), "/untouched/");

    s.Text1.user_edit("Joe");
    s.Command1.user_click();
    EXPECT_EQ(setting("lang"), (f.dir / "Logs" / "new").string() + "/");
}

TEST_F(FolderPicker, CancelChangesNothing) {
    fs::create_directories(f.dir / "Decks" / "a");
    auto& s = open();
    s.Text3.user_edit((f.dir / "Decks").string());
    s.Command2.user_click();
    auto& picker = tw.frmBrowse();
    EXPECT_EQ(picker.whichFolder, "decks");
    picker.Dir1.user_open(f.dir / "Decks" / "a");
    picker.Command2.user_click();
    EXPECT_FALSE(picker.visible());
    EXPECT_EQ(s.Text3.text(), (f.dir / "Decks").string());
}

TEST_F(FolderPicker, AMissingFolderIsSkippedAndThePickerStillOpens) {
    fs::create_directories(f.dir / "Decks");
    auto& s = open();
    s.Text3.user_edit((f.dir / "Decks").string());
    s.Command2.user_click();
    auto& picker = tw.frmBrowse();
    picker.Command2.user_click();

    s.Text3.user_edit((f.dir / "no such folder").string());
    EXPECT_NO_THROW(s.Command2.user_click());
    EXPECT_TRUE(picker.visible());
    EXPECT_EQ(picker.Dir1.path(), fs::path((f.dir / "Decks").string()));  // where it was
    picker.Command1.user_click();
    EXPECT_EQ(s.Text3.text(), (f.dir / "Decks").string());

    // Directly, the error reaches the caller.
    s.Text5.user_edit("");
    picker.whichFolder = "logs";
    EXPECT_THROW(picker.loadPath(), rt::RuntimeError);
}

TEST_F(FolderPicker, OtherFolderNamesLeaveTheBoxesAlone) {
    auto& s = open();
    s.Text5.user_edit("/l/");
    s.Text3.user_edit("/d/");
    auto& picker = tw.frmBrowse();
    picker.whichFolder = "skins";
    EXPECT_NO_THROW(picker.loadPath());
    picker.show(&s);
    picker.Command1.user_click();
    EXPECT_EQ(s.Text5.text(), "/l/");
    EXPECT_EQ(s.Text3.text(), "/d/");
    EXPECT_FALSE(picker.visible());
}

TEST_F(FolderPicker, TheRootKeepsItsSeparator) {
    auto& s = open();
    auto& picker = tw.frmBrowse();
    picker.whichFolder = "logs";
    picker.show(&s);
    picker.Dir1.user_open(f.dir.path());
    picker.Drive1.set_drive("/");  // unchanged: no move
    picker.Dir1.user_open("/");
    picker.Command1.user_click();
    EXPECT_EQ(s.Text5.text(), "/");
}

}  // namespace
}  // namespace tw
