// The card search's record test and result cache, on a small database, without a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "cards/patterns.hpp"
#include "program/tablewright.hpp"
#include "deckeditor/search.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

Card card(std::string name, std::string set, std::string group, std::string level, std::string attribute,
          std::string icon, std::string atk, std::string def, std::string desc) {
    Card c;
    c.Name = std::move(name);
    c.SetCode = std::move(set);
    c.Group = std::move(group);
    c.Level = std::move(level);
    c.Attribute = std::move(attribute);
    c.Icon = std::move(icon);
    c.Atk = std::move(atk);
    c.Def = std::move(def);
    c.Desc = std::move(desc);
    return c;
}

const std::vector<Card>& database() {
    static const std::vector<Card> db = {
        card("Blue Dragon", "SA", "Dragon", "8", "LIGHT", "", "3000", "2500", "A legendary dragon."),      // 0
        card("Blue Dragon", "SB", "Dragon", "8", "LIGHT", "", "3000", "2500", "A legendary dragon."),      // 1
        card("Dark Mage", "SA", "Spellcaster", "7", "DARK", "", "2500", "2100", "The ultimate wizard."),    // 2
        card("Fusion Knight", "SB", "Warrior/Fusion", "6", "EARTH", "", "2200", "1800", "Two fused."),      // 3
        card("Sync Beast", "SA", "Beast/Synchro/Effect", "5", "WIND", "", "2000", "1000", "A tuned beast."),  // 4
        card("Toon Cat", "SA", "Beast/Toon", "3", "FIRE", "", "1200", "900", "Summoned as a toon."),       // 5
        card("Pot", "SA", "Spell Card", "", "Spell", "", "", "", "Draw 2 cards."),                           // 6
        card("Field Land", "SB", "Spell Card", "", "Spell", "Field", "", "", "Monsters gain 200."),          // 7
        card("Lasting Ward", "SA", "Spell Card", "", "Spell", "Continuous", "", "", "Stays."),               // 8
        card("Hole", "SA", "Trap Card", "", "Trap", "", "", "", "Destroy the summoned monster."),            // 9
        card("Mirror", "SB", "Trap Card", "", "Trap", "Counter", "", "", "Negate the attack."),              // 10
        card("Wall", "SA", "Trap Card", "", "Trap", "Continuous", "", "", "Monsters cannot attack."),        // 11
        card("Odd Fiend", "SA", "Fiend/Effect", "?", "DARK", "", "?", "?", "Unknown."),                      // 12
        card("", "SA", "Beast", "4", "EARTH", "", "100", "100", "An empty record."),                         // 13
        card("alpha wolf", "SA", "Beast", "4", "EARTH", "", "1600", "1200", "wolf wolf"),                    // 14
        card("Ritual Lord", "SA", "Warrior/Ritual/Effect", "8", "LIGHT", "", "2800", "2600", "Ritual summoned."),  // 15
        card("Normal Elf", "sa", "Spellcaster", "4", "LIGHT", "", "1400", "1200", "An elf."),                // 16
        card("Equip Sword", "SB", "Spell Card", "", "Spell", "Equip", "", "", "Equip it."),                  // 17
        card("Plain Note", "SA", "Spell Card", "", "", "", "", "", "No attribute at all."),                  // 18
    };
    return db;
}

const std::vector<int> kAllNamed = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14, 15, 16, 17, 18};
const std::vector<int> kMonsters = {0, 1, 2, 3, 4, 5, 12, 14, 15, 16};
const std::vector<int> kSpellsTraps = {6, 7, 8, 9, 10, 11, 17, 18};
// With a property, attribute or kind test a record without level, attribute and icon goes.
const std::vector<int> kSpellsTrapsKind = {6, 7, 8, 9, 10, 11, 17};

std::vector<int> with(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    std::sort(a.begin(), a.end());
    return a;
}

void no_spells_traps(SearchFilter& f) { f.spells = f.traps = 0; }

struct FilterCase {
    const char* what;
    std::function<void(SearchFilter&)> set;
    std::vector<int> kept;
    SearchVerdict verdict = SearchVerdict::Accept;
};

class FilterTable : public ::testing::TestWithParam<FilterCase> {};

