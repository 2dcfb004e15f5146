#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "duel/forma.hpp"
#include "net/site.hpp"
#include "platform/rt_error.hpp"
#include "tests/support/tiny_bmp.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

constexpr const char* kUserNameNotice = "Make sure you goto Menu|Settings to set your username";

using test::TinyBmp;

struct DuelWindowLoad : ::testing::Test {
    test::TableFixture fx;
    Tablewright& tw = fx.tw();

    void SetUp() override { WriteSetting(tw, "username", "Rook"); }
    win::FormA& Load() { return tw.FormA(); }
    std::vector<std::string> Captions(const platform::ControlArray<platform::Menu>& menu) {
        std::vector<std::string> out;
        for (const auto& m : menu) out.push_back(m.caption());
        return out;
    }
};

TEST_F(DuelWindowLoad, GivesTheDuelItsStartValues) {
    tw.duel.MyLP = 1;
    tw.duel.OppLP = 2;
    tw.net.PlayerNumber = 2;
    tw.duel.ChatForeColor = 0xFFFFFF;
    tw.piles.HandCards.redim(3);
    tw.field.FieldGrid(1, 1) = 7;
    auto& f = Load();

    EXPECT_EQ(tw.duel.MyLP, 8000);
    EXPECT_EQ(tw.duel.OppLP, 8000);
    EXPECT_EQ(f.Text1.caption(), "8000");
    EXPECT_EQ(f.Text2.caption(), "8000");
    EXPECT_EQ(tw.VersionText, "Version 9.1");
    EXPECT_EQ(f.lblTitle.caption(), "Tablewright Version 9.1");
    EXPECT_EQ(tw.net.ProtocolVersion, 20);
    EXPECT_EQ(tw.net.FrameStart, "^~");
    EXPECT_EQ(tw.net.FrameEnd, "~^");
    EXPECT_EQ(tw.duel.Phase, 1);
    EXPECT_EQ(tw.net.PlayerNumber, 0);
    EXPECT_EQ(tw.net.PlayerNames, std::vector<std::string>(5));
    EXPECT_TRUE(tw.duel.ChatInMainWindow);
    EXPECT_EQ(tw.duel.ChatForeColor, 0u);
    EXPECT_EQ(tw.duel.ChatBackColor, 16777215u);
    EXPECT_EQ(tw.log.ChatCardLinks, std::vector<std::string>(1));
    EXPECT_TRUE(tw.editor.SearchResults.positions().empty());
    EXPECT_EQ(tw.cards.SpareCardList, std::vector<Card>(1));
    EXPECT_EQ(tw.piles.HandCards.ubound(), 0);
    EXPECT_EQ(tw.piles.TrashCards.ubound(), 0);
    EXPECT_EQ(tw.piles.ExtraDeckCards.ubound(), 0);
    EXPECT_EQ(tw.piles.DeckCards.ubound(), 60);
    EXPECT_EQ(tw.field.FieldGrid.ubound(1), 3);
    EXPECT_EQ(tw.field.FieldGrid.ubound(2), 6);
    EXPECT_EQ(tw.field.FieldGrid(1, 1), 0);
    EXPECT_FALSE(tw.log.LoggingOn);

    EXPECT_TRUE(f.visible());
    EXPECT_EQ(f.border_style(), platform::BorderStyle::None);
    EXPECT_TRUE(f.Timer2.running());
    EXPECT_EQ(f.Timer2.interval(), 60000);
    EXPECT_FALSE(f.browser.visible());
    EXPECT_FALSE(f.Label5[0].visible());
    EXPECT_FALSE(f.cardstencil[0].visible());
    EXPECT_EQ(f.chattext.text(), "");
    EXPECT_EQ(f.chattext.insertion_format().color, 0u);
    EXPECT_EQ(f.chat.back_color(), 16777215u);
    EXPECT_TRUE(fx.host.messages().empty());
}

