#include <gtest/gtest.h>

#include <string>

#include "platform/files.hpp"
#include "platform/ini.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

namespace fs = platform::fs;
using tw::test::TempDir;

TEST(Ini, WrittenKeyByKeyAndReadBackIgnoringCase) {
    TempDir dir;
    auto file = dir / "settings.ini";
    ASSERT_TRUE(platform::ini_write(file, "settings", "USERNAME", "bob"));
    ASSERT_TRUE(platform::ini_write(file, "settings", "DECKS", "/home/bob/decks/"));
    ASSERT_TRUE(platform::ini_write(file, "Other", "K", "v"));
    ASSERT_TRUE(platform::ini_write(file, "SETTINGS", "username", "alice"));
    EXPECT_EQ(TempDir::read(file),
              "[settings]\r\nusername=alice\r\nDECKS=/home/bob/decks/\r\n[Other]\r\nK=v\r\n");

    EXPECT_EQ(platform::ini_read(file, "Settings", "UserName"), "alice");
    EXPECT_EQ(platform::ini_read(file, "settings", "decks"), "/home/bob/decks/");
    EXPECT_EQ(platform::ini_read(file, "other", "k"), "v");
    EXPECT_EQ(platform::ini_read(file, "other", "username", "none"), "none");
}

TEST(Ini, ReadFollowsTheProfileRules) {
    TempDir dir;
    auto file = dir.write("token.ptcg",
                          "orphan=outside any section\r\n"
                          "; a comment\r\n"
                          "[Token]\r\n"
                          ";name=commented out\r\n"
                          "  Name  =  Sheep Token  \r\n"
                          "atk=\"0\"\r\n"
                          "empty=\r\n"
                          "formula=a=b\r\n"
                          "tabbed=\tx\t\r\n"
                          "no equals sign here\r\n"
                          "name=second of the same key\r\n"
                          "[ other ]\r\n"
                          "def=7\n"
                          "[token]\r\n"
                          "late=second section of the same name\r\n");
    const struct {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"token", "name", "Sheep Token"},
        {"TOKEN", "NAME", "Sheep Token"},
        {"token", "atk", "\"0\""},
        {"token", "empty", ""},
        {"token", "formula", "a=b"},
        {"token", "tabbed", "x"},
        {"token", "def", "(default)"},
        {"Other", "DEF", "7"},
        {"token", "late", "(default)"},
        {"token", "orphan", "(default)"},
        {"token", "no equals sign here", "(default)"},
        {"missing", "name", "(default)"},
        {"token", "", "(default)"},
        {"", "name", "(default)"},
    };
    // The index that reads many sections of one copy finds what the reader finds.
    const std::string bytes = TempDir::read(file);
    const platform::IniIndex index(bytes);
    for (const auto& c : cases) {
        EXPECT_EQ(platform::ini_read(file, c.section, c.key, "(default)"), c.expected)
            << c.section << "/" << c.key;
        const auto body = index.body(c.section);
        EXPECT_EQ(body ? platform::ini_value(*body, c.key, "(default)") : "(default)", c.expected)
            << "indexed " << c.section << "/" << c.key;
    }
    EXPECT_EQ(platform::ini_read(dir / "missing.ini", "token", "name"), "");
    EXPECT_EQ(platform::ini_read(dir / "missing.ini", "token", "name", "dflt"), "dflt");
}

TEST(Ini, ReadIsCutAtTheBufferLimit) {
    TempDir dir;
    auto file = dir.write("s.ini", "[s]\nlong=" + std::string(800, 'x') + "\nspaced=abc   def\n");
    EXPECT_EQ(platform::ini_read(file, "s", "long"), std::string(749, 'x'));
    EXPECT_EQ(platform::ini_read(file, "s", "long", "", 10), std::string(10, 'x'));
    EXPECT_EQ(platform::ini_read(file, "s", "spaced", "", 5), "abc");
    EXPECT_EQ(platform::ini_read(file, "s", "missing", "defaults", 3), "def");
}

TEST(Ini, WriteKeepsEveryOtherLineAndTheLineEndStyle) {
    TempDir dir;
    auto file = dir.write("settings.ini",
                          "; keep me\n"
                          "[settings]\n"
                          "foo=1\n"
                          "\n"
                          "unknown line\n"
                          "\n"
                          "[b]\n"
                          "x=2");
    ASSERT_TRUE(platform::ini_write(file, "settings", "NEW", "3"));
    ASSERT_TRUE(platform::ini_write(file, "B", "y", "4"));
    ASSERT_TRUE(platform::ini_write(file, "settings", "FOO", "9"));
    ASSERT_TRUE(platform::ini_write(file, "c", "z", "5"));
    EXPECT_EQ(TempDir::read(file),
              "; keep me\n"
              "[settings]\n"
              "FOO=9\n"
              "\n"
              "unknown line\n"
              "NEW=3\n"
              "\n"
              "[b]\n"
              "x=2\n"
              "y=4\n"
              "[c]\n"
              "z=5\n");
}

