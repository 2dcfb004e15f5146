#include "cards/random_int.hpp"

#include <algorithm>
#include <cmath>

#include "platform/clock.hpp"
#include "platform/random.hpp"

namespace tw {

std::int32_t RandomInt(platform::Random& random, const platform::Clock& clock, std::int32_t low,
                       std::int32_t high) {
    // No draw can reach low (with high below 0 only r = 0 exactly would give 1).
    if (low > std::max(high, 1) || (high < 0 && low > 0)) return low;
    // Every real range qualifies within a few draws; this bound only stops a range whose top the
    // single-precision draw can barely (or never) reach from spinning for ever.
    constexpr int kMaxDraws = 1 << 20;
    float r = 0;
    for (int i = 0; i < kMaxDraws; ++i) {
        random.randomize(clock.time_of_day_s());
        r = random.rnd();
        const double value = std::floor(static_cast<double>(high) * static_cast<double>(r) + 1.0);
        if (value >= low) return static_cast<std::int32_t>(value);
    }
    const double span = static_cast<double>(high) - low + 1.0;
    const double value = std::floor(low + span * static_cast<double>(r));
    return static_cast<std::int32_t>(std::min(value, static_cast<double>(high)));
}

}  // namespace tw
