#pragma once
// Where Qt calls into the program. Exceptions must not cross Qt's frames: every user action and
// every pump of the loop runs through call(), which turns End into leaving every Qt loop and an
// untrapped runtime error into the platform's error box and an end. Code that ran a nested Qt
// loop for the program (a box, a menu, a drag) calls rethrow_if_ended() when it returns, so the
// End unwinds the program's own stack as it would headless.
#include <functional>
#include <vector>

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
    // Ends the program: no further action is delivered, and every Qt loop run for it leaves.
    void finish();
    bool ended() const { return ended_; }
    void rethrow_if_ended() const;

    // While one lives, a nested loop is open that finish() closes with `close`.
    class Modal {
    public:
        Modal(Boundary& b, std::function<void()> close);
        ~Modal();
        Modal(const Modal&) = delete;
        Modal& operator=(const Modal&) = delete;

    private:
        Boundary& b_;
    };
    // Set while QtHost::run runs Qt's main loop, which finish() then leaves too.
    bool main_loop = false;

private:
    void close_loops();
    bool ended_ = false;
    std::vector<std::function<void()>> closers_;
};

}  // namespace frontend
