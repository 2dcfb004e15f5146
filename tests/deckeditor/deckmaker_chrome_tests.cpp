// The deck editor's chrome: the title drag, the image buttons, and closing the window.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cards/settings_window.hpp"
#include "cards/token_editor.hpp"
#include "cards/updater.hpp"
#include "deckeditor/deckmaker.hpp"
#include "duel/forma.hpp"
#include "platform/picture.hpp"
#include "tests/deckeditor/editor_fixture.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;

struct Chrome : test::EditorTest {
    Chrome() {
        returning_player();
        start();
    }
    win::DeckMaker& dm() { return editor(); }
    // An executable companion program in the Utilities folder, named as it is on disk.
    void install_utility(const std::string& file_name) {
        const auto file = dir.write("Utilities/" + file_name, "#!/bin/sh\n");
        fs::permissions(file, fs::perms::owner_exec, fs::perm_options::add);
    }
};

TEST_F(Chrome, DraggingTheTitleMovesTheWindowByTheRoundedGrabPoint) {
    const struct {
        double press_x, press_y, move_x, move_y;
        double left, top;  // the window's place after the move, from (1000, 2000)
    } cases[] = {
        {100, 50, 400, 250, 1300, 2200},
        {100.5, 50.5, 100.5, 50.5, 1000.5, 2000.5},  // halves round to even: grab (100, 50)
        {101.5, 0, 101.5, -300, 999.5, 1700},  // grab 102
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.press_x);
        dm().move(1000, 2000);
        dm().Image6.user_mouse_down(2, 0, c.press_x, c.press_y);  // any button
        dm().Image6.user_mouse_move(2, 0, c.move_x, c.move_y);
        EXPECT_DOUBLE_EQ(dm().left(), c.left);
        EXPECT_DOUBLE_EQ(dm().top(), c.top);
        dm().Image6.user_mouse_up(2, 0, c.move_x, c.move_y);
    }
}

TEST_F(Chrome, TheWindowMovesOnlyBetweenPressAndRelease) {
    dm().move(1000, 2000);
    dm().Image6.user_mouse_move(0, 0, 500, 500);
    EXPECT_EQ(dm().left(), 1000);
    dm().Image6.user_mouse_down(1, 0, 0, 0);
    dm().Image6.user_mouse_up(1, 0, 0, 0);
    dm().Image6.user_mouse_move(0, 0, 500, 500);
    EXPECT_EQ(dm().left(), 1000);
    EXPECT_EQ(dm().top(), 2000);
}

TEST_F(Chrome, APressOnTheTitleTextDragsTheWindowAsTheTitlePictureDoes) {
    dm().move(1000, 2000);
    dm().Label4.user_mouse_down(1, 0, 200, 30);
    dm().Label4.user_mouse_move(1, 0, 500, 130);
    EXPECT_DOUBLE_EQ(dm().left(), 1300);
    EXPECT_DOUBLE_EQ(dm().top(), 2100);
    dm().Label4.user_mouse_up(1, 0, 500, 130);
    dm().Label4.user_mouse_move(0, 0, 900, 130);
    EXPECT_DOUBLE_EQ(dm().left(), 1300);
}

TEST_F(Chrome, TheMinimiseButtonMinimisesTheEditor) {
    dm().Image3.user_click();
    EXPECT_EQ(dm().window_state(), platform::WindowState::Minimized);
    EXPECT_FALSE(tw().FormA.peek()->visible());
}

