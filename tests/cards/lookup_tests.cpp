// Finding card records by set and name, and token cards from the token file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cards/card_lookup.hpp"
#include "cards/token_files.hpp"
#include "platform/files.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

Card card(std::string name, std::string set, std::string group = "Golem",
          std::string desc = "", std::int16_t number = 0) {
    Card c;
    c.Name = std::move(name);
    c.SetCode = std::move(set);
    c.Group = std::move(group);
    c.Desc = std::move(desc);
    c.SetNumber = number;
    return c;
}

Card named(const char* name) {
    Card c;
    c.Name = name;
    return c;
}

struct Lookup : ::testing::Test {
    test::TableFixture f;
    Tablewright& tw() { return f.tw(); }
    void SetUp() override {
        tw().cards.CardDatabase = {
            card("Ember Drake", "SET-001", "Drake", "first", 1),
            card("Ember Drake", "SET-014", "Drake", "second code", 2),
            card("Tide Wyrm", "SET-001", "Wyrm/SYNCHRO/Effect"),  // Fusion left false
            card("Twice", "SET-002", "Golem", "lower index"),
            card("Twice", "SET-002", "Golem", "higher index"),
            card("Only In B", "B", "Golem"),
            Card{},  // the empty entry after the last separator
        };
    }
};

TEST_F(Lookup, FindsTheLowestEntryOfNameAndSetWithoutRegardToCase) {
    const struct {
        const char* what;
        const char* set;
        const char* name;
        int index;  // -1: "bad card"
    } cases[] = {
        {"exact", "SET-001", "Ember Drake", 0},
        {"other letter case keeps the database's form", "set-014", "EMBER drake", 1},
        {"the same name under its other code", "SET-014", "Ember Drake", 1},
        {"the first of two equal entries", "set-002", "twice", 3},
        {"an empty set and name find the empty entry", "", "", 6},
        {"a name in another set only", "SET-001", "Only In B", -1},
        {"unknown", "SET-001", "Nothing Like It", -1},
        {"tokens is no token set", "tokens", "Ember Drake", -1},
    };
    for (bool indexed : {false, true}) {
        if (indexed) IndexCardDatabase(tw());
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (indexed ? " (indexed)" : " (scanned)"));
            Card got = LookupCard(tw(), c.set, c.name);
            if (c.index < 0) EXPECT_EQ(got, named("bad card"));
            else EXPECT_EQ(got, tw().cards.CardDatabase[c.index]);
        }
    }
}

TEST_F(Lookup, MarksSynchroAndFusionTypeLinesAsExtraDeckCards) {
    Card got = LookupCard(tw(), "SET-001", "Tide Wyrm");
    EXPECT_TRUE(got.Fusion);
    EXPECT_FALSE(tw().cards.CardDatabase[2].Fusion);  // the database itself is not changed
    EXPECT_FALSE(LookupCard(tw(), "SET-001", "Ember Drake").Fusion);
}

TEST_F(Lookup, TriesTheLastSearchFirstWhenItsFirstHitIsOfThatSet) {
    // The hits are entries 7 to 9.
    tw().cards.CardDatabase.push_back(card("Ember Drake", "SET-014", "Drake", "hit 0"));
    tw().cards.CardDatabase.push_back(card("Tide Wyrm", "SET-099", "Wyrm", "hit of another set"));
    tw().cards.CardDatabase.push_back(card("Tide Wyrm", "SET-014", "Wyrm", "later hit"));
    IndexCardDatabase(tw());
    tw().editor.SearchResults.assign({7, 8, 9});

    // Matched by name alone, so a hit may carry another set code; no fusion mark is added.
    EXPECT_EQ(LookupCard(tw(), "set-014", "tide wyrm"), tw().editor.SearchResults[1]);
    EXPECT_EQ(LookupCard(tw(), "set-014", "tide wyrm").Desc, "hit of another set");
    // A name not among the hits falls through to the database.
    EXPECT_EQ(LookupCard(tw(), "SET-014", "Twice"), named("bad card"));
    EXPECT_EQ(LookupCard(tw(), "SET-014", "Ember Drake").Desc, "hit 0");
    // Another set skips the hits.
    EXPECT_EQ(LookupCard(tw(), "SET-001", "Tide Wyrm").Desc, "");
    EXPECT_EQ(LookupCard(tw(), "SET-001", "Ember Drake"), tw().cards.CardDatabase[0]);

    // An unnamed first hit: the database alone.
    tw().editor.SearchResults.assign({6, 7});
    EXPECT_EQ(LookupCard(tw(), "SET-014", "Ember Drake").Desc, "second code");
    // No search.
    tw().editor.SearchResults.clear();
    EXPECT_EQ(LookupCard(tw(), "SET-014", "Ember Drake").Desc, "second code");
}

TEST_F(Lookup, AnIndexNoticesADatabaseThatGrewOrWasReplaced) {
    IndexCardDatabase(tw());
    tw().cards.CardDatabase.push_back(card("Newcomer", "SET-003"));
    EXPECT_EQ(LookupCard(tw(), "SET-003", "Newcomer").Name, "Newcomer");

    IndexCardDatabase(tw());
    tw().cards.CardDatabase = {card("Replacement", "R")};
    EXPECT_EQ(LookupCard(tw(), "R", "Replacement").Name, "Replacement");
    EXPECT_EQ(LookupCard(tw(), "SET-001", "Ember Drake"), named("bad card"));
}

