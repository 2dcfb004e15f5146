#include "platform/reactor.hpp"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/rt_error.hpp"

namespace {

using platform::FakeClock;
using platform::IoError;
using platform::IoReadable;
using platform::IoWritable;
using platform::Reactor;
using platform::SystemClock;

// A connected pair of non-blocking stream sockets, closed on destruction.
struct Pair {
    int a = -1, b = -1;
    Pair() {
        int fds[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, fds) != 0) throw std::runtime_error("socketpair");
        a = fds[0];
        b = fds[1];
    }
    ~Pair() {
        if (a >= 0) ::close(a);
        if (b >= 0) ::close(b);
    }
    void send_to_a(const std::string& s) const { ASSERT_EQ(::write(b, s.data(), s.size()), ssize_t(s.size())); }
    // Reads up to n bytes from a; "" when nothing is there.
    std::string read_a(std::size_t n = 4096) const {
        std::string buf(n, '\0');
        ssize_t got = ::read(a, buf.data(), n);
        return got > 0 ? buf.substr(0, std::size_t(got)) : std::string();
    }
};

std::int64_t real_ms() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

class ReactorTest : public ::testing::Test {
protected:
    FakeClock clock;
    Reactor reactor{clock};
    std::vector<std::string> log;
};

// --- timers -------------------------------------------------------------------------------------

TEST_F(ReactorTest, TimersFireByDeadlineThenCreationOnceHoweverLate) {
    reactor.add_timer(30, [&] { log.push_back("c30"); });
    reactor.add_timer(10, [&] { log.push_back("a10"); });
    reactor.add_timer(10, [&] { log.push_back("b10"); });
    reactor.add_timer(20, [&] { log.push_back("x20"); });

    clock.advance(9);
    reactor.pump();
    EXPECT_TRUE(log.empty());

    clock.advance(1000);  // far past every deadline
    reactor.pump();
    reactor.pump();
    EXPECT_EQ(log, (std::vector<std::string>{"a10", "b10", "x20", "c30"}));
    EXPECT_FALSE(reactor.next_deadline_ms().has_value());
}

TEST_F(ReactorTest, CancelFromInsideATimerAndOfFiredOrUnknownIds) {
    Reactor::TimerId self = 0, later = 0;
    self = reactor.add_timer(10, [&] {
        log.push_back("self");
        reactor.cancel_timer(self);   // already fired: ignored
        reactor.cancel_timer(later);  // due in the same round: must not fire
        reactor.cancel_timer(9999);   // unknown: ignored
    });
    later = reactor.add_timer(10, [&] { log.push_back("later"); });
    clock.advance(10);
    reactor.pump();
    reactor.pump();
    EXPECT_EQ(log, std::vector<std::string>{"self"});
}

TEST_F(ReactorTest, TimerAddedInsideATimerFiresInALaterPump) {
    // A timer that re-arms itself with no delay must not keep one pump busy for ever.
    int fired = 0;
    std::function<void()> again = [&] {
        ++fired;
        reactor.add_timer(0, again);
    };
    reactor.add_timer(0, again);
    reactor.pump();
    EXPECT_EQ(fired, 1);
    reactor.pump();
    EXPECT_EQ(fired, 2);
}

TEST_F(ReactorTest, NestedPumpFromATimerRunsTheOthersOnce) {
    int inner_depth = 0;
    reactor.add_timer(10, [&] {
        log.push_back("outer");
        reactor.post([&] { log.push_back("task"); });
        reactor.pump();  // DoEvents
        log.push_back("outer done");
    });
    reactor.add_timer(10, [&] {
        inner_depth = reactor.depth();
        log.push_back("inner");
    });
    clock.advance(10);
    reactor.pump();
    reactor.pump();
    EXPECT_EQ(log, (std::vector<std::string>{"outer", "task", "inner", "outer done"}));
    EXPECT_EQ(inner_depth, 2);
    EXPECT_EQ(reactor.depth(), 0);
}

// --- descriptors --------------------------------------------------------------------------------

