#include "platform/clock.hpp"

#include <chrono>

namespace platform {

namespace {

std::tm local_of(std::time_t t) {
    std::tm out{};
    localtime_r(&t, &out);
    return out;
}

std::int64_t floor_div(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

}  // namespace

double Clock::time_of_day_s() const {
    // The broken-down time and the millis are two readings; if the second turned over between
    // them, read again so that the fraction belongs to the second it is added to.
    int before = local_millis();
    std::tm t = local_time();
    int after = local_millis();
    if (after < before) {
        t = local_time();
        before = after;
    }
    return t.tm_hour * 3600.0 + t.tm_min * 60.0 + t.tm_sec + before / 1000.0;
}

std::int64_t SystemClock::now_ms() const {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::tm SystemClock::local_time() const { return local_of(std::time(nullptr)); }

int SystemClock::local_millis() const {
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return static_cast<int>(((ms % 1000) + 1000) % 1000);
}

FakeClock::FakeClock() {
    std::tm start{};
    start.tm_year = 2026 - 1900;
    start.tm_mon = 0;
    start.tm_mday = 1;
    start.tm_hour = 12;
    set_local_time(start);
}

// Wall-clock milliseconds since the epoch at the current monotonic time.
static std::int64_t fake_wall_ms(std::time_t base_wall, int base_millis, std::int64_t base_mono,
                                 std::int64_t now) {
    return static_cast<std::int64_t>(base_wall) * 1000 + base_millis + (now - base_mono);
}

std::tm FakeClock::local_time() const {
    std::int64_t wall = fake_wall_ms(base_wall_, base_millis_, base_mono_, now_ms_);
    return local_of(static_cast<std::time_t>(floor_div(wall, 1000)));
}

int FakeClock::local_millis() const {
    std::int64_t wall = fake_wall_ms(base_wall_, base_millis_, base_mono_, now_ms_);
    return static_cast<int>(wall - floor_div(wall, 1000) * 1000);
}

void FakeClock::set_local_time(const std::tm& t, int millis) {
    std::tm copy = t;
    copy.tm_isdst = -1;  // let the zone decide, as a wall clock would
    base_wall_ = std::mktime(&copy);
    // Millis outside 0..999 carry into the seconds rather than being lost.
    base_wall_ += static_cast<std::time_t>(floor_div(millis, 1000));
    base_millis_ = static_cast<int>(millis - floor_div(millis, 1000) * 1000);
    base_mono_ = now_ms_;
}

}  // namespace platform