TEST_F(DuelWindowLoad, FillsTheDuelModesHiddenWithTheFirstSelected) {
    auto& f = Load();
    EXPECT_EQ(f.Combo2.items(), (std::vector<std::string>{
                                    "Normal Duel: Im connecting to my Opponent.",
                                    "Server Duel: Im going to be the HOST",
                                    "Server Duel: Im going to be the CLIENT",
                                    "Relay Duel: Im going to be the HOST",
                                    "Relay Duel: Im going to be the CLIENT",
                                }));
    EXPECT_EQ(f.Combo2.list_index(), 0);
    EXPECT_FALSE(f.Combo2.visible());
}

TEST_F(DuelWindowLoad, LabelsThePileCounts) {
    auto& s = Load().Stats;
    ASSERT_EQ(s.rows(), 6);
    ASSERT_EQ(s.cols(), 3);
    EXPECT_EQ(s.text_matrix(0, 1), "You");
    EXPECT_EQ(s.text_matrix(0, 2), "Opp");
    const char* piles[] = {"Hand", "Deck", "Graveyard", "RFG", "Extra"};
    for (int r = 1; r <= 5; ++r) {
        EXPECT_EQ(s.text_matrix(r, 0), piles[r - 1]);
        EXPECT_TRUE(s.cell(r, 0).bold) << r;
    }
    EXPECT_TRUE(s.cell(0, 1).bold);
    EXPECT_TRUE(s.cell(0, 2).bold);
    EXPECT_FALSE(s.cell(1, 1).bold);
    EXPECT_EQ(s.col_width(0), 950);
    EXPECT_EQ(s.col_width(1), 450);
    EXPECT_EQ(s.col_width(2), 450);
    EXPECT_EQ(s.col_alignment(1), platform::Align::CenterCenter);
    EXPECT_EQ(s.col_alignment(2), platform::Align::CenterCenter);
}

TEST_F(DuelWindowLoad, SetsTheMenusAsNoDuelIsOn) {
    auto& f = Load();
    struct State {
        const char* what;
        platform::Menu& menu;
        bool visible, enabled;
    };
    const State states[] = {
        {"File", f.File, false, true},
        {"StickyNoteMenu", f.StickyNoteMenu, false, true},
        {"HP", f.HP, false, false},
        {"cardinhand", f.cardinhand, false, true},
        {"CardInPlay", f.CardInPlay, false, true},
        {"PlayField", f.PlayField, false, true},
        {"gameplay", f.gameplay, false, false},
        {"SubmitLoss", f.SubmitLoss, false, true},
        {"SearchFusionDeck", f.SearchFusionDeck, true, false},
        {"SearchOppGraveyard", f.SearchOppGraveyard, true, false},
        {"SearchOppRFG", f.SearchOppRFG, true, false},
        {"Player1GY", f.Player1GY, true, false},
        {"Player2GY", f.Player2GY, true, false},
        {"Player1RFG", f.Player1RFG, true, false},
        {"Player2RFG", f.Player2RFG, true, false},
        {"drawcard", f.drawcard, true, true},
    };
    for (const auto& s : states) {
        SCOPED_TRACE(s.what);
        EXPECT_EQ(s.menu.visible(), s.visible);
        EXPECT_EQ(s.menu.enabled(), s.enabled);
    }
    EXPECT_EQ(f.Player1GY.caption(), "Search...");
    EXPECT_EQ(f.Player1RFG.caption(), "Search...");
    EXPECT_EQ(f.Player2GY.caption(), "Search Player 2 GY (Blue)");
    EXPECT_EQ(f.Player2RFG.caption(), "Search Player 2 RFG (Blue)");
}

TEST_F(DuelWindowLoad, PlacesTheLabelMenuBarAfterTheTitle) {
    auto& f = Load();
    auto right = [](const platform::Control& c) { return c.left() + c.width(); };
    EXPECT_EQ(f.lblFile.left(), right(f.lblTitle) + 150);
    EXPECT_EQ(f.lblChat.left(), right(f.lblFile) + 100);
    EXPECT_EQ(f.lblGameplay.left(), right(f.lblChat) + 100);
    EXPECT_EQ(f.lblMore.left(), right(f.lblGameplay) + 100);
}

