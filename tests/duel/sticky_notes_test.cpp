#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "duel/sticky_notes.hpp"
#include "tests/duel/flow_fixture.hpp"

namespace tw {
namespace {

struct StickyNotes : test::FlowTest {
    void Make() {
        fx.host.expect_popup("MakeStickyNote");
        duel.popup_menu(duel.PlayField);
    }
    std::vector<int> Existing() const {
        std::vector<int> out;
        for (int k = 0; k <= 30; ++k)
            if (duel.StickyNote.exists(k)) out.push_back(k);
        return out;
    }
};

TEST_F(StickyNotes, MakingOneSendsItsNumberPlaceAndText) {
    Make();
    EXPECT_EQ(Sent(), (std::vector<std::string>{"mn~1", "sl~1:2985:4005", "en~Tester`s Sticky Note:1"}));
    auto& note = duel.StickyNote[1];
    EXPECT_TRUE(note.visible());
    EXPECT_EQ(note.caption(), "Tester`s Sticky Note");
    EXPECT_EQ(note.back_color(), 8454143u);
    EXPECT_EQ(note.left(), 4005);
    EXPECT_EQ(note.top(), 2985);
    EXPECT_EQ(note.width(), 855);
    EXPECT_FALSE(duel.StickyNote[0].visible());

    // The joining seat puts its notes on its own side; a name's "~" would cut the command.
    tw.net.PlayerNumber = 2;
    tw.prefs.UserName = "Ti~lda";
    Forget();
    Make();
    EXPECT_EQ(Sent(), (std::vector<std::string>{"mn~2", "sl~2:2985:7680", "en~Tilda`s Sticky Note:2"}));
    EXPECT_EQ(duel.StickyNote[2].caption(), "Tilda`s Sticky Note");
}

TEST_F(StickyNotes, TwentyFiveAtMostAndAFreedNumberIsTakenAgain) {
    for (int k = 1; k <= 25; ++k) Make();
    EXPECT_EQ(Existing().size(), 26u);  // the template and 25 notes
    Forget();
    Make();
    EXPECT_EQ(Notices(), std::vector<std::string>{"Too Many Sticky Notes!"});
    EXPECT_TRUE(Sent().empty());
    EXPECT_FALSE(duel.StickyNote.exists(26));

    // Deleting note 1 from its own menu frees the number.
    Forget();
    fx.host.expect_popup("DeleteNote");
    duel.StickyNote[1].user_mouse_down(2, 0, 10, 10);
    EXPECT_EQ(Sent(), std::vector<std::string>{"dn~1"});
    EXPECT_FALSE(duel.StickyNote.exists(1));
    Forget();
    Make();
    EXPECT_EQ(Sent().front(), "mn~1");
}

TEST_F(StickyNotes, EditingRemovesWhatWouldCutTheCommand) {
    Make();
    struct Case {
        std::optional<std::string> answer;
        std::string caption;
        std::vector<std::string> sent;
    };
    const Case cases[] = {
        {"Burn: 300 a turn", "Burn: 300 a turn", {"en~Burn: 300 a turn:1"}},
        {"a~b\xFF" "c\xFE" "d", "abcd", {"en~abcd:1"}},
        // Nothing left: the note keeps its text, and the empty text is still sent.
        {"~~~", "abcd", {"en~:1"}},
        {"", "abcd", {}},
        {std::nullopt, "abcd", {}},
    };
    for (const Case& c : cases) {
        Forget();
        fx.host.expect_popup("EditNote");
        fx.host.expect_input("Change Note Text to what?", c.answer);
        duel.StickyNote[1].user_mouse_down(2, 0, 10, 10);
        EXPECT_EQ(duel.StickyNote[1].caption(), c.caption);
        EXPECT_EQ(Sent(), c.sent);
    }
    EXPECT_EQ(fx.host.inputs().back().title, "Tablewright");
    EXPECT_EQ(fx.host.inputs().back().default_text, "abcd");
}

TEST_F(StickyNotes, DraggingFollowsThePointerAndTheReleaseSendsThePlace) {
    Make();
    Make();
    auto& note = duel.StickyNote[2];
    Forget();
    // Caught 100 twips right of and 200 below its corner; the table lies at 3480, 390 in the
    // window at 0, 0, and the screen has 15 twips to the pixel.
    note.user_mouse_down(1, 0, 100, 200);
    fx.host.set_cursor_pos({500, 300});
    note.user_mouse_move(1, 0, 100, 200);
    EXPECT_EQ(note.left(), 500 * 15 - 3480 - 100);
    EXPECT_EQ(note.top(), 300 * 15 - 390 - 200);
    fx.host.set_cursor_pos({900, 900});
    note.user_mouse_move(2, 0, 0, 0);  // the right button does not drag
    EXPECT_EQ(note.left(), 3920);
    note.user_mouse_up(1, 0, 100, 200);
    EXPECT_EQ(Sent(), std::vector<std::string>{"sl~2:3910:3920"});
    EXPECT_EQ(tw.duel.SelectedNote, 2);
    // A release without a move sends the place too.
    duel.StickyNote[1].user_mouse_down(1, 0, 5, 5);
    duel.StickyNote[1].user_mouse_up(1, 0, 5, 5);
    EXPECT_EQ(Sent().back(), "sl~1:2985:4005");
}

TEST_F(StickyNotes, TheProceduresLeaveTheTemplateAndStrayNumbersAlone) {
    EditStickyNote(tw, "x", 0);
    EditStickyNote(tw, "x", -1);
    EditStickyNote(tw, "x", 26);
    EditStickyNote(tw, "", 3);
    DeleteStickyNote(tw, 0);
    DeleteStickyNote(tw, 7);
    EXPECT_EQ(Existing(), std::vector<int>{0});
    EXPECT_EQ(duel.StickyNote[0].caption(), "Sticky Note");
    // A text for a missing note makes it.
    EditStickyNote(tw, "from afar", 3);
    EXPECT_EQ(Existing(), (std::vector<int>{0, 3}));
    EXPECT_TRUE(duel.StickyNote[3].visible());
    EXPECT_EQ(MakeStickyNote(tw), 1);
    EXPECT_TRUE(Sent().empty());
}

}  // namespace
}  // namespace tw
