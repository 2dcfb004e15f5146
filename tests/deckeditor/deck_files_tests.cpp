// Deck files: the reader's limits and refusals, the writer, and the open, save and file-list
// commands of the deck editor.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cards/helpers.hpp"
#include "cards/settings.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/deck_files.hpp"
#include "deckeditor/deckmaker.hpp"
#include "platform/files.hpp"
#include "tests/deckeditor/editor_fixture.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using Status = DeckFileRead::Status;

std::string CrLf(const Lines& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    return text;
}

struct ReaderTest : ::testing::Test, test::TableFixture {
    ReaderTest() {
        // Limited and forbidden cards of the format in force.
        tw().editor.BanList = {"0|Pit Snare", "1|Tide Call", "2|Ash Wolf", "7|Reef Eel", ""};
    }
    Lines Read(const std::string& text) {
        DeckFileRead r = ReadDeckText(tw(), text);
        EXPECT_EQ(r.status, Status::Loaded);
        return r.lines;
    }
};

TEST_F(ReaderTest, RepeatedLinesAreSummedWithinEachSide) {
    EXPECT_EQ(Read(CrLf({"1|SA|Moss Golem", "1|SB|Reef Eel", "1|SA|Moss Golem", "-SIDE DECK-", "1|SB|Reef Eel",
                         "1|SB|Reef Eel"})),
              (Lines{"2 SA Moss Golem", "1 SB Reef Eel", "-SIDE DECK-", "2 SB Reef Eel"}));
    // Other printings and other letter case are not the same line; a count that is no number
    // is one copy, summed like any other.
    EXPECT_EQ(Read(CrLf({"-SIDE DECK-", "1|SA|Moss Golem", "1|SB|Moss Golem", "1|SA|moss golem", "x|SA|Moss Golem",
                         "1|SA|Moss Golem"})),
              (Lines{"-SIDE DECK-", "3 SA Moss Golem", "1 SB Moss Golem", "1 SA moss golem"}));
}

// A file of many lines is read in one pass over them, not one per pair.
TEST_F(ReaderTest, ALongFileSumsEveryRepeat) {
    Lines file;
    for (int i = 0; i < 20000; ++i) file.push_back("1|S" + std::to_string(i % 7) + "|Card " + std::to_string(i % 500));
    file.push_back("-SIDE DECK-");
    for (int i = 0; i < 20000; ++i) file.push_back("1|S0|Card " + std::to_string(i % 3));
    const Lines got = Read(CrLf(file));
    // 500 names over 7 sets: 3500 printings, each at least 5 times, so 3 copies each. The side
    // deck's thousands of Card 0, 1 and 2 of S0 leave no room for their deck lines.
    ASSERT_EQ(got.size(), 3497u + 1 + 3);
    EXPECT_EQ(got[0], "3 S1 Card 1");
    EXPECT_EQ(got[3496], "3 S6 Card 499");
    EXPECT_EQ(got[3497], "-SIDE DECK-");
    EXPECT_EQ((Lines{got.begin() + 3498, got.end()}), (Lines{"3 S0 Card 0", "3 S0 Card 1", "3 S0 Card 2"}));
    EXPECT_EQ(std::count(got.begin(), got.end(), "3 S0 Card 0"), 1);
}

TEST_F(ReaderTest, DeckAndSideDeckHoldAtMostThreeCopiesOfAPrinting) {
    EXPECT_EQ(Read(CrLf({"3|SA|Moss Golem", "-SIDE DECK-", "2|SA|Moss Golem"})),
              (Lines{"1 SA Moss Golem", "-SIDE DECK-", "2 SA Moss Golem"}));
    EXPECT_EQ(Read(CrLf({"1|SA|Moss Golem", "-SIDE DECK-", "3|SA|Moss Golem"})),
              (Lines{"-SIDE DECK-", "3 SA Moss Golem"}));
    // Summed first: 2 + 2 in the deck against 1 in the side deck.
    EXPECT_EQ(Read(CrLf({"2|SA|Moss Golem", "2|SA|Moss Golem", "-SIDE DECK-", "1|SA|Moss Golem"})),
              (Lines{"2 SA Moss Golem", "-SIDE DECK-", "1 SA Moss Golem"}));
}

