#include "cards/helpers.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "program/tablewright.hpp"
#include "platform/controls.hpp"
#include "platform/desktop.hpp"
#include "platform/files.hpp"
#include "platform/form.hpp"
#include "platform/rt_error.hpp"
#include "tests/support/table_fixture.hpp"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

using tw::test::TableFixture;
using tw::test::TempDir;

// A plain window to hold controls under test.
struct Panel : platform::Form {
    explicit Panel(platform::App& app) : platform::Form(app, "Panel") {}
    platform::ListBox Text1{this, "Text1"};
    platform::PictureBox Picture1{this, "Picture1"};
    platform::Image Image1{this, "Image1"};
    platform::ControlArray<platform::Label> StickyNote{this, "StickyNote"};
};

struct Helpers : ::testing::Test, TableFixture {
    Panel panel{app};
};

// ---- Text and fields ----------------------------------------------------------------------

TEST(GetField, FieldsAndTheWholeText) {
    struct Case {
        const char* text;
        const char* sep;
        std::int16_t index;
        const char* want;
    } cases[] = {
        {"abc", "|", 5, "abc"},  // no separator: the whole text whatever the index
        {"abc", "|", -1, "abc"},
        {"a|b", "|", 1, "b"},
        {"a|b", "|", 0, "a"},
        {"", "|", 0, ""},
        {"a||c", "|", 1, ""},
        {"a||c", "|", 2, "c"},
        {"|", "|", 1, ""},
        {"line 0\r\nline 1\r\n", "\r\n", 1, "line 1"},
        {"a|b", "", 3, "a|b"},
        {"aXb", "x", 1, "aXb"},  // the separator is case-sensitive
    };
    for (const auto& c : cases)
        EXPECT_EQ(tw::GetField(c.text, c.sep, c.index), c.want) << c.text << " [" << c.index << "]";
}

TEST(GetField, IndexOutsideTheFieldsRaisesSubscriptError) {
    for (std::int16_t index : {std::int16_t{2}, std::int16_t{-1}, std::int16_t{32767}}) {
        try {
            tw::GetField("a|b", "|", index);
            ADD_FAILURE() << "no error for index " << index;
        } catch (const rt::RuntimeError& e) {
            EXPECT_EQ(e.number, rt::ErrSubscript);
        }
    }
}

TEST(NumberTests, IsNumberAndIsOddNumber) {
    struct Case {
        const char* text;
        bool want;
    } numbers[] = {
        {" 12 ", true}, {"-7", true}, {"+3", true}, {"2.5", true}, {"2147483647", true},
        {"-2147483648", true}, {"", false}, {"   ", false}, {"12a", false}, {"99999999999", false},
        {"2147483648", false}, {"1 2", false}, {"-", false},
    };
    for (const auto& c : numbers) EXPECT_EQ(tw::IsNumber(c.text), c.want) << "[" << c.text << "]";

    struct OddCase {
        std::int32_t n;
        bool want;
    } odds[] = {{-3, true}, {10, false}, {0, false}, {7, true}, {-2147483647 - 1, false}, {2147483647, true}};
    for (const auto& c : odds) EXPECT_EQ(tw::IsOddNumber(c.n), c.want) << c.n;
}

TEST(IpToString, BytesInOrderWithoutLeadingZeros) {
    EXPECT_EQ(tw::IpToString({10, 0, 2, 15}), "10.0.2.15");
    EXPECT_EQ(tw::IpToString({255, 255, 0, 7}), "255.255.0.7");
}

// ---- Random numbers ------------------------------------------------------------------------

TEST_F(Helpers, RandomIntRangesOverManyDraws) {
    tw().random.seed(20260101);
    struct Case {
        std::int32_t low, high, min, max;
    } cases[] = {
        {0, 0, 1, 1}, {1, 1, 1, 1}, {0, 4, 1, 4}, {8, 32, 8, 32}, {1, 6, 1, 6}, {1, 9, 1, 9}, {0, 60, 1, 60},
    };
    for (const auto& c : cases) {
        std::set<std::int32_t> seen;
        for (int i = 0; i < 4000; ++i) {
            const auto v = tw::RandomInt(tw(), c.low, c.high);
            ASSERT_GE(v, c.min) << c.low << ".." << c.high;
            ASSERT_LE(v, c.max) << c.low << ".." << c.high;
            seen.insert(v);
        }
        EXPECT_EQ(seen.size(), static_cast<std::size_t>(c.max - c.min + 1)) << c.low << ".." << c.high;
    }
}