TEST_F(DuelWindowLoad, WritesTwoWelcomeLinesThatAreNotSent) {
    tw.net.PlayerNumber = 2;  // whatever the seat, the lines stay local
    auto& f = Load();
    const std::string base = SiteBase(tw);
    EXPECT_EQ(f.chat.text(), "<Game> Tablewright Version 9.1. Visit " + base +
                                 "/index.html for updates and news.\r\n"
                                 "<Game> Cant Host a Duel? Try this page: " +
                                 SiteUrl(tw, site::kForumHelp) + "\r\n");
    for (const auto& c : tw.net.SentCommands) EXPECT_NE(c.command.substr(0, 3), "ch~") << c.command;
}

TEST_F(DuelWindowLoad, MacrosKeepStoredTextsAndStoreTheirDefaults) {
    WriteSetting(tw, "slot2", "Good game!");
    auto& f = Load();
    const std::vector<std::string> expected = {"Heads or Tails?", "Good game!", "Tails!",
                                               "Ladder or Non-Ladder?", "Ladder!", "Non-Ladder!",
                                               "Change Me!", "Change Me!", "Change Me!"};
    for (int k = 1; k <= 9; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(tw.prefs.Macros[k], expected[k - 1]);
        EXPECT_EQ(f.macro_item(k)->caption(), expected[k - 1]);
        EXPECT_EQ(ReadSetting(tw, setting_key::slot(k)), expected[k - 1]);
    }
}

TEST_F(DuelWindowLoad, ReadsTimestampsOnlyFromOne) {
    struct Case {
        const char* stored;  // nullptr: no key
        bool on;
    };
    for (const Case& c : {Case{"1", true}, Case{"true", false}, Case{"0", false}, Case{"11", false},
                          Case{nullptr, false}}) {
        SCOPED_TRACE(c.stored ? c.stored : "(missing)");
        test::TableFixture one;
        WriteSetting(one.tw(), "username", "Rook");
        if (c.stored) WriteSetting(one.tw(), "timestamp", c.stored);
        one.tw().FormA();
        EXPECT_EQ(one.tw().prefs.ShowTimestamps, c.on);
    }
}

TEST_F(DuelWindowLoad, ShowsTheWallpaperOnlyWhenItsFileIsAPicture) {
    struct Case {
        const char* what;
        std::string stored;
        bool shown;
    };
    const auto pic = fx.dir.write("pics/wall.bmp", TinyBmp());
    for (const Case& c : {Case{"absolute", pic.string(), true}, Case{"in the program folder", "PICS/Wall.bmp", true},
                          Case{"missing", (fx.dir / "gone.bmp").string(), false},
                          Case{"no picture", "pics/notes.bmp", false}}) {
        SCOPED_TRACE(c.what);
        test::TableFixture one;
        one.dir.write("pics/wall.bmp", TinyBmp());
        one.dir.write("pics/notes.bmp", "not a picture");
        WriteSetting(one.tw(), "username", "Rook");
        WriteSetting(one.tw(), "wallpaper", c.stored);
        auto& f = one.tw().FormA();
        EXPECT_EQ(f.playsurface.picture() != nullptr, c.shown);
        EXPECT_EQ(one.tw().VersionText, "Version 9.1");  // the load went on
    }
}

TEST_F(DuelWindowLoad, WithoutAWallpaperTheTableShowsItsOwnPlayfield) {
    // The shipped picture, where the program folder keeps it.
    const auto shipped = std::filesystem::path(TW_SOURCE_DIR) / "data" / "images" / "playfield.png";
    fx.dir.write("images/playfield.png", test::TempDir::read(shipped));
    auto& f = Load();
    ASSERT_NE(f.playsurface.picture(), nullptr);
    // Drawn to the table's size, so its marks lie where a click opens the piles.
    EXPECT_EQ(f.playsurface.picture()->width * 15, 10215);
    EXPECT_EQ(f.playsurface.picture()->height * 15, 7110);
}