TEST_F(ReaderTest, EachLineIsCutToItsBanListLimit) {
    struct Case {
        const char* line;
        Lines want;
    };
    const Case cases[] = {
        {"5|SA|Moss Golem", {"3 SA Moss Golem"}},
        {"5|SA|Tide Call", {"1 SA Tide Call"}},
        {"3|SA|ash-wolf", {"2 SA ash-wolf"}},
        {"1|SB|Pit Snare", {}},
        {"0|SA|Moss Golem", {}},
        {"many|SA|Moss Golem", {"1 SA Moss Golem"}},
        {"2|SA|Salt & Cinder", {"2 SA Salt & Cinder"}},
        // A limit digit above 3 allows no more than any deck may hold.
        {"5|SA|Reef Eel", {"3 SA Reef Eel"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Lines want = {"-SIDE DECK-"};
        want.insert(want.end(), c.want.begin(), c.want.end());
        want.push_back("// end");
        EXPECT_EQ(Read(CrLf({"-SIDE DECK-", c.line, "// end"})), want);
    }
}

// A file without a marker is all deck: every line is summed, the first one too.
TEST_F(ReaderTest, AFileWithoutMarkerGetsOneAtTheEndAndSumsEveryLine) {
    EXPECT_EQ(Read(CrLf({"1|SA|Moss Golem", "1|SB|Reef Eel", "1|SA|Moss Golem", "1|SB|Reef Eel"})),
              (Lines{"2 SA Moss Golem", "2 SB Reef Eel", "-SIDE DECK-"}));
    EXPECT_EQ(Read(CrLf({"2|SA|Moss Golem", "// between", "2|SA|Moss Golem"})),
              (Lines{"3 SA Moss Golem", "// between", "-SIDE DECK-"}));
}

// Every editor's line ends read alike; the writer keeps CR LF.
TEST_F(ReaderTest, CrLfLfAndCrAreLineEndsAlike) {
    const Lines want = {"3 SA Moss Golem", "1 SB Reef Eel", "-SIDE DECK-", "2 SA Ash Wolf"};
    const char* const files[] = {
        "3|SA|Moss Golem\r\n1|SB|Reef Eel\r\n-SIDE DECK-\r\n2|SA|Ash Wolf\r\n",
        "3|SA|Moss Golem\n1|SB|Reef Eel\n-SIDE DECK-\n2|SA|Ash Wolf\n",
        "3|SA|Moss Golem\r1|SB|Reef Eel\r-SIDE DECK-\r2|SA|Ash Wolf",
        "3|SA|Moss Golem\n\n\r\n1|SB|Reef Eel\r\r-SIDE DECK-\n\r2|SA|Ash Wolf\r\n\n",
    };
    for (const char* file : files) {
        SCOPED_TRACE(file);
        EXPECT_EQ(Read(file), want);
    }
    EXPECT_EQ(DeckFileText(want), "3|SA|Moss Golem\r\n1|SB|Reef Eel\r\n-SIDE DECK-\r\n2|SA|Ash Wolf");
}

// Only a file that holds no line of a deck at all is refused; every short deck is read.
TEST_F(ReaderTest, OnlyFilesWithoutDeckLinesAreRefused) {
    struct Case {
        const char* what;
        std::string text;
        Status want;
        Lines lines = {};
    };
    const Case cases[] = {
        {"empty: the empty deck", "", Status::Loaded, {"-SIDE DECK-"}},
        {"one card line, no line break", "3|SA|Moss Golem", Status::Loaded, {"3 SA Moss Golem", "-SIDE DECK-"}},
        {"one card line and a break", "3|SA|Moss Golem\r\n", Status::Loaded, {"3 SA Moss Golem", "-SIDE DECK-"}},
        {"a side deck of one", "-SIDE DECK-\r\n1|SA|Moss Golem", Status::Loaded, {"-SIDE DECK-", "1 SA Moss Golem"}},
        {"a comment alone", "// nothing yet\r\n", Status::Loaded, {"// nothing yet", "-SIDE DECK-"}},
        {"three lines, no break after the last", "1|SA|A\r\n1|SA|B\r\n1|SA|C", Status::Loaded,
         {"1 SA A", "1 SA B", "1 SA C", "-SIDE DECK-"}},
        {"text that is no deck", "Dear diary,\r\ntoday I built a deck.\r\n", Status::Invalid},
        {"blank lines only", "\r\n\r\n  \r\n", Status::Invalid},
        {"a card line with one bar", "1|SA|A\r\n1|SA B\r\n1|SA|C\r\n", Status::Error},
        {"prose around a comment", "Dear diary,\n// a note\n", Status::Invalid},
        {"comments and a marker only", "// plan\r\n-SIDE DECK-\r\n// later\r\n", Status::Loaded,
         {"// plan", "-SIDE DECK-", "// later"}},
        {"a NUL byte", std::string("3|SA|Moss Golem\r\n1|SA|Reef", 25) + '\0' + "Eel\r\n", Status::Invalid},
        {"an escape byte", "3|SA|Moss \x1b[1mGolem\r\n", Status::Invalid},
        {"a form feed", "\f3|SA|Moss Golem\r\n", Status::Invalid},
        {"tabs and high bytes are text", "3|SA|Moss\tGolem\x92s\r\n", Status::Loaded,
         {"3 SA Moss\tGolem\x92s", "-SIDE DECK-"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const DeckFileRead r = ReadDeckText(tw(), c.text);
        EXPECT_EQ(r.status, c.want);
        EXPECT_EQ(r.lines, c.lines);
    }
}

// What the reader accepts, the writer writes back as a file that reads as the same deck: names
// with blanks at their end or no name at all, set codes with a blank, counts that are no number,
// a second marker and "&amp;" in a name included.
TEST_F(ReaderTest, EveryAcceptedDeckIsWrittenBackAsTheSameDeck) {
    const std::string files[] = {
        CrLf({"1|SA|", "2|SA|Moss Golem ", "-SIDE DECK-", "1|SB| Reef Eel  "}),
        CrLf({"1|Q R|Foo", "1|Q|R Foo", "-SIDE DECK-", "2|Q R|Foo"}),
        CrLf({"x|SA|Moss Golem", "1|SA|Moss Golem", "-SIDE DECK-", "y|SA|Moss Golem"}),
        CrLf({"1|SA|A", "-SIDE DECK-", "1|SA|A", "-SIDE DECK-", "1|SA|A"}),
        CrLf({"2|SA|Salt &amp;amp; Cinder", "1|SA|Salt &amp; Cinder", "// a &amp;amp; b"}),
        CrLf({"5|SA|Tide Call", "-5|SA|Ash Wolf", "3|SA|Ash Wolf", "//  spaced  |  comment  "}),
        "2|SA|A\r",
    };
    for (const std::string& bytes : files) {
        SCOPED_TRACE(bytes);
        const fs::path first = dir.write("first.dek", bytes);
        const DeckFileRead once = ReadDeckText(tw(), ReadFileText(first));
        ASSERT_EQ(once.status, Status::Loaded);
        const fs::path again = dir.path() / "again.dek";
        ASSERT_TRUE(WriteFileText(DeckFileText(once.lines), again));
        const DeckFileRead twice = ReadDeckText(tw(), ReadFileText(again));
        EXPECT_EQ(twice.status, Status::Loaded);
        EXPECT_EQ(twice.lines, once.lines);
    }
    // A name that ends in blanks, or is empty, is written as it stands.
    EXPECT_EQ(DeckFileText({"1 SA ", "2 SA Moss Golem ", "-SIDE DECK-"}), "1|SA|\r\n2|SA|Moss Golem \r\n");
}

TEST(DeckFileWriter, CardLinesCommentsAndTheMarker) {
    // A non-empty side deck: the marker is written and no break follows the last line.
    EXPECT_EQ(DeckFileText({"3 SA Moss Golem", "  2 SB Old Reef Eel ", "//  my  | notes ", "-SIDE DECK-",
                            "10 SC Sea of Glass"}),
              "3|SA|Moss Golem\r\n2|SB|Old Reef Eel \r\n//  my  | notes \r\n-SIDE DECK-\r\n10|SC|Sea of Glass");
    // An empty side deck: no marker, one closing break.
    EXPECT_EQ(DeckFileText({"3 SA Moss Golem", "1 SB Reef Eel", "-SIDE DECK-"}), "3|SA|Moss Golem\r\n1|SB|Reef Eel\r\n");
    EXPECT_EQ(DeckSavePath("decks/burn"), "decks/burn.dek");
    EXPECT_EQ(DeckSavePath("decks/burn.dek.bak"), "decks/burn.dek.bak");
}

TEST_F(ReaderTest, AWrittenDeckReadsBackEqual) {
    tw().editor.BanList.assign(1, "");
    const Lines decks[] = {
        {"3 SA Moss Golem", "// keep: two | bars  and  blanks", "2 SB Old Reef Eel", "1 SA Salt & Cinder",
         "-SIDE DECK-", "1 SB Pit Snare", "//side note"},
        {"3 SA Moss Golem", "1 SB Reef Eel", "2 SC Ash Wolf", "-SIDE DECK-"},
    };
    for (const Lines& deck : decks) {
        EXPECT_EQ(Read(DeckFileText(deck)), deck);
        EXPECT_EQ(DeckFileText(Read(DeckFileText(deck))), DeckFileText(deck));
    }
}

// The commands of the deck editor window.
struct DeckFileCommands : test::EditorTest {
    win::DeckMaker& dm() { return editor(); }
    fs::path decks() { return dir.path() / "decks"; }
    void Start() {
        returning_player();
        fs::create_directories(decks());
        store(setting_key::decks, decks().string());
        start();
    }
    void Show(const Lines& lines) {
        dm().List1.clear();
        for (const auto& l : lines) dm().List1.add_item(l);
    }
    void Save(const fs::path& path) {
        host.expect_file(path.string());
        dm().Command2_Click();
    }
    void Open(const fs::path& path) {
        host.expect_file(path.string());
        dm().Command1_Click();
    }
};

TEST_F(DeckFileCommands, TheLastDeckIsReadAtTheEditorsLoad) {
    const fs::path deck = dir.write("decks/last.dek", CrLf({"2|SA|Alpha", "1|SB|Beta", "-SIDE DECK-", "1|SA|Alpha"}));
    store(setting_key::lastdeck, deck.string());
    Start();
    EXPECT_EQ(dm().List1.items(), (Lines{"2 SA Alpha", "1 SB Beta", "-SIDE DECK-", "1 SA Alpha"}));
    EXPECT_EQ(dm().NormalNum, 3);
    EXPECT_EQ(dm().SideNum, 1);
    EXPECT_EQ(dm().Label1.caption(), "3");
}

TEST_F(DeckFileCommands, SavingWritesTheFileAndTheSettingButNotTheOpenedPath) {
    Start();
    tw().editor.LastDeckPath = "opened.dek";
    Show({"3 SA Alpha", "//  a comment  with  blanks", "-SIDE DECK-"});
    Save(decks() / "burn");

    const fs::path file = decks() / "burn.dek";
    EXPECT_EQ(test::TempDir::read(file), "3|SA|Alpha\r\n//  a comment  with  blanks\r\n");
    EXPECT_EQ(setting(setting_key::lastdeck), file.string());
    EXPECT_EQ(tw().editor.LastDeckPath, "opened.dek");
    EXPECT_EQ(dm().File1.items(), Lines{"burn.dek"});
    // The save dialog starts from the last deck.
    EXPECT_EQ(dm().comm1.file_name, (decks() / "burn").string());
}

TEST_F(DeckFileCommands, BothDialogsStartInTheDecksFolderTheFirstRunStored) {
    start();  // a new user: the first run makes and stores the decks folder
    const fs::path stored = setting(setting_key::decks);
    ASSERT_TRUE(fs::is_directory(stored));
    for (bool save : {true, false}) {
        SCOPED_TRACE(save ? "save" : "open");
        dm().comm1.init_dir.clear();
        host.expect_file(std::nullopt);
        if (save) dm().Command2_Click();
        else dm().Command1_Click();
        ASSERT_FALSE(dm().comm1.init_dir.empty());
        EXPECT_TRUE(fs::equivalent(dm().comm1.init_dir, stored));
    }
    // A stored folder that is gone: the program's own decks folder.
    store(setting_key::decks, (dir.path() / "gone").string());
    host.expect_file(std::nullopt);
    dm().Command2_Click();
    EXPECT_TRUE(fs::equivalent(dm().comm1.init_dir, stored));
}

TEST_F(DeckFileCommands, ACancelledSaveWritesNothing) {
    Start();
    store(setting_key::lastdeck, "kept.dek");
    host.expect_file(std::nullopt);
    dm().Command2_Click();
    EXPECT_TRUE(platform::list_files(decks(), "*").empty());
    EXPECT_EQ(setting(setting_key::lastdeck), "kept.dek");
}

TEST_F(DeckFileCommands, ACommentSurvivesTwoSavesUnchanged) {
    Start();
    const Lines deck = {"//  Burn: 2 | 3   copies ", "3 SA Alpha", "1 SB Beta", "-SIDE DECK-", "2 SB Beta"};
    Show(deck);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        Save(decks() / "burn.dek");
        Show({"-SIDE DECK-"});
        Open(decks() / "burn.dek");
        EXPECT_EQ(dm().List1.items(), deck);
    }
}

TEST_F(DeckFileCommands, OpeningRemembersThePathEvenWhenTheFileIsRefused) {
    Start();
    const fs::path good = dir.write("decks/good.dek", CrLf({"1|SA|Alpha", "1|SA|Alpha", "1|SB|Beta", "-SIDE DECK-"}));
    Open(good);
    EXPECT_EQ(dm().List1.items(), (Lines{"2 SA Alpha", "1 SB Beta", "-SIDE DECK-"}));
    EXPECT_EQ(tw().editor.LastDeckPath, good.string());
    EXPECT_EQ(setting(setting_key::lastdeck), good.string());

    const fs::path bad = dir.write("decks/bad.dek", "Alpha and Beta");
    Open(bad);
    EXPECT_EQ(dm().List1.items(), (Lines{"2 SA Alpha", "1 SB Beta", "-SIDE DECK-"}));
    EXPECT_EQ(tw().editor.LastDeckPath, bad.string());
    EXPECT_EQ(setting(setting_key::lastdeck), bad.string());
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].text, "Invalid Deck File");
}

TEST_F(DeckFileCommands, AFailedReadLeavesTheDeckListAsItWas) {
    Start();
    const Lines before = {"3 SA Alpha", "-SIDE DECK-", "1 SB Beta"};
    Show(before);
    dm().ComputeDeckAmount();
    struct Case {
        const char* file;
        std::string text;
        const char* message;
        const char* title;
    };
    const Case cases[] = {
        {"prose.dek", "Alpha, Beta\r\nand Gamma\r\n", "Invalid Deck File", "Tablewright Version 9.1"},
        {"broken.dek", CrLf({"2|SA|Alpha", "-SIDE DECK-", "1|SB Beta", "1|SA|Alpha"}), "Error loading this deck",
         "Tablewright"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::size_t seen = host.messages().size();
        dm().LoadDeck(dir.write(std::string("decks/") + c.file, c.text).string());
        EXPECT_EQ(dm().List1.items(), before);
        EXPECT_EQ(dm().NormalNum, 3);
        EXPECT_EQ(dm().SideNum, 1);
        ASSERT_EQ(host.messages().size(), seen + 1);
        EXPECT_EQ(host.messages().back().text, c.message);
        EXPECT_EQ(host.messages().back().title, c.title);
    }
    // A missing file or an empty name: nothing at all.
    const std::size_t seen = host.messages().size();
    dm().LoadDeck("");
    dm().LoadDeck((decks() / "missing.dek").string());
    EXPECT_EQ(dm().List1.items(), before);
    EXPECT_EQ(host.messages().size(), seen);
}

TEST_F(DeckFileCommands, AFileFarLargerThanAnyDeckIsRefusedAtOnce) {
    Start();
    const Lines before = {"3 SA Alpha", "-SIDE DECK-", "1 SB Beta"};
    Show(before);
    // Good deck lines and a comment that pads the file to its size.
    const auto deck_of = [](std::size_t size) {
        std::string text = CrLf({"1|SA|Alpha", "1|SB|Beta", "-SIDE DECK-", "//"});
        text.resize(size, 'x');
        return text;
    };
    const fs::path big = dir.write("decks/big.dek", deck_of(std::size_t{2} << 20));
    Open(big);
    EXPECT_EQ(dm().List1.items(), before);
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].text, "Invalid Deck File");
    EXPECT_EQ(setting(setting_key::lastdeck), big.string());

    const fs::path largest = dir.write("decks/largest.dek", deck_of(kMaxDeckFileBytes));
    Open(largest);
    ASSERT_EQ(dm().List1.list_count(), 4);
    EXPECT_EQ(dm().List1.list(1), "1 SB Beta");
    EXPECT_EQ(host.messages().size(), 1u);
}