TEST_F(Helpers, RandomIntIsEvenAndMovesOnWithinOneClockTick) {
    tw().random.seed(7);
    std::map<std::int32_t, int> counts;
    for (int i = 0; i < 8000; ++i) ++counts[tw::RandomInt(tw(), 0, 4)];  // the fake clock stands still
    for (int v = 1; v <= 4; ++v) {
        EXPECT_GT(counts[v], 1800) << v;
        EXPECT_LT(counts[v], 2200) << v;
    }
    std::set<std::int32_t> distinct;
    for (int i = 0; i < 1000; ++i) distinct.insert(tw::RandomInt(tw(), 0, 1000000));
    EXPECT_GT(distinct.size(), 990u);
}

TEST_F(Helpers, RandomIntWithNoQualifyingDrawReturnsLow) {
    EXPECT_EQ(tw::RandomInt(tw(), 5, 3), 5);
    EXPECT_EQ(tw::RandomInt(tw(), 7, 0), 7);
    EXPECT_EQ(tw::RandomInt(tw(), 2, 1), 2);
    EXPECT_EQ(tw::RandomInt(tw(), 1, -3), 1);
    // The single-precision draw cannot reach this high a top: bounded, and still in range.
    const auto v = tw::RandomInt(tw(), 1000000000, 1000000001);
    EXPECT_GE(v, 1000000000);
    EXPECT_LE(v, 1000000001);
}

TEST_F(Helpers, FlipCoinGivesBothSidesAboutHalf) {
    tw().random.seed(99);
    int heads = 0;
    for (int i = 0; i < 4000; ++i) heads += tw::FlipCoin(tw()) ? 1 : 0;
    EXPECT_GT(heads, 1850);
    EXPECT_LT(heads, 2150);
}

// ---- Files ---------------------------------------------------------------------------------

TEST_F(Helpers, FileExistsTakesOrdinaryFilesLiterally) {
    dir.write("decks/a1.dek", "x");
    dir.write("decks/.hidden", "x");
    dir.write("only-hidden/.x", "x");
    std::filesystem::create_directory(dir / "empty");
    struct Case {
        std::filesystem::path path;
        bool want;
    } cases[] = {
        {"", false},
        {dir / "decks/a1.dek", true},
        {dir / "decks", false},  // a folder without the trailing separator
        {dir.path() / "decks/", true},
        {dir.path() / "empty/", false},
        {dir.path() / "only-hidden/", false},
        {dir / "decks/.hidden", false},
        {dir / "decks/a*.dek", false},  // no wildcards
        {dir / "decks/a?.dek", false},
        {dir / "missing.dek", false},
        {dir / "decks/a1.dek/x", false},
    };
    for (const auto& c : cases) EXPECT_EQ(tw::FileExists(c.path), c.want) << c.path;
}

TEST_F(Helpers, ReadFileTextReplacesEntitiesInOnePass) {
    struct Case {
        const char* bytes;
        const char* want;
    } cases[] = {
        {"A &amp; B", "A & B"},
        {"&amp;amp;", "&amp;"},
        {"&amp&amp;;", "&amp&;"},
        {"|Name|\r\n|x|", "|Name|\r\n|x|"},
    };
    for (const auto& c : cases) {
        const auto file = dir.write("set.txt", c.bytes);
        EXPECT_EQ(tw::ReadFileText(file), c.want) << c.bytes;
    }
    const std::string binary("a\0b\xE9", 4);
    EXPECT_EQ(tw::ReadFileText(dir.write("bin", binary)), binary);
    EXPECT_EQ(tw::ReadFileText(dir / "missing.set"), "");
    EXPECT_EQ(tw::ReadFileText(dir.path()), "");  // a folder
}

TEST_F(Helpers, WriteFileTextReplacesALongerFileWhole) {
    const auto file = dir.write("deck.dek", std::string(5000, 'o') + "\r\nold tail");
    ASSERT_TRUE(tw::WriteFileText("new\r\n", file));
    EXPECT_EQ(TempDir::read(file), "new\r\n");

    ASSERT_TRUE(tw::WriteFileText("", file));
    EXPECT_EQ(TempDir::read(file), "");
}

