#pragma once
// The timer control: ticks from the loop of its form's App every Interval ms while Enabled.
#include <cstdint>
#include <string>

#include "platform/control.hpp"
#include "platform/event.hpp"
#include "platform/reactor.hpp"

namespace platform {

// Raised from the loop only. Late ticks come once, never in a burst; a tick that falls due while
// the handler is still running is dropped. With I = int, the events of a timer array.
template <class... I>
struct TimerEvents {
    Event<I...> Tick;
    template <class O, class F>
    void zip_events(O& other, F f) {
        f(Tick, other.Tick);
    }
};

class Timer : public Control, public TimerEvents<> {
public:
    template <class... I>
    using EventSet = TimerEvents<I...>;

    Timer(Container* parent, std::string name, int index = -1);
    ~Timer() override;

    const char* type_name() const override { return "Timer"; }

    int interval() const { return interval_; }
    // Restarts the countdown; 0 stops the timer.
    void set_interval(int ms);
    // false -> true starts the countdown afresh; enabling a running timer changes nothing.
    void set_enabled(bool e) override;

    // Whether a tick is scheduled.
    bool running() const { return timer_id_ != 0; }
    // Cancels the countdown without changing Enabled (the form unloading).
    void stop();

    void copy_from(const Timer& other);

private:
    void restart();
    void fire();
    Reactor* reactor() const;

    int interval_ = 0;
    Reactor::TimerId timer_id_ = 0;
    Reactor* scheduled_on_ = nullptr;
};

}  // namespace platform
