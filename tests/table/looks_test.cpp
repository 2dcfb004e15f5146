// The duel window's looks at piles, the requests for the opponent's, the reveals, and the table:
// the places of the piles under a press and the cards dropped on it.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "table/field.hpp"
#include "table/field_mouse.hpp"
#include "table/pile_viewer.hpp"
#include "tests/table/looks_fixture.hpp"

namespace tw {
namespace {

using test::Lines;
using test::Looks;
using test::PileOf;
using Handler = void (win::FormA::*)();

TEST(OwnLooks, OpenTheViewerOnTheirPileAndSayWhatIsLookedAt) {
    struct Case {
        Handler handler;
        const char* mode;
        const char* line;
        bool needs_deck;
    };
    using F = win::FormA;
    const Case cases[] = {
        {&F::searchdeck_Click, "deck", "<Game> Ann is looking at their deck", false},
        {&F::SearchFusionDeck_Click, "fusion", "<Game> Ann is looking at their Extra Deck", true},
        {&F::SearchTrash_Click, "trash", "<Game> Ann is looking at their graveyard", true},
        {&F::SearchYourRFG_Click, "rfg", "<Game> Ann is looking at their Removed from Game", false},
    };
    for (const Case& c : cases) {
        for (bool deck : {true, false}) {
            SCOPED_TRACE(std::string(c.mode) + (deck ? "" : ", no deck in play"));
            test::LooksTable t;
            t.tw.piles.DeckLoaded = deck;
            t.Click(c.handler);
            const bool opens = deck || !c.needs_deck;
            EXPECT_EQ(t.Shown(), opens);
            EXPECT_EQ(t.tw.piles.PileViewMode, opens ? c.mode : "");
            EXPECT_EQ(t.Log(), opens ? Lines{c.line} : Lines{});
            // Looking while no opponent is there rules out a duel until the next reset.
            EXPECT_EQ(t.tw.piles.PlayedOffline, opens);
            if (opens) {
                EXPECT_EQ(t.Viewer().owner(), &t.duel);
            }
        }
    }
}

TEST_F(Looks, TheTopOfTheDeckIsShownAsManyCardsAsAsked) {
    tw.piles.DeckCards = PileOf({"A", "B", "C", "D", "DRAWN"});
    struct Case {
        std::optional<std::string> answer;  // nullopt: Cancel
        const char* notice;                 // "" for none
        bool opens;
    };
    const Case cases[] = {
        {std::nullopt, "", false}, {"", "", false}, {"abc", "Numbers Only!", false}, {"0", "", false},
        {"-2", "", false}, {"5", "You can only view 4 Cards MAX", false}, {"3", "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer.value_or("Cancel"));
        tw.view.unload();
        Quiet();
        const std::size_t notices = Notices().size();
        fx.host.expect_input("How many do you want to see of the top of your deck?", c.answer);
        duel.ViewXCards_Click();
        const auto& asked = fx.host.inputs().back();
        EXPECT_EQ(asked.prompt, "How many do you want to see of the top of your deck?\r\nYou can pick between 1 and 4");
        EXPECT_EQ(asked.title, "Tablewright " + tw.VersionText);
        EXPECT_EQ(asked.default_text, "5");
        EXPECT_EQ(Notices().size(), notices + (*c.notice ? 1 : 0));
        if (*c.notice) {
            EXPECT_EQ(Notices().back(), c.notice);
        }
        EXPECT_EQ(Shown(), c.opens);
        if (c.opens) {
            EXPECT_EQ(tw.piles.PileViewMode, "ViewTop 3");
            EXPECT_EQ(Log(), Lines{"<Game> Ann is viewing 3 cards off the top of their Deck"});
            EXPECT_EQ(Rows(), (Lines{"S A", "S B", "S C"}));
        } else {
            EXPECT_TRUE(Log().empty());
        }
    }

    // A deck whose cards are all taken has no top to show: nothing is asked.
    tw.piles.DeckCards = PileOf({"DRAWN", "DRAWN"});
    duel.ViewXCards_Click();
    EXPECT_EQ(Notices().back(), "Either you need to draw your first card OR you are out of cards");
    EXPECT_EQ(fx.host.expectations_left(), 0u);
}

TEST_F(Looks, RequestsForTheOpponentsPilesGoOutAndAreTold) {
    tw.net.PlayerNumber = 2;
    tw.net.PlayerNames[1] = "Bob";
    tw.net.PlayerNames[2] = "Cy";
    struct Case {
        Handler handler;
        const char* command;
        std::int32_t tag;  // 10 x own seat + the seat asked
        const char* line;
    };
    using F = win::FormA;
    const Case cases[] = {
        {&F::Player1GY_Click, "sg~x", 21, "<Game> Ann is requesting to look at Bob`s Graveyard"},
        {&F::Player2GY_Click, "sg~x", 22, "<Game> Ann is requesting to look at Cy`s Graveyard"},
        {&F::Player1RFG_Click, "sg~R", 21, "<Game> Ann is requesting to look at Bob`s Removed from game"},
        {&F::Player2RFG_Click, "sg~R", 22, "<Game> Ann is requesting to look at Cy`s Removed from game"},
        {&F::ViewOppDeck_Click, "sg~D", 20, "<Game> Ann is asking permission to look at opponents deck."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Quiet();
        Click(c.handler);
        ASSERT_FALSE(tw.net.SentCommands.empty());
        EXPECT_EQ(tw.net.SentCommands.front().command, c.command) << "the request goes before its line";
        EXPECT_EQ(tw.net.SentCommands.front().tag, c.tag);
        EXPECT_EQ(Log(), Lines{c.line});
        EXPECT_FALSE(Shown());
    }
}

TEST_F(Looks, RevealsWriteTheHandAndSingleCardsIntoTheLog) {
    auto cards = [](std::initializer_list<const char*> names) {
        std::string out;
        for (const char* n : names) out += std::string(out.empty() ? "" : ", ") + "{card='" + n + "' set='S'}";
        return "<Game> " + out;
    };
    const std::string header = "<Game> Ann has the following cards in their hand:";
    struct Case {
        Lines hand;
        Lines log;
    };
    const Case cases[] = {
        {{}, {"<Game> Ann has no cards in their hand"}},
        {{"A", "B", "C"}, {header, cards({"A", "B", "C"})}},
        {{"A", "B", "C", "D"}, {header, cards({"A", "B", "C"}), cards({"D"})}},
        {{"A", "B", "C", "D", "E", "F", "G"}, {header, cards({"A", "B", "C"}), cards({"D", "E", "F"}), cards({"G"})}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hand.size());
        GiveHand(c.hand);
        for (Handler h : {&win::FormA::ShowHand_Click, &win::FormA::ShowHand2_Click}) {
            Quiet();
            Click(h);
            EXPECT_EQ(Log(), c.log);
        }
    }

    // The last card drawn, and the deck's top card; with none, a notice instead of an empty name.
    Quiet();
    duel.showLastCard_Click();
    EXPECT_EQ(Notices().back(), "You have not drawn a card yet");
    tw.piles.DeckCards = PileOf({"DRAWN", "T1", "T2"});
    duel.ShowTopCardOfDeck_Click();
    duel.drawcard_Click();
    Quiet();
    duel.showLastCard_Click();
    duel.ShowTopCardOfDeck_Click();
    EXPECT_EQ(Log(), (Lines{"<Game> Ann`s last drawn card is {card='T1' set='S'}",
                            "<Game> Ann has {card='T2' set='S'} on top of their deck"}));
    tw.piles.DeckCards = PileOf({"DRAWN"});
    duel.ShowTopCardOfDeck_Click();
    EXPECT_EQ(Notices().back(), "There are no cards left in the deck");
    EXPECT_EQ(Log().size(), 2u);
}

TEST_F(Looks, ARandomHandCardIsShownAndStaysSelected) {
    GiveHand({});
    duel.ShowRandomCard_Click();
    EXPECT_EQ(Notices().back(), "You have no cards to randomly show");
    EXPECT_EQ(Log(), Lines{"<Game> Ann has no cards in their hand to Randomly show"});

    GiveHand({"Only"});
    Quiet();
    duel.ShowRandomCard_Click();
    EXPECT_EQ(Log(), Lines{"<Game> Ann shows {card='Only' set='S'} at random from their hand."});
    EXPECT_EQ(duel.hand.list_index(), 0);

    GiveHand({"A", "B", "C"});
    std::map<std::string, int> shown;
    for (int i = 0; i < 300; ++i) {
        Quiet();
        duel.ShowRandomCard_Click();
        const std::string name = duel.hand.text();
        ++shown[name];
        EXPECT_EQ(Log(), Lines{"<Game> Ann shows {card='" + name + "' set='S'} at random from their hand."});
    }
    for (const char* n : {"A", "B", "C"}) EXPECT_GT(shown[n], 50) << n;
}

// ---------------------------------------------------------------------------------------------

struct TableSetup : test::LooksTable {
    TableSetup() {
        // One twip a pixel, so that a pointer position is a position on the table.
        fx.host.set_twips_per_pixel(1);
        tw.piles.DeckCards = PileOf({"T1", "T2", "T3"});
        tw.net.PlayerNumber = 1;
        tw.net.PlayerNames[2] = "Bob";
        duel.Player2GY.set_enabled(true);
        GiveHand({"H1", "H2"});
        Quiet();
    }
    // A press with the pointer at (x, y) on the table.
    void Press(double x, double y, int button = 1) {
        const auto origin = PlaySurfaceOnScreen(tw);
        fx.host.set_cursor_pos({static_cast<int>(origin.x + x), static_cast<int>(origin.y + y)});
        duel.playsurface.user_mouse_down(button, 0, x, y);
    }
    void Drop(const std::string& text, int shift, double x, double y) {
        platform::DataObject data;
        data.set_data(text);
        int effect = 1;
        duel.playsurface.OLEDragDrop(data, effect, 1, shift, x, y);
    }
};

struct Table : ::testing::Test, TableSetup {};

TEST_F(Table, APressOnAPileOpensItAndEveryEdgeMisses) {
    struct Case {
        double x, y;
        const char* line;  // "" for nothing
    };
    const Case cases[] = {
        {8190, 4000, ""},
        {8191, 4000, "<Game> Ann is looking at their graveyard"},
        {9299, 5159, "<Game> Ann is looking at their graveyard"},
        {9300, 4000, ""},
        {8500, 3675, ""},
        {8500, 6000, "<Game> Ann drew a card"},
        {8500, 6615, ""},
        {1784, 6000, "<Game> Ann is looking at their Extra Deck"},
        {1785, 6000, ""},  // the extra deck ends before the opponent's graveyard does
        {1800, 2000, "<Game> Ann is requesting to look at Bob`s Graveyard"},
        {1815, 2000, ""},
        {675, 2000, ""},
        {5000, 3000, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        tw.view.unload();
        Quiet();
        Press(c.x, c.y);
        const Lines expected = *c.line ? Lines{c.line} : Lines{};
        EXPECT_EQ(Log(), expected);
    }

    // Before the opponent's name came, its graveyard item is off and the place does nothing.
    duel.Player2GY.set_enabled(false);
    Quiet();
    Press(1800, 2000);
    EXPECT_TRUE(Log().empty());
}

TEST_F(Table, WithoutADeckOrAGameplayMenuAPressDoesNothing) {
    // The right button opens the table's own menu.
    fx.host.expect_popup(std::nullopt);
    Press(5000, 3000, 2);
    EXPECT_EQ(fx.host.expectations_left(), 0u);

    duel.gameplay.set_enabled(false);
    Press(8500, 6000);
    EXPECT_TRUE(Log().empty());

    tw.piles.DeckLoaded = false;
    Press(8500, 6000);
    Press(5000, 3000, 2);  // no menu either: an unexpected one would fail
    EXPECT_TRUE(Log().empty());
}

TEST(TableDrops, AHandCardLiesWhereItWasDroppedFaceDownWithShiftAlone) {
    struct Case {
        int shift;
        bool face_down;
    };
    for (const Case& c : {Case{0, false}, Case{1, true}, Case{3, false}, Case{2, false}}) {
        SCOPED_TRACE(c.shift);
        TableSetup t;
        t.SelectHand("H2");
        // Near the third place of the own monster row: the drop's wide snap takes it there.
        t.Drop("hand H2", c.shift, 3330 + 600, 3825 + 500);
        ASSERT_EQ(t.tw.field.FieldCards[1].Name, "H2");
        EXPECT_EQ(t.tw.field.FieldCards[1].Flipped, c.face_down);
        EXPECT_EQ(t.duel.hand.items(), Lines{"H1"});
        EXPECT_EQ(t.duel.cardstencil[1].left(), 3330);
        EXPECT_EQ(t.duel.cardstencil[1].top(), 3825);
        EXPECT_EQ(t.duel.Label5[1].top(), 3825 - 160);
        EXPECT_EQ(t.SentCommands().back(), "mv~1~3330:3825");
        EXPECT_EQ(t.tw.field.SelectedSlot, -1) << "the release ends the move";
    }
}

TEST_F(Table, ADropThatPlacesNothingMovesNothing) {
    // H1 lies on the table and was the last card placed.
    SelectHand("H1");
    duel.PutIntoPlay_Click();
    const double left = duel.cardstencil[1].left(), top = duel.cardstencil[1].top();
    ASSERT_EQ(tw.field.SelectedSlot, 1);
    Quiet();

    // A drag naming another card than the hand's selection, and any other text.
    SelectHand("H2");
    Drop("hand Other", 0, 6000, 2000);
    Drop("deck H2", 0, 6000, 2000);
    Drop("", 0, 6000, 2000);
    EXPECT_EQ(duel.cardstencil[1].left(), left);
    EXPECT_EQ(duel.cardstencil[1].top(), top);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(duel.hand.items(), Lines{"H2"});

    // A full table refuses the card, and the card placed last stays where it is.
    for (int i = kFirstFieldSlot; i <= kLastFieldSlot; ++i) OpenControl(tw, false, -1, false);
    tw.field.SelectedSlot = 1;
    Drop("hand H2", 0, 6000, 2000);
    EXPECT_EQ(Notices().back(), "Sorry there cannot be more then 25 cards total in play");
    EXPECT_EQ(duel.cardstencil[1].left(), left);
    EXPECT_EQ(duel.hand.items(), Lines{"H2"});
}

TEST_F(Table, AViewerRowDroppedOnTheTableGoesIntoPlayFaceUp) {
    tw.piles.DeckCards[2].Flipped = true;
    Open("deck");
    SelectRow("*S T2");
    Drop("view *S T2", 1, 6000, 2000);  // Shift held: still face up, at its own place
    ASSERT_EQ(tw.field.FieldCards[1].Name, "T2");
    EXPECT_FALSE(tw.field.FieldCards[1].Flipped);
    EXPECT_EQ(duel.cardstencil[1].top(), FieldRowTop(1, kSeat1MonsterRow));
    EXPECT_EQ(Rows(), (Lines{"S T1", "S T3"}));
    EXPECT_EQ(Log(), (Lines{"<Game> Ann has put down a {card='T2' set='S'}",
                            "<Game> Ann put {card='T2' set='S'} from their deck into play"}));
}

TEST_F(Table, ThePointerOverTheTableEndsTheSelectionAndDimsTheMenuBar) {
    duel.lblGameplay.set_fore_color(16777215);
    tw.field.SelectedSlot = 4;
    duel.playsurface.user_mouse_move(0, 0, 100, 100);
    EXPECT_EQ(tw.field.SelectedSlot, -1);
    for (platform::Label* l : {&duel.lblChat, &duel.lblGameplay, &duel.lblMore, &duel.lblFile})
        EXPECT_EQ(l->fore_color(), 12632256u) << l->name();
}

}  // namespace
}  // namespace tw
