#include "cards/log_coding.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace tw {
namespace {

std::string AllBytes() {
    std::string s;
    for (int c = 0; c < 256; ++c) s += static_cast<char>(c);
    return s;
}

TEST(LogCoding, WorkedExampleOfTheGameLogBody) {
    EXPECT_EQ(ScrambleLog("<Game> Hi"), "74.38.15.25.31.91.75.62.8");
}

TEST(LogCoding, KeyRepeatsEverySevenCharacters) {
    // Zero bytes show the key itself: character 8 is combined with key letter 1 again.
    EXPECT_EQ(LogScramble(std::string(15, '\0')), "vantzekvantzekv");
    EXPECT_EQ(LogScramble(""), "");
}

TEST(LogCoding, ScrambleIsItsOwnInverseForEveryByte) {
    std::string text = AllBytes() + AllBytes();
    std::string once = LogScramble(text);
    EXPECT_EQ(once.size(), text.size());
    EXPECT_NE(once, text);
    EXPECT_EQ(LogScramble(once), text);
}

TEST(LogCoding, ToDottedDecimalCases) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"AB", "65.66"},
        {std::string(1, '\0'), "0"},
        {"abc", "97.98.99"},
        {".", "46"},
        {"\xff\x80", "255.128"},
        {"\r\n", "13.10"},
    };
    for (const auto& [text, dotted] : cases) EXPECT_EQ(ToDottedDecimal(text), dotted) << dotted;
}

TEST(LogCoding, FromDottedDecimalAcceptsWholeNumbersUpTo255) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"72.105", "Hi"},
        {"", ""},
        {"0", std::string(1, '\0')},
        {"255", "\xff"},
        {"007.065", "\x07" "A"},
    };
    for (const auto& [dotted, text] : cases) {
        auto got = FromDottedDecimal(dotted);
        ASSERT_TRUE(got.has_value()) << dotted;
        EXPECT_EQ(*got, text) << dotted;
    }
}

TEST(LogCoding, FromDottedDecimalRefusesWhatIsNoByteCode) {
    for (const char* bad : {"256", "1..2", ".1", "1.", ".", "a", "-1", "+5", " 72", "72 ", "1.2x",
                            "99999999999999999999999", "1,2", "72.105\r\n", "0x41"}) {
        EXPECT_FALSE(FromDottedDecimal(bad).has_value()) << '"' << bad << '"';
    }
}

TEST(LogCoding, RoundTripsEveryByteAndLongTexts) {
    std::string all = AllBytes();
    EXPECT_EQ(FromDottedDecimal(ToDottedDecimal(all)), all);

    // Far beyond a 16-bit count: the coding has no length limit.
    std::string longText;
    while (longText.size() < 100000) longText += all;
    auto back = FromDottedDecimal(ScrambleLog(longText));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(LogScramble(*back), longText);
}

TEST(LogCoding, ViewerNamesAreTheSameSteps) {
    const std::string text = "<Game> Hi\r\n<Bob> (9:05:01 PM) hello\r\n";
    EXPECT_EQ(EncryptIt(text), LogScramble(text));
    EXPECT_EQ(NoNumbers(ScrambleLog(text)), FromDottedDecimal(ScrambleLog(text)));
    EXPECT_EQ(EncryptIt(*NoNumbers(ScrambleLog(text))), text);
    EXPECT_FALSE(NoNumbers("1..2").has_value());
}

}  // namespace
}  // namespace tw
