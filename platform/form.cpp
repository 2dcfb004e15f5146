#include "platform/form.hpp"

#include <algorithm>

#include "platform/controls.hpp"
#include "platform/menu.hpp"
#include "platform/timer.hpp"

namespace platform {

Form::Form(App& app, std::string name)
    : Container(nullptr, std::move(name)), app_(app), hwnd_(app.next_window_id()) {
    Control::set_visible(false);
    app_.add_form(this);
}

Form::~Form() {
    if (auto* o = own_observer()) o->destroyed(*this);
    app_.remove_form(this);
}

void Form::load() {
    if (state_ == State::Loading || state_ == State::Loaded) return;
    // A form taken from its slot is waiting to be destroyed: it cannot come back.
    if (released_) return;
    App::Dispatch scope(app_);
    state_ = State::Loading;
    if (app_.observer && !own_observer()) {
        set_observer(app_.observer);
        app_.observer->created(*this);
    }
    wire_drags(*this);
    Form_Load();
    if (state_ == State::Loading) state_ = State::Loaded;
}

void Form::show(Form* owner) {
    App::Dispatch scope(app_);
    load();
    if (!loaded()) return;  // unloaded itself while loading
    if (owner != this) owner_ = owner;
    if (!shown_once_ && start_up_position_ == StartUpPosition::CenterOwner && owner_ != nullptr) centre_on(*owner_);
    shown_once_ = true;
    const bool was_visible = visible();
    Control::set_visible(true);
    notify(Prop::ZOrder);
    if (!was_visible) Form_Activate();
}

void Form::centre_on(const Form& other) {
    set_left(std::max(0.0, other.left() + (other.width() - width()) / 2));
    set_top(std::max(0.0, other.top() + (other.height() - height()) / 2));
}

void Form::hide() {
    App::Dispatch scope(app_);
    load();
    if (!loaded()) return;
    Control::set_visible(false);
}

void Form::set_visible(bool v) {
    if (v) show();
    else hide();
}

bool Form::unload() {
    if (!loaded() || unloading_) return true;
    App::Dispatch scope(app_);
    bool cancel = false;
    {
        unloading_ = true;
        struct Leave { bool& b; ~Leave() { b = false; } } leave{unloading_};
        Form_Unload(cancel);
    }
    if (cancel || !loaded()) return !cancel;
    state_ = State::Unloaded;
    stop_timers(*this);
    Control::set_visible(false);
    clear_focus();
    if (auto* o = own_observer()) {
        o->destroyed(*this);
        set_observer(nullptr);
    }
    Form_Terminate();
    if (slot_) {
        FormSlotBase* slot = slot_;
        slot_ = nullptr;
        released_ = true;
        app_.destroy_later(slot->release());
    }
    return true;
}

void Form::stop_timers(Control& c) {
    if (auto* t = dynamic_cast<Timer*>(&c)) t->stop();
    if (auto* k = dynamic_cast<Container*>(&c))
        for (auto* child : k->children()) stop_timers(*child);
}

void Form::set_caption(std::string c) {
    if (caption_ == c) return;
    caption_ = std::move(c);
    notify(Prop::Caption);
}

void Form::set_border_style(BorderStyle b) {
    if (border_style_ == b) return;
    border_style_ = b;
    notify(Prop::Other);
}

void Form::set_window_state(WindowState s) {
    if (window_state_ == s) return;
    window_state_ = s;
    notify(Prop::Other);
}

std::vector<Menu*> Form::menu_bar() const {
    std::vector<Menu*> out;
    for (auto* c : children())
        if (auto* m = dynamic_cast<Menu*>(c)) out.push_back(m);
    return out;
}

void Form::popup_menu(Menu& menu, std::optional<PointTw> at) {
    if (!menu.enabled()) return;
    App::Dispatch scope(app_);
    menu.Click();
    if (!menu.enabled()) return;
    Menu* chosen = app_.host().popup(*this, menu, at);
    if (chosen && chosen->is_leaf() && reachable(*chosen, menu)) chosen->Click();
}

void Form::refresh() { app_.host().repaint(*this); }

Control* Form::focused() const {
    // The focused control may have been unloaded since.
    if (!focused_) return nullptr;
    std::vector<const Container*> stack{this};
    while (!stack.empty()) {
        const Container* k = stack.back();
        stack.pop_back();
        for (auto* c : k->children()) {
            if (c == focused_) return focused_;
            if (auto* sub = dynamic_cast<const Container*>(c)) stack.push_back(sub);
        }
    }
    return nullptr;
}

void Form::user_key_down(int key, int shift) {
    App::Dispatch scope(app_);
    if (key_preview_) KeyDown(key, shift);
    if (!loaded()) return;
    if (focused() && focused_key_) {
        auto deliver = focused_key_;
        deliver(key, shift);
    } else if (!key_preview_) {
        KeyDown(key, shift);
    }
}

void Form::user_mouse_move(int button, int shift, double x, double y) {
    App::Dispatch scope(app_);
    MouseMove(button, shift, x, y);
}

void Form::user_resize(double width, double height) {
    App::Dispatch scope(app_);
    set_width(width);
    set_height(height);
    Resize();
}

void Form::user_activate() {
    if (!loaded() || !visible()) return;
    App::Dispatch scope(app_);
    Form_Activate();
}

}  // namespace platform

namespace platform {

void Form::wire_drags(Control& c) {
    if (auto* list = dynamic_cast<ListBox*>(&c); list && !list->drag_hook)
        list->drag_hook = [this](ListBox& source) { run_ole_drag(source); };
    if (auto* k = dynamic_cast<Container*>(&c))
        for (auto* child : k->children()) wire_drags(*child);
}

void Form::run_ole_drag(ListBox& source) {
    DataObject data;
    int allowed = 1;  // copy
    source.OLEStartDrag(data, allowed);
    auto target = app_.host().drag(source, data);
    if (!target || !target->control) return;
    int effect = 1;
    if (auto* list = dynamic_cast<ListBox*>(target->control))
        list->OLEDragDrop(data, effect, target->button, target->shift, target->x, target->y);
    else if (auto* pic = dynamic_cast<PictureBox*>(target->control))
        pic->OLEDragDrop(data, effect, target->button, target->shift, target->x, target->y);
}

}  // namespace platform
