#include "tests/platform/rt/error_of.hpp"
#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <string>
#include <vector>

#include "platform/rt.hpp"

namespace {

using rt::test::error_of;

TEST(NumberText, Integers) {
    EXPECT_EQ(rt::cstr(0), "0");
    EXPECT_EQ(rt::cstr(8000), "8000");
    EXPECT_EQ(rt::cstr(-250), "-250");
    EXPECT_EQ(rt::cstr(-2147483648LL), "-2147483648");
}

TEST(NumberText, SingleAndDoubleForms) {
    struct Case {
        double value;
        std::string single, dbl;
    };
    const std::vector<Case> cases = {
        {2985, "2985", "2985"},
        {2985.0f, "2985", "2985"},
        {0, "0", "0"},
        {-0.0, "0", "0"},
        {2.5, "2.5", "2.5"},
        {-1.25, "-1.25", "-1.25"},
        {0.1f, "0.1", "0.100000001490116"},
        {1.0 / 3, "0.3333333", "0.333333333333333"},
        {2.0 / 3, "0.6666667", "0.666666666666667"},
        {1234567, "1234567", "1234567"},
        {12345678, "1.234568E+07", "12345678"},
        {9999999.6, "1E+07", "9999999.6"},
        {0.0001, "0.0001", "0.0001"},
        {0.00001, "1E-05", "1E-05"},
        {1.5e-7, "1.5E-07", "1.5E-07"},
        {999999999999999.0, "1E+15", "999999999999999"},
        {1e15, "1E+15", "1E+15"},
        {1e16, "1E+16", "1E+16"},
        {-1.5e20, "-1.5E+20", "-1.5E+20"},
        {1e100, "1E+100", "1E+100"},
        {123.456, "123.456", "123.456"},
        {0.1 + 0.2, "0.3", "0.3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(rt::cstr_single(c.value), c.single);
        EXPECT_EQ(rt::cstr_double(c.value), c.dbl);
    }
    EXPECT_EQ(error_of([] { rt::cstr_double(INFINITY); }), 6);
    EXPECT_EQ(error_of([] { rt::cstr_single(std::nan("")); }), 6);
}

TEST(Colours, RgbPacksRedLowest) {
    EXPECT_EQ(rt::rgb(0, 0, 0), 0u);
    EXPECT_EQ(rt::rgb(255, 0, 0), 0x0000FFu);
    EXPECT_EQ(rt::rgb(0, 255, 0), 0x00FF00u);
    EXPECT_EQ(rt::rgb(0, 0, 255), 0xFF0000u);
    EXPECT_EQ(rt::rgb(1, 2, 3), 1u + 256u * 2 + 65536u * 3);
    EXPECT_EQ(rt::rgb(300, 0, 0), 0x0000FFu);
    EXPECT_EQ(error_of([] { rt::rgb(-1, 0, 0); }), 5);
}

std::tm at(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(DateText, LogStamps) {
    EXPECT_EQ(rt::log_stamp(at(2009, 3, 7, 0, 5, 9)), "3-7-2009_0-5");
    EXPECT_EQ(rt::log_stamp(at(2010, 12, 31, 23, 59, 0)), "12-31-2010_23-59");
    EXPECT_EQ(rt::log_stamp_peer(at(2009, 3, 7, 9, 4, 0)), "3-7_9_4");
    EXPECT_EQ(rt::log_stamp_peer(at(2009, 11, 20, 21, 45, 0)), "11-20_21_45");
}

TEST(DateText, TwelveHourClock) {
    struct Case {
        int hour, minute, second;
        std::string text;
    };
    const std::vector<Case> cases = {
        {0, 5, 1, "12:05:01 AM"},  {21, 5, 1, "9:05:01 PM"}, {12, 0, 0, "12:00:00 PM"},
        {11, 59, 59, "11:59:59 AM"}, {1, 10, 30, "1:10:30 AM"}, {13, 0, 9, "1:00:09 PM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(rt::time_12h(at(2009, 1, 1, c.hour, c.minute, c.second)), c.text);
    }
}

}  // namespace
