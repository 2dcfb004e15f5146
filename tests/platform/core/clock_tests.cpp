#include "platform/clock.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

using platform::FakeClock;
using platform::SystemClock;

std::tm make_tm(int y, int mon, int d, int h, int m, int s) {
    std::tm t{};
    t.tm_year = y - 1900;
    t.tm_mon = mon - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = m;
    t.tm_sec = s;
    return t;
}

// Runs a test body under UTC so that wall-clock arithmetic has no daylight-saving jumps.
class UtcZone : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("TZ");
        had_ = old != nullptr;
        if (had_) old_ = old;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (had_) setenv("TZ", old_.c_str(), 1); else unsetenv("TZ");
        tzset();
    }

private:
    bool had_ = false;
    std::string old_;
};

using FakeClockTest = UtcZone;

TEST_F(FakeClockTest, StartsAtNoonOfNewYear2026) {
    FakeClock c;
    EXPECT_EQ(c.now_ms(), 0);
    std::tm t = c.local_time();
    EXPECT_EQ(t.tm_year, 2026 - 1900);
    EXPECT_EQ(t.tm_mon, 0);
    EXPECT_EQ(t.tm_mday, 1);
    EXPECT_EQ(t.tm_hour, 12);
    EXPECT_EQ(t.tm_min, 0);
    EXPECT_EQ(t.tm_sec, 0);
    EXPECT_EQ(c.local_millis(), 0);
    EXPECT_DOUBLE_EQ(c.time_of_day_s(), 43200.0);
}

TEST_F(FakeClockTest, WallTimeMovesWithMonotonicTime) {
    struct Case {
        std::tm start;
        int start_millis;
        std::int64_t advance;
        int day, hour, min, sec, millis;
        double time_of_day;
    };
    const Case cases[] = {
        {make_tm(2026, 1, 1, 12, 0, 0), 0, 1500, 1, 12, 0, 1, 500, 43201.5},
        {make_tm(2026, 1, 1, 12, 0, 0), 999, 1, 1, 12, 0, 1, 0, 43201.0},
        // Past midnight the date turns and the time of day starts again from zero.
        {make_tm(2026, 3, 31, 23, 59, 59), 900, 200, 1, 0, 0, 0, 100, 0.1},
        {make_tm(2026, 1, 1, 0, 0, 0), 0, 3 * 3600 * 1000 + 61 * 1000 + 7, 1, 3, 1, 1, 7, 3 * 3600 + 61.007},
    };
    for (const Case& k : cases) {
        FakeClock c;
        c.advance(12345);  // the wall time is tied to the current monotonic time, not to zero
        c.set_local_time(k.start, k.start_millis);
        c.advance(k.advance);
        std::tm t = c.local_time();
        SCOPED_TRACE(testing::Message() << "advance " << k.advance);
        EXPECT_EQ(t.tm_mday, k.day);
        EXPECT_EQ(t.tm_hour, k.hour);
        EXPECT_EQ(t.tm_min, k.min);
        EXPECT_EQ(t.tm_sec, k.sec);
        EXPECT_EQ(c.local_millis(), k.millis);
        EXPECT_NEAR(c.time_of_day_s(), k.time_of_day, 1e-9);
    }
}

TEST_F(FakeClockTest, TickCountWrapsAt32Bits) {
    FakeClock c;
    c.advance((std::int64_t{1} << 32) + 5);
    EXPECT_EQ(c.tick_count(), 5u);
    // A difference across the wrap is still right in 32-bit arithmetic.
    std::uint32_t before = c.tick_count() - 10;
    EXPECT_EQ(static_cast<std::uint32_t>(c.tick_count() - before), 10u);
}

TEST(SystemClockTest, ReadingsAreInRange) {
    SystemClock c;
    std::int64_t prev = c.now_ms();
    for (int i = 0; i < 1000; ++i) {
        std::int64_t now = c.now_ms();
        ASSERT_GE(now, prev);
        prev = now;
        int ms = c.local_millis();
        ASSERT_GE(ms, 0);
        ASSERT_LE(ms, 999);
        double tod = c.time_of_day_s();
        ASSERT_GE(tod, 0.0);
        ASSERT_LT(tod, 86400.0);
    }
    std::time_t now = std::time(nullptr);
    std::tm expect{};
    localtime_r(&now, &expect);
    std::tm got = c.local_time();
    EXPECT_EQ(got.tm_year, expect.tm_year);
    EXPECT_EQ(got.tm_yday, expect.tm_yday);
}

}  // namespace
