// The deck editor's search controls and result grid, on a started editor.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "program/tablewright.hpp"
#include "deckeditor/deckmaker.hpp"
#include "platform/rt.hpp"
#include "tests/deckeditor/editor_fixture.hpp"

namespace tw::test {
namespace {

// Names that sort differently by byte and by letter: a digit, capitals, a small letter; two
// printings of Alpha, one set code in small letters, one record without a name.
constexpr const char* kSearchSet =
    "1|beta ray|1|SA|Beast|EARTH|4||1000|900|Small letter.|\r\n"
    "2|Zeta|1|SB|Fiend/Fusion|DARK|6||2400|2000|Fused fiend.|\r\n"
    "3|Alpha|1;2|SA;sb|Dragon|LIGHT|8||3000|2500|First and again.|\r\n"
    "4|3 Wishes|1|SA|Spell Card|Spell||Field|||A field.|\r\n"
    "5||1|SA|Beast|EARTH|4||1|1|Nameless.|\r\n";

struct SearchWindowTest : EditorTest {
    void SetUp() override {
        returning_player();
        dir.write("zqm.set", kSearchSet);
        start();
        ASSERT_FALSE(d().Frame1.visible());
        d().imgAdvancedSearch.user_click();  // the filters take input only while shown
    }
    win::DeckMaker& d() { return editor(); }
    // Set and name of each result row.
    std::vector<std::string> rows() {
        std::vector<std::string> out;
        for (int r = 1; r < d().Grid.rows(); ++r)
            out.push_back(d().Grid.text_matrix(r, 1) + " " + d().Grid.text_matrix(r, 2));
        return out;
    }
    std::vector<std::string> cached() {
        std::vector<std::string> out;
        for (const CardView c : tw().editor.SearchResults) out.push_back(std::string(c.SetCode) + " " + std::string(c.Name));
        return out;
    }
    void quick_search(const std::string& name) {
        d().Text1.user_got_focus();
        d().Text1.user_edit(name);
        d().Text1.user_key_down(13);
    }
};

TEST_F(SearchWindowTest, TheFirstSearchListsAndCachesEveryNamedCardSortedByByte) {
    EXPECT_EQ(rows(), (std::vector<std::string>{"SA 3 Wishes", "SA Alpha", "SB Alpha", "SB Zeta", "SA beta ray"}));
    EXPECT_EQ(d().Grid.text_matrix(0, 2), "Card Name (5)");
    EXPECT_EQ(cached(), (std::vector<std::string>{"SA beta ray", "SB Zeta", "SA Alpha", "sb Alpha", "SA 3 Wishes"}));
    EXPECT_EQ(d().Grid.cell(1, 2).align, platform::Align::LeftTop);  // a name starting with a digit
    EXPECT_EQ(d().Grid.cell(2, 2).align, platform::Align::General);
    EXPECT_EQ(d().selectedcard.text(), "Search Done!\r\nIt took 0 mil/sec");
    EXPECT_TRUE(d().Command11.enabled());
    EXPECT_TRUE(d().Grid.enabled());
    EXPECT_TRUE(d().Grid.redraw());
    EXPECT_FALSE(tw().editor.SearchRunning);
}

TEST_F(SearchWindowTest, TheSearchButtonWithNoFilterListsWithoutCaching) {
    d().Command11.user_click();
    EXPECT_EQ(rows().size(), 5u);
    EXPECT_EQ(cached(), std::vector<std::string>{" "});
    EXPECT_TRUE(d().Command11.enabled());
}

TEST_F(SearchWindowTest, HideDuplicatesShowsTheFirstPrintingAndRestoresItsCaption) {
    d().hidecopies.user_click();
    EXPECT_EQ(rows(), (std::vector<std::string>{"SA 3 Wishes", "SA Alpha", "SB Zeta", "SA beta ray"}));
    EXPECT_EQ(d().Grid.text_matrix(0, 2), "Card Name (4)");
    EXPECT_EQ(d().hidecopies.caption(), "Hide Duplicates");
    EXPECT_TRUE(d().hidecopies.enabled());
    d().hidecopies.user_click();
    EXPECT_EQ(rows().size(), 5u);
}

TEST_F(SearchWindowTest, QuickSearchCombinesWithTheFiltersAndEmptiesTheNameBox) {
    d().MonsterCheck.set_value(0);
    quick_search("ALP");
    EXPECT_TRUE(rows().empty());
    EXPECT_EQ(d().Grid.text_matrix(0, 2), "Card Name (0)");
    EXPECT_EQ(d().NameContains.text(), "");

    d().MonsterCheck.set_value(1);
    d().Text1.user_key_down(13);
    EXPECT_EQ(rows(), (std::vector<std::string>{"SA Alpha", "SB Alpha"}));
    EXPECT_EQ(d().Grid.cell(1, 2).align, platform::Align::General);  // row 1 held "3 Wishes"
    EXPECT_EQ(cached(), (std::vector<std::string>{"SA Alpha", "sb Alpha"}));
}

TEST_F(SearchWindowTest, TheGreyHintIsNeverSearchedFor) {
    d().NameContains.set_text("zeta");
    d().Command11.user_click();
    ASSERT_EQ(rows().size(), 1u);
    d().Text1.user_key_down(13);  // the hint is still there
    EXPECT_EQ(rows().size(), 1u);
    EXPECT_EQ(d().NameContains.text(), "zeta");

    d().Text1.user_got_focus();
    EXPECT_EQ(d().Text1.text(), "");
    EXPECT_EQ(d().Text1.fore_color(), 0u);
    d().Text1.user_lost_focus();
    EXPECT_EQ(d().Text1.text(), "Search By Card Name");
    EXPECT_EQ(d().Text1.fore_color(), 12632256u);
}

TEST_F(SearchWindowTest, EnterInTheFilterBoxesSearches) {
    d().NameContains.set_text("a");
    d().NameContains.user_key_down(65);
    EXPECT_EQ(rows().size(), 5u);
    d().NameContains.user_key_down(13);
    EXPECT_EQ(rows().size(), 4u);  // beta ray, Zeta, Alpha twice
    d().imgAdvancedSearch.user_click();  // the frame made way for the results
    d().NameContains.set_text("");
    d().DescContains.set_text("FUSED");
    d().DescContains.user_key_down(13);
    EXPECT_EQ(rows(), std::vector<std::string>{"SB Zeta"});
}

TEST_F(SearchWindowTest, ASetChoiceSearchesThatSetExactly) {
    d().Combo1.user_select(2);  // "SB"; "sb" is a set of its own
    ASSERT_EQ(d().Combo1.text(), "SB");
    EXPECT_EQ(rows(), std::vector<std::string>{"SB Zeta"});
}

TEST_F(SearchWindowTest, ALockedSearchLeavesTheGridAlone) {
    d().Combo1.set_enabled(false);
    quick_search("zeta");
    EXPECT_EQ(rows().size(), 5u);
    EXPECT_EQ(d().selectedcard.text(), "Searching...Please Wait");
    EXPECT_EQ(d().NameContains.text(), "");
    d().hidecopies.user_click();
    EXPECT_EQ(rows().size(), 5u);
    EXPECT_EQ(d().selectedcard.text(), "Filtering...Please Wait");
    EXPECT_EQ(d().hidecopies.caption(), "Hide Duplicates");
}

TEST_F(SearchWindowTest, AClearedKindBoxResetsItsPropertyList) {
    d().SpellType.user_select(4);  // "Field"
    d().TrapType.user_select(3);   // "Counter"
    d().SpellCheck.set_value(0);
    d().Command11.user_click();
    EXPECT_EQ(d().SpellType.text(), "");
    EXPECT_EQ(d().TrapType.text(), "Counter");
}

TEST_F(SearchWindowTest, KindsWithoutStatsEmptyTheStatBoxes) {
    for (auto* box : {&d().LevelSearch, &d().AtkSearch, &d().DefSearch}) box->set_text("4");
    d().TypeIcon.user_select(2);  // "Effect"
    EXPECT_EQ(d().LevelSearch.text(), "4");
    d().TypeIcon.user_select(7);  // "Ritual"
    EXPECT_EQ(d().AtkSearch.text(), "4");
    d().TypeIcon.user_select(3);  // "Fusion"
    EXPECT_EQ(d().LevelSearch.text(), "");
    EXPECT_EQ(d().AtkSearch.text(), "");
    EXPECT_EQ(d().DefSearch.text(), "");
}

TEST_F(SearchWindowTest, AFilteredSearchUncoversItsResultsAndKeepsTheFilters) {
    ASSERT_TRUE(d().Frame1.visible());
    d().NameContains.user_edit("zeta");
    d().Command11.user_click();
    EXPECT_FALSE(d().Frame1.visible());
    EXPECT_TRUE(d().Grid.shown());
    EXPECT_EQ(rows(), std::vector<std::string>{"SB Zeta"});
    d().imgAdvancedSearch.user_click();
    EXPECT_TRUE(d().Frame1.visible());
    EXPECT_EQ(d().NameContains.text(), "zeta");
}

TEST_F(SearchWindowTest, TheAdvancedButtonTogglesTheFilterFrameWithoutClearingIt) {
    ASSERT_TRUE(d().Frame1.visible());
    d().NameContains.set_text("zeta");
    d().imgAdvancedSearch.user_click();
    EXPECT_FALSE(d().Frame1.visible());
    EXPECT_EQ(d().NameContains.text(), "zeta");
    d().imgAdvancedSearch.user_click();
    EXPECT_TRUE(d().Frame1.visible());
}

// The shipped sample set, searched through the filter lists as a person does.
struct SampleSetSearch : EditorTest {
    void SetUp() override {
        returning_player();
        std::filesystem::copy_file(std::filesystem::path(TW_SOURCE_DIR) / "data" / "zqm.set", dir.path() / "zqm.set",
                                   std::filesystem::copy_options::overwrite_existing);
        start();
    }
    win::DeckMaker& d() { return editor(); }
    // Searches the monsters with one entry of a filter list chosen, and gives the cards the
    // grid lists.
    std::vector<Card> search_with(platform::ComboBox& list, int entry) {
        if (!d().Frame1.visible()) d().imgAdvancedSearch.user_click();
        if (d().SpellCheck.value() != 0) d().SpellCheck.user_click();
        if (d().TrapCheck.value() != 0) d().TrapCheck.user_click();
        list.user_select(entry);
        d().Command11.user_click();
        std::vector<Card> found;
        for (int r = 1; r < d().Grid.rows(); ++r) {
            const std::string name = d().Grid.text_matrix(r, 2);
            if (name.empty()) continue;
            for (const CardView c : tw().cards.CardDatabase)
                if (c.Name == name) {
                    found.push_back(c.card());
                    break;
                }
        }
        if (!d().Frame1.visible()) d().imgAdvancedSearch.user_click();
        list.user_select(0);
        return found;
    }
    static std::string type_of(const Card& c) { return c.Group.substr(0, c.Group.find('/')); }
};

TEST_F(SampleSetSearch, EveryAttributeOfTheListFindsMonstersOfThatAttributeOnly) {
    ASSERT_EQ(d().Attrib.list_count(), 7);
    for (int i = 1; i < d().Attrib.list_count(); ++i) {
        const std::string attribute = d().Attrib.list(i);
        SCOPED_TRACE(attribute);
        const auto found = search_with(d().Attrib, i);
        EXPECT_GE(found.size(), 10u);
        for (const Card& c : found) EXPECT_EQ(rt::lcase(c.Attribute), rt::lcase(attribute)) << c.Name;
    }
}

TEST_F(SampleSetSearch, EveryMonsterHasATypeOfTheListAndThatTypeFindsIt) {
    std::set<std::string> offered;
    for (int i = 1; i < d().typebox.list_count(); ++i) offered.insert(d().typebox.list(i));
    std::set<std::string> used;
    for (const CardView view : tw().cards.CardDatabase) {
        const Card c = view.card();
        if (c.Name.empty() || c.Group == "Spell Card" || c.Group == "Magic Card" || c.Group == "Trap Card") continue;
        EXPECT_TRUE(offered.count(type_of(c))) << c.Name << ": " << c.Group;
        used.insert(type_of(c));
    }
    EXPECT_GE(used.size(), 8u);
    for (int i = 1; i < d().typebox.list_count(); ++i) {
        const std::string type = d().typebox.list(i);
        if (!used.count(type)) continue;
        SCOPED_TRACE(type);
        const auto found = search_with(d().typebox, i);
        EXPECT_FALSE(found.empty());
        for (const Card& c : found) EXPECT_EQ(type_of(c), type) << c.Name;
    }
}

}  // namespace
}  // namespace tw::test