TEST_P(FilterTable, KeepsTheExpectedRecords) {
    const FilterCase& c = GetParam();
    SearchFilter f;
    c.set(f);
    const PreparedSearch prepared = PrepareSearch(f);
    std::vector<int> kept;
    for (std::size_t i = 0; i < database().size(); ++i) {
        const SearchVerdict v = TestCard(database()[i], prepared);
        if (v == SearchVerdict::Skip) continue;
        EXPECT_EQ(v, c.verdict) << database()[i].Name;
        kept.push_back(static_cast<int>(i));
    }
    EXPECT_EQ(kept, c.kept);
}

const FilterCase kCases[] = {
    {"nothing set: every named record, listed without caching", [](SearchFilter&) {}, kAllNamed,
     SearchVerdict::List},
    {"blanks around All still list without caching", [](SearchFilter& f) { f.set = " All "; }, kAllNamed,
     SearchVerdict::List},
    {"first search at load accepts whatever the kind boxes say",
     [](SearchFilter& f) {
         f.lists_filled = false;
         f.monsters = f.spells = f.traps = 0;
         f.name = "zzz";
     },
     kAllNamed},
    {"first search at load keeps the set choice",
     [](SearchFilter& f) {
         f.lists_filled = false;
         f.set = "SB";
     },
     {1, 3, 7, 10, 17}},
    {"set code compared exactly", [](SearchFilter& f) { f.set = "SA"; }, {0, 2, 4, 5, 6, 8, 9, 11, 12, 14, 15, 18}},
    {"monsters cleared", [](SearchFilter& f) { f.monsters = 0; }, kSpellsTraps},
    {"spells and traps cleared", no_spells_traps, kMonsters},
    {"a grayed box is checked but the search caches", [](SearchFilter& f) { f.traps = 2; }, kAllNamed},
    {"name contained, letter case aside", [](SearchFilter& f) { f.name = "BLUE"; }, {0, 1}},
    {"a name of blanks filters nothing but caches", [](SearchFilter& f) { f.name = "   "; }, kAllNamed},
    {"name trimmed", [](SearchFilter& f) { f.name = " wolf "; }, {14}},
    {"pattern pieces in order", [](SearchFilter& f) { f.name = "a%o"; }, {0, 1, 14, 15, 18}},
    {"a repeated piece needs two starts", [](SearchFilter& f) { f.name = "o%o"; }, {5}},
    {"an empty last piece", [](SearchFilter& f) { f.name = "dragon%"; }, {0, 1}},
    {"name of only %", [](SearchFilter& f) { f.name = "%"; }, kAllNamed},
    {"card text contained", [](SearchFilter& f) { f.desc = "SUMMON"; }, {5, 9, 15}},
    {"card text pattern", [](SearchFilter& f) { f.desc = "wolf%wolf"; }, {14}},
    {"card text of only % is no filter", [](SearchFilter& f) { f.desc = "%"; }, kAllNamed},
    {"normal spells", [](SearchFilter& f) { f.spell_type = "Normal"; }, {6}},
    {"field spells by icon", [](SearchFilter& f) { f.spell_type = "Field"; }, {7}},
    {"continuous spells only", [](SearchFilter& f) { f.spell_type = "Continuous"; }, {8}},
    {"an unknown spell type keeps nothing", [](SearchFilter& f) { f.spell_type = "Quick"; }, {}},
    {"normal traps", [](SearchFilter& f) { f.trap_type = "Normal"; }, {9}},
    {"continuous traps", [](SearchFilter& f) { f.trap_type = "Continuous"; }, {11}},
    {"counter traps", [](SearchFilter& f) { f.trap_type = "Counter"; }, {10}},
    {"attribute keeps spells and traps", [](SearchFilter& f) { f.attrib = "Light"; },
     with({0, 1, 15, 16}, kSpellsTrapsKind)},
    {"attribute with monsters only",
     [](SearchFilter& f) {
         f.attrib = "Dark";
         no_spells_traps(f);
     },
     {2, 12}},
    {"an unknown attribute skips every monster", [](SearchFilter& f) { f.attrib = "Purple"; }, kSpellsTrapsKind},
    {"normal monsters have no kind after a slash",
     [](SearchFilter& f) {
         f.type_icon = "Normal";
         no_spells_traps(f);
     },
     {0, 1, 2, 14, 16}},
    {"effect takes every slash, fusion included",
     [](SearchFilter& f) {
         f.type_icon = "Effect";
         no_spells_traps(f);
     },
     {3, 4, 5, 12, 15}},
    {"fusion kind",
     [](SearchFilter& f) {
         f.type_icon = "Fusion";
         no_spells_traps(f);
     },
     {3}},
    {"toon kind",
     [](SearchFilter& f) {
         f.type_icon = "Toon";
         no_spells_traps(f);
     },
     {5}},
    {"monster type ignores the kinds", [](SearchFilter& f) { f.monster_type = "Beast"; }, with({4, 14}, kSpellsTraps)},
    {"monster type under two kinds", [](SearchFilter& f) { f.monster_type = "Warrior"; },
     with({3, 15}, kSpellsTraps)},
    {"level equal keeps every spell and trap",
     [](SearchFilter& f) {
         f.level = "4";
         f.level_compare = 2;
     },
     with({14, 16}, kSpellsTraps)},
    {"level at least",
     [](SearchFilter& f) {
         f.level = "7";
         f.level_compare = 1;
         no_spells_traps(f);
     },
     {0, 1, 2, 15}},
    {"level at most, blanks around the number", [](SearchFilter& f) { f.level = " 4 "; },
     with({5, 14, 16}, kSpellsTraps)},
    {"a level that is no number is no test", [](SearchFilter& f) { f.level = "abc"; }, kAllNamed},
    {"no comparison selected keeps no monster",
     [](SearchFilter& f) {
         f.level = "4";
         f.level_compare = -1;
     },
     kSpellsTraps},
    {"attack at most, a ? attack excluded",
     [](SearchFilter& f) {
         f.atk = "1500";
         no_spells_traps(f);
     },
     {5, 16}},
    {"defence equal",
     [](SearchFilter& f) {
         f.def = "2500";
         f.def_compare = 2;
         no_spells_traps(f);
     },
     {0, 1}},
    {"set, attribute, level and attack together",
     [](SearchFilter& f) {
         f.set = "SA";
         f.attrib = "Light";
         f.level = "8";
         f.level_compare = 2;
         f.atk = "2800";
         f.atk_compare = 1;
         no_spells_traps(f);
     },
     {0, 15}},
    {"name pattern, card text and kind together",
     [](SearchFilter& f) {
         f.name = "%a%";
         f.desc = "attack";
         f.monsters = 0;
     },
     {11}},
    {"name and spell kind together",
     [](SearchFilter& f) {
         f.name = "%w%";
         f.spell_type = "Continuous";
     },
     {8}},
};