const char* const kTokenFile =
    "[Spark Token]\r\nCARDNO=\r\nNAME=Spark Token\r\nGROUP=Sprite\r\nTYPE=EMBER\r\n"
    "LEVEL=1\r\nICON=Odd\r\nATK=100\r\nDEF=200\r\nDESC=A spark.\r\nFUSION=-1\r\n\r\n"
    "[Plain]\r\nGROUP=Golem\r\nFUSION=0\r\n"
    "[One]\r\nGROUP=Golem\r\nFUSION=1\r\n"
    "[Spaced]\r\nGROUP=Golem\r\nFUSION=  -1  \r\n"
    "[Wordy]\r\nGROUP=Golem\r\nFUSION=minus one\r\n"
    "[No Fusion Key]\r\nGROUP=Golem\r\n"
    "[No Group]\r\nNAME=No Group\r\nATK=5\r\nFUSION=-1\r\n"
    "[Face Down Card]\r\nGROUP=Should Not Be Read\r\n";

TEST_F(Lookup, TokenSetsReadTheTokenFileInAnyCase) {
    f.dir.write("token.ptcg", kTokenFile);
    for (const char* set : {"Token", "TOKEN", "token"}) {
        SCOPED_TRACE(set);
        Card got = LookupCard(tw(), set, "Spark Token");
        Card want;
        want.Name = "Spark Token";
        want.SetCode = set;  // as passed
        want.Group = "Sprite";
        want.Attribute = "EMBER";
        want.Level = "1";
        want.Icon = "Odd";
        want.Atk = "100";
        want.Def = "200";
        want.Desc = "A spark.";
        want.Fusion = true;
        EXPECT_EQ(got, want);
    }
}

TEST_F(Lookup, TokenCards) {
    f.dir.write("token.ptcg", kTokenFile);
    Card bad_but_fusion = named("bad card");
    bad_but_fusion.Fusion = true;
    const struct {
        const char* name;
        Card want_marker;  // compared whole when its name is a marker
        bool fusion;
    } cases[] = {
        {"Plain", {}, false},
        {"One", {}, false},
        {"Spaced", {}, true},
        {"Wordy", {}, false},
        {"No Fusion Key", {}, false},
        {"No Group", bad_but_fusion, true},
        {"Not There", named("bad card"), false},
        {"Face Down Card", named("Face Down Card"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Card got = LoadTokenCard(tw(), "Token", c.name);
        EXPECT_EQ(got.Fusion, c.fusion);
        if (!c.want_marker.Name.empty()) {
            EXPECT_EQ(got, c.want_marker);
        } else {
            EXPECT_EQ(got.Name, c.name);
            EXPECT_EQ(got.SetCode, "Token");
            EXPECT_EQ(got.Group, "Golem");
        }
    }
    // Only the exact name is the marker; another case is read from the file.
    EXPECT_EQ(LoadTokenCard(tw(), "Token", "face down card").Group, "Should Not Be Read");
}

TEST_F(Lookup, WithoutTheTokenFileEveryTokenIsABadCardButTheFaceDownMarker) {
    EXPECT_EQ(LoadTokenCard(tw(), "Token", "Spark Token"), named("bad card"));
    EXPECT_EQ(LookupCard(tw(), "TOKEN", "Spark Token"), named("bad card"));
    EXPECT_EQ(LoadTokenCard(tw(), "Token", "Face Down Card"), named("Face Down Card"));
}

TEST_F(Lookup, TheTokenFileIsReadAgainOnceItChanged) {
    f.dir.write("token.ptcg", kTokenFile);
    EXPECT_EQ(LoadTokenCard(tw(), "Token", "Plain").Group, "Golem");
    EXPECT_EQ(LoadTokenCard(tw(), "Token", "Spark Token").Atk, "100");
    // Rewritten in place at the same size, as an editor may save it.
    std::string same_size = kTokenFile;
    same_size.replace(same_size.find("GROUP=Golem"), 11, "GROUP=Slime");
    f.dir.write("token.ptcg", same_size);
    EXPECT_EQ(LoadTokenCard(tw(), "Token", "Plain").Group, "Slime");
    // Replaced whole, as the token editor saves it.
    ASSERT_TRUE(platform::write_file_atomic(f.dir / "token.ptcg", "[New One]\r\nGROUP=Wisp\r\n"));
    EXPECT_EQ(LoadTokenCard(tw(), "Token", "New One").Group, "Wisp");
    EXPECT_EQ(LoadTokenCard(tw(), "Token", "Plain"), named("bad card"));
    std::filesystem::remove(f.dir / "token.ptcg");
    EXPECT_EQ(LoadTokenCard(tw(), "Token", "New One"), named("bad card"));
}

TEST_F(Lookup, ATokenFileAboveOneMebibyteIsRefusedAsUnreadable) {
    // A token file padded to a size by the text of a last token.
    const auto padded = [](std::size_t size) {
        std::string text = std::string(kTokenFile) + "[Pad]\r\nDESC=";
        text.resize(size, 'x');
        return text;
    };
    for (const std::size_t size : {kMaxTokenFileBytes, kMaxTokenFileBytes + 1, std::size_t{2} << 20}) {
        SCOPED_TRACE(size);
        f.dir.write("token.ptcg", padded(size));
        const bool readable = size <= kMaxTokenFileBytes;
        EXPECT_EQ(LoadTokenCard(tw(), "Token", "Plain").Group, readable ? "Golem" : "");
        EXPECT_EQ(LookupCard(tw(), "Token", "Spark Token").Name, readable ? "Spark Token" : "bad card");
        EXPECT_EQ(ReadTokenFile(tw()).has_value(), readable);
    }
}

TEST_F(Lookup, TheTokenFileNameIsFoundWithoutRegardToCase) {
    f.dir.write("TOKEN.PTCG", kTokenFile);
    EXPECT_EQ(LookupCard(tw(), "token", "Plain").Group, "Golem");
}

}  // namespace
}  // namespace tw
