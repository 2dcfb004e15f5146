#include "platform/timer.hpp"

#include "platform/form.hpp"

namespace platform {

Timer::Timer(Container* parent, std::string name, int index) : Control(parent, std::move(name), index) {}

Timer::~Timer() { stop(); }

Reactor* Timer::reactor() const {
    for (Container* p = parent(); p; p = p->parent())
        if (auto* f = dynamic_cast<Form*>(p)) return &f->app().reactor();
    return nullptr;
}

void Timer::stop() {
    if (timer_id_ && scheduled_on_) scheduled_on_->cancel_timer(timer_id_);
    timer_id_ = 0;
    scheduled_on_ = nullptr;
}

void Timer::restart() {
    stop();
    if (!enabled() || interval_ <= 0) return;
    Reactor* r = reactor();
    if (!r) return;
    scheduled_on_ = r;
    timer_id_ = r->add_timer(interval_, [this] { fire(); });
}

void Timer::set_interval(int ms) {
    interval_ = ms < 0 ? 0 : ms;
    restart();
}

void Timer::set_enabled(bool e) {
    const bool was = enabled();
    Control::set_enabled(e);
    if (!e) stop();
    else if (!was) restart();
}

void Timer::fire() {
    timer_id_ = 0;
    scheduled_on_ = nullptr;
    // The next tick is counted from now, so ticks missed while the loop was busy come as one.
    restart();
    Form* form = nullptr;
    for (Container* p = parent(); p && !form; p = p->parent()) form = dynamic_cast<Form*>(p);
    if (!form || !form->loaded() || form->app().ended()) {
        stop();
        return;
    }
    if (Tick.depth() > 0) return;
    App::Dispatch scope(form->app());
    Tick();
}

void Timer::copy_from(const Timer& other) {
    copy_common_from(other);
    set_interval(other.interval_);
}

}  // namespace platform
