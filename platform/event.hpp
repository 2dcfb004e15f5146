#pragma once
// A single-slot event as controls raise them: empty is allowed (raising does nothing), and the
// handler may replace or clear itself while it runs.
#include <functional>
#include <memory>
#include <utility>

namespace platform {

template <class... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;

    Event() = default;
    Event& operator=(Handler h) {
        handler_ = h ? std::make_shared<Handler>(std::move(h)) : nullptr;
        return *this;
    }
    explicit operator bool() const { return handler_ != nullptr; }

    // Raises the event. The handler is kept alive for the call even if it is replaced meanwhile.
    void operator()(Args... args) const {
        auto keep = handler_;
        if (!keep) return;
        ++depth_;
        struct Leave { int& d; ~Leave() { --d; } } leave{depth_};
        (*keep)(std::forward<Args>(args)...);
    }

    // How many calls of this event are on the stack now.
    int depth() const { return depth_; }

private:
    std::shared_ptr<Handler> handler_;
    mutable int depth_ = 0;
};

}  // namespace platform