TEST_F(DuelWindowLoad, ReplacesAMissingOrReservedUserName) {
    struct Case {
        const char* stored;  // nullptr: no key
        const char* name;
        bool replaced;
    };
    for (const Case& c : {Case{"ga*me", "Newbie", true}, Case{"  GAME ", "Newbie", true},
                          Case{"***", "Newbie", true}, Case{nullptr, "Newbie", true},
                          Case{"Gamer", "Gamer", false}, Case{"R*o*o*k", "Rook", false}}) {
        SCOPED_TRACE(c.stored ? c.stored : "(missing)");
        test::TableFixture one;
        if (c.stored) WriteSetting(one.tw(), "username", c.stored);
        one.tw().FormA();
        EXPECT_EQ(one.tw().prefs.UserName, c.name);
        const auto& boxes = one.host.messages();
        if (c.replaced) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, kUserNameNotice);
            EXPECT_EQ(boxes[0].title, "Tablewright ");  // before the version text exists
            EXPECT_EQ(ReadSetting(one.tw(), "username"), "Newbie");
        } else {
            EXPECT_TRUE(boxes.empty());
            EXPECT_EQ(ReadSetting(one.tw(), "username"), c.stored);
        }
    }
}

TEST_F(DuelWindowLoad, MarksOcgModeOnlyForTheExactSwitch) {
    struct Case {
        const char* command;
        const char* version;
    };
    for (const Case& c : {Case{"-ocg", "Version 9.1 [OCG Mode]"}, Case{"-OCG", "Version 9.1"},
                          Case{"-ocg ", "Version 9.1"}, Case{"", "Version 9.1"}}) {
        SCOPED_TRACE(c.command);
        test::TableFixture one;
        one.app.command = c.command;
        WriteSetting(one.tw(), "username", "Rook");
        auto& f = one.tw().FormA();
        EXPECT_EQ(one.tw().VersionText, c.version);
        EXPECT_EQ(f.lblTitle.caption(), std::string("Tablewright ") + c.version);
    }
}