TEST_F(ReactorTest, FdCallbackIsNotReenteredAndLeftoverReadinessIsDeliveredLater) {
    Pair p;
    int calls = 0, on_stack = 0, max_on_stack = 0;
    bool hidden_while_busy = false;
    reactor.watch(p.a, IoReadable, [&](unsigned ready) {
        EXPECT_TRUE(ready & IoReadable);
        ++calls;
        max_on_stack = std::max(max_on_stack, ++on_stack);
        if (calls == 1) {
            p.send_to_a("y");
            // Still readable, but our own callback is on the stack: nested pumps must not call it.
            reactor.pump();
            reactor.pump(5);
            hidden_while_busy = reactor.watches().empty();
        }
        p.read_a(1);  // one byte at a time: the rest must not be stranded
        --on_stack;
    });
    p.send_to_a("x");
    for (int i = 0; i < 5 && calls < 2; ++i) reactor.pump();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(max_on_stack, 1);
    EXPECT_TRUE(hidden_while_busy);
    ASSERT_EQ(reactor.watches().size(), 1u);  // back in the set once it returned
    reactor.pump();
    EXPECT_EQ(calls, 2);  // both bytes read: nothing more to deliver
}

TEST_F(ReactorTest, NestedPumpInsideAnFdCallbackServesOtherWatchesAndTimers) {
    Pair first, second;
    bool timer_fired = false;
    std::string second_got;
    reactor.watch(first.a, IoReadable, [&](unsigned) {
        first.read_a();
        clock.advance(10);
        reactor.pump();
        log.push_back(timer_fired && !second_got.empty() ? "served inside" : "not served");
    });
    reactor.watch(second.a, IoReadable, [&](unsigned) {
        std::string got = second.read_a();
        // Readiness seen by the outer round was used up by the nested pump: no empty calls.
        log.push_back(got.empty() ? "called without data" : "second");
        second_got += got;
    });
    reactor.add_timer(10, [&] { timer_fired = true; });
    first.send_to_a("1");
    second.send_to_a("2");
    reactor.pump();
    reactor.pump();
    EXPECT_EQ(log, (std::vector<std::string>{"second", "served inside"}));
}

TEST_F(ReactorTest, UnwatchAndModifyFromInsideCallbacks) {
    Pair p, q, r;
    int p_calls = 0, q_calls = 0, r_calls = 0;
    Reactor::WatchId pid = 0, qid = 0, rid = 0;
    pid = reactor.watch(p.a, IoReadable, [&](unsigned) {
        ++p_calls;
        reactor.unwatch(pid);  // its own watch, while running
        reactor.unwatch(qid);  // another one ready in the same round
        reactor.modify(rid, 0);
    });
    qid = reactor.watch(q.a, IoReadable, [&](unsigned) { ++q_calls; });
    rid = reactor.watch(r.a, IoReadable, [&](unsigned) { ++r_calls; });
    p.send_to_a("p");
    q.send_to_a("q");
    r.send_to_a("r");
    reactor.pump();
    reactor.pump();
    EXPECT_EQ(p_calls, 1);
    EXPECT_EQ(q_calls, 0);
    EXPECT_EQ(r_calls, 0);

    reactor.modify(rid, IoReadable);
    reactor.pump();
    EXPECT_EQ(r_calls, 1);
    reactor.unwatch(pid);  // already gone: ignored
}

TEST_F(ReactorTest, WatchAddedInsideACallbackWorks) {
    Pair p, q;
    std::string got;
    reactor.watch(p.a, IoReadable, [&](unsigned) {
        got += p.read_a();
        reactor.watch(q.a, IoReadable, [&](unsigned) { got += q.read_a(); });
    });
    p.send_to_a("p");
    q.send_to_a("q");
    reactor.pump();
    reactor.pump();
    EXPECT_EQ(got, "pq");
}

