#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/controls.hpp"
#include "platform/rt_error.hpp"
#include "surface.hpp"

namespace platform {
namespace {

using test::Surface;
using Fmt = RichTextBox::Fmt;
using TextRun = RichTextBox::Run;

constexpr Color kBlack = 0x000000;
constexpr Color kCardLink = 20480;
constexpr Color kLink = 16711680;

struct Chat : ::testing::Test {
    Surface s;
    RichTextBox chat{&s, "chat"};
    int changes = 0;
    void SetUp() override { chat.Change = [this] { ++changes; }; }

    // Appends at the end as the chat does: caret to the end, colour, text.
    void append(const std::string& t, Color c, bool underline = false) {
        chat.set_sel_start(static_cast<int>(chat.text().size()));
        chat.set_sel_color(c);
        chat.set_sel_underline(underline);
        chat.set_sel_text(t);
    }
    std::optional<Color> color_of(int pos, int len = 1) {
        chat.set_sel_start(pos);
        chat.set_sel_length(len);
        return chat.sel_color();
    }
};

TEST_F(Chat, InsertedTextTakesTheInsertionFormat) {
    append("<Ann> play ", kBlack);
    append("Night Heron", kCardLink, true);
    append("\r\n", kBlack);
    EXPECT_EQ(chat.text(), "<Ann> play Night Heron\r\n");
    EXPECT_EQ(chat.runs(), (std::vector<TextRun>{
                               {0, 11, Fmt{kBlack, false, false}},
                               {11, 11, Fmt{kCardLink, true, false}},
                               {22, 2, Fmt{kBlack, false, false}},
                           }));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(chat.sel_start(), 24);
}

TEST_F(Chat, SelColorOfOneCharacterAndOfMixedSelections) {
    append("see ", kBlack);
    append("site", kLink, true);
    EXPECT_EQ(color_of(4), kLink);
    EXPECT_EQ(color_of(3), kBlack);
    EXPECT_EQ(color_of(2, 4), std::nullopt);
    EXPECT_EQ(color_of(4, 4), kLink);
    chat.set_sel_start(4);
    chat.set_sel_length(4);
    EXPECT_EQ(chat.sel_underline(), true);
    chat.set_sel_length(5);  // clamped to the text's end
    EXPECT_EQ(chat.sel_length(), 4);
    EXPECT_EQ(chat.sel_text(), "site");
}

TEST_F(Chat, EmptySelectionReportsTheInsertionFormat) {
    append("abc", kLink);
    chat.set_sel_start(3);
    EXPECT_EQ(chat.sel_color(), kLink);  // from the character before the caret
    chat.set_sel_color(kCardLink);
    EXPECT_EQ(chat.sel_color(), kCardLink);
    EXPECT_EQ(chat.runs().size(), 1u);  // no character changed
    chat.set_sel_start(0);              // a caret move takes the text's format again
    EXPECT_EQ(chat.sel_color(), kLink);
}

TEST_F(Chat, FormattingASelectionChangesOnlyItAndRaisesNoChange) {
    append("abcdef", kBlack);
    changes = 0;
    chat.set_sel_start(2);
    chat.set_sel_length(2);
    chat.set_sel_bold(true);
    chat.set_sel_color(kLink);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(chat.runs(), (std::vector<TextRun>{
                               {0, 2, Fmt{kBlack, false, false}},
                               {2, 2, Fmt{kLink, false, true}},
                               {4, 2, Fmt{kBlack, false, false}},
                           }));
    // Replacing the selection: the new text takes the selection's format.
    chat.set_sel_text("XYZ");
    EXPECT_EQ(chat.text(), "abXYZef");
    EXPECT_EQ(chat.runs()[1], (TextRun{2, 3, Fmt{kLink, false, true}}));
    EXPECT_EQ(changes, 1);
}

TEST_F(Chat, TextSetDropsEveryFormat) {
    chat.set_fore_color(0x00FF00);
    append("red ", 0x0000FF, true);
    append("blue", 0xFF0000);
    changes = 0;
    chat.set_text(chat.text().substr(2));  // the trim keeps the tail as plain text
    EXPECT_EQ(chat.text(), "d blue");
    EXPECT_EQ(chat.runs(), (std::vector<TextRun>{{0, 6, Fmt{0x00FF00, false, false}}}));
    EXPECT_EQ(chat.sel_start(), 0);
    EXPECT_EQ(changes, 1);
    chat.set_text("d blue");  // the same text: formats reset, no Change
    EXPECT_EQ(changes, 1);
}

TEST_F(Chat, CrLfCountsAsTwoCharacters) {
    append("a\r\nb", kBlack);
    EXPECT_EQ(chat.text().size(), 4u);
    chat.set_sel_start(3);
    chat.set_sel_length(1);
    EXPECT_EQ(chat.sel_text(), "b");
}

TEST_F(Chat, SelectionBounds) {
    append("abc", kBlack);
    chat.set_sel_start(10);
    EXPECT_EQ(chat.sel_start(), 3);
    for (auto set : {&RichTextBox::set_sel_start, &RichTextBox::set_sel_length}) {
        try {
            (chat.*set)(-1);
            ADD_FAILURE();
        } catch (const rt::RuntimeError& e) {
            EXPECT_EQ(e.number, 380);
        }
    }
    chat.set_sel_start(1);
    chat.set_sel_text("");  // nothing selected, nothing inserted
    EXPECT_EQ(chat.text(), "abc");
}

TEST_F(Chat, UserTypingAndClicks) {
    std::vector<std::string> log;
    chat.Click = [&] { log.push_back("click@" + std::to_string(chat.sel_start())); };
    chat.DblClick = [&] { log.push_back("dbl"); };
    chat.user_type("hello");
    EXPECT_EQ(chat.text(), "hello");
    EXPECT_EQ(changes, 1);
    chat.user_click(2);
    chat.user_double_click(4);
    EXPECT_EQ(log, (std::vector<std::string>{"click@2", "click@4", "dbl"}));
}

}  // namespace
}  // namespace platform