// Every deck of up to three lines on each side of the marker, of card and comment lines, is
// saved through the window and opened again as the same list, without a word.
TEST_F(DeckFileCommands, EveryShortDeckShapeIsOpenedAsItWasSaved) {
    Start();
    const Lines cards = {"3 SA Alpha", "1 SB Beta", "2 SA Gamma Ray", "1 SB Delta", "2 SA Eps", "1 SB Zeta"};
    const auto part = [&](int n, int mask, int first) {
        Lines out;
        for (int k = 0; k < n; ++k)
            out.push_back(mask >> k & 1 ? "// note " + std::to_string(first + k) : cards[first + k]);
        return out;
    };
    int shapes = 0;
    for (int deck_n = 0; deck_n <= 3; ++deck_n)
        for (int deck_mask = 0; deck_mask < 1 << deck_n; ++deck_mask)
            for (int side_n = 0; side_n <= 3; ++side_n)
                for (int side_mask = 0; side_mask < 1 << side_n; ++side_mask) {
                    Lines deck = part(deck_n, deck_mask, 0);
                    deck.push_back("-SIDE DECK-");
                    const Lines side = part(side_n, side_mask, 3);
                    deck.insert(deck.end(), side.begin(), side.end());
                    SCOPED_TRACE(testing::PrintToString(deck));
                    Show(deck);
                    Save(decks() / "shape.dek");
                    Show({"1 SA Other", "-SIDE DECK-"});
                    Open(decks() / "shape.dek");
                    EXPECT_EQ(dm().List1.items(), deck);
                    ++shapes;
                }
    EXPECT_EQ(shapes, 15 * 15);
    EXPECT_TRUE(host.messages().empty());
    // The last one saved is the deck the next start opens.
    EXPECT_EQ(setting(setting_key::lastdeck), (decks() / "shape.dek").string());
}