TEST_F(ReactorTest, ReadyEventsReportWritableAndHangUp) {
    Pair p;
    unsigned seen = 0;
    auto id = reactor.watch(p.a, IoWritable, [&](unsigned ready) { seen = ready; });
    reactor.pump();
    EXPECT_EQ(seen, IoWritable);
    reactor.unwatch(id);

    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_NONBLOCK), 0);
    ::close(fds[1]);
    seen = 0;
    reactor.watch(fds[0], IoReadable, [&](unsigned ready) { seen = ready; });
    reactor.pump();
    EXPECT_TRUE(seen & IoError);
    ::close(fds[0]);
}

// --- posted tasks -------------------------------------------------------------------------------

TEST_F(ReactorTest, PostedTasksRunInOrderAndRepostsWaitForTheNextRound) {
    reactor.post([&] {
        log.push_back("1");
        reactor.post([&] { log.push_back("4"); });
    });
    reactor.post([&] { log.push_back("2"); });
    reactor.post([&] { log.push_back("3"); });
    EXPECT_TRUE(log.empty());  // nothing runs at post time
    reactor.pump();
    EXPECT_EQ(log, (std::vector<std::string>{"1", "2", "3"}));
    reactor.pump();
    EXPECT_EQ(log, (std::vector<std::string>{"1", "2", "3", "4"}));
}

TEST_F(ReactorTest, NestedPumpInsideATaskKeepsPostingOrder) {
    reactor.post([&] {
        log.push_back("1");
        reactor.post([&] { log.push_back("3"); });
        reactor.pump();
        log.push_back("1 done");
    });
    reactor.post([&] { log.push_back("2"); });
    reactor.pump();
    EXPECT_EQ(log, (std::vector<std::string>{"1", "2", "3", "1 done"}));
}

// --- exceptions ---------------------------------------------------------------------------------

TEST_F(ReactorTest, ExceptionsPassOutAndTheReactorKeepsWorking) {
    Pair p;
    struct Source {
        const char* name;
        std::function<void(std::function<void()>)> install;
    };
    const Source sources[] = {
        {"timer", [&](std::function<void()> f) { reactor.add_timer(0, f); }},
        {"task", [&](std::function<void()> f) { reactor.post(f); }},
        {"fd", [&](std::function<void()> f) {
             p.send_to_a("!");
             auto id = std::make_shared<Reactor::WatchId>();
             *id = reactor.watch(p.a, IoReadable, [&, f, id](unsigned) {
                 p.read_a();
                 reactor.unwatch(*id);
                 f();
             });
         }},
    };
    for (const Source& s : sources) {
        SCOPED_TRACE(s.name);
        s.install([] { throw std::runtime_error("boom"); });
        EXPECT_THROW(reactor.pump(), std::runtime_error);
        EXPECT_EQ(reactor.depth(), 0);
        s.install([] { throw platform::ProgramEnd{}; });
        EXPECT_THROW(reactor.run_until([] { return false; }, 1000), platform::ProgramEnd);
        EXPECT_EQ(reactor.depth(), 0);
        bool after = false;
        reactor.post([&] { after = true; });
        EXPECT_TRUE(reactor.run_until([&] { return after; }, 1000));
    }

    // A callback that threw is not left marked as running.
    int calls = 0;
    p.send_to_a("ab");
    reactor.watch(p.a, IoReadable, [&](unsigned) {
        ++calls;
        p.read_a(1);
        if (calls == 1) throw std::runtime_error("once");
    });
    EXPECT_THROW(reactor.pump(), std::runtime_error);
    reactor.pump();
    EXPECT_EQ(calls, 2);
}

TEST_F(ReactorTest, RunStopsOnStopAndPassesProgramEndOut) {
    reactor.add_timer(0, [&] { reactor.post([&] { reactor.stop(); }); });
    reactor.run();
    EXPECT_TRUE(reactor.stopped());

    Reactor other(clock);
    other.post([] { throw platform::ProgramEnd{}; });
    EXPECT_THROW(other.run(), platform::ProgramEnd);
}

// --- waiting ------------------------------------------------------------------------------------

