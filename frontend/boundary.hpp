#pragma once
// Where Qt calls into the program. Exceptions must not cross Qt's frames: every user action and
// every pump of the loop runs through call(), which turns End into leaving every Qt loop and an
// untrapped runtime error into the platform's error box and an end. Code that ran a nested Qt
// loop for the program (a box, a menu, a drag) calls rethrow_if_ended() when it returns, so the
// End unwinds the program's own stack as it would headless.
#include <functional>

namespace platform {
class App;
}

namespace frontend {

class Boundary {
public:
    // The program whose actions are delivered (each inside an App::Dispatch); may be null.
    platform::App* app = nullptr;

    // Runs fn; user actions open a Dispatch, the loop's own pumps do not.
    void call(const std::function<void()>& fn, bool user_action = true);
    // Ends the program: every running Qt loop leaves, and no further action is delivered.
    void finish();
    bool ended() const { return ended_; }
    void rethrow_if_ended() const;

private:
    bool ended_ = false;
};

}  // namespace frontend