INSTANTIATE_TEST_SUITE_P(Search, FilterTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FilterCase>& info) {
                             std::string n;
                             for (const char* p = info.param.what; *p; ++p)
                                 n += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return n;
                         });

// The search splits its pattern once; the result must be MatchesPattern's.
TEST(SearchPattern, AgreesWithMatchesPattern) {
    const char* texts[] = {"toon cat", "a", "aa", "abcabc", "x"};
    const char* patterns[] = {"o%o", "a%", "%a", "a%a", "a%%a", "%%", "%", "abc%abc", "c%a%b", "%x%", "b%c%c"};
    for (const char* text : texts) {
        for (const char* pattern : patterns) {
            SearchFilter f;
            f.name = pattern;
            Card c;
            c.Name = text;
            EXPECT_EQ(TestCard(c, f) != SearchVerdict::Skip, MatchesPattern(text, pattern))
                << text << " / " << pattern;
        }
    }
}

struct SearchCacheTest : ::testing::Test, test::TableFixture {
    // Two names in several printings: Blue Dragon in SA, SB and SC, Dark Mage in SA and SB.
    void SetUp() override {
        tw().cards.CardDatabase = {
            card("Blue Dragon", "SA", "Dragon", "8", "LIGHT", "", "3000", "2500", ""),
            card("Dark Mage", "SA", "Spellcaster", "7", "DARK", "", "2500", "2100", ""),
            card("Blue Dragon", "SB", "Dragon", "8", "LIGHT", "", "3000", "2500", ""),
            card("Dark Mage", "SB", "Spellcaster", "7", "DARK", "", "2500", "2100", ""),
            card("Blue Dragon", "SC", "Dragon", "8", "LIGHT", "", "3000", "2500", ""),
            Card{},
        };
    }
    std::vector<std::string> shown(const SearchFilter& f, bool hide) {
        std::vector<std::string> out;
        for (std::uint32_t at : SearchCards(tw(), f, hide)) {
            const Card c = tw().cards.CardDatabase[at].card();
            out.push_back(c.Name + "|" + c.SetCode);
        }
        return out;
    }
    std::vector<std::string> cached() {
        std::vector<std::string> out;
        for (const CardView c : tw().editor.SearchResults) out.push_back(std::string(c.Name) + "|" + std::string(c.SetCode));
        return out;
    }
};