TEST_F(DuelWindowLoad, NamesTheGameLogByFolderAndStartTime) {
    struct Case {
        const char* what;
        const char* lang;  // below the program folder; nullptr: no key
        int year, month, day, hour, minute;
        const char* folder;  // where the log goes, below the program folder
        const char* name;
    };
    const Case cases[] = {
        {"a minute after midnight", "duels/", 2027, 1, 1, 0, 1, "duels", "1-1-2027_0-1.qlra"},
        {"no leading zeros", "duels/", 2026, 4, 3, 9, 5, "duels", "4-3-2026_9-5.qlra"},
        {"late in the year", "duels/", 2026, 12, 31, 23, 59, "duels", "12-31-2026_23-59.qlra"},
        {"folder without its separator", "duels", 2026, 4, 3, 9, 5, "duels", "4-3-2026_9-5.qlra"},
        {"no folder stored: the program's Logs", nullptr, 2026, 4, 3, 9, 5, "Logs", "4-3-2026_9-5.qlra"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TableFixture one;
        std::tm t{};
        t.tm_year = c.year - 1900;
        t.tm_mon = c.month - 1;
        t.tm_mday = c.day;
        t.tm_hour = c.hour;
        t.tm_min = c.minute;
        t.tm_isdst = -1;
        one.clock.set_local_time(t);
        WriteSetting(one.tw(), "username", "Rook");
        std::filesystem::create_directories(one.dir.path() / "duels");
        const std::string lang = c.lang ? (one.dir.path() / c.lang).string() : "";
        if (c.lang) WriteSetting(one.tw(), "lang", lang);
        one.tw().FormA();
        EXPECT_EQ(one.tw().log.LogFolder, lang);
        EXPECT_EQ(one.tw().log.LogFileName, (one.dir.path() / c.folder / c.name).string());
    }
}

// ---- The token menu ----------------------------------------------------------------------

TEST_F(DuelWindowLoad, TokenMenuWithoutATokenListOffersNothing) {
    auto& f = Load();
    EXPECT_EQ(f.TokenRoot.count(), 1);
    EXPECT_EQ(f.TokenRoot[0].caption(), "No Tokens");
    EXPECT_FALSE(f.TokenRoot[0].enabled());
}

TEST_F(DuelWindowLoad, TokenMenuHasOneEntryPerNameThatTheTokenFileHolds) {
    const std::string tokens =
        "[Ember Spark Token]\r\nGROUP=Sprite\r\n[Pebble Token]\r\nGROUP=Golem\r\n"
        "[A]\r\nGROUP=g\r\n[b]\r\nGROUP=g\r\n[C]\r\nGROUP=g\r\n[No Type Line]\r\nATK=100\r\n";
    struct Case {
        const char* what;
        std::string file;
        std::vector<std::string> entries;
        bool enabled;
        bool token_file = true;
    };
    const Case cases[] = {
        {"as the token editor writes it", "Ember Spark Token\r\nPebble Token\r\n",
         {"Ember Spark Token", "Pebble Token"}, true},
        {"blank lines between", "Ember Spark Token\r\n\r\nPebble Token", {"Ember Spark Token", "Pebble Token"}, true},
        {"one name without a line end", "Pebble Token", {"Pebble Token"}, true},
        {"bare line feeds, a name in another case", "A\nB\nC\n", {"A", "B", "C"}, true},
        {"an empty list", "", {"No Tokens"}, false},
        // What a token save cut off between its two files leaves: the old list, the new tokens.
        {"names the token file lacks", "Gone Token\r\nEmber Spark Token\r\nNo Type Line\r\nPebble\r\n",
         {"Ember Spark Token"}, true},
        {"only names the token file lacks", "Gone Token\r\n", {"No Tokens"}, false},
        {"no token file", "Ember Spark Token\r\n", {"No Tokens"}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TableFixture one;
        WriteSetting(one.tw(), "username", "Rook");
        one.dir.write("token.cnl", c.file);
        if (c.token_file) one.dir.write("token.ptcg", tokens);
        auto& f = one.tw().FormA();
        EXPECT_EQ(Captions(f.TokenRoot), c.entries);
        for (const auto& m : f.TokenRoot) {
            EXPECT_EQ(m.enabled(), c.enabled) << m.caption();
            EXPECT_TRUE(m.visible()) << m.caption();
        }
    }
}

// ---- A second copy -------------------------------------------------------------------------

TEST(DuelWindowSecondCopy, EndsAtOnceAfterTheSettings) {
    test::TableFixture fx;
    fx.app.prev_instance_check = [] { return true; };
    auto& tw = fx.tw();
    WriteSetting(tw, "username", "game");
    EXPECT_THROW(tw.FormA(), platform::ProgramEnd);
    EXPECT_TRUE(fx.app.ended());
    // Steps before the test ran; those after it did not.
    ASSERT_EQ(fx.host.messages().size(), 1u);
    EXPECT_EQ(fx.host.messages()[0].text, kUserNameNotice);
    EXPECT_EQ(ReadSetting(tw, "username"), "Newbie");
    EXPECT_FALSE(tw.log.LogFileName.empty());
    EXPECT_EQ(ReadSetting(tw, "slot1"), "");
    EXPECT_EQ(tw.duel.Phase, 0);
    auto* f = tw.FormA.peek();
    ASSERT_NE(f, nullptr);
    EXPECT_FALSE(f->visible());
    EXPECT_EQ(f->chat.text(), "");
}

TEST(DuelWindowSecondCopy, TwoTablesRunSideBySideWithTheCheckOff) {
    test::TableFixture a, b;
    WriteSetting(a.tw(), "username", "Rook");
    WriteSetting(b.tw(), "username", "Kite");
    a.tw().FormA();
    b.tw().FormA();
    EXPECT_FALSE(a.app.ended());
    EXPECT_FALSE(b.app.ended());
    EXPECT_EQ(a.tw().prefs.UserName, "Rook");
    EXPECT_EQ(b.tw().prefs.UserName, "Kite");
    EXPECT_NE(&a.tw().FormA(), &b.tw().FormA());
    EXPECT_NE(a.tw().FormA().chat.text().find("Cant Host a Duel?"), std::string::npos);
    EXPECT_NE(b.tw().FormA().chat.text().find("Cant Host a Duel?"), std::string::npos);
}

}  // namespace
}  // namespace tw
