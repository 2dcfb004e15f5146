#include "platform/random.hpp"

#include <chrono>
#include <cstring>
#include <random>

namespace platform {

namespace {

std::uint64_t splitmix64(std::uint64_t& x) {
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

}  // namespace

Random::Random() {
    std::uint64_t entropy = 0;
    try {
        std::random_device dev;
        entropy = (static_cast<std::uint64_t>(dev()) << 32) ^ dev();
    } catch (...) {
        // No entropy source: the time below still gives a different sequence each run.
    }
    const auto wall = std::chrono::system_clock::now().time_since_epoch().count();
    const auto mono = std::chrono::steady_clock::now().time_since_epoch().count();
    seed(entropy ^ static_cast<std::uint64_t>(wall) ^ rotl(static_cast<std::uint64_t>(mono), 32));
}

void Random::seed(std::uint64_t value) {
    for (auto& word : s_) word = splitmix64(value);
    mixes_ = 0;
}

// xoshiro256**
std::uint64_t Random::next() {
    const std::uint64_t result = rotl(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = rotl(s_[3], 45);
    return result;
}

float Random::rnd() {
    // 24 bits fill a float's mantissa exactly, so the largest value is 1 - 2^-24, never 1.
    return static_cast<float>(next() >> 40) * (1.0f / 16777216.0f);
}

void Random::randomize(double time_of_day_s) {
    std::uint64_t bits = 0;
    static_assert(sizeof bits == sizeof time_of_day_s);
    std::memcpy(&bits, &time_of_day_s, sizeof bits);
    // The count of mixes goes into the hash and the generator steps first, so that mixing the
    // same time twice never cancels out back to an earlier state.
    std::uint64_t key = bits ^ rotl(++mixes_, 32);
    next();
    for (auto& word : s_) word ^= splitmix64(key);
    if ((s_[0] | s_[1] | s_[2] | s_[3]) == 0) s_[0] = 0x9E3779B97F4A7C15ull;
}

}  // namespace platform
