#pragma once
// Keeps the reactor the only dispatcher under Qt's loop: a socket notifier per watched
// descriptor and one single-shot timer for the next deadline, each of which only pumps the
// reactor once. Any Qt loop, nested ones included, thereby keeps sockets and timers going.
#include <QSocketNotifier>
#include <QTimer>
#include <map>
#include <memory>
#include <utility>

#include "platform/reactor.hpp"

namespace frontend {

class Boundary;

class Dispatcher {
public:
    Dispatcher(platform::Reactor& reactor, Boundary& boundary);
    ~Dispatcher();
    Dispatcher(const Dispatcher&) = delete;
    Dispatcher& operator=(const Dispatcher&) = delete;

    // Re-reads the watched descriptors and the next deadline (the reactor reports its changes by
    // itself; a test that moves a fake clock calls this).
    void sync();
    // Runs what is ready once.
    void pump();

    // For tests: how many notifiers are enabled, and whether a deadline is armed.
    int notifier_count() const { return static_cast<int>(notifiers_.size()); }
    bool deadline_armed() const { return deadline_.isActive(); }

private:
    platform::Reactor& reactor_;
    Boundary& boundary_;
    QTimer deadline_;
    std::map<std::pair<int, QSocketNotifier::Type>, std::unique_ptr<QSocketNotifier>> notifiers_;
    bool syncing_ = false;
};

}  // namespace frontend
