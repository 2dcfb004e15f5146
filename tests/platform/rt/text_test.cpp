#include "tests/platform/rt/error_of.hpp"
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rt.hpp"

namespace {

using namespace std::string_literals;

using rt::test::error_of;

TEST(Text, MidLeftRightClampAndRaise) {
    EXPECT_EQ(rt::mid("abcdef", 3), "cdef");
    EXPECT_EQ(rt::mid("abcdef", 2, 3), "bcd");
    EXPECT_EQ(rt::mid("abcdef", 5, 10), "ef");
    EXPECT_EQ(rt::mid("abcdef", 6, 1), "f");
    EXPECT_EQ(rt::mid("abcdef", 7), "");
    EXPECT_EQ(rt::mid("abcdef", 100, 2), "");
    EXPECT_EQ(rt::mid("abcdef", 3, 0), "");
    EXPECT_EQ(rt::left("abc", 5), "abc");
    EXPECT_EQ(rt::left("abc", 0), "");
    EXPECT_EQ(rt::right("abc", 2), "bc");
    EXPECT_EQ(rt::right("abc", 9), "abc");

    EXPECT_EQ(error_of([] { rt::mid("abc", 0); }), 5);
    EXPECT_EQ(error_of([] { rt::mid("abc", -1, 2); }), 5);
    EXPECT_EQ(error_of([] { rt::mid("", 0, 1); }), 5);
    EXPECT_EQ(error_of([] { rt::mid("abc", 2, -1); }), 5);
    EXPECT_EQ(error_of([] { rt::left("abc", -1); }), 5);
    EXPECT_EQ(error_of([] { rt::right("abc", -1); }), 5);
}

TEST(Text, BytesAreCharactersIncludingNul) {
    const std::string s = "a\0b\xE9"s;
    EXPECT_EQ(rt::len(s), 4);
    EXPECT_EQ(rt::mid(s, 2, 1), "\0"s);
    EXPECT_EQ(rt::instr(s, "b"), 3);
    EXPECT_EQ(rt::asc(rt::mid(s, 4)), 0xE9);
}

TEST(Text, InstrCases) {
    struct Case {
        int start;
        std::string s, find;
        int expected;
    };
    const std::vector<Case> cases = {
        {1, "stone golem", "golem", 7},
        {1, "stone golem", "Golem", 0},  // exact case
        {7, "stone golem", "golem", 7},
        {8, "stone golem", "golem", 0},
        {2, "abab", "ab", 3},
        {5, "abab", "ab", 0},
        {99, "abab", "b", 0},
        // An empty search text is found at the start inside a non-empty text...
        {1, "abc", "", 1},
        {3, "abc", "", 3},
        // ...and just past its end, so a pattern ending in an empty piece still matches.
        {4, "abc", "", 4},
        {5, "abc", "", 0},
        {1, "", "", 0},
        {1, "", "a", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.s + " / " + c.find + " from " + std::to_string(c.start));
        EXPECT_EQ(rt::instr(c.start, c.s, c.find), c.expected);
    }
    EXPECT_EQ(rt::instr("a<b>c", ">"), 4);
    EXPECT_EQ(error_of([] { rt::instr(0, "abc", "a"); }), 5);
}

TEST(Text, InstrRevFindsLastOccurrenceWithinStart) {
    EXPECT_EQ(rt::instr_rev("a\r\nb\r\nc", "\r\n"), 5);
    EXPECT_EQ(rt::instr_rev("x (800 LP) y (1200 LP)", " LP)"), 19);
    EXPECT_EQ(rt::instr_rev("abcabc", "abc", 5), 1);  // the second "abc" ends past 5
    EXPECT_EQ(rt::instr_rev("abcabc", "abc", 6), 4);
    EXPECT_EQ(rt::instr_rev("abc", "z"), 0);
    EXPECT_EQ(rt::instr_rev("ab", "abc"), 0);
    EXPECT_EQ(rt::instr_rev("abcabc", "abca", 3), 0);  // longer than the searched part
    EXPECT_EQ(rt::instr_rev("", "a"), 0);
    EXPECT_EQ(rt::instr_rev("abc", ""), 3);
    EXPECT_EQ(rt::instr_rev("abc", "a", 9), 0);
    EXPECT_EQ(error_of([] { rt::instr_rev("abc", "a", 0); }), 5);
    EXPECT_EQ(error_of([] { rt::instr_rev("abc", "a", -2); }), 5);
}

TEST(Text, ReplaceIsOnePassNonOverlapping) {
    struct Case {
        std::string s, find, repl, expected;
    };
    const std::vector<Case> cases = {
        {"&amp;amp;", "&amp;", "&", "&amp;"},
        {"a &amp; b &amp; c", "&amp;", "&", "a & b & c"},
        {"\r\n\r\n\r\n", "\r\n\r\n", "\r\n", "\r\n\r\n"},
        {"aaa", "aa", "b", "ba"},
        {"aaa", "a", "aa", "aaaaaa"},  // replacement text is not searched again
        {"abc", "x", "y", "abc"},
        {"abc", "", "y", "abc"},
        {"", "a", "b", ""},
        {"abc", "b", "", "ac"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.s);
        EXPECT_EQ(rt::replace_all(c.s, c.find, c.repl), c.expected);
    }
}

TEST(Text, SplitAndJoin) {
    const auto none = rt::split("", "|");
    EXPECT_TRUE(none.allocated());
    EXPECT_EQ(none.ubound(), -1);
    EXPECT_EQ(error_of([&] { (void)none.at(0); }), 9);

    const auto one = rt::split("abc", "|");
    ASSERT_EQ(one.ubound(), 0);
    EXPECT_EQ(one[0], "abc");

    const auto parts = rt::split("a||b|", "|");
    EXPECT_EQ(parts.to_vector(), (std::vector<std::string>{"a", "", "b", ""}));
    EXPECT_EQ(rt::join(parts, "|"), "a||b|");

    EXPECT_EQ(rt::split("1~^~2~^~3", "~^~").to_vector(), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(rt::split("aXbxc", "x").to_vector(), (std::vector<std::string>{"aXb", "c"}));
    EXPECT_EQ(rt::split("a|b", "").to_vector(), (std::vector<std::string>{"a|b"}));
    EXPECT_EQ(rt::join(std::vector<std::string>{}, ","), "");
    EXPECT_EQ(rt::join(std::vector<std::string>{"x", "y"}, ", "), "x, y");
}

TEST(Text, TrimRemovesBlanksOnly) {
    EXPECT_EQ(rt::trim("  a b  "), "a b");
    EXPECT_EQ(rt::ltrim("  a  "), "a  ");
    EXPECT_EQ(rt::rtrim("  a  "), "  a");
    EXPECT_EQ(rt::trim("   "), "");
    EXPECT_EQ(rt::trim(""), "");
    EXPECT_EQ(rt::trim("\ta\r\n"), "\ta\r\n");
    EXPECT_EQ(rt::trim(" \t a \n "), "\t a \n");
}

TEST(Text, CaseFoldsAsciiAndCp1252Letters) {
    EXPECT_EQ(rt::ucase("Stone golem 12!"), "STONE GOLEM 12!");
    EXPECT_EQ(rt::lcase("STONE Golem"), "stone golem");
    // é/É, š/Š, œ/Œ, ž/Ž, ÿ/Ÿ fold; × ÷ ß µ stay as they are.
    EXPECT_EQ(rt::ucase("\xE9\x9A\x9C\x9E\xFF"), "\xC9\x8A\x8C\x8E\x9F");
    EXPECT_EQ(rt::lcase("\xC9\x8A\x8C\x8E\x9F"), "\xE9\x9A\x9C\x9E\xFF");
    EXPECT_EQ(rt::ucase("\xF7\xDF\xB5"), "\xF7\xDF\xB5");
    EXPECT_EQ(rt::lcase("\xD7"), "\xD7");

    EXPECT_TRUE(rt::equals_ci("Game", "gAME"));
    EXPECT_TRUE(rt::equals_ci("\xC9t\xE9", "\xE9T\xC9"));
    EXPECT_FALSE(rt::equals_ci("game", "games"));
    EXPECT_FALSE(rt::equals_ci("[", "{"));  // not folded by a bare bit flip

    EXPECT_TRUE(rt::contains_ci("Synchro/Effect", "synchro"));
    EXPECT_FALSE(rt::contains_ci("Fusion", "synchro"));
    EXPECT_TRUE(rt::contains_ci("abc", ""));
    EXPECT_FALSE(rt::contains_ci("", ""));
}

TEST(Text, ChrAscSpaceStringOf) {
    EXPECT_EQ(rt::chr(0), "\0"s);
    EXPECT_EQ(rt::chr(255), "\xFF");
    EXPECT_EQ(rt::asc("\xFF"), 255);  // unsigned
    EXPECT_EQ(rt::asc("AB"), 65);
    EXPECT_EQ(rt::space(3), "   ");
    EXPECT_EQ(rt::space(0), "");
    EXPECT_EQ(rt::string_of(4, '-'), "----");
    EXPECT_EQ(error_of([] { rt::chr(256); }), 5);
    EXPECT_EQ(error_of([] { rt::chr(-1); }), 5);
    EXPECT_EQ(error_of([] { rt::asc(""); }), 5);
    EXPECT_EQ(error_of([] { rt::space(-1); }), 5);
}

}  // namespace
