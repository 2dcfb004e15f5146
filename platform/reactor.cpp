#include "platform/reactor.hpp"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <deque>
#include <unordered_map>
#include <utility>

namespace platform {

namespace {

struct Watch {
    int fd;
    unsigned events;
    std::function<void(unsigned)> callback;
    bool busy = false;  // its callback is on the stack
    bool gone = false;  // unwatched
};

struct Task {
    std::uint64_t seq;
    std::function<void()> fn;
};

short poll_events(unsigned events) {
    short e = 0;
    if (events & IoReadable) e |= POLLIN;
    if (events & IoWritable) e |= POLLOUT;
    return e;
}

unsigned ready_of(short revents) {
    unsigned r = 0;
    if (revents & (POLLIN | POLLPRI)) r |= IoReadable;
    if (revents & POLLOUT) r |= IoWritable;
    if (revents & (POLLERR | POLLHUP | POLLNVAL)) r |= IoError;
    return r;
}

std::int64_t real_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

struct DepthGuard {
    int& depth;
    explicit DepthGuard(int& d) : depth(d) { ++depth; }
    ~DepthGuard() { --depth; }
};

}  // namespace

struct Reactor::Impl {
    Reactor& owner;
    std::map<WatchId, std::shared_ptr<Watch>> watches;
    // Keyed by (deadline, id): ids grow with creation, so equal deadlines fire in creation order.
    std::map<std::pair<std::int64_t, TimerId>, std::function<void()>> timers;
    std::unordered_map<TimerId, std::int64_t> deadline_of;
    std::deque<Task> tasks;
    WatchId next_watch = 1;
    TimerId next_timer = 1;
    std::uint64_t next_seq = 1;

    explicit Impl(Reactor& r) : owner(r) {}

    void changed() {
        if (owner.on_change) {
            auto notify = owner.on_change;  // the handler may replace itself
            notify();
        }
    }

    bool run_tasks() {
        // Only what was posted before this round: a task that posts again cannot starve the rest.
        const std::uint64_t limit = next_seq;
        bool ran = false;
        while (!tasks.empty() && tasks.front().seq < limit) {
            auto fn = std::move(tasks.front().fn);
            tasks.pop_front();
            ran = true;
            fn();
        }
        return ran;
    }

    bool fire_due_timers(TimerId limit) {
        const std::int64_t now = owner.clock_.now_ms();
        bool fired = false;
        for (;;) {
            auto it = timers.begin();
            while (it != timers.end() && it->first.first <= now && it->first.second >= limit) ++it;
            if (it == timers.end() || it->first.first > now) break;
            auto fn = std::move(it->second);
            deadline_of.erase(it->first.second);
            timers.erase(it);
            fired = true;
            changed();
            fn();
        }
        return fired;
    }

    bool dispatch(WatchId id) {
        auto found = watches.find(id);
        if (found == watches.end()) return false;
        std::shared_ptr<Watch> w = found->second;  // keeps the callback alive through unwatch
        if (w->busy || w->gone || w->events == 0) return false;
        // Readiness seen by the round's poll may have been consumed by a nested pump of an earlier
        // callback; look again so that a handler is never called for data that is gone.
        pollfd p{w->fd, poll_events(w->events), 0};
        int n;
        do n = ::poll(&p, 1, 0); while (n < 0 && errno == EINTR);
        if (n <= 0 || p.revents == 0) return false;
        const unsigned ready = ready_of(p.revents);

        struct Busy {
            Impl& impl;
            Watch& w;
            Busy(Impl& i, Watch& wt) : impl(i), w(wt) { w.busy = true; }
            ~Busy() {
                w.busy = false;
                if (!w.gone) {
                    try { impl.changed(); } catch (...) {}
                }
            }
        } busy(*this, *w);
        changed();
        w->callback(ready);
        return true;
    }

