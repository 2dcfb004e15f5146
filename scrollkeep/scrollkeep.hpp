#pragma once
// Scrollkeep, the game-log viewer: a program of its own with a single window.
#include <string_view>

#include "platform/app.hpp"
#include "platform/form.hpp"

namespace sk {

namespace win {
class Form1;
}

inline constexpr std::string_view kTitle = "Scrollkeep";

class Scrollkeep {
public:
    explicit Scrollkeep(platform::App& app);
    ~Scrollkeep();
    Scrollkeep(const Scrollkeep&) = delete;
    Scrollkeep& operator=(const Scrollkeep&) = delete;

    platform::App& app;
    platform::FormSlot<win::Form1> Form1;
};

// Start-up: shows the window. The caller then runs the App's loop.
void Main(Scrollkeep& sk);

}  // namespace sk
