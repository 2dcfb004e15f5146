// The token file and the token list as the program reads them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cards/token_files.hpp"
#include "tests/support/table_fixture.hpp"

namespace tw {
namespace {

// The twelve lines the token editor writes for one token.
std::string section(const std::string& name, const std::string& group, const std::string& type,
                    const std::string& level, const std::string& atk, const std::string& def,
                    const std::string& desc) {
    return "[" + name + "]\r\nCARDNO=\r\nNAME=" + name + "\r\nGROUP=" + group + "\r\nTYPE=" +
           type + "\r\nLEVEL=" + level + "\r\nICON=\r\nATK=" + atk + "\r\nDEF=" + def +
           "\r\nDESC=" + desc + "\r\nFUSION=0\r\n\r\n";
}

// "Name|Group|Attribute|Level|Atk|Def|Desc" of each token.
std::vector<std::string> rows(const std::vector<Card>& tokens) {
    std::vector<std::string> out;
    for (const auto& t : tokens)
        out.push_back(t.Name + "|" + t.Group + "|" + t.Attribute + "|" + t.Level + "|" + t.Atk +
                      "|" + t.Def + "|" + t.Desc);
    return out;
}

TEST(TokenFile, ReadsBackWhatTheEditorWrites) {
    const struct {
        const char* what;
        std::string text;
        std::vector<std::string> tokens;
    } cases[] = {
        {"two tokens, every field unchanged",
         section("Spark Token", "Sprite", "EMBER", "1", "100", "200", "A spark.") +
             section("Pebble", "Golem", "STONE", "2", "0", "800", "Round & stubborn; 50%."),
         {"Spark Token|Sprite|EMBER|1|100|200|A spark.",
          "Pebble|Golem|STONE|2|0|800|Round & stubborn; 50%."}},
        {"a value ending in ] stays in its token",
         section("Odd", "Golem", "STONE", "1", "0", "0", "see [note]"),
         {"Odd|Golem|STONE|1|0|0|see [note]"}},
        {"a value holding = reads back whole, as the duel reads it",
         section("Eq=2", "Golem", "STONE", "1", "0", "0", "ATK=DEF here"),
         {"Eq=2|Golem|STONE|1|0|0|ATK=DEF here"}},
        {"a line break in a value keeps only its first line",
         section("Two", "Golem", "STONE", "1", "0", "0", "first\r\nsecond"),
         {"Two|Golem|STONE|1|0|0|first"}},
        {"keys in any case; lines before the first token and without = are passed over",
         "NAME=stray\nnoise\n[T]\nname=t\nGrOuP=g\nicon=i\nfusion=-1\ntype=a\nno equals\n",
         {"t|g|a||||"}},
        {"an empty file holds no token", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(rows(ParseTokenFile(c.text)), c.tokens);
    }
}

TEST(TokenFile, ReadingStopsAtTheLimitAndWritingKeepsEveryValueOnItsLine) {
    std::string text;
    for (int i = 1; i <= 4; ++i)
        text += section("T" + std::to_string(i), "g", "a", "1", "0", "0", "d");
    EXPECT_EQ(rows(ParseTokenFile(text, 3)).size(), 3u);
    EXPECT_EQ(rows(ParseTokenFile(text, 0)).size(), 0u);

    Card t;
    t.Name = "Split\r\nName";
    t.Group = "g";
    t.Attribute = "a";
    t.Level = "1";
    t.Atk = "10";
    t.Def = "20";
    t.Desc = "first\nsecond\rthird";
    EXPECT_EQ(TokenFileText({t}), section("Split  Name", "g", "a", "1", "10", "20", "first second third"));
    EXPECT_EQ(rows(ParseTokenFile(TokenFileText({t}))),
              std::vector<std::string>{"Split  Name|g|a|1|10|20|first second third"});
    EXPECT_EQ(TokenListText({"A", "B\nC"}), "A\r\nB C\r\n");
    EXPECT_EQ(TokenFileText({}), "");
    EXPECT_EQ(TokenListText({}), "");
}

TEST(TokenFile, ReadFromTheProgramFolder) {
    test::TableFixture f;
    EXPECT_FALSE(ReadTokenFile(f.tw()).has_value());
    f.dir.write("Token.PTCG", section("A &amp; B", "Golem", "STONE", "1", "0", "0", "x"));
    auto tokens = ReadTokenFile(f.tw());
    ASSERT_TRUE(tokens.has_value());
    // Read as written: the editor does not undo "&amp;".
    EXPECT_EQ(rows(*tokens), std::vector<std::string>{"A &amp; B|Golem|STONE|1|0|0|x"});
}

TEST(TokenList, OneNamePerLine) {
    EXPECT_EQ(ParseTokenList("Spark Token\r\nPebble\r\n"),
              (std::vector<std::string>{"Spark Token", "Pebble"}));
    EXPECT_EQ(ParseTokenList("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(ParseTokenList("unix\nline"), (std::vector<std::string>{"unix", "line"}));
    EXPECT_TRUE(ParseTokenList("").empty());
}

TEST(TokenList, MissingFileIsToldApartFromAnEmptyOne) {
    test::TableFixture f;
    EXPECT_FALSE(ReadTokenList(f.tw()).has_value());
    f.dir.write("token.cnl", "");
    ASSERT_TRUE(ReadTokenList(f.tw()).has_value());
    EXPECT_TRUE(ReadTokenList(f.tw())->empty());
    f.dir.write("token.cnl", "Salt &amp; Ash\r\nWisp\r\n");
    EXPECT_EQ(*ReadTokenList(f.tw()), (std::vector<std::string>{"Salt & Ash", "Wisp"}));
}

TEST(TokenList, AListAboveOneMebibyteIsRefusedLikeAMissingOne) {
    test::TableFixture f;
    for (const std::size_t size : {kMaxTokenFileBytes, kMaxTokenFileBytes + 1}) {
        SCOPED_TRACE(size);
        std::string text = "Wisp\r\n";
        text.resize(size, 'x');
        f.dir.write("token.cnl", text);
        const auto names = ReadTokenList(f.tw());
        ASSERT_EQ(names.has_value(), size <= kMaxTokenFileBytes);
        if (names) {
            EXPECT_EQ(names->front(), "Wisp");
        }
    }
}

}  // namespace
}  // namespace tw