TEST_F(Helpers, WriteFileTextCreatesOneMissingFolderLevelOnly) {
    EXPECT_TRUE(tw::WriteFileText("x", dir / "Logs/a.txt"));
    EXPECT_EQ(TempDir::read(dir / "Logs/a.txt"), "x");

    EXPECT_FALSE(tw::WriteFileText("x", dir / "no/such/b.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

TEST_F(Helpers, FailedWriteFileTextLeavesTheOldFileWhole) {
    const auto file = dir.write("deck.dek", "the old deck");
    struct Hook {
        platform::BeforeRenameHook saved = platform::before_rename_hook;
        Hook() {
            platform::before_rename_hook = [](const std::filesystem::path&, const std::filesystem::path&) {
                return false;
            };
        }
        ~Hook() { platform::before_rename_hook = saved; }
    } crash;
    EXPECT_FALSE(tw::WriteFileText("the new deck", file));
    EXPECT_EQ(TempDir::read(file), "the old deck");
}

TEST_F(Helpers, LoadPictureIfExists) {
    const unsigned char pixel[4] = {255, 0, 0, 255};
    ASSERT_TRUE(stbi_write_bmp((dir / "art.bmp").c_str(), 1, 1, 4, pixel));
    dir.write("notes.gif", "not a picture");

    tw::LoadPictureIfExists(panel.Picture1, dir / "missing.gif");
    EXPECT_EQ(panel.Picture1.picture(), nullptr);

    tw::LoadPictureIfExists(panel.Picture1, dir / "art.bmp");
    ASSERT_NE(panel.Picture1.picture(), nullptr);
    const auto loaded = panel.Picture1.picture();
    tw::LoadPictureIfExists(panel.Picture1, dir / "missing.gif");
    EXPECT_EQ(panel.Picture1.picture(), loaded);  // left unchanged

    tw::LoadPictureIfExists(panel.Image1, dir / "art.bmp");
    EXPECT_NE(panel.Image1.picture(), nullptr);

    try {
        tw::LoadPictureIfExists(panel.Image1, dir / "notes.gif");
        ADD_FAILURE() << "no error for a file that is no picture";
    } catch (const rt::RuntimeError& e) {
        EXPECT_EQ(e.number, rt::ErrInvalidPicture);
    }
}

TEST_F(Helpers, InstallFontRegistersTheProgramFoldersFileOnly) {
    dir.write("LCD-BOLD.TTF", "font bytes");
    tw::InstallFont(tw(), "lcd-bold.ttf");  // found without regard to case
    ASSERT_EQ(host.fonts().size(), 1u);
    EXPECT_EQ(host.fonts()[0], dir / "LCD-BOLD.TTF");

    tw::InstallFont(tw(), "MISSING.TTF");
    EXPECT_EQ(host.fonts().size(), 1u);

    host.set_register_font_result(false);
    EXPECT_NO_THROW(tw::InstallFont(tw(), "LCD-BOLD.TTF"));
}

// ---- Desktop -------------------------------------------------------------------------------

TEST_F(Helpers, OpenUrlNormalisesTheAddress) {
    struct Case {
        const char* url;
        const char* want;  // nullptr: nothing opened
    } cases[] = {
        {"   ", nullptr},
        {"", nullptr},
        {"HTTP://Example.org/a", "HTTP://Example.org/a"},
        {"http://x.org", "http://x.org"},
        {"www.x.org", "http://www.x.org"},
        {"localhost:8080/a", "http://localhost:8080/a"},
        // An address that names its scheme keeps it.
        {"https://x.org", "https://x.org"},
        {"HTTPS://x.org/a,b", "HTTPS://x.org/ab"},
        {"svn+ssh://x.org", "svn+ssh://x.org"},
        {"file:///etc/passwd", "file:///etc/passwd"},
        {"://x.org", "http://://x.org"},
        {"1http://x.org", "http://1http://x.org"},
        {"a b://x.org", "http://a b://x.org"},
        {"  x.org/a,b,c  ", "http://x.org/abc"},
        {",http://x.org", "http://http://x.org"},  // the prefix test comes before the commas go
    };
    for (const auto& c : cases) {
        const auto before = host.urls().size();
        tw::OpenUrl(tw(), c.url);
        if (!c.want) {
            EXPECT_EQ(host.urls().size(), before) << c.url;
        } else {
            ASSERT_EQ(host.urls().size(), before + 1) << c.url;
            EXPECT_EQ(host.urls().back(), c.want);
        }
    }
}

TEST_F(Helpers, ListLocalIPsGuideLinesAndSkippedAddresses) {
    struct Case {
        std::vector<std::string> table;
        std::vector<std::string> want;
    } cases[] = {
        {{}, {}},
        {{"127.0.0.1", "192.168.1.5"},
         {"2 IP addresses found on your PC, Choose 1", "Dbl. Clicking an entry will add it to your Clipboard"}},
        {{"127.0.0.1", "10.0.0.7", "192.168.0.2", "172.16.1.1", "127.0.1.1"},
         {"5 IP addresses found on your PC, Choose 1", "Dbl. Clicking an entry will add it to your Clipboard",
          "10.0.0.7", "172.16.1.1"}},
        // Past six rows every qualifying address is still listed, with no fallback lines.
        {{"10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4", "10.0.0.5", "10.0.0.6", "10.0.0.7", "10.0.0.8"},
         {"8 IP addresses found on your PC, Choose 1", "Dbl. Clicking an entry will add it to your Clipboard",
          "10.0.0.1", "10.0.0.2", "10.0.0.3", "10.0.0.4", "10.0.0.5", "10.0.0.6", "10.0.0.7", "10.0.0.8"}},
    };
    for (const auto& c : cases) {
        panel.Text1.clear();
        tw::ListLocalIPs(tw(), panel.Text1, c.table);
        EXPECT_EQ(panel.Text1.items(), c.want) << c.table.size() << " rows";
    }
}

TEST_F(Helpers, ListLocalIPsOnThisMachineListsItsOwnAddressTable) {
    // Loopback is always up, so the table is never empty and the list always has its guide.
    const auto table = platform::local_ipv4_addresses(true);
    ASSERT_FALSE(table.empty());
    tw::ListLocalIPs(tw(), panel.Text1);
    std::vector<std::string> want{std::to_string(table.size()) + " IP addresses found on your PC, Choose 1",
                                  "Dbl. Clicking an entry will add it to your Clipboard"};
    for (const auto& a : table)
        if (a.rfind("127.", 0) != 0 && a.rfind("192", 0) != 0) want.push_back(a);
    EXPECT_EQ(panel.Text1.items(), want);
}

TEST_F(Helpers, FlashWindowAlertOnlyWithAPositiveInterval) {
    tw().duel.FlashFlags = 2;
    for (std::int32_t interval : {0, -1}) tw::FlashWindowAlert(tw(), panel, interval, 100);
    EXPECT_TRUE(host.alerts().empty());
    tw::FlashWindowAlert(tw(), panel, 1000, 100);
    EXPECT_EQ(host.alerts(), std::vector<std::string>{"Panel"});
    EXPECT_EQ(tw().duel.FlashFlags, 2);
}

TEST_F(Helpers, IsCtrlDownByWhich) {
    struct Case {
        bool left, right, either;
        std::int32_t which;
        bool want;
    } cases[] = {
        {true, true, true, 0, true},    {true, false, true, 0, false},  {true, false, true, 1, true},
        {false, true, true, 1, false},  {false, true, true, 2, true},   {true, false, true, 2, false},
        {false, false, true, 3, true},  {true, true, false, 3, false},  {false, false, true, -1, true},
    };
    for (const auto& c : cases) {
        host.set_key_down(162, c.left);
        host.set_key_down(163, c.right);
        host.set_key_down(17, c.either);
        EXPECT_EQ(tw::IsCtrlDown(tw(), c.which), c.want) << c.left << c.right << c.either << " " << c.which;
    }
}

TEST_F(Helpers, SleepMsBlocksThroughTheHost) {
    const auto start = clock.now_ms();
    tw::SleepMs(tw(), 300);
    tw::SleepMs(tw(), -5);
    EXPECT_EQ(host.slept_ms(), 300);
    EXPECT_EQ(clock.now_ms() - start, 300);
}

TEST_F(Helpers, WindowHelpers) {
    tw::SetTopMost(tw(), panel, true);
    tw::SetTopMost(tw(), panel, false);
    const std::vector<std::pair<std::string, bool>> want{{"Panel", true}, {"Panel", false}};
    EXPECT_EQ(host.topmost_calls(), want);

    EXPECT_TRUE(tw::IsControlLoaded(panel.StickyNote, 0));
    EXPECT_FALSE(tw::IsControlLoaded(panel.StickyNote, 3));
    panel.StickyNote.load(3);
    EXPECT_TRUE(tw::IsControlLoaded(panel.StickyNote, 3));
    panel.StickyNote.unload(3);
    EXPECT_FALSE(tw::IsControlLoaded(panel.StickyNote, 3));
    EXPECT_FALSE(tw::IsControlLoaded(panel.StickyNote, -1));
}

// Translucent windows and panels the mouse passes through are not offered here: a window or
// control given to them stays on screen and keeps taking the mouse.
TEST_F(Helpers, TranslucencyAndClickThroughLeaveWindowsAsTheyWere) {
    int clicks = 0;
    panel.Text1.add_item("one");
    panel.Text1.Click = [&] { ++clicks; };
    panel.show();
    tw::SetWindowAlpha(panel, 40);
    tw::SetClickThrough(panel.Text1);
    EXPECT_TRUE(panel.visible());
    EXPECT_TRUE(panel.Text1.visible());
    EXPECT_TRUE(panel.Text1.enabled());
    panel.Text1.user_click(0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(panel.Text1.list_index(), 0);
}

}  // namespace