TEST_F(ReactorTest, RunUntilAdvancesTheFakeClockToEachDeadline) {
    bool done = false;
    reactor.add_timer(1000, [&] { log.push_back("1000"); });
    reactor.add_timer(60000, [&] {
        log.push_back("60000");
        done = true;
    });
    reactor.add_timer(90000, [&] { log.push_back("90000"); });
    const std::int64_t start = real_ms();
    EXPECT_TRUE(reactor.run_until([&] { return done; }));
    EXPECT_EQ(clock.now_ms(), 60000);
    EXPECT_EQ(log, (std::vector<std::string>{"1000", "60000"}));
    EXPECT_LT(real_ms() - start, 2000);

    EXPECT_FALSE(reactor.run_until([] { return false; }, 50));  // ends on real time, not fake
}

TEST_F(ReactorTest, PumpWithAFakeClockBlocksAtMostMaxWaitOfRealTime) {
    reactor.add_timer(10'000'000, [] {});
    const std::int64_t start = real_ms();
    reactor.pump(20);
    EXPECT_LT(real_ms() - start, 2000);
}

TEST_F(ReactorTest, WaitUntilWithAFakeClockEndsWhenTheClockPassesTheTimeout) {
    // A handler that sleeps moves the fake clock; the wait's time-out is counted on it too.
    reactor.post([&] { clock.advance(500); });
    EXPECT_FALSE(reactor.wait_until([] { return false; }, 100));
}

TEST(ReactorRealClockTest, WaitUntilTimesOutAndPumpWakesAtTheNextDeadline) {
    SystemClock clock;
    Reactor reactor(clock);

    std::int64_t start = real_ms();
    EXPECT_FALSE(reactor.wait_until([] { return false; }, 50));
    std::int64_t took = real_ms() - start;
    EXPECT_GE(took, 50);
    EXPECT_LT(took, 5000);

    bool fired = false;
    reactor.add_timer(30, [&] { fired = true; });
    start = real_ms();
    reactor.pump(20000);  // the wait is cut at the timer's deadline, and the timer fires
    took = real_ms() - start;
    EXPECT_TRUE(fired);
    EXPECT_GE(took, 29);
    EXPECT_LT(took, 10000);

    fired = false;
    reactor.add_timer(20, [&] { fired = true; });
    EXPECT_TRUE(reactor.wait_until([&] { return fired; }, 10000));
}

// --- front-end view -----------------------------------------------------------------------------

TEST_F(ReactorTest, WatchesDeadlinesAndChangeNotices) {
    int changes = 0;
    reactor.on_change = [&] { ++changes; };
    Pair p;

    auto id = reactor.watch(p.a, IoReadable, [](unsigned) {});
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(reactor.watches().size(), 1u);
    EXPECT_EQ(reactor.watches()[0].fd, p.a);
    EXPECT_EQ(reactor.watches()[0].events, unsigned(IoReadable));
    reactor.modify(id, IoReadable | IoWritable);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(reactor.watches()[0].events, unsigned(IoReadable | IoWritable));
    reactor.unwatch(id);
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(reactor.watches().empty());

    clock.advance(100);
    EXPECT_FALSE(reactor.next_deadline_ms().has_value());
    auto late = reactor.add_timer(50, [] {});
    auto soon = reactor.add_timer(20, [] {});
    EXPECT_EQ(reactor.next_deadline_ms(), 120);
    reactor.cancel_timer(soon);
    EXPECT_EQ(reactor.next_deadline_ms(), 150);
    EXPECT_EQ(changes, 6);
    // Posted work is due at once, so a front end with its own loop knows to pump now.
    reactor.post([] {});
    EXPECT_EQ(changes, 7);
    EXPECT_EQ(reactor.next_deadline_ms(), 100);
    reactor.pump();
    EXPECT_EQ(reactor.next_deadline_ms(), 150);
    reactor.cancel_timer(late);
    EXPECT_FALSE(reactor.next_deadline_ms().has_value());
}

}  // namespace
