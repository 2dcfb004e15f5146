#include "cards/patterns.hpp"

#include <gtest/gtest.h>

#include "program/tablewright.hpp"
#include "tests/support/table_fixture.hpp"

namespace {

TEST(MatchesPattern, PiecesInOrderSearchedFromOnePastWhereThePreviousBegan) {
    struct Case {
        const char* text;
        const char* pattern;
        bool want;
    } cases[] = {
        {"stone golem", "stone%golem", true},
        {"stone golem", "", true},
        {"golem stone", "stone%golem", false},
        {"ab", "ab%b", true},  // the second piece starts its search at "b"
        {"abc", "abc%abc", false},
        {"golem of stone", "%golem", false},  // leading "%" skips the first character
        {"stone golem", "%golem", true},
        {"", "", true},
        {"", "a", false},
        {"", "%", false},
        {"stone golem", "golem%", true},  // the empty piece just past the end still matches
        {"stone golem", "st%%ne", true},
        {"Stone Golem", "stone", false},  // letter case counts
        {"a", "a%a", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tw::MatchesPattern(c.text, c.pattern), c.want) << c.text << " / " << c.pattern;
}

struct BanStatus : ::testing::Test, tw::test::TableFixture {};

TEST_F(BanStatus, NamesCompareNormalisedAndEntriesStayNormalised) {
    tw().editor.BanList = {"1|Some Card-Name", ""};
    for (const char* name : {"some card name", "SomeCardName", "Some-Card Name", "some`card 'name'"})
        EXPECT_EQ(tw::GetBanStatus(tw(), name), 1) << name;
    EXPECT_EQ(tw().editor.BanList[0], "1|SomeCardName");
    EXPECT_EQ(tw().editor.BanList[1], "");
}

TEST_F(BanStatus, LimitsFromTheFirstUsableEntry) {
    struct Case {
        std::vector<std::string> list;
        const char* name;
        int want;
    } cases[] = {
        {{"0|Forbidden One", ""}, "Forbidden One", 0},
        {{"2|Twice", ""}, "twice", 2},
        {{"2|Dup", "0|Dup", ""}, "Dup", 2},      // first match wins
        {{"x|Dup", "1|Dup", ""}, "Dup", 1},      // a match without a digit is passed over
        {{"1|Other", ""}, "Not Listed", 3},
        {{"1|Other", ""}, "", 3},                // matches only the empty entry, no digit
        {{""}, "Anything", 3},                    // "No List"
        {{}, "Anything", 3},                      // never filled
        {{"1|Some Card", ""}, "Some Card Extra", 3},
    };
    for (auto& c : cases) {
        tw().editor.BanList = c.list;
        EXPECT_EQ(tw::GetBanStatus(tw(), c.name), c.want) << c.name;
    }
}

}  // namespace
