#include "platform/app.hpp"

#include <algorithm>

#include "platform/form.hpp"

namespace platform {

namespace {
// How long to wait before trying again to destroy unloaded forms while a nested loop runs.
constexpr int kCollectRetryMs = 50;
}  // namespace

App::App(Reactor& reactor, Host& host) : reactor_(reactor), host_(host) {}

App::~App() {
    *self_ = nullptr;
    if (retry_timer_) reactor_.cancel_timer(*retry_timer_);
    doomed_.clear();
}

void App::set_command_line(int argc, const char* const* argv) {
    command.clear();
    for (int i = 1; i < argc; ++i) {
        if (i > 1) command += ' ';
        command += argv[i];
    }
}

void App::end() {
    ended_ = true;
    throw ProgramEnd{};
}

App::Screen App::screen() const {
    int t = host_.twips_per_pixel();
    return {t, t};
}

void App::run() {
    try {
        reactor_.run();
    } catch (const ProgramEnd&) {
        ended_ = true;
    }
}

MsgResult App::msg_box(const std::string& text, MsgButtons buttons, MsgIcon icon,
                       const std::string& box_title) {
    return host_.msg_box(text, buttons, icon, box_title.empty() ? title : box_title);
}

std::string App::input_box(const std::string& prompt, const std::string& box_title,
                           const std::string& default_text) {
    auto r = host_.input_box(prompt, box_title.empty() ? title : box_title, default_text);
    return r ? *r : std::string();
}

App::Dispatch::Dispatch(App& app) : app_(app) { ++app_.dispatch_depth_; }

App::Dispatch::~Dispatch() {
    if (--app_.dispatch_depth_ == 0 && !app_.doomed_.empty()) app_.schedule_collect();
}

void App::add_form(Form* f) { forms_.push_back(f); }

void App::remove_form(Form* f) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
    for (auto* other : forms_)
        if (other->owner_ == f) other->owner_ = nullptr;
}

void App::destroy_later(std::unique_ptr<Form> form) {
    if (!form) return;
    doomed_.push_back(std::move(form));
    schedule_collect();
}

// Destruction waits for a posted task: it runs only after the handler that unloaded the form
// has returned. It is safe when that task runs in the outermost loop and no dispatch is open;
// inside a nested loop the unloading code may still be below us on the stack.
void App::schedule_collect() {
    if (collect_posted_ || retry_timer_) return;
    collect_posted_ = true;
    std::weak_ptr<App*> weak = self_;
    reactor_.post([weak] {
        auto self = weak.lock();
        if (!self || !*self) return;
        (*self)->collect_posted_ = false;
        (*self)->collect();
    });
}

void App::collect() {
    if (doomed_.empty()) return;
    if (dispatch_depth_ > 0) return;  // the closing Dispatch schedules again
    if (reactor_.depth() > 1) {
        std::weak_ptr<App*> weak = self_;
        retry_timer_ = reactor_.add_timer(kCollectRetryMs, [weak] {
            auto self = weak.lock();
            if (!self || !*self) return;
            (*self)->retry_timer_.reset();
            (*self)->collect();
        });
        return;
    }
    // Destructors may unload further forms; they join a fresh list.
    auto batch = std::move(doomed_);
    doomed_.clear();
    batch.clear();
}

}  // namespace platform
