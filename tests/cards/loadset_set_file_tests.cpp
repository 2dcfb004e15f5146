// The set file's text into card database entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cards/set_file.hpp"

namespace tw {
namespace {

// One entry as "Name|SetNumber|SetCode|Group|Attribute|Level|Icon|Atk|Def|Desc|Fusion".
std::string row(const Card& c) {
    return c.Name + "|" + std::to_string(c.SetNumber) + "|" + c.SetCode + "|" + c.Group + "|" +
           c.Attribute + "|" + c.Level + "|" + c.Icon + "|" + c.Atk + "|" + c.Def + "|" + c.Desc +
           "|" + (c.Fusion ? "F" : "-");
}

std::vector<std::string> rows(const CardStore& cards) {
    std::vector<std::string> out;
    for (const CardView c : cards) out.push_back(row(c.card()));
    return out;
}

const std::string kEmpty = "|0|||||||||-";

struct SetFileCase {
    const char* what;
    std::string text;
    std::vector<std::string> entries;
};

TEST(SetFile, RecordsBecomeEntries) {
    const SetFileCase cases[] = {
        {"two set codes give two entries, the separator at the end an empty one",
         "x|Ember Drake|1;2|SET-001;SET-014|Magic Card|Magic||Normal|||Some text.|\r\n",
         {"Ember Drake|1|SET-001|Spell Card|Spell||Normal|||Some text.|-",
          "Ember Drake|2|SET-014|Spell Card|Spell||Normal|||Some text.|-", kEmpty}},
        {"synchro or fusion in the type line marks an extra-deck card, any case",
         "x|A|1|S|Dragon/Synchro/Effect|GALE|7||2500|2000|t|\r\nx|B|2|S|Wyrm/FUSION|EMBER|8||1|2|t",
         {"A|1|S|Dragon/Synchro/Effect|GALE|7||2500|2000|t|F",
          "B|2|S|Wyrm/FUSION|EMBER|8||1|2|t|F"}},
        {"the words in the card text alone do not",
         "x|A|1|S|Dragon/Effect|GALE|7||1|2|A fusion or synchro helper.",
         {"A|1|S|Dragon/Effect|GALE|7||1|2|A fusion or synchro helper.|-"}},
        {"a missing set number stops that entry after its name; loading goes on",
         "x|Pair|7|A;B|Golem|STONE|3||100|200|Text|\r\nx|Next|1|C|Golem|STONE|1||0|0|n",
         {"Pair|7|A|Golem|STONE|3||100|200|Text|-", "Pair|0|||||||||-",
          "Next|1|C|Golem|STONE|1||0|0|n|-"}},
        {"extra set numbers and fields after the card text are ignored",
         "x|A|4;5;6|P;Q|Sprite|DAWN|1||1|1|t|extra|more",
         {"A|4|P|Sprite|DAWN|1||1|1|t|-", "A|5|Q|Sprite|DAWN|1||1|1|t|-"}},
        {"three fields, or no set codes, give an empty entry",
         "x|Short|1|\r\nx|NoCode|1||Golem|STONE|1||1|1|t|\r\n|\r\nx|Last|1|Z",
         {kEmpty, kEmpty, kEmpty, "Last|1|Z||||||||-"}},
        {"fields that run out stop the filling: the fusion mark is never reached",
         "x|Cut|3|S|Wyrm/Fusion|EMBER",
         {"Cut|3|S|Wyrm/Fusion|EMBER||||||-"}},
        {"a set number that is no 16-bit whole number stops after the name",
         "x|Big|40000|S|Golem|STONE|1||1|1|t|\r\nx|Word|7a|S|Golem|STONE|1||1|1|t|\r\n"
         "x|Neg|-32768|S|Golem|STONE|1||1|1|t",
         {"Big|0|||||||||-", "Word|0|||||||||-",
          "Neg|-32768|S|Golem|STONE|1||1|1|t|-"}},
        {"only the exact words are rewritten; a lone line break stays in the text",
         "x|M|1|S|magic card|MAGIC|||||two\r\nlines",
         {"M|1|S|magic card|MAGIC|||||two\r\nlines|-"}},
        {"a record that is only a separator", "|\r\n", {kEmpty, kEmpty}},
        {"an empty text gives no entry at all", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(rows(ParseSetFile(c.text)), c.entries);
    }
}

TEST(SetFile, ProgressReportsEachNewWholePercentRoundedHalfToEven) {
    auto progress_of = [](int separators) {
        std::string text;
        for (int i = 0; i < separators; ++i) text += "x|C|1|S|G|A|1||1|1|t|\r\n";
        std::vector<int> seen;
        ParseSetFile(text, [&](int p) { seen.push_back(p); });
        return seen;
    };
    EXPECT_EQ(progress_of(0), std::vector<int>{});
    EXPECT_EQ(progress_of(2), (std::vector<int>{50, 100}));
    // 12.5 goes down to 12, 37.5 up to 38.
    EXPECT_EQ(progress_of(8), (std::vector<int>{12, 25, 38, 50, 62, 75, 88, 100}));

    auto many = progress_of(1000);
    EXPECT_GE(many.size(), 99u);
    EXPECT_LE(many.size(), 100u);
    EXPECT_TRUE(std::is_sorted(many.begin(), many.end()));
    EXPECT_EQ(std::adjacent_find(many.begin(), many.end()), many.end());
    EXPECT_EQ(many.back(), 100);
}

TEST(SetFile, MoreThan32768EntriesAllLoad) {
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "x|Card " + std::to_string(i) + "|1;2|A;B|Golem|STONE|1||1|1|t|\r\n";
    auto cards = ParseSetFile(text);
    ASSERT_EQ(cards.size(), 40001u);
    EXPECT_EQ(cards[39999].Name, "Card 19999");
    EXPECT_EQ(cards[39999].SetCode, "B");
    EXPECT_EQ(cards[40000], Card{});
}

TEST(SetFile, OnlyTheExactCommandLineChoosesTheAlternativeList) {
    EXPECT_EQ(SetFileName("-ocg"), "ocg_zqm.set");
    for (const char* other : {"", "-OCG", "-ocg x", " -ocg", "ocg"})
        EXPECT_EQ(SetFileName(other), "zqm.set") << other;
}

}  // namespace
}  // namespace tw
