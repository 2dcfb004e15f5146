// The pile viewer window: its rows, captions and menu states for every mode, the lines that end
// a look, the reminder of a long look at the deck, the card of a row, and the reordering of the
// top of the deck.
#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "cards/card_info.hpp"
#include "net/received_commands.hpp"
#include "table/pile_viewer.hpp"
#include "tests/table/looks_fixture.hpp"

namespace tw {
namespace {

using test::Lines;
using test::Looks;
using test::PileOf;

struct PileViewer : Looks {
    PileViewer() {
        // Live cards with taken places among them, a card lying face up in the deck, and a card
        // whose name merely holds the marker word.
        tw.piles.DeckCards = PileOf({"D1", "D2", "DRAWN", "DRAWN Sword", "D3"});
        tw.piles.DeckCards[2].Flipped = true;
        tw.piles.ExtraDeckCards = PileOf({"X1", "DRAWN", "X2"});
        for (int i = 1; i <= 3; ++i) tw.piles.ExtraDeckCards[i].Fusion = true;
        tw.piles.TrashCards = PileOf({"G1", "R1", "G2", "DRAWN", "R2"});
        tw.piles.TrashCards[2].RemovedFromGame = true;
        tw.piles.TrashCards[5].RemovedFromGame = true;
        Quiet();
    }
};

TEST_F(PileViewer, ListsEachModeWithItsCaptionAndMenu) {
    struct Case {
        const char* mode;
        Lines rows;
        const char* caption;
        bool hand, play, remove, on_top, shuffle_box, move_buttons, control_note;
    };
    const Case cases[] = {
        {"deck", {"S D1", "*S D2", "S DRAWN Sword", "S D3"}, "Viewing Your Deck",
         true, true, true, false, true, false, false},
        {"ViewTop 2", {"S D1", "*S D2"}, "Viewing the top 2 Cards of the Deck",
         true, true, true, false, true, true, false},
        // Only live cards, never more than asked for; the typed number is rounded half to even.
        {"ViewTop 9", {"S D1", "*S D2", "S DRAWN Sword", "S D3"}, "Viewing the top 9 Cards of the Deck",
         true, true, true, false, true, true, false},
        {"ViewTop  2.5 ", {"S D1", "*S D2"}, "Viewing the top 2 Cards of the Deck",
         true, true, true, false, true, true, false},
        {"fusion", {"S X1", "S X2"}, "Viewing Your Extra Deck", false, true, false, false, false, false, false},
        {"trash", {"S G1", "S G2"}, "Viewing Your Graveyard", true, true, true, true, false, false, false},
        {"rfg", {"S R1", "S R2"}, "Viewing Your Removed from Game", true, true, true, true, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        auto& v = Open(c.mode);
        EXPECT_EQ(Rows(), c.rows);
        EXPECT_EQ(v.caption(), c.caption);
        EXPECT_EQ(v.Label1.caption(), "Number of Cards (" + std::to_string(c.rows.size()) + ")");
        EXPECT_EQ(v.PutintoHand.enabled(), c.hand);
        EXPECT_EQ(v.PutIntoPlay.enabled(), c.play);
        EXPECT_EQ(v.RemoveFromGame.enabled(), c.remove);
        EXPECT_EQ(v.PutIntoDeck.visible(), c.on_top);
        EXPECT_EQ(v.Check1.visible(), c.shuffle_box);
        EXPECT_EQ(v.Label4.visible(), c.shuffle_box);
        EXPECT_EQ(v.Command1.visible(), c.move_buttons);
        EXPECT_EQ(v.Command2.visible(), c.move_buttons);
        EXPECT_EQ(v.Label3.visible(), c.move_buttons);
        EXPECT_EQ(v.Label2.visible(), c.control_note);
        EXPECT_EQ(v.Check1.value(), 0);
    }

    // The opponent's piles: the rows as they came, in a window first loaded for them.
    struct Opp {
        const char* code;
        const char* mode;
        const char* caption;
    };
    for (const Opp& o : {Opp{"rd", "OppDeck", "Viewing Opponents Deck"},
                         Opp{"rg", "OppTrash", "Viewing Opponents Graveyard"},
                         Opp{"rr", "OppRFG", "Viewing Opponents RFG"}}) {
        SCOPED_TRACE(o.mode);
        tw.view.unload();
        DI_RD(tw, o.code, "<BWX Ember Drake<<QVR1 Grey Tide");
        auto& v = Viewer();
        EXPECT_EQ(tw.piles.PileViewMode, o.mode);
        EXPECT_EQ(Rows(), (Lines{"BWX Ember Drake", "QVR1 Grey Tide"}));
        EXPECT_EQ(v.caption(), o.caption);
        EXPECT_EQ(v.Label1.caption(), "Number of Cards (2)");
        EXPECT_TRUE(v.Label2.visible());
        for (const platform::Menu* m : std::initializer_list<const platform::Menu*>{&v.PutintoHand, &v.PutIntoPlay,
                                                                                  &v.RemoveFromGame})
            EXPECT_FALSE(m->enabled()) << m->name();
        EXPECT_FALSE(v.PutIntoDeck.visible());
        // A refresh has no own pile to rebuild them from.
        v.Form_Load();
        EXPECT_TRUE(Rows().empty());
        EXPECT_EQ(v.Label1.caption(), "Number of Cards (2)");
    }
}

TEST_F(PileViewer, EndingALookSaysWhatWasLookedAtAndShufflesWhenTicked) {
    struct Case {
        const char* mode;
        bool tick;
        bool face_up;
        Lines lines;  // after "Ann"; "{top}" stands for the deck's top card after the shuffle
        bool shuffled;
    };
    const Case cases[] = {
        {"deck", false, false, {" stopped looking at the Deck"}, false},
        {"deck", true, true, {" stopped looking at the Deck", " shuffled their deck"}, true},
        {"ViewTop 3", false, true, {" stopped looking at the Deck"}, false},
        {"ViewTop 3", true, false, {" stopped looking at the Deck", " shuffled the deck"}, true},
        {"ViewTop 3", true, true, {" stopped looking at the Deck", " shuffled the deck. Ann`s next card is {top}"},
         true},
        {"fusion", true, false, {" stopped looking at the Extra Deck"}, false},
        {"trash", false, false, {" stopped looking at the Graveyard"}, false},
        {"rfg", false, false, {" stopped looking at removed from game"}, false},
        {"OppDeck", false, false, {" stopped looking at their opponents Deck"}, false},
        {"OppTrash", false, false, {" stopped looking at their opponents graveyard"}, false},
        {"OppRFG", false, false, {" stopped looking at their opponents RFG"}, false},
        {"", false, false, {}, false},
    };
    std::vector<std::string> twenty;
    for (int i = 1; i <= 20; ++i) twenty.push_back("C" + std::to_string(i));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + (c.tick ? ", ticked" : ""));
        tw.piles.DeckCards = PileOf(twenty);
        tw.piles.DeckFaceUp = c.face_up;
        auto& v = Open(c.mode);
        if (c.tick) v.Check1.set_value(1);
        tw.view.unload();
        Lines expected;
        for (std::string line : c.lines) {
            const auto at = line.find("{top}");
            if (at != std::string::npos) line.replace(at, 5, CardMarkup(tw.piles.DeckCards[1]));
            expected.push_back("<Game> Ann" + line);
        }
        EXPECT_EQ(Log(), expected);
        EXPECT_EQ(tw.piles.PileViewMode, "");
        EXPECT_EQ(test::NamesOf(tw.piles.DeckCards) != twenty, c.shuffled);
    }
}

TEST_F(PileViewer, ANewLookClosesTheOldOneFirstAndStartsUnticked) {
    duel.searchdeck_Click();
    Viewer().Check1.set_value(1);
    Quiet();
    const auto deck_before = test::NamesOf(tw.piles.DeckCards);
    duel.SearchTrash_Click();
    EXPECT_EQ(Log(), (Lines{"<Game> Ann stopped looking at the Deck", "<Game> Ann shuffled their deck",
                            "<Game> Ann is looking at their graveyard"}));
    EXPECT_EQ(Viewer().Check1.value(), 0);
    EXPECT_EQ(tw.piles.PileViewMode, "trash");
    EXPECT_EQ(Rows(), (Lines{"S G1", "S G2"}));
    EXPECT_EQ(Viewer().owner(), &duel);

    // The top-of-deck look reuses the open window: no closing line, and the tick stays.
    Viewer().Check1.set_value(1);
    Quiet();
    fx.host.expect_input("How many", "2");
    duel.ViewXCards_Click();
    EXPECT_EQ(Log().front(), "<Game> Ann is viewing 2 cards off the top of their Deck");
    EXPECT_EQ(Viewer().Check1.value(), 1);
}

TEST_F(PileViewer, ALongLookAtTheDeckIsToldEveryTenSeconds) {
    const std::string reminder =
        "<Game> Ann is still looking at their deck. This will repeat every 10 seconds, until they are done";
    auto wait = [&](int ms) {
        fx.clock.advance(ms);
        fx.reactor.pump(0);
    };
    duel.searchdeck_Click();
    Quiet();
    wait(9999);
    EXPECT_TRUE(Log().empty());
    wait(1);
    EXPECT_EQ(Log(), Lines{reminder});
    wait(10000);
    EXPECT_EQ(Log(), (Lines{reminder, reminder}));

    // Hidden, the look stops reminding at the next tick, without a line.
    Viewer().hide();
    Quiet();
    wait(10000);
    EXPECT_TRUE(Log().empty());
    EXPECT_FALSE(Viewer().Timer1.enabled());

    // Any other look stops its timer at the first tick.
    for (const char* mode : {"ViewTop 2", "trash"}) {
        Open(mode);
        wait(10000);
        EXPECT_TRUE(Log().empty()) << mode;
        EXPECT_FALSE(Viewer().Timer1.enabled()) << mode;
    }
}

TEST_F(PileViewer, ARowShowsItsCardAndStartsADragOfIt) {
    Card drake = test::Monster("D2", "S");
    drake.Desc = "Breathes salt.";
    tw.cards.CardDatabase.push_back(drake);
    auto& v = Open("deck");
    SelectRow("*S D2");
    // The face-up marker is not part of the set code.
    EXPECT_NE(v.selectedcard.text().find("Breathes salt."), std::string::npos) << v.selectedcard.text();
    platform::DataObject data;
    int allowed = 1;
    v.List2.OLEStartDrag(data, allowed);
    EXPECT_EQ(data.get_data(), "view *S D2");
}

TEST_F(PileViewer, ARightPressOpensTheMenuOfTheRowUnderThePointer) {
    auto& v = Open("trash");
    const double row = platform::ListBox::item_height_twips;
    // Nothing selected and the pointer below the rows: no menu (an unexpected one would fail).
    v.List2.user_mouse_down(2, 0, 100, row * 5);
    EXPECT_EQ(v.List2.list_index(), -1);

    // On the second row: it is selected and its menu opens; every press sends the counts.
    Quiet();
    fx.host.expect_popup(std::nullopt);
    v.List2.user_mouse_down(2, 0, 100, row * 1.5);
    EXPECT_EQ(v.List2.list_index(), 1);
    EXPECT_EQ(Sent(), Lines{"us~0:4:2:2:2"});

    // Below the rows the selection stays and still gets its menu, whose move runs at once.
    fx.host.expect_popup("RemoveFromGame");
    v.List2.user_mouse_down(2, 0, 100, row * 5);
    EXPECT_EQ(Rows(), Lines{"S G1"});
    EXPECT_EQ(fx.host.expectations_left(), 0u);
}

TEST_F(PileViewer, MoveUpAndDownReorderTheTopOfTheDeck) {
    tw.piles.DeckCards = PileOf({"A", "B", "C", "D"});
    auto& v = Open("ViewTop 3");
    const std::string told = "<Game> Ann is rearranging the cards in their deck";

    // The first row cannot go up, the last cannot go down: nothing moves and nothing is told.
    SelectRow("S A");
    v.Command1_Click();
    SelectRow("S C");
    v.Command2_Click();
    EXPECT_TRUE(Log().empty());

    SelectRow("S B");
    v.Command1_Click();
    EXPECT_EQ(Rows(), (Lines{"S B", "S A", "S C"}));
    EXPECT_EQ(test::NamesOf(tw.piles.DeckCards), (Lines{"B", "A", "C", "D"}));
    EXPECT_EQ(v.List2.list_index(), 0);
    v.Command2_Click();
    v.Command2_Click();
    EXPECT_EQ(Rows(), (Lines{"S A", "S C", "S B"}));
    EXPECT_EQ(test::NamesOf(tw.piles.DeckCards), (Lines{"A", "C", "B", "D"}));
    EXPECT_EQ(v.List2.list_index(), 2);
    EXPECT_EQ(Log(), Lines{told});
    EXPECT_EQ(Sent().size(), 2u) << "only the line and its counts reach the peer";

    // A refresh starts the telling again.
    v.Form_Load();
    SelectRow("S C");
    v.Command1_Click();
    EXPECT_EQ(Log(), (Lines{told, told}));

    // Rows that no longer stand for their deck entries move nothing.
    tw.piles.DeckCards[1].Name = "Z";
    SelectRow("S C");
    v.Command2_Click();
    EXPECT_EQ(test::NamesOf(tw.piles.DeckCards), (Lines{"Z", "A", "B", "D"}));
    EXPECT_EQ(Rows(), (Lines{"S C", "S A", "S B"}));
}

TEST_F(PileViewer, OnlyTheTopOfDeckLookReordersTheDeck) {
    // An opponent's list arriving over an open top-of-deck look: its rows are no deck entries.
    tw.piles.DeckCards = PileOf({"A", "B"});
    auto& v = Open("ViewTop 2");
    DI_RD(tw, "rg", "<S B<S A");
    EXPECT_FALSE(v.Command1.visible());
    EXPECT_FALSE(v.Check1.visible());
    SelectRow("S A");
    v.Command1_Click();
    EXPECT_EQ(test::NamesOf(tw.piles.DeckCards), (Lines{"A", "B"}));
    EXPECT_EQ(Rows(), (Lines{"S B", "S A"}));
}

TEST_F(PileViewer, PileChangesRefreshTheLookThatShowsThem) {
    tw.piles.DeckCards = PileOf({"A", "B", "C"});
    GiveHand({"H1", "H2"});
    Open("deck");
    tw.view().hide();  // a hidden deck look is refreshed too
    duel.drawcard_Click();
    EXPECT_EQ(Rows(), (Lines{"S B", "S C"}));

    Open("trash");
    SelectHand("H1");
    duel.putintrash2_Click();
    EXPECT_EQ(Rows(), (Lines{"S G1", "S G2", "S H1"}));
    GiveHand({"H2"});
    duel.DiscardRandom_Click();
    EXPECT_EQ(Rows(), (Lines{"S G1", "S G2", "S H1", "S H2"}));

    Open("ViewTop 2");
    duel.Shuffle_Click();
    const auto deck = test::NamesOf(tw.piles.DeckCards);
    EXPECT_EQ(Rows(), (Lines{"S " + deck[0], "S " + deck[1]}));
    duel.Deck2Hand_Click();
    EXPECT_TRUE(Rows().empty());
}

}  // namespace
}  // namespace tw
