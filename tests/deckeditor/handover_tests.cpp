// Taking the deck from the editor to the duel window: the size rules, the ban check, the piles,
// the log line, the deck report and the duel window shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "cards/settings.hpp"
#include "cards/settings_window.hpp"
#include "deckeditor/deck_check.hpp"
#include "duel/forma.hpp"
#include "net/site.hpp"
#include "table/piles.hpp"
#include "tests/deckeditor/deck_list_fixture.hpp"

namespace tw {
namespace {

using Lines = std::vector<std::string>;
using platform::MsgResult;
using test::DeckEditorTest;

const std::string kSide = "-SIDE DECK-";
constexpr const char* kUseDeck = "Are you sure you want to use this deck?";
constexpr const char* kBanHead =
    "There is an error in loading your deck, please fix the following: \r\n";

Lines Join(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct HandOverTest : DeckEditorTest {
    win::FormA& duel() { return tw().FormA(); }
    // Nothing of the hand-over reached the table.
    void expect_still_in_editor() {
        EXPECT_FALSE(tw().piles.DeckLoaded);
        EXPECT_FALSE(duel().visible());
        EXPECT_TRUE(dm().visible());
        EXPECT_EQ(tw().piles.DeckCards.ubound(), 60);
        EXPECT_TRUE(std::none_of(tw().net.SentCommands.begin(), tw().net.SentCommands.end(),
                                 [](const SentCommand& c) {
                                     return c.command.find("loaded their deck") != std::string::npos;
                                 }));
    }
};

TEST_F(HandOverTest, SizeRulesInTheirOrder) {
    struct Case {
        Lines deck;
        std::string message;  // "" passes on to the question
        std::string title = "Tablewright ";
    };
    const std::vector<Case> cases = {
        {{}, "Please load or create a deck"},
        {Join(Join(Plain(40), {kSide}), Plain(16, 30)), "A Side Deck must have 15 or less cards."},
        {Join(Join(Plain(40), {kSide}), Plain(15, 30)), ""},
        {Join(Plain(39), {kSide}),
         "A legal deck must have more then 40 non extra cards, you have 39 cards."},
        {Join(Plain(40), {kSide}), ""},
        {Join(Join(Plain(40), {"3 Tst Twin Drake", "3 Tst Twin Drake", "3 Tst Twin Drake",
                               "3 Tst Twin Drake", "3 Tst Twin Drake", "1 Tst Twin Drake"}),
              {kSide}),
         "Sorry, Your extra deck cannot have more than 15 cards", "Tablewright"},
        {Join(Join(Plain(135), {"3 Tst Twin Drake", "3 Tst Twin Drake", "3 Tst Twin Drake",
                                "3 Tst Twin Drake", "3 Tst Twin Drake"}),
              {kSide}),
         ""},
        {Join(Join(Plain(136), {"3 Tst Twin Drake", "3 Tst Twin Drake", "3 Tst Twin Drake",
                                "3 Tst Twin Drake", "3 Tst Twin Drake"}),
              {kSide}),
         "Thats too many cards, 150 or under please."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.empty() ? "passes" : c.message);
        lay(c.deck);
        dm().set_caption("Building");
        const std::size_t before = host.messages().size();
        if (c.message.empty()) host.expect_yes_no(kUseDeck, MsgResult::No);
        dm().Command5.user_click();
        EXPECT_EQ(host.expectations_left(), 0u);
        if (c.message.empty()) {
            EXPECT_EQ(host.messages().size(), before);
        } else {
            ASSERT_EQ(host.messages().size(), before + 1);
            EXPECT_EQ(last_text(), c.message);
            const std::string title =
                c.title == "Tablewright" ? c.title : "Tablewright " + tw().VersionText;
            EXPECT_EQ(host.messages().back().title, title);
        }
        // Refused or not confirmed: the hand-over never got as far as the caption.
        EXPECT_EQ(dm().caption(), "Building");
        expect_still_in_editor();
    }
}

TEST_F(HandOverTest, TheBanCheckRefusesAForbiddenOrOverLimitDeck) {
    lay(Join(Plain(38), {"2 Tst Lone Lantern", "1 Tst Forbidden Fang", kSide, "1 Tst Lone Lantern"}));
    host.expect_yes_no(kUseDeck, MsgResult::Yes);
    dm().Command5.user_click();
    EXPECT_EQ(last_text(), std::string(kBanHead) +
                               "* You currently have 3 Lone Lantern , Reduce it to 1\r\n"
                               "* You currently have 1 Forbidden Fang , Reduce it to 0\r\n");
    expect_still_in_editor();
}

TEST(BanCheckReport, SummedPerPrintingWhateverTheSetCodeLength) {
    test::Editor e;
    e.returning_player();
    e.start();
    e.tw().editor.BanList = {"1|Lone Lantern", "1|Long Wyrm", "2|Pair Pike", ""};
    struct Case {
        Lines deck;
        std::string report;
    };
    const std::vector<Case> cases = {
        // Two lines of one printing count together.
        {{"1 Tst Lone Lantern", "1 tst lone lantern", kSide},
         "* You currently have 2 Lone Lantern , Reduce it to 1\r\n"},
        // A set code of five letters still gives the card's name.
        {{"2 Abcde Long Wyrm", kSide}, "* You currently have 2 Long Wyrm , Reduce it to 1\r\n"},
        // Two printings are each within the limit.
        {{"1 Tst Lone Lantern", "1 Otr Lone Lantern", kSide}, ""},
        // Only in the side deck: not checked.
        {{"3 Tst Card 1", kSide, "3 Tst Lone Lantern"}, ""},
        {{"2 Tst Pair Pike", "//3 Tst Pair Pike", kSide}, ""},
        // Without a marker the whole list is the deck, as the hand-over loads it.
        {{"3 Tst Pair Pike"}, "* You currently have 3 Pair Pike , Reduce it to 2\r\n"},
        {{kSide, "3 Tst Pair Pike"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.deck.front());
        EXPECT_EQ(BanCheckReport(e.tw(), c.deck), c.report);
    }
}

TEST_F(HandOverTest, ALineWithAnUnusableNameStopsTheHandOverAndNamesIt) {
    lay(Join(Plain(40), {"1 Tst Bad!Name", kSide}));
    host.expect_yes_no(kUseDeck, MsgResult::Yes);
    dm().Command5.user_click();
    EXPECT_EQ(dm().DeckLoadError,
              "The deck line '1 Tst Bad!Name' names a card with characters that cannot be used.");
    EXPECT_EQ(last_text(), dm().DeckLoadError);
    expect_still_in_editor();
}

// The name rule keeps made-up names out; a card the database holds, spelt as it spells it, is
// no made-up name, whatever characters it has.
TEST_F(HandOverTest, ACardOfTheDatabaseGoesToTheTableWhateverItsCharacters) {
    tw().cards.CardDatabase.push_back(test::MakeCard("Salt & Cinder Wyrm", "QVR1"));
    tw().cards.CardDatabase.push_back(test::MakeCard("Bad!Name", "TST"));
    struct Case {
        std::string line;
        std::string error;  // "" when the card is taken
    };
    const Case cases[] = {
        {"1 Qvr1 Salt & Cinder Wyrm", ""},
        {"2 Tst Bad!Name", ""},
        {"1 Qvr1 salt & cinder wyrm",
         "The deck line '1 Qvr1 salt & cinder wyrm' names a card with characters that cannot be used."},
        {"1 Tst Salt & Cinder Wyrm",
         "The deck line '1 Tst Salt & Cinder Wyrm' names a card with characters that cannot be used."},
        {"1 Token Salt & Cinder Wyrm",
         "The deck line '1 Token Salt & Cinder Wyrm' names a card with characters that cannot be used."},
        {"1 Tst Made*Up", "The deck line '1 Tst Made*Up' names a card with characters that cannot be used."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const DeckPiles piles = BuildDeckPiles(tw(), {"1 Tst Card 1", c.line, kSide});
        EXPECT_EQ(piles.error, c.error);
        if (c.error.empty()) {
            ASSERT_GE(piles.deck.size(), 2u);
            EXPECT_EQ(piles.deck.back().Name, c.line.substr(c.line.find(' ', 2) + 1));
        }
    }

    // Through the window: added from the search, saved in the list, handed over.
    lay(Join(Plain(39), {"1 Qvr1 Salt & Cinder Wyrm", kSide}));
    host.expect_yes_no(kUseDeck, MsgResult::Yes);
    dm().Command5.user_click();
    EXPECT_TRUE(host.messages().empty());
    EXPECT_TRUE(tw().piles.DeckLoaded);
    const auto& cards = tw().piles.DeckCards;
    EXPECT_EQ(std::count_if(cards.begin(), cards.end(), [](const Card& c) { return c.Name == "Salt & Cinder Wyrm"; }), 1);
}

TEST_F(HandOverTest, ALegalDeckGoesToTheTableShuffled) {
    tw().editor.LastDeckPath = "Decks/mine.dek";
    const Lines deck = Join(Plain(40), {"2 Tst Twin Drake", "1 Tst Lone Lantern", "//plan", kSide,
                                        "2 Tst Card 50"});
    lay(deck);
    dm().set_caption("Building");
    EXPECT_EQ(dm().NormalNum, 41);
    host.expect_yes_no(kUseDeck, MsgResult::Yes);
    dm().Command5.user_click();
    EXPECT_EQ(host.expectations_left(), 0u);
    EXPECT_TRUE(host.messages().empty());

    // The log line, also as it goes to the peer.
    const std::string line = "Ria loaded their deck (41 in Deck, 2 in extra)";
    EXPECT_NE(duel().chat.text().find(line), std::string::npos);
    EXPECT_TRUE(std::any_of(tw().net.SentCommands.begin(), tw().net.SentCommands.end(),
                            [&](const SentCommand& c) { return c.command == "ch~<Game> " + line; }));

    // Exactly the 41 deck cards, each live, in an order other than the list's.
    ASSERT_EQ(tw().piles.DeckCards.ubound(), 41);
    std::vector<std::string> names;
    std::vector<int> slots;
    for (int i = 1; i <= 41; ++i) {
        const Card& c = tw().piles.DeckCards.at(i);
        EXPECT_TRUE(IsLiveEntry(c)) << i;
        EXPECT_FALSE(c.Fusion);
        names.push_back(c.Name);
        slots.push_back(c.Slot);
    }
    EXPECT_FALSE(std::is_sorted(slots.begin(), slots.end()));
    std::vector<std::string> want;
    for (int k = 1; k <= 14; ++k)
        for (int n = 0; n < (k <= 13 ? 3 : 1); ++n) want.push_back("Card " + std::to_string(k));
    want.push_back("Lone Lantern");
    std::sort(names.begin(), names.end());
    std::sort(want.begin(), want.end());
    EXPECT_EQ(names, want);
    // Instance numbers run over deck and extra deck in list order.
    std::sort(slots.begin(), slots.end());
    EXPECT_EQ(slots.front(), 1);
    EXPECT_EQ(slots.back(), 43);

    ASSERT_GE(tw().piles.ExtraDeckCards.ubound(), 2);
    for (int i = 1; i <= 2; ++i) {
        EXPECT_EQ(tw().piles.ExtraDeckCards.at(i).Name, "Twin Drake");
        EXPECT_TRUE(tw().piles.ExtraDeckCards.at(i).Fusion);
        EXPECT_EQ(tw().piles.ExtraDeckCards.at(i).Slot, 40 + i);
    }

    EXPECT_TRUE(tw().piles.DeckLoaded);
    EXPECT_FALSE(tw().piles.DeckFaceUp);
    EXPECT_EQ(tw().piles.DrawnCount, 0);
    EXPECT_EQ(setting(setting_key::lastdeck), "Decks/mine.dek");
    EXPECT_FALSE(dm().visible());
    EXPECT_EQ(dm().caption(), "Deck Shop");
    EXPECT_TRUE(duel().visible());
    EXPECT_TRUE(duel().gameplay.enabled());
    EXPECT_TRUE(duel().SearchFusionDeck.enabled());
    EXPECT_FALSE(duel().HP.enabled());
    EXPECT_EQ(duel().height(), 10065);
    EXPECT_EQ(duel().main1.font_name(), "LCD");
    EXPECT_EQ(duel().OppTurn.font_name(), "LCD");

    // The deck report carries every line, encoded, to the site.
    std::string payload;
    for (const auto& l : deck) payload += l + "|";
    EXPECT_EQ(dm().WebBrowser2.location_url(), DeckReportUrl(tw(), payload));
    EXPECT_EQ(dm().WebBrowser2.location_url().rfind(std::string(test::kTestSite) + "/deck_r.php?payload=3%20Tst", 0), 0u);
    EXPECT_FALSE(dm().WebBrowser2.visible());
}

TEST_F(HandOverTest, AfterASoftResetNoQuestionAndNoReport) {
    lay(Join(Plain(40), {kSide}));
    dm().Command1.set_enabled(false);
    dm().Label34.DblClick();
    EXPECT_EQ(host.questions().size(), 0u);
    EXPECT_TRUE(dm().WebBrowser2.location_url().empty());
    EXPECT_TRUE(duel().visible());
    EXPECT_EQ(tw().piles.DeckCards.ubound(), 40);
}

TEST_F(HandOverTest, WithoutAWebSiteNoReportIsSent) {
    ::unsetenv(std::string(site::kBaseVariable).c_str());
    lay(Join(Plain(40), {kSide}));
    host.expect_yes_no(kUseDeck, MsgResult::Yes);
    dm().Command5.user_click();
    EXPECT_TRUE(dm().WebBrowser2.location_url().empty());
    EXPECT_TRUE(duel().visible());
}

TEST_F(HandOverTest, WithoutAUserNameTheDeckStillGoesThenTheSettingsOpen) {
    tw().prefs.UserName.clear();
    lay(Join(Plain(40), {kSide}));
    host.expect_yes_no(kUseDeck, MsgResult::Yes);
    dm().Command5.user_click();
    EXPECT_TRUE(tw().piles.DeckLoaded);
    EXPECT_EQ(last_text(), "You dont have a username! Let me help you with that.");
    ASSERT_TRUE(tw().settings.loaded());
    EXPECT_TRUE(tw().settings.peek()->visible());
}

TEST_F(HandOverTest, UnknownCardsAreTakenAsBadCards) {
    const DeckPiles piles = BuildDeckPiles(tw(), {"2 Zzz Nowhere", "-SIDE DECK-", "1 Tst Card 1"});
    EXPECT_TRUE(piles.error.empty());
    ASSERT_EQ(piles.deck.size(), 2u);
    EXPECT_EQ(piles.deck[0].Name, kBadCard);
    EXPECT_EQ(piles.deck[1].Slot, 2);
}

TEST_F(HandOverTest, AtMost150CardsAreTakenNumbered1To150) {
    const Lines drakes(5, "3 Tst Twin Drake");
    DeckPiles full = BuildDeckPiles(tw(), Join(Join(Plain(135), drakes), {kSide}));
    ASSERT_EQ(full.deck.size(), 135u);
    ASSERT_EQ(full.extra.size(), 15u);
    EXPECT_EQ(full.deck.front().Slot, 1);
    EXPECT_EQ(full.extra.back().Slot, 150);

    DeckPiles over = BuildDeckPiles(tw(), Join(Plain(138), drakes));
    EXPECT_EQ(over.deck.size(), 138u);
    EXPECT_EQ(over.extra.size(), 12u);
}

}  // namespace
}  // namespace tw
