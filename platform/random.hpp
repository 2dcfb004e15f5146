#pragma once
// The program's random numbers: one generator per program, seeded once from the system's entropy
// and the time, with the time of day mixed in again on request.
#include <cstdint>

namespace platform {

class Random {
public:
    // Seeded from a real entropy source mixed with the time.
    Random();

    // A single-precision number in [0, 1); never 1.
    float rnd();
    // Mixes the time of day into the state. The state is not reset, so calls with the same time,
    // even back to back, still move the sequence on.
    void randomize(double time_of_day_s);
    // A fixed, reproducible sequence, for tests.
    void seed(std::uint64_t value);

private:
    std::uint64_t next();
    std::uint64_t s_[4] = {};
    std::uint64_t mixes_ = 0;
};

}  // namespace platform
