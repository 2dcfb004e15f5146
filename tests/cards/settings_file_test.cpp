#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cards/settings.hpp"
#include "cards/settings_window.hpp"
#include "program/tablewright.hpp"
#include "platform/files.hpp"
#include "tests/support/table_fixture.hpp"
#include "tests/support/temp_dir.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;

TEST(ProfileFile, ReadsKeysOfAnySectionWithoutRegardToCase) {
    test::TempDir dir;
    const auto file = dir.write("p.ini",
                                "[Settings]\r\n"
                                "USERNAME=Joe\r\n"
                                "wallpaper=   /pics/a b.jpg   \r\n"
                                "empty=\r\n"
                                "[chatwindow]\r\n"
                                "title=Chat\r\n"
                                "username=Other\r\n");
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    const Case cases[] = {
        {"settings", "username", "Joe"},
        {"SETTINGS", "USERNAME", "Joe"},
        {"settings", "UserName", "Joe"},
        {"settings", "wallpaper", "/pics/a b.jpg"},  // blanks around trimmed, inside kept
        {"settings", "empty", ""},
        {"settings", "title", ""},  // belongs to another section
        {"chatwindow", "username", "Other"},
        {"chatwindow", "title", "Chat"},
        {"settings", "missing", ""},
        {"nosuch", "username", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadIniValue(c.section, c.key, file), c.expected) << c.section << "/" << c.key;
}

TEST(ProfileFile, MissingOrUnreadableFileReadsEmpty) {
    test::TempDir dir;
    EXPECT_EQ(ReadIniValue("settings", "username", dir / "nothing.ini"), "");
    EXPECT_EQ(ReadIniValue("settings", "username", dir.path()), "");  // a folder
    EXPECT_EQ(ReadIniValue("settings", "username", ""), "");
}

TEST(ProfileFile, WriteCreatesFileAndSectionWithUpperCaseKeyAndReplacesInPlace) {
    test::TempDir dir;
    const auto file = dir / "p.ini";
    WriteIniValue("settings", "username", "Joe", file);
    WriteIniValue("settings", "lastdeck", "/d/x.dek", file);
    WriteIniValue("settings", "UserName", "Ann", file);
    EXPECT_EQ(test::TempDir::read(file),
              "[settings]\r\n"
              "USERNAME=Ann\r\n"
              "LASTDECK=/d/x.dek\r\n");
    EXPECT_EQ(ReadIniValue("settings", "username", file), "Ann");
}

TEST(ProfileFile, WriteKeepsOtherSectionsAndLinesByteForByte) {
    test::TempDir dir;
    const std::string before =
        "; a note\n"
        "[other]\n"
        "Key = spaced value\n"
        "[settings]\n"
        "timestamp=0\n";
    const auto file = dir.write("p.ini", before);
    WriteIniValue("settings", "timestamp", "1", file);
    EXPECT_EQ(test::TempDir::read(file),
              "; a note\n"
              "[other]\n"
              "Key = spaced value\n"
              "[settings]\n"
              "TIMESTAMP=1\n");
}

TEST(ProfileFile, LineBreaksInAValueCannotAddLinesToTheFile) {
    test::TempDir dir;
    const auto file = dir / "p.ini";
    WriteIniValue("settings", "username", "Joe", file);
    WriteIniValue("settings", "slot1", "one\r\ntwo\nthree\r[evil]\r\nUSERNAME=Mallory", file);
    EXPECT_EQ(ReadIniValue("settings", "username", file), "Joe");
    EXPECT_EQ(ReadIniValue("evil", "username", file), "");
    EXPECT_EQ(ReadIniValue("settings", "slot1", file), "one two three [evil] USERNAME=Mallory");
}

TEST(ProfileFile, ReadsAtMost749Characters) {
    test::TempDir dir;
    const auto file = dir / "p.ini";
    std::string long_value;
    for (int i = 0; i < 800; ++i) long_value += static_cast<char>('a' + i % 26);
    WriteIniValue("settings", "slot1", long_value, file);
    EXPECT_EQ(ReadIniValue("settings", "slot1", file), long_value.substr(0, 749));
    WriteIniValue("settings", "slot2", long_value.substr(0, 749), file);
    EXPECT_EQ(ReadIniValue("settings", "slot2", file), long_value.substr(0, 749));
}

TEST(ProfileFile, FailedWriteIsSilentAndLeavesNothing) {
    test::TempDir dir;
    EXPECT_NO_THROW(WriteIniValue("settings", "username", "Joe", dir / "no" / "such" / "p.ini"));
    EXPECT_FALSE(fs::exists(dir / "no"));
    // Keys the file layout cannot hold are refused rather than written broken.
    const auto file = dir / "p.ini";
    WriteIniValue("settings", "a=b", "x", file);
    WriteIniValue("settings", "", "x", file);
    EXPECT_FALSE(fs::exists(file));
}

TEST(SettingsFile, LivesBesideTheProgramAndIsCreatedOwnerOnly) {
    test::TableFixture f;
    WriteSetting(f.tw(), "jpass", "secret");
    const auto file = f.dir / "settings.ini";
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(test::TempDir::read(file), "[settings]\r\nJPASS=secret\r\n");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadSetting(f.tw(), "JPass"), "secret");
    EXPECT_EQ(ReadSetting(f.tw(), "juser"), "");
}

