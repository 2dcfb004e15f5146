// The deck editor's window over the deck files: the file list follows the decks folder, and a
// deck changed since it was last opened or saved is not closed away without a word.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cards/settings.hpp"
#include "deckeditor/deckmaker.hpp"
#include "duel/forma.hpp"
#include "platform/dialog.hpp"
#include "tests/deckeditor/editor_fixture.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using platform::MsgResult;

constexpr const char* kUnsaved = "The deck has changes that are not saved. Quit anyway?";

// A returning player whose decks folder holds one deck.
struct DeckWindow : test::Editor {
    DeckWindow() {
        returning_player();
        fs::create_directories(decks());
        dir.write("decks/burn.dek", "3|SA|Alpha\r\n-SIDE DECK-\r\n1|SB|Beta\r\n");
        store(setting_key::decks, decks().string());
        start();
    }
    fs::path decks() { return dir.path() / "decks"; }
    win::DeckMaker& dm() { return editor(); }
    Lines files() { return dm().File1.items(); }

    // The search hit made current and added to the deck, as the player does.
    void add(const std::string& set, const std::string& name) {
        dm().Grid.set_rows(2);
        dm().Grid.set_text_matrix(1, 1, set);
        dm().Grid.set_text_matrix(1, 2, name);
        dm().Grid.set_row(1);
        dm().Command3.user_click();
    }
    void open(const std::string& file) {
        host.expect_file((decks() / file).string());
        dm().Command1.user_click();
    }
    void save(const std::string& file) {
        host.expect_file((decks() / file).string());
        dm().Command2.user_click();
    }
};

TEST(DeckFileList, ShowsDeckFilesAddedWhileTheProgramRuns) {
    DeckWindow w;
    ASSERT_EQ(w.files(), Lines{"burn.dek"});
    w.dm().File1.user_click(0);

    // Written by another program, or copied in by the player, while the editor is open.
    w.dir.write("decks/aggro.dek", "1|SA|Alpha\r\n");
    w.dir.write("decks/notes.txt", "not a deck");
    w.dm().user_activate();  // the player comes back to the window
    EXPECT_EQ(w.files(), (Lines{"aggro.dek", "burn.dek"}));
    EXPECT_EQ(w.dm().File1.file_name(), "burn.dek") << "the selection stays with its file";

    // Before the open command's dialog.
    w.dir.write("decks/control.dek", "1|SB|Beta\r\n");
    w.host.expect_file(std::nullopt);
    w.dm().Command1.user_click();
    EXPECT_EQ(w.files(), (Lines{"aggro.dek", "burn.dek", "control.dek"}));

    // Shown again, as a duel's reset brings it back.
    w.dm().hide();
    w.dir.write("decks/mill.dek", "1|SB|Beta\r\n");
    w.dm().show();
    EXPECT_EQ(w.files(), (Lines{"aggro.dek", "burn.dek", "control.dek", "mill.dek"}));

    // A file that went leaves the list, and the selection with it.
    fs::remove(w.decks() / "burn.dek");
    w.dm().user_activate();
    EXPECT_EQ(w.files(), (Lines{"aggro.dek", "control.dek", "mill.dek"}));
    EXPECT_EQ(w.dm().File1.file_name(), "");
    EXPECT_TRUE(w.host.questions().empty());
}

// Each of the two ways a person closes the editor, after each thing done to the deck.
TEST(ClosingTheDeckEditor, AsksOnlyWhenTheDeckDiffersFromTheOneLastOpenedOrSaved) {
    struct Case {
        const char* what;
        std::function<void(DeckWindow&)> did;
        bool asks;
    };
    const Case cases[] = {
        {"nothing since the start", [](DeckWindow&) {}, false},
        {"a deck opened", [](DeckWindow& w) { w.open("burn.dek"); }, false},
        {"a card added", [](DeckWindow& w) { w.add("SA", "Alpha"); }, true},
        {"a card added to the opened deck", [](DeckWindow& w) {
             w.open("burn.dek");
             w.add("SB", "Beta");
         }, true},
        {"a card added and taken off again", [](DeckWindow& w) {
             w.add("SA", "Alpha");
             w.dm().List1.set_list_index(0);
             w.dm().Command4.user_click();
         }, false},
        {"a card added, then the deck saved", [](DeckWindow& w) {
             w.add("SA", "Alpha");
             w.save("mine.dek");
         }, false},
        {"a deck opened, then cleared", [](DeckWindow& w) {
             w.open("burn.dek");
             w.host.expect_yes_no("Are you sure you want to clear your deck?", MsgResult::Yes);
             w.dm().Command7.user_click();
         }, true},
        {"a card added, then a file opened that is refused", [](DeckWindow& w) {
             w.add("SA", "Alpha");
             w.dir.write("decks/broken.dek", std::string("3|SA|Alpha\r\n\x01\x02\r\n", 16));
             w.open("broken.dek");
         }, true},
    };
    struct Way {
        const char* what;
        std::function<void(DeckWindow&)> close;
    };
    const Way ways[] = {
        {"the close picture", [](DeckWindow& w) { w.dm().Command16.user_click(); }},
        {"the desktop's close", [](DeckWindow& w) { w.tw().DeckMaker.unload(); }},
    };
    for (const Way& way : ways) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(way.what) + ", " + c.what);
            DeckWindow w;
            c.did(w);
            ASSERT_EQ(w.host.expectations_left(), 0u);
            const std::size_t asked = w.host.questions().size();
            const Lines list = w.dm().List1.items();
            if (!c.asks) {
                EXPECT_THROW(way.close(w), platform::ProgramEnd);
                EXPECT_EQ(w.host.questions().size(), asked) << "closed without a box";
                continue;
            }
            w.host.expect_yes_no(kUnsaved, MsgResult::No);
            way.close(w);
            EXPECT_FALSE(w.app.ended());
            ASSERT_TRUE(w.tw().DeckMaker.loaded());
            EXPECT_TRUE(w.dm().visible());
            EXPECT_EQ(w.dm().List1.items(), list);
            ASSERT_EQ(w.host.questions().size(), asked + 1);
            EXPECT_EQ(w.host.questions().back().text, kUnsaved);
            EXPECT_EQ(w.host.questions().back().title, "Tablewright " + w.tw().VersionText);
            EXPECT_EQ(w.host.questions().back().buttons, platform::MsgButtons::YesNo);

            w.host.expect_yes_no(kUnsaved, MsgResult::Yes);
            EXPECT_THROW(way.close(w), platform::ProgramEnd);
            EXPECT_TRUE(w.app.ended());
        }
    }
}

// The duel window's shutdown has asked whether to quit: the editor it closes asks nothing more.
TEST(ClosingTheDeckEditor, WithTheDuelWindowAsksNothing) {
    DeckWindow w;
    w.add("SA", "Alpha");
    w.dm().ClosingWithDuelWindow = true;
    EXPECT_TRUE(w.tw().DeckMaker.unload());
    EXPECT_FALSE(w.app.ended());
    EXPECT_TRUE(w.host.questions().empty());
}

}  // namespace
}  // namespace tw