    bool pump(int max_wait_ms) {
        bool did = run_tasks();
        const TimerId timer_limit = next_timer;
        did = fire_due_timers(timer_limit) || did;

        std::vector<pollfd> fds;
        std::vector<WatchId> ids;
        fds.reserve(watches.size());
        ids.reserve(watches.size());
        for (const auto& [id, w] : watches) {
            if (w->busy || w->events == 0) continue;
            fds.push_back(pollfd{w->fd, poll_events(w->events), 0});
            ids.push_back(id);
        }

        int timeout = 0;
        if (!did && tasks.empty()) {
            timeout = max_wait_ms < 0 ? -1 : max_wait_ms;
            if (!timers.empty()) {
                const std::int64_t until = std::clamp<std::int64_t>(
                    timers.begin()->first.first - owner.clock_.now_ms(), 0, 24 * 3600 * 1000);
                if (timeout < 0 || until < timeout) timeout = static_cast<int>(until);
            }
        }

        if (!fds.empty() || timeout != 0) {
            const int n = ::poll(fds.empty() ? nullptr : fds.data(), fds.size(), timeout);
            if (n > 0) {
                for (std::size_t i = 0; i < fds.size(); ++i) {
                    if (fds[i].revents != 0 && dispatch(ids[i])) did = true;
                }
            }
        }
        if (timeout != 0) did = fire_due_timers(next_timer) || did;
        return did;
    }
};

Reactor::Reactor(Clock& clock) : clock_(clock), impl_(std::make_unique<Impl>(*this)) {}

Reactor::~Reactor() = default;

Reactor::WatchId Reactor::watch(int fd, unsigned events, std::function<void(unsigned ready)> callback) {
    const WatchId id = impl_->next_watch++;
    auto w = std::make_shared<Watch>();
    w->fd = fd;
    w->events = events;
    w->callback = std::move(callback);
    impl_->watches.emplace(id, std::move(w));
    impl_->changed();
    return id;
}

void Reactor::modify(WatchId id, unsigned events) {
    auto it = impl_->watches.find(id);
    if (it == impl_->watches.end() || it->second->events == events) return;
    it->second->events = events;
    impl_->changed();
}

void Reactor::unwatch(WatchId id) {
    auto it = impl_->watches.find(id);
    if (it == impl_->watches.end()) return;
    it->second->gone = true;
    impl_->watches.erase(it);
    impl_->changed();
}

Reactor::TimerId Reactor::add_timer(std::int64_t delay_ms, std::function<void()> callback) {
    const TimerId id = impl_->next_timer++;
    const std::int64_t deadline = clock_.now_ms() + std::max<std::int64_t>(0, delay_ms);
    impl_->timers.emplace(std::make_pair(deadline, id), std::move(callback));
    impl_->deadline_of.emplace(id, deadline);
    impl_->changed();
    return id;
}

void Reactor::cancel_timer(TimerId id) {
    auto it = impl_->deadline_of.find(id);
    if (it == impl_->deadline_of.end()) return;
    impl_->timers.erase(std::make_pair(it->second, id));
    impl_->deadline_of.erase(it);
    impl_->changed();
}

void Reactor::post(std::function<void()> task) {
    impl_->tasks.push_back(Task{impl_->next_seq++, std::move(task)});
    impl_->changed();
}

void Reactor::pump(int max_wait_ms) {
    DepthGuard guard(depth_);
    impl_->pump(max_wait_ms);
}

bool Reactor::wait_until(const std::function<bool()>& pred, int timeout_ms) {
    if (pred()) return true;
    const std::int64_t real_start = real_ms();
    const std::int64_t clock_start = clock_.now_ms();
    for (;;) {
        int wait = 10;
        if (timeout_ms >= 0) {
            const std::int64_t left = timeout_ms - (real_ms() - real_start);
            if (left <= 0 || clock_.now_ms() - clock_start >= timeout_ms) return pred();
            wait = static_cast<int>(std::min<std::int64_t>(wait, left));
        }
        {
            DepthGuard guard(depth_);
            impl_->pump(wait);
        }
        if (pred()) return true;
    }
}

bool Reactor::run_until(const std::function<bool()>& pred, int real_timeout_ms) {
    auto* fake = dynamic_cast<FakeClock*>(&clock_);
    const std::int64_t real_start = real_ms();
    for (;;) {
        if (pred()) return true;
        const std::int64_t left = real_timeout_ms - (real_ms() - real_start);
        if (left <= 0) return false;
        DepthGuard guard(depth_);
        if (impl_->pump(0)) continue;
        if (fake) {
            // Give bytes already on their way through a loopback socket a moment before
            // jumping the clock, so that a time-out does not overtake them.
            if (!impl_->watches.empty() && impl_->pump(1)) continue;
            if (!impl_->timers.empty()) {
                const std::int64_t next = impl_->timers.begin()->first.first;
                if (next > fake->now_ms()) fake->advance(next - fake->now_ms());
                continue;
            }
        }
        impl_->pump(static_cast<int>(std::min<std::int64_t>(10, left)));
    }
}

void Reactor::run() {
    while (!stopped_) pump(-1);
}

std::vector<Reactor::WatchInfo> Reactor::watches() const {
    std::vector<WatchInfo> out;
    for (const auto& [id, w] : impl_->watches) {
        if (w->busy || w->events == 0) continue;
        out.push_back(WatchInfo{w->fd, w->events});
    }
    return out;
}

std::optional<std::int64_t> Reactor::next_deadline_ms() const {
    // Posted tasks are due now, so a front end with its own loop pumps for them at once.
    if (!impl_->tasks.empty()) return clock_.now_ms();
    if (impl_->timers.empty()) return std::nullopt;
    return impl_->timers.begin()->first.first;
}

}  // namespace platform