// A settings file that others could read (made by hand, copied, restored) is private after any write.
TEST(SettingsFile, AWriteOverAnOpenFileLeavesItOwnerOnly) {
    test::TableFixture f;
    const auto file = f.dir.write("settings.ini", "[settings]\r\nUSERNAME=Rook\r\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    WriteSetting(f.tw(), "jpass", "secret");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(test::TempDir::read(file), "[settings]\r\nUSERNAME=Rook\r\nJPASS=secret\r\n");
}

TEST(SettingsFile, AnExistingFileIsFoundWithoutRegardToTheCaseOfItsName) {
    test::TableFixture f;
    f.dir.write("Settings.INI", "[SETTINGS]\r\nusername=Joe\r\n");
    EXPECT_EQ(ReadSetting(f.tw(), "username"), "Joe");
    WriteSetting(f.tw(), "decks", "/d/");
    EXPECT_FALSE(fs::exists(f.dir / "settings.ini"));
    EXPECT_EQ(test::TempDir::read(f.dir / "Settings.INI"),
              "[SETTINGS]\r\nusername=Joe\r\nDECKS=/d/\r\n");
}

int g_renames = 0;
bool CountRename(const fs::path&, const fs::path&) {
    ++g_renames;
    return true;
}

// A large settings file once cost seconds at every start: each key read it whole, each key
// written read and rewrote it.
TEST(SettingsFile, IsReadOnceKeptAndWrittenOncePerSave) {
    test::TableFixture f;
    f.dir.write("settings.ini", "[settings]\r\nUSERNAME=Rook\r\n");
    EXPECT_EQ(ReadSetting(f.tw(), "username"), "Rook");

    g_renames = 0;
    platform::before_rename_hook = CountRename;
    auto& s = f.tw().settings();
    s.show();
    s.Text1.user_edit("Joe");
    s.Command1.user_click();
    platform::before_rename_hook = nullptr;
    EXPECT_EQ(g_renames, 1);
    EXPECT_FALSE(s.visible());

    // What the program wrote itself it keeps: no key read after the save reads the file.
    const auto copies = f.tw().prefs.SettingsCache.generation();
    for (const char* key : {"username", "timestamp", "wallpaper", "lang", "decks", "jpass"})
        for (int i = 0; i < 20; ++i) ReadSetting(f.tw(), key);
    EXPECT_EQ(ReadSetting(f.tw(), "username"), "Joe");
    EXPECT_EQ(f.tw().prefs.SettingsCache.generation(), copies);

    // A change made by another program is seen, and kept by the next write.
    f.dir.write("settings.ini", "[settings]\r\nUSERNAME=Hand\r\nSLOT1=typed by hand\r\n");
    EXPECT_EQ(ReadSetting(f.tw(), "username"), "Hand");
    ASSERT_TRUE(WriteSetting(f.tw(), "username", "Joe"));
    EXPECT_EQ(test::TempDir::read(f.dir / "settings.ini"), "[settings]\r\nUSERNAME=Joe\r\nSLOT1=typed by hand\r\n");
}

TEST(IsValidName, AcceptsOnlyLettersDigitsBlanksAndSevenMarks) {
    struct Case {
        std::string name;
        bool valid;
    };
    const Case cases[] = {
        {"", true},
        {"Newbie", true},
        {"Joe's Deck #2", true},
        {"A.B-C", true},
        {"back`tick, comma", true},
        {"game", true},  // refused later, by the window
        {std::string("O") + static_cast<char>(146) + "Neil", true},
        {"   ", true},
        {"Joe_1", false},
        {"star*", false},
        {"me@home", false},
        {"caf\xe9", false},
        {"tab\there", false},
        {"semi;colon", false},
        {"a/b", false},
        {"quote\"", false},
        {std::string("nul\0byte", 8), false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidName(c.name), c.valid) << "[" << c.name << "]";
}

}  // namespace
}  // namespace tw
