#include "frontend/dispatcher.hpp"

#include <algorithm>
#include <set>

#include "frontend/boundary.hpp"

namespace frontend {

Dispatcher::Dispatcher(platform::Reactor& reactor, Boundary& boundary)
    : reactor_(reactor), boundary_(boundary) {
    deadline_.setSingleShot(true);
    deadline_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline_, &QTimer::timeout, [this] { pump(); });
    reactor_.on_change = [this] { sync(); };
    sync();
}

Dispatcher::~Dispatcher() {
    reactor_.on_change = nullptr;
    for (auto& [key, n] : notifiers_) n->setEnabled(false);
}

void Dispatcher::pump() {
    boundary_.call([this] { reactor_.pump(0); }, false);
    sync();
}

void Dispatcher::sync() {
    if (syncing_) return;
    syncing_ = true;
    struct Leave { bool& b; ~Leave() { b = false; } } leave{syncing_};

    if (boundary_.ended()) {
        deadline_.stop();
        for (auto& [key, n] : notifiers_) {
            n->setEnabled(false);
            n.release()->deleteLater();
        }
        notifiers_.clear();
        return;
    }

    std::set<std::pair<int, QSocketNotifier::Type>> wanted;
    for (const auto& w : reactor_.watches()) {
        if (w.events & platform::IoReadable) wanted.emplace(w.fd, QSocketNotifier::Read);
        if (w.events & platform::IoWritable) wanted.emplace(w.fd, QSocketNotifier::Write);
    }
    for (auto it = notifiers_.begin(); it != notifiers_.end();) {
        if (wanted.count(it->first)) {
            ++it;
            continue;
        }
        // It may be the notifier whose signal is running now.
        it->second->setEnabled(false);
        it->second.release()->deleteLater();
        it = notifiers_.erase(it);
    }
    for (const auto& key : wanted) {
        if (notifiers_.count(key)) continue;
        auto n = std::make_unique<QSocketNotifier>(key.first, key.second);
        QObject::connect(n.get(), &QSocketNotifier::activated, [this] { pump(); });
        notifiers_.emplace(key, std::move(n));
    }

    if (auto next = reactor_.next_deadline_ms()) {
        const std::int64_t delay =
            std::clamp<std::int64_t>(*next - reactor_.clock().now_ms(), 0, 24 * 3600 * 1000);
        if (!deadline_.isActive() || deadline_.remainingTime() != delay) deadline_.start(static_cast<int>(delay));
    } else {
        deadline_.stop();
    }
}

}  // namespace frontend
