#include <gtest/gtest.h>

#include <string>

#include "platform/files.hpp"
#include "tests/support/temp_dir.hpp"

namespace {

using platform::fs::path;
using tw::test::TempDir;

// A program folder whose names differ in case from the ones the programs glue together.
class ResolveTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("images/Default.gif", "g");
        dir.write("Decks/My.dek", "d");
        dir.write("skins/Blue/settings.ini", "s");
        dir.write("token.ptcg", "t");
        dir.write("both/README", "1");
        dir.write("both/readme", "2");
        dir.write("both/ReadMe", "3");
    }
    TempDir dir;
};

struct Case {
    const char* rel;
    const char* expected;  // below the program folder
};

TEST_F(ResolveTest, MatchesEachComponentIgnoringCase) {
    const Case cases[] = {
        {"\\Images\\default.gif", "images/Default.gif"},
        {"images\\DEFAULT.GIF", "images/Default.gif"},
        {"decks\\", "Decks/"},
        {"\\decks", "Decks"},
        {"Token.ptcg", "token.ptcg"},
        {"skins/BLUE\\Settings.INI", "skins/Blue/settings.ini"},
        {"decks\\\\my.dek", "Decks/My.dek"},
        // Missing components are kept as written, below the last one that exists.
        {"images\\New\\x.gif", "images/New/x.gif"},
        {"Missing\\Sub\\", "Missing/Sub/"},
        {"token.ptcg\\below", "token.ptcg/below"},
        // An exact match wins; otherwise the byte-wise smallest of the others.
        {"both\\readme", "both/readme"},
        {"both\\ReadMe", "both/ReadMe"},
        {"both\\READme", "both/README"},
        // "." is skipped, ".." stays below the folder.
        {".\\images\\.\\default.gif", "images/Default.gif"},
        {"decks\\..\\IMAGES", "images"},
        {"..\\..\\Token.ptcg", "token.ptcg"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::resolve(dir.path(), c.rel).string(), (dir.path() / c.expected).string())
            << c.rel;
    EXPECT_EQ(platform::resolve(dir.path(), ""), dir.path());
    EXPECT_EQ(platform::resolve(dir.path(), std::string("DECKS")), dir.path() / "Decks");
}

TEST_F(ResolveTest, InsideRefusesPathsThatLeaveTheFolder) {
    const Case accepted[] = {
        {"images\\DEFAULT.gif", "images/Default.gif"},
        {"decks\\..\\Images", "images"},
        {"New Name.qlra", "New Name.qlra"},
    };
    for (const auto& c : accepted) {
        auto got = platform::resolve_inside(dir.path(), c.rel);
        ASSERT_TRUE(got.has_value()) << c.rel;
        EXPECT_EQ(got->string(), (dir.path() / c.expected).string()) << c.rel;
    }
    using namespace std::string_literals;
    const std::string refused[] = {
        "..\\x",     "a\\..\\..\\x", "../etc/passwd", "\\etc\\passwd", "/etc/passwd",
        "C:\\x",     "c:x",          "a\0b"s,         "a\x01",         "name\r\n",
        "tab\there", "del\x7f",
    };
    for (const auto& rel : refused)
        EXPECT_FALSE(platform::resolve_inside(dir.path(), rel).has_value()) << rel;
}

TEST_F(ResolveTest, AbsolutePathIsResolvedOnlyBelowRoot) {
    EXPECT_EQ(platform::resolve(dir.path(), dir.path() / "IMAGES" / "default.GIF"),
              dir.path() / "images" / "Default.gif");
    EXPECT_EQ(platform::resolve(dir.path() / "", dir.path() / "decks" / ""),
              dir.path() / "Decks" / "");
    // A relative fs::path is taken below the root.
    EXPECT_EQ(platform::resolve(dir.path(), path("Skins/blue")), dir.path() / "skins" / "Blue");
    // Outside the root nothing is changed: the case of foreign folders is not ours to guess.
    path outside = dir.path().parent_path() / "Elsewhere" / "IMAGES";
    EXPECT_EQ(platform::resolve(dir.path() / "images", outside), outside);
    EXPECT_EQ(platform::resolve(dir.path() / "images", dir.path() / "Decks"), dir.path() / "Decks");
}

TEST(SafeComponent, ReducesNetworkTextToOneHarmlessName) {
    using namespace std::string_literals;
    const struct {
        std::string in, out;
    } cases[] = {
        {"Bob", "Bob"},
        {"Jo Ann-2", "Jo Ann-2"},
        {"", "_"},
        {".", "_"},
        {"..", "__"},
        {"../../etc/passwd", "___.._etc_passwd"},
        {"..\\..\\x", "___.._x"},
        {".hidden", "_hidden"},
        {"name.", "name."},
        {"a\r\nb", "a__b"},
        {"nul\0x"s, "nul_x"},
        {"\x7f", "_"},
        {"star*?", "star*?"},
        {"caf\xe9", "caf\xe9"},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::safe_component(c.in), c.out) << c.in;
    EXPECT_EQ(platform::safe_component(std::string(300, 'a')), std::string(200, 'a'));
}

}  // namespace