TEST_F(SearchCacheTest, TheUnfilteredListingCachesNothing) {
    tw().editor.SearchResults.assign({0, 0, 0});
    EXPECT_EQ(shown({}, false).size(), 5u);
    EXPECT_EQ(cached(), std::vector<std::string>{"|"});
    EXPECT_EQ(shown({}, true), (std::vector<std::string>{"Blue Dragon|SA", "Dark Mage|SA"}));
    EXPECT_EQ(cached(), std::vector<std::string>{"|"});
}

TEST_F(SearchCacheTest, HiddenCopiesStayInTheCache) {
    SearchFilter f;
    f.name = "blue";
    EXPECT_EQ(shown(f, true), std::vector<std::string>{"Blue Dragon|SA"});
    EXPECT_EQ(cached(), (std::vector<std::string>{"Blue Dragon|SA", "Blue Dragon|SB", "Blue Dragon|SC"}));
    EXPECT_EQ(shown(f, false).size(), 3u);
}

// The first hit is compared with the whole database before it, later hits with the hits only.
TEST_F(SearchCacheTest, WithASetTheFirstHitLooksBackOverTheDatabase) {
    SearchFilter f;
    f.set = "SB";
    EXPECT_EQ(shown(f, true), std::vector<std::string>{"Dark Mage|SB"});
    EXPECT_EQ(cached(), (std::vector<std::string>{"Blue Dragon|SB", "Dark Mage|SB"}));
    EXPECT_EQ(shown(f, false), (std::vector<std::string>{"Blue Dragon|SB", "Dark Mage|SB"}));
}

TEST_F(SearchCacheTest, ASearchWithoutHitsLeavesOnlyTheEmptyRecord) {
    SearchFilter f;
    f.name = "nothing like it";
    EXPECT_TRUE(shown(f, true).empty());
    EXPECT_EQ(cached(), std::vector<std::string>{"|"});
}

TEST(SearchDone, TellsTheTimeAcrossAWrapOfTheTickCount) {
    EXPECT_EQ(SearchDoneText(1000, 1250), "Search Done!\r\nIt took 250 mil/sec");
    EXPECT_EQ(SearchDoneText(0xFFFFFFF0u, 0x10u), "Search Done!\r\nIt took 32 mil/sec");
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

// The result order: byte order over the whole name, however long the shared start, equal
// names in their order; equal names, and only they, share a group.
TEST(SearchOrder, SortsByBytesAndKeepsEqualNamesInOrder) {
    CardStore db;
    auto add = [&](std::string name, std::string set) {
        Card c;
        c.Name = std::move(name);
        c.SetCode = std::move(set);
        db.push_back(c);
    };
    const std::string shared = "Ancient Guardian of the Old Gate ";  // past every radix step
    // Enough names for the radix passes, with runs that share their first 16 and 32 bytes.
    for (int i = 199; i >= 0; --i) add(shared + std::to_string(i % 50), "S" + std::to_string(i));
    add("beta", "A");
    add("Beta", "B");
    add("3 Wishes", "C");
    add(std::string("ab\0c", 4), "D");
    add("ab", "E");
    add("\xC9lan", "F");  // a byte above 127 sorts after the letters
    add("Beta", "G");

    const auto& order = db.NameOrder();
    std::vector<std::uint32_t> want(db.size());
    for (std::uint32_t i = 0; i < want.size(); ++i) want[i] = i;
    std::stable_sort(want.begin(), want.end(), [&](std::uint32_t a, std::uint32_t b) { return db.name(a) < db.name(b); });
    EXPECT_EQ(order, want);
    EXPECT_EQ(db.name(order.front()), "3 Wishes");
    EXPECT_EQ(db.name(order.back()), "\xC9lan");
    const auto& groups = db.NameGroups();
    for (std::size_t k = 1; k < order.size(); ++k)
        EXPECT_EQ(groups[order[k]] == groups[order[k - 1]], db.name(order[k]) == db.name(order[k - 1])) << k;
    EXPECT_TRUE(CardStore().NameOrder().empty());
}

}  // namespace
}  // namespace tw
