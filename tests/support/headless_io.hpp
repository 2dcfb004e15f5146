// What the headless programs of the process tests share: their one-line output and a fake clock
// that keeps up with real time, so that the program's timers run as they would on a desktop.
#pragma once

#include <chrono>
#include <cstdint>
#include <iostream>
#include <string>

#include "platform/clock.hpp"

namespace tw::headless {

// One line "KIND text" on standard output, flushed at once so that the test reading it sees it
// while the program still runs; a line break inside the text would start a false line.
inline void Out(const std::string& kind, const std::string& text) {
    std::string line = kind + " " + text;
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    std::cout << line << '\n' << std::flush;
}

inline std::int64_t RealMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

struct FollowingClock {
    platform::FakeClock fake;
    std::int64_t last = RealMs();
    void Follow() {
        const std::int64_t now = RealMs();
        fake.advance(now - last);
        last = now;
    }
};

}  // namespace tw::headless
