#include "tests/platform/rt/error_of.hpp"
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform/rt.hpp"

namespace {

using rt::test::error_of;

TEST(Numbers, RoundHalfEven) {
    struct Case {
        double in, out;
    };
    const std::vector<Case> cases = {
        {2.5, 2},    {3.5, 4},     {-2.5, -2}, {-3.5, -4},  {187.5, 188}, {0.5, 0},
        {1.5, 2},    {-0.5, 0},    {2.4, 2},   {2.6, 3},    {-2.6, -3},   {7, 7},
        {2.5000001, 3}, {1e16 + 2, 1e16 + 2}, {4503599627370495.5, 4503599627370496},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(rt::round_half_even(c.in), c.out);
    }
    EXPECT_TRUE(std::isnan(rt::round_half_even(std::nan(""))));
}

TEST(Numbers, IntFixAndCheckedConversions) {
    // Halving life points with Int(lp / 2 + 0.5): -5 gives -2, -6 gives -3 (floor, not truncation).
    EXPECT_EQ(rt::int_floor(-5 / 2.0 + 0.5), -2);
    EXPECT_EQ(rt::int_floor(-6 / 2.0 + 0.5), -3);
    EXPECT_EQ(rt::int_floor(-2.5), -3);
    EXPECT_EQ(rt::int_floor(2.9), 2);
    EXPECT_EQ(rt::fix(-2.9), -2);
    EXPECT_EQ(rt::fix(2.9), 2);

    EXPECT_EQ(rt::cint16(2.5), 2);
    EXPECT_EQ(rt::cint16(32767.4), 32767);
    EXPECT_EQ(rt::cint16(-32768.5), -32768);  // rounds to even, inside the range
    EXPECT_EQ(rt::clng(-2147483648.5), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(rt::clng(1e9 + 0.5), 1000000000);

    for (double bad : {32767.5, 32768.0, -32769.0, 1e300, std::nan(""), HUGE_VAL}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(error_of([&] { rt::cint16(bad); }), 6);
    }
    for (double bad : {2147483647.5, 2147483648.0, -2147483649.0, std::nan(""), -HUGE_VAL}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(error_of([&] { rt::clng(bad); }), 6);
    }
}

TEST(Numbers, IsNumberAndToLong) {
    struct Case {
        std::string text;
        bool number;
        std::int32_t value;  // when number
        int error;           // of to_long otherwise
    };
    const std::vector<Case> cases = {
        {"12", true, 12, 0},
        {" 12 ", true, 12, 0},
        {"-12", true, -12, 0},
        {"+7", true, 7, 0},
        {"007", true, 7, 0},
        {"1.5", true, 2, 0},
        {"2.5", true, 2, 0},
        {"3.5", true, 4, 0},
        {"-2.5", true, -2, 0},
        {"2.50001", true, 3, 0},
        {"2.4999999999999999999", true, 2, 0},  // exact, not through a double
        {".5", true, 0, 0},
        {"5.", true, 5, 0},
        {"2147483647", true, 2147483647, 0},
        {"-2147483648", true, std::numeric_limits<std::int32_t>::min(), 0},
        {"-2147483648.5", true, std::numeric_limits<std::int32_t>::min(), 0},
        {"00000000000000000000000000000001", true, 1, 0},
        {"2147483648", false, 0, 6},
        {"2147483647.5", false, 0, 6},
        {"99999999999", false, 0, 6},
        {"99999999999999999999999999999999", false, 0, 6},
        {"18446744073709551621", false, 0, 6},  // 2^64 + 5 must not wrap round to 5
        {"", false, 0, 13},
        {"   ", false, 0, 13},
        {"-", false, 0, 13},
        {".", false, 0, 13},
        {"12a", false, 0, 13},
        {"1e3", false, 0, 13},
        {"1,000", false, 0, 13},
        {"&H10", false, 0, 13},
        {"1.2.3", false, 0, 13},
        {"- 5", false, 0, 13},
        {"\t5", false, 0, 13},
        {"?", false, 0, 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("\"" + c.text + "\"");
        EXPECT_EQ(rt::is_number(c.text), c.number);
        if (c.number)
            EXPECT_EQ(rt::to_long(c.text), c.value);
        else
            EXPECT_EQ(error_of([&] { rt::to_long(c.text); }), c.error);
    }
}

TEST(Numbers, ToInt16UsesTheSixteenBitRange) {
    EXPECT_EQ(rt::to_int16(" 32767 "), 32767);
    EXPECT_EQ(rt::to_int16("-32768"), -32768);
    EXPECT_EQ(rt::to_int16("4.5"), 4);
    EXPECT_EQ(error_of([] { rt::to_int16("32768"); }), 6);
    EXPECT_EQ(error_of([] { rt::to_int16("32767.5"); }), 6);
    EXPECT_EQ(error_of([] { rt::to_int16("x"); }), 13);
}

TEST(Numbers, ToDoubleAndVal) {
    EXPECT_EQ(rt::to_double(" 2.5 "), 2.5);
    EXPECT_EQ(rt::to_double("-.25"), -0.25);
    EXPECT_EQ(rt::to_double("+3"), 3);
    EXPECT_EQ(rt::to_double("99999999999"), 99999999999.0);
    EXPECT_EQ(rt::to_double("0." + std::string(400, '0') + "1"), 0);
    EXPECT_EQ(error_of([] { rt::to_double("abc"); }), 13);
    EXPECT_EQ(error_of([] { rt::to_double(""); }), 13);
    EXPECT_EQ(error_of([] { rt::to_double("1" + std::string(400, '0')); }), 6);

    struct Case {
        std::string text;
        double value;
    };
    const std::vector<Case> cases = {
        {"3 Stone Golem", 3}, {"  12abc", 12}, {"\t-4.5x", -4.5}, {"abc", 0}, {"", 0},
        {"-", 0},             {".5 ", 0.5},    {"2|name", 2},      {"+8", 8},  {"1e3", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(rt::val(c.text), c.value);
    }
}

TEST(Numbers, CheckedArithmeticRaisesOverflowAndKeepsTheValue) {
    EXPECT_EQ(rt::add16(32766, 1), 32767);
    EXPECT_EQ(rt::sub16(-32767, 1), -32768);
    EXPECT_EQ(rt::mul16(-128, 256), -32768);
    EXPECT_EQ(error_of([] { rt::add16(32767, 1); }), 6);
    EXPECT_EQ(error_of([] { rt::sub16(-32768, 1); }), 6);
    EXPECT_EQ(error_of([] { rt::mul16(256, 128); }), 6);
    EXPECT_EQ(error_of([] { rt::mul16(-32768, -1); }), 6);

    std::int16_t counter = 32766;
    rt::inc16(counter);
    EXPECT_EQ(counter, 32767);
    EXPECT_EQ(error_of([&] { rt::inc16(counter); }), 6);
    EXPECT_EQ(counter, 32767);

    EXPECT_EQ(rt::add32(2147483646, 1), 2147483647);
    EXPECT_EQ(rt::mul32(8000, 2), 16000);
    EXPECT_EQ(error_of([] { rt::add32(2147483647, 1); }), 6);
    EXPECT_EQ(error_of([] { rt::sub32(std::numeric_limits<std::int32_t>::min(), 1); }), 6);
    EXPECT_EQ(error_of([] { rt::mul32(1 << 30, 2); }), 6);
}

}  // namespace