TEST_F(DeckFileCommands, AFailedSaveSaysSoAndKeepsTheLastDeck) {
    Start();
    store(setting_key::lastdeck, "kept.dek");
    fs::create_directories(decks() / "taken.dek");  // a folder where the file would go
    Show({"3 SA Alpha", "-SIDE DECK-"});
    host.expect_file((decks() / "taken.dek").string());
    dm().Command2_Click();
    ASSERT_EQ(host.messages().size(), 1u);
    EXPECT_EQ(host.messages()[0].text, "The deck could not be saved.");
    EXPECT_EQ(setting(setting_key::lastdeck), "kept.dek");
    EXPECT_TRUE(fs::is_directory(decks() / "taken.dek"));
}

TEST_F(DeckFileCommands, TheFileListLoadsADoubleClickedDeckAfterAsking) {
    dir.write("decks/burn.dek", CrLf({"3|SA|Alpha", "-SIDE DECK-", "1|SB|Beta", "1|SB|Beta"}));
    Start();
    ASSERT_EQ(dm().File1.items(), Lines{"burn.dek"});

    host.expect_yes_no("Are you sure you want to load this deck?", platform::MsgResult::No);
    dm().File1.user_double_click(0);
    EXPECT_EQ(dm().List1.items(), Lines{"-SIDE DECK-"});
    EXPECT_EQ(tw().editor.LastDeckPath, "");

    host.expect_yes_no("Are you sure you want to load this deck?", platform::MsgResult::Yes);
    dm().File1.user_double_click(0);
    EXPECT_EQ(dm().List1.items(), (Lines{"3 SA Alpha", "-SIDE DECK-", "2 SB Beta"}));
    const std::string path = (dm().File1.path() / "burn.dek").string();
    EXPECT_EQ(tw().editor.LastDeckPath, path);
    EXPECT_EQ(setting(setting_key::lastdeck), path);
    EXPECT_EQ(host.questions().back().title, "Tablewright");
}

}  // namespace
}  // namespace tw
