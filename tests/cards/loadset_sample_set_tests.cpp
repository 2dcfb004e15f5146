// The bundled sample card set loads whole and every card of it can be looked up.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>

#include "cards/card_lookup.hpp"
#include "cards/main.hpp"
#include "cards/token_files.hpp"
#include "platform/rt.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(TW_SOURCE_DIR) / "data";

void copy_into(const test::TableFixture& f, const char* name) {
    f.dir.write(name, test::TempDir::read(kData / name));
}

class SampleSet : public ::testing::TestWithParam<const char*> {};

TEST_P(SampleSet, LoadsWithoutEmptyEntriesButTheLastAndEveryCardIsFound) {
    test::TableFixture f;
    f.app.command = GetParam();
    copy_into(f, "zqm.set");
    copy_into(f, "ocg_zqm.set");
    Main(f.tw());
    // The deck editor's first search leaves its hits, which a lookup tries by name first; here
    // every printing is looked up in the database itself.
    f.tw().editor.SearchResults.clear();
    auto& db = f.tw().cards.CardDatabase;

    ASSERT_GT(db.size(), 1u);
    EXPECT_EQ(db.back(), Card{});
    std::set<std::string> names, groups, spell_icons, trap_icons;
    for (std::size_t i = 0; i + 1 < db.size(); ++i) {
        const Card c = db[i].card();
        SCOPED_TRACE(c.Name + " / " + c.SetCode);
        ASSERT_FALSE(c.Name.empty()) << "entry " << i;
        ASSERT_FALSE(c.SetCode.empty());
        ASSERT_FALSE(c.Desc.empty());  // every field was reached
        EXPECT_EQ(LookupCard(f.tw(), rt::lcase(c.SetCode), rt::ucase(c.Name)), c);
        names.insert(c.Name);
        if (c.Attribute == "Spell") spell_icons.insert(c.Icon);
        else if (c.Attribute == "Trap") trap_icons.insert(c.Icon);
        else {
            ASSERT_TRUE(rt::is_number(c.Level));
            for (const char* kind : {"Effect", "Fusion", "Synchro", "Ritual"})
                if (c.Group.find(kind) != std::string::npos) groups.insert(kind);
            if (c.Group.find('/') == std::string::npos) groups.insert("normal");
        }
        EXPECT_EQ(c.Fusion, rt::contains_ci(c.Group, "fusion") ||
                                rt::contains_ci(c.Group, "synchro"));
    }
    EXPECT_GE(names.size(), 150u);
    const auto& codes = f.tw().cards.SetCodes;
    EXPECT_GE(codes.size(), 5u);  // the empty element and at least four codes
    // The alternative list has printings of a set of its own.
    EXPECT_EQ(std::count(codes.begin(), codes.end(), "ZEN5") == 1,
              GetParam() == std::string("-ocg"));
    EXPECT_LT(names.size(), db.size() - 1);  // some cards are printed in several sets
    EXPECT_TRUE(names.count("Salt & Cinder Wyrm"));
    EXPECT_EQ(groups, (std::set<std::string>{"normal", "Effect", "Fusion", "Synchro", "Ritual"}));
    EXPECT_EQ(spell_icons, (std::set<std::string>{"", "Continuous", "Equip", "Field",
                                                  "Quick-Play", "Ritual"}));
    EXPECT_EQ(trap_icons, (std::set<std::string>{"", "Continuous", "Counter"}));
}

INSTANTIATE_TEST_SUITE_P(BothLists, SampleSet, ::testing::Values("", "-ocg"));

TEST(SampleTokens, EveryListedTokenIsInTheTokenFile) {
    test::TableFixture f;
    copy_into(f, "token.ptcg");
    copy_into(f, "token.cnl");
    auto names = ReadTokenList(f.tw());
    ASSERT_TRUE(names.has_value());
    ASSERT_GE(names->size(), 3u);
    for (const auto& name : *names) {
        Card t = LookupCard(f.tw(), "Token", name);
        EXPECT_EQ(t.Name, name);
        EXPECT_FALSE(t.Group.empty()) << name;
    }
}

// Card art lies where the table looks for it: images\<set code>\<name without blanks>.gif,
// both lower-cased, a 40 x 40 GIF.
TEST(SampleArt, EveryListedCardHasItsPictureWhereTheTableLooks) {
    std::istringstream list(test::TempDir::read(kData / "art-list.txt"));
    std::string line;
    int checked = 0;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#') continue;
        auto tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        const std::string file = rt::lcase(rt::replace_all(line.substr(tab + 1), " ", "")) + ".gif";
        const fs::path art = kData / "images" / rt::lcase(line.substr(0, tab)) / file;
        SCOPED_TRACE(art.string());
        ASSERT_TRUE(fs::exists(art));
        const std::string bytes = test::TempDir::read(art);
        ASSERT_GE(bytes.size(), 10u);
        EXPECT_EQ(bytes.substr(0, 4), "GIF8");
        auto u16 = [&](std::size_t at) {
            return static_cast<unsigned char>(bytes[at]) |
                   static_cast<unsigned char>(bytes[at + 1]) << 8;
        };
        EXPECT_EQ(u16(6), 40);
        EXPECT_EQ(u16(8), 40);
        ++checked;
    }
    EXPECT_GE(checked, 50);
}

}  // namespace
}  // namespace tw
