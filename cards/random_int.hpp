#pragma once
// RandomInt on a given generator: apart from the rest of the common helpers, so that the relay,
// a program of its own, draws its numbers the same way without the table's code.
#include <cstdint>

namespace platform {
class Random;
class Clock;
}  // namespace platform

namespace tw {

// A whole number from max(low, 1) to high on the given generator, mixing in the clock's time of
// day before each draw (see the table's RandomInt).
std::int32_t RandomInt(platform::Random& random, const platform::Clock& clock, std::int32_t low,
                       std::int32_t high);

}  // namespace tw
