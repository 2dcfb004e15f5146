#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <vector>

#include "table/piles.hpp"
#include "tests/duel/flow_fixture.hpp"

namespace tw {
namespace {

constexpr int kCtrl = 17;
constexpr int kShiftMask = 1;

struct DiceAndKeys : test::FlowTest {
    // Takes the last log line and empties the log, so that many rolls stay cheap.
    std::string TakeLine() {
        std::string line = LastLog();
        duel.chat.set_text("");
        tw.net.SentCommands.clear();
        return line;
    }
};

TEST_F(DiceAndKeys, TheDieIsFairOverManyRolls) {
    constexpr int kRolls = 60000;
    // Every log line recounts the deck; an empty one keeps the many rolls quick.
    tw.piles.DeckCards.redim(0);
    std::array<int, 7> faces{};
    const std::string prefix = "<Game> Tester has rolled a ";
    for (int i = 0; i < kRolls; ++i) {
        duel.RollDice_Click();
        const std::string line = TakeLine();
        ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
        const std::string n = line.substr(prefix.size());
        ASSERT_EQ(n.size(), 1u) << line;  // no leading zero, nothing after
        ASSERT_TRUE(n[0] >= '1' && n[0] <= '6') << line;
        ++faces[static_cast<std::size_t>(n[0] - '0')];
    }
    for (int f = 1; f <= 6; ++f) EXPECT_NEAR(faces[static_cast<std::size_t>(f)], kRolls / 6, kRolls / 6 * 4 / 100) << f;
}

TEST_F(DiceAndKeys, TheCoinIsFairOverManyFlips) {
    constexpr int kFlips = 20000;
    tw.piles.DeckCards.redim(0);
    int heads = 0;
    for (int i = 0; i < kFlips; ++i) {
        duel.flipcoin_Click();
        const std::string line = TakeLine();
        if (line == "<Game> Tester flipped heads") ++heads;
        else ASSERT_EQ(line, "<Game> Tester flipped tails");
    }
    EXPECT_NEAR(heads, kFlips / 2, kFlips / 2 * 3 / 100);
}

// Every shortcut runs its item's action once, whatever control has the focus; the items of
// actions built elsewhere are stood in for by recorders.
TEST_F(DiceAndKeys, EachKeyRunsItsItemOnce) {
    std::vector<std::string> ran;
    std::map<std::string, platform::Menu*> items = {
        {"Deck", &duel.Deck},           {"drawcard", &duel.drawcard},       {"quit", &duel.quit},
        {"DiscardTop", &duel.DiscardTop}, {"searchdeck", &duel.searchdeck}, {"SearchTrash", &duel.SearchTrash},
        {"NextPhase", &duel.NextPhase}, {"RollDice", &duel.RollDice},       {"Shuffle", &duel.Shuffle},
        {"FlipDeck", &duel.FlipDeck},   {"SearchYourRFG", &duel.SearchYourRFG}, {"DrawAndShow", &duel.DrawAndShow},
        {"End_Turn", &duel.End_Turn},   {"flipcoin", &duel.flipcoin},       {"SearchFusionDeck", &duel.SearchFusionDeck},
        {"Macro10", &duel.Macro10},
    };
    for (int k = 1; k <= 9; ++k) items["Macro" + rt::cstr(k)] = duel.macro_item(k);
    for (auto& [name, item] : items) item->Click = [&ran, n = name] { ran.push_back(n); };

    struct Case {
        int key;
        bool ctrl;
        int shift;
        const char* runs;  // null: nothing
    };
    const Case cases[] = {
        {'Y', true, 0, "Deck"},           {'D', true, 0, "drawcard"},      {'Q', true, 0, "quit"},
        {'T', true, 0, "DiscardTop"},     {'K', true, 0, "searchdeck"},    {'G', true, 0, "SearchTrash"},
        {'P', true, 0, "NextPhase"},      {'R', true, 0, "RollDice"},      {'S', true, 0, "Shuffle"},
        {'O', true, 0, "FlipDeck"},       {'I', true, 0, "SearchYourRFG"}, {'W', true, 0, "DrawAndShow"},
        {'E', true, 0, "End_Turn"},       {'F', true, 0, "flipcoin"},      {'U', true, 0, "SearchFusionDeck"},
        {'R', true, kShiftMask, "RollDice"},  // Shift is not looked at
        {112, false, 0, "Macro1"},        {120, false, 0, "Macro9"},       {116, true, 0, "Macro5"},
        {122, false, 0, "Macro10"},       {122, true, 0, "Macro10"},
        // Letters without Ctrl belong to the focused control; other keys to nobody.
        {'R', false, 0, nullptr},         {'D', false, 0, nullptr},        {123, false, 0, nullptr},
        {123, true, 0, nullptr},          {121, false, 0, nullptr},        {'N', true, 0, nullptr},
        {'L', true, 0, nullptr},          {'A', true, 0, nullptr},
    };
    duel.set_focus(duel.chattext);
    for (const Case& c : cases) {
        ran.clear();
        fx.host.set_key_down(kCtrl, c.ctrl);
        duel.user_key_down(c.key, c.shift);
        EXPECT_EQ(ran, c.runs ? std::vector<std::string>{c.runs} : std::vector<std::string>{})
            << c.key << (c.ctrl ? " with Ctrl" : "");
    }
}

TEST_F(DiceAndKeys, CtrlKeysRunTheRealActions) {
    fx.host.set_key_down(kCtrl, true);
    duel.user_key_down('R', 0);
    EXPECT_EQ(LastLog().rfind("<Game> Tester has rolled a ", 0), 0u);
    duel.user_key_down('F', 0);
    EXPECT_EQ(LastLog().rfind("<Game> Tester flipped ", 0), 0u);
    duel.user_key_down('P', 0);
    EXPECT_EQ(tw.duel.Phase, 2);
    EXPECT_TRUE(tw.piles.PlayedOffline);
    duel.user_key_down('E', 0);
    EXPECT_EQ(tw.duel.Phase, 7);
    EXPECT_EQ(Sent(), (std::vector<std::string>{"cp~2", "cp~7"}));

    // One press, one card: the menu's shortcut text adds no second draw.
    tw.piles.DeckCards.redim(2);
    tw.piles.DeckCards[1].Name = "Ember Drake";
    tw.piles.DeckCards[2].Name = "Tide Caller";
    tw.piles.DeckLoaded = true;
    RecountDeck(tw);
    duel.user_key_down('D', 0);
    EXPECT_EQ(duel.hand.items(), std::vector<std::string>{"Ember Drake"});
}

}  // namespace
}  // namespace tw