TEST_F(Chrome, TheChatButtonStartsTheUtilityMinimisedWithoutWaiting) {
    install_utility("chatwell");  // the name is matched without regard to case
    dm().Image2.user_click();
    ASSERT_EQ(host.processes().size(), 1u);
    EXPECT_EQ(fs::path(host.processes()[0].program), dir.path() / "Utilities" / "chatwell");
    EXPECT_TRUE(host.processes()[0].args.empty());
    EXPECT_EQ(host.processes()[0].style, platform::WindowStyle::MinimizedFocus);
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(Chrome, AChatUtilityThatIsMissingOrWillNotStartIsReported) {
    const std::string text =
        "Cannot start Chatwell: it is missing from the Utilities folder or cannot be run.";
    dm().Image2.user_click();  // no Utilities folder at all
    EXPECT_TRUE(host.processes().empty());

    dir.write("Utilities/Chatwell", "not executable");
    dm().Image2.user_click();
    EXPECT_TRUE(host.processes().empty());

    install_utility("Chatwell");
    host.set_start_process_result(false);
    dm().Image2.user_click();
    EXPECT_EQ(host.processes().size(), 1u);

    ASSERT_EQ(host.messages().size(), 3u);
    for (const auto& m : host.messages()) {
        EXPECT_EQ(m.text, text);
        EXPECT_EQ(m.title, "Tablewright Version 9.1");
    }
}

TEST_F(Chrome, TheSettingsButtonShowsOneSettingsWindowOwnedByTheEditor) {
    dm().imgSettings.user_click();
    ASSERT_TRUE(tw().settings.loaded());
    auto* settings = tw().settings.peek();
    EXPECT_TRUE(settings->visible());
    EXPECT_EQ(settings->owner(), &dm());

    dm().imgSettings.user_click();
    EXPECT_EQ(tw().settings.peek(), settings);
    EXPECT_TRUE(settings->visible());
}

TEST_F(Chrome, TheTokenAndUpdaterButtonsOpenTheirWindowsOwnedByTheEditor) {
    dir.write("token.ptcg", "[Spark]\r\nNAME=Spark\r\n");
    dm().Command14.user_click();
    ASSERT_TRUE(tw().frmTokens.loaded());
    auto* tokens = tw().frmTokens.peek();
    EXPECT_TRUE(tokens->visible());
    EXPECT_EQ(tokens->owner(), &dm());
    EXPECT_EQ(tokens->List1.items(), std::vector<std::string>{"Spark"});  // initialised

    dm().Image7.user_click();
    ASSERT_TRUE(tw().frmUpdater.loaded());
    EXPECT_TRUE(tw().frmUpdater.peek()->visible());
    EXPECT_EQ(tw().frmUpdater.peek()->owner(), &dm());

    // A second press brings the same window forward.
    dm().Command14.user_click();
    EXPECT_EQ(tw().frmTokens.peek(), tokens);
    EXPECT_TRUE(host.messages().empty());
}

TEST_F(Chrome, TheCloseButtonEndsTheProgramAtOnce) {
    tw().net.SentCommands.clear();
    EXPECT_THROW(dm().Command16.user_click(), platform::ProgramEnd);
    EXPECT_TRUE(app.ended());
    EXPECT_TRUE(host.questions().empty());
    EXPECT_TRUE(host.messages().empty());
    EXPECT_TRUE(tw().net.SentCommands.empty());
    // No other window's unload ran.
    EXPECT_TRUE(tw().FormA.loaded());
    EXPECT_TRUE(tw().DeckMaker.loaded());
}

std::shared_ptr<const platform::Picture> SomePicture() {
    auto p = std::make_shared<platform::Picture>();
    p->width = p->height = 1;
    p->pixels = {0xFF000000};
    return p;
}

TEST_F(Chrome, ClosingTheEditorClearsThePreviewAndEndsTheProgram) {
    dm().Image1.set_picture(SomePicture());
    dm().Image1.paint_picture(SomePicture(), 0, 0, 10, 10);
    auto& window = dm();
    EXPECT_THROW(tw().DeckMaker.unload(), platform::ProgramEnd);
    EXPECT_TRUE(app.ended());
    EXPECT_EQ(window.Image1.picture(), nullptr);
    EXPECT_TRUE(window.Image1.display_list().empty());
    EXPECT_TRUE(host.questions().empty());
    EXPECT_TRUE(tw().FormA.loaded());
}

TEST_F(Chrome, ClosedByTheDuelWindowsShutdownTheEditorOnlyClearsThePreview) {
    dm().Image1.set_picture(SomePicture());
    auto& window = dm();
    window.ClosingWithDuelWindow = true;
    EXPECT_TRUE(tw().DeckMaker.unload());
    EXPECT_FALSE(app.ended());
    EXPECT_FALSE(tw().DeckMaker.loaded());
    EXPECT_EQ(window.Image1.picture(), nullptr);  // destroyed only once the loop runs
}


// The program folder with the shipped button pictures: every picture button shows one, drawn
// at its own size, so it must be made to the size of its place (neither cut off nor leaving a
// blank margin). The title strip is drawn wider than this window, for the wider duel window.
struct ShippedPictures : test::EditorTest {
    ShippedPictures() {
        const fs::path root = fs::path(TW_SOURCE_DIR);
        fs::copy(root / "data" / "Buttons", dir.path() / "Buttons", fs::copy_options::recursive);
        returning_player();
        start();
    }
};

TEST_F(ShippedPictures, EveryPictureButtonShowsAPictureOfItsOwnSize) {
    win::DeckMaker& d = editor();
    for (platform::Image* image :
         {&d.Command14, &d.Image2, &d.Image7, &d.imgSettings, &d.Image3, &d.Command16, &d.Image4,
          &d.imgAdvancedSearch, &d.Command3, &d.Command6, &d.Command4, &d.Command8, &d.Command12,
          &d.Command7, &d.Command1, &d.Command2, &d.Command5, &d.Image6}) {
        SCOPED_TRACE(image->name());
        ASSERT_NE(image->picture(), nullptr);
        EXPECT_EQ(image->picture()->height * 15, image->height());
        if (image == &d.Image6) {
            EXPECT_GE(image->picture()->width * 15, image->width());
        } else {
            EXPECT_EQ(image->picture()->width * 15, image->width());
            EXPECT_FALSE(image->tool_tip_text().empty());
        }
    }
}

}  // namespace
}  // namespace tw
