#pragma once
// Time as the programs read it: a monotonic millisecond count for timers and timing, and the
// local wall-clock time for texts and file names. Tests inject a FakeClock.
#include <cstdint>
#include <ctime>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic milliseconds since an arbitrary start.
    virtual std::int64_t now_ms() const = 0;
    // Local wall-clock time, broken down.
    virtual std::tm local_time() const = 0;
    // Milliseconds of the current wall-clock second (0..999), for a finer time of day.
    virtual int local_millis() const = 0;

    // The 32-bit tick count that wraps, as the programs time searches with.
    std::uint32_t tick_count() const { return static_cast<std::uint32_t>(now_ms()); }
    // Seconds since local midnight, with the fraction of the second.
    double time_of_day_s() const;
};

class SystemClock final : public Clock {
public:
    std::int64_t now_ms() const override;
    std::tm local_time() const override;
    int local_millis() const override;
};

// A clock that moves only when told. Its wall-clock time moves with its monotonic time.
class FakeClock final : public Clock {
public:
    // Starts at monotonic 0 and local time 2026-01-01 12:00:00 unless told otherwise.
    FakeClock();
    std::int64_t now_ms() const override { return now_ms_; }
    std::tm local_time() const override;
    int local_millis() const override;

    void advance(std::int64_t ms) { now_ms_ += ms; }
    // Sets the local wall-clock time that corresponds to the current monotonic time.
    void set_local_time(const std::tm& t, int millis = 0);

private:
    std::int64_t now_ms_ = 0;
    std::time_t base_wall_ = 0;   // wall-clock seconds at monotonic base_mono_
    int base_millis_ = 0;
    std::int64_t base_mono_ = 0;
};

}  // namespace platform