TEST(Ini, ReplacingTheLastLineKeepsItsMissingLineEnd) {
    TempDir dir;
    auto file = dir.write("s.ini", "[s]\r\na=1\r\nb=2");
    ASSERT_TRUE(platform::ini_write(file, "s", "b", "3"));
    EXPECT_EQ(TempDir::read(file), "[s]\r\na=1\r\nb=3");
    ASSERT_TRUE(platform::ini_write(file, "t", "c", "4"));
    EXPECT_EQ(TempDir::read(file), "[s]\r\na=1\r\nb=3\r\n[t]\r\nc=4\r\n");
}

TEST(Ini, LineBreaksInAValueCannotCorruptTheFile) {
    TempDir dir;
    auto file = dir / "s.ini";
    ASSERT_TRUE(platform::ini_write(file, "s", "chat", "one\r\ntwo\nthree\rfour\r\n[evil]\r\nx=1"));
    ASSERT_TRUE(platform::ini_write(file, "s", "after", "ok"));
    EXPECT_EQ(TempDir::read(file), "[s]\r\nchat=one two three four [evil] x=1\r\nafter=ok\r\n");
    EXPECT_EQ(platform::ini_read(file, "s", "after"), "ok");
    EXPECT_EQ(platform::ini_read(file, "evil", "x", "none"), "none");
}

TEST(Ini, RefusesNamesThatWouldBreakTheFile) {
    TempDir dir;
    auto file = dir.write("s.ini", "[s]\r\na=1\r\n");
    const struct {
        const char* section;
        const char* key;
    } refused[] = {
        {"s", "a=b"}, {"s", "[a"}, {"s", "a]"}, {"s", "a\r"}, {"s", "a\nb=2"}, {"s", ""},
        {"s", "  "},  {"x]", "a"}, {"[x", "a"}, {"x=y", "a"}, {"x\r\n", "a"}, {"", "a"},
    };
    for (const auto& r : refused)
        EXPECT_FALSE(platform::ini_write(file, r.section, r.key, "v")) << r.section << "/" << r.key;
    EXPECT_EQ(TempDir::read(file), "[s]\r\na=1\r\n");
    EXPECT_FALSE(platform::ini_write(dir / "new.ini", "s", "a=b", "v"));
    EXPECT_FALSE(fs::exists(dir / "new.ini"));
}

TEST(Ini, SeveralKeysGoInOneWriteOrNone) {
    TempDir dir;
    auto file = dir.write("settings.ini", "[settings]\r\nUSERNAME=bob\r\n");
    ASSERT_TRUE(platform::ini_write(file, "settings", {{"TIMESTAMP", "1"}, {"USERNAME", "ann"}, {"LANG", "/l/"}}));
    EXPECT_EQ(TempDir::read(file), "[settings]\r\nUSERNAME=ann\r\nTIMESTAMP=1\r\nLANG=/l/\r\n");
    EXPECT_FALSE(platform::ini_write(file, "settings", {{"DECKS", "/d/"}, {"a=b", "x"}}));
    EXPECT_EQ(TempDir::read(file), "[settings]\r\nUSERNAME=ann\r\nTIMESTAMP=1\r\nLANG=/l/\r\n");
}

bool crash(const fs::path&, const fs::path&) { return false; }

TEST(Ini, FailedWriteLeavesTheOldFile) {
    TempDir dir;
    auto file = dir.write("settings.ini", "[settings]\r\nusername=bob\r\n");
    platform::before_rename_hook = crash;
    bool written = platform::ini_write(file, "settings", "USERNAME", "eve");
    platform::before_rename_hook = nullptr;
    EXPECT_FALSE(written);
    EXPECT_EQ(platform::ini_read(file, "settings", "username"), "bob");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    // A path that exists but cannot be read as a file is never replaced.
    fs::create_directory(dir / "folder.ini");
    EXPECT_FALSE(platform::ini_write(dir / "folder.ini", "s", "k", "v"));
    EXPECT_TRUE(fs::is_directory(dir / "folder.ini"));
    // Nor is a missing folder created.
    EXPECT_FALSE(platform::ini_write(dir / "missing" / "s.ini", "s", "k", "v"));
}

TEST(Ini, ModeOnCreateAppliesOnlyToANewFile) {
    TempDir dir;
    using P = fs::perms;
    auto perms_of = [](const fs::path& p) { return fs::status(p).permissions() & P::mask; };
    auto secret = dir / "token.cnl";
    ASSERT_TRUE(platform::ini_write(secret, "s", "k", "v", P::owner_read | P::owner_write));
    EXPECT_EQ(perms_of(secret), P::owner_read | P::owner_write);
    fs::permissions(secret, P::owner_read | P::owner_write | P::group_read);
    ASSERT_TRUE(platform::ini_write(secret, "s", "k", "w", P::owner_read | P::owner_write));
    EXPECT_EQ(perms_of(secret), P::owner_read | P::owner_write | P::group_read);
}

}  // namespace
