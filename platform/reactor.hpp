#pragma once
// The one event loop: poll() over watched descriptors, one-shot timers on an injected clock, and
// posted tasks. pump() may be called from inside any handler (the programs' nested waits); every
// callback runs on the calling thread.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/clock.hpp"

namespace platform {

enum IoEvents : unsigned { IoReadable = 1u, IoWritable = 2u, IoError = 4u };

class Reactor {
public:
    using WatchId = std::uint64_t;
    using TimerId = std::uint64_t;

    explicit Reactor(Clock& clock);
    ~Reactor();
    Reactor(const Reactor&) = delete;
    Reactor& operator=(const Reactor&) = delete;

    Clock& clock() const { return clock_; }

    // Watches a descriptor; the callback gets the IoEvents that are ready (IoError for
    // POLLERR/POLLHUP/POLLNVAL). A callback is never re-entered for the same watch: readiness seen
    // while it is on the stack is reported again by a later pump.
    WatchId watch(int fd, unsigned events, std::function<void(unsigned ready)> callback);
    void modify(WatchId id, unsigned events);
    void unwatch(WatchId id);  // safe from inside the watch's own callback

    // One-shot timer, due delay_ms after now on the clock. A timer that is due fires once, however
    // late the loop is.
    TimerId add_timer(std::int64_t delay_ms, std::function<void()> callback);
    void cancel_timer(TimerId id);  // unknown or fired ids are ignored

    // Runs a task from the loop, after the current handler returns, in order of posting.
    void post(std::function<void()> task);

    // Runs what is ready once: posted tasks, due timers, ready descriptors. When nothing is ready
    // it waits for descriptors up to max_wait_ms of real time (0: do not block; the wait also ends
    // at the next timer deadline when the clock is a real one). Re-entrant.
    void pump(int max_wait_ms = 0);

    // Pumps (blocking at most 10 ms at a time) until pred() is true. With a real clock a
    // timeout_ms >= 0 ends the wait after that long (returns false); -1 waits for ever.
    bool wait_until(const std::function<bool()>& pred, int timeout_ms = -1);

    // For tests: pumps until pred() is true or real_timeout_ms of real time has passed, advancing
    // a FakeClock (when the reactor's clock is one) to the next timer deadline whenever nothing
    // else is ready.
    bool run_until(const std::function<bool()>& pred, int real_timeout_ms = 5000);

    // Runs until stop(). Exceptions (ProgramEnd among them) pass out of run().
    void run();
    void stop() { stopped_ = true; }
    bool stopped() const { return stopped_; }

    // How many pump() calls are on the stack.
    int depth() const { return depth_; }

    // For a front end that has its own loop: which descriptors are watched and when the next timer
    // is due; on_change is called whenever either changes.
    struct WatchInfo { int fd; unsigned events; };
    std::vector<WatchInfo> watches() const;
    std::optional<std::int64_t> next_deadline_ms() const;
    std::function<void()> on_change;

private:
    struct Impl;
    Clock& clock_;
    std::unique_ptr<Impl> impl_;
    bool stopped_ = false;
    int depth_ = 0;
};

}  // namespace platform
