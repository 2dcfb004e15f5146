#pragma once
// Windows: the form's life from load to destruction, and the slot that loads a form the first
// time it is touched.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/app.hpp"
#include "platform/control.hpp"
#include "platform/event.hpp"
#include "platform/host.hpp"

namespace platform {

class Menu;
class FormSlotBase;

enum class BorderStyle { None, FixedSingle, Sizable, FixedDialog, FixedToolWindow, SizableToolWindow };
enum class WindowState { Normal, Minimized, Maximized };
// Where a form first shows: where it was put, or centred on the owner it is first shown with.
enum class StartUpPosition { Manual, CenterOwner };

// A form is built in its design state by its constructor (controls as members, handlers wired
// there) and hidden. load() then runs Form_Load. Left/Top/Width/Height are screen twips.
class Form : public Container {
public:
    Form(App& app, std::string name);
    ~Form() override;

    const char* type_name() const override { return "Form"; }
    App& app() const { return app_; }

    // Runs Form_Load once; further calls do nothing.
    void load();
    bool loaded() const { return state_ == State::Loading || state_ == State::Loaded; }

    // Modeless; loads first. An open window is shown again and brought forward.
    void show(Form* owner = nullptr);
    // Loads first, like any touch.
    void hide();
    void set_visible(bool v) override;

    // Form_Unload (which may cancel), then the form is hidden, its timers stop, Form_Terminate
    // runs, and a form held by a slot is released: the next touch loads a fresh one. Returns
    // false when cancelled.
    bool unload();

    const std::string& caption() const { return caption_; }
    void set_caption(std::string c);
    BorderStyle border_style() const { return border_style_; }
    void set_border_style(BorderStyle b);
    WindowState window_state() const { return window_state_; }
    void set_window_state(WindowState s);
    StartUpPosition start_up_position() const { return start_up_position_; }
    void set_start_up_position(StartUpPosition p) { start_up_position_ = p; }
    // Moves the form over the middle of `other`, never off the screen's top-left corner.
    void centre_on(const Form& other);
    bool key_preview() const { return key_preview_; }
    void set_key_preview(bool k) { key_preview_ = k; }

    Form* owner() const { return owner_; }
    // Identity of the window, unique within the App (a reloaded form is a new window).
    std::uint64_t hwnd() const { return hwnd_; }

    // The top-level menus of the menu bar (hidden ones included), in order.
    std::vector<Menu*> menu_bar() const;

    // A disabled menu does not open. Otherwise its Click fires, the host shows it, and the
    // chosen item's Click runs before this returns.
    void popup_menu(Menu& menu, std::optional<PointTw> at = std::nullopt);

    // Repaints at once.
    void refresh();

    Event<int /*key*/, int /*shift*/> KeyDown;
    Event<int /*button*/, int /*shift*/, double /*x*/, double /*y*/> MouseMove;
    Event<> Resize;

    // Keyboard focus, as the front end reports it; keys go to the focused control.
    template <class T>
    void set_focus(T& c) {
        focused_ = &c;
        if constexpr (requires { c.user_key_down(0, 0); })
            focused_key_ = [&c](int k, int s) { c.user_key_down(k, s); };
        else if constexpr (requires { c.user_key_down(0); })
            focused_key_ = [&c](int k, int) { c.user_key_down(k); };
        else
            focused_key_ = nullptr;
    }
    void clear_focus() {
        focused_ = nullptr;
        focused_key_ = nullptr;
    }
    Control* focused() const;

    // A key pressed by the user: the form's KeyDown first when KeyPreview is on, then the
    // focused control's.
    void user_key_down(int key, int shift);
    void user_mouse_move(int button, int shift, double x, double y);
    void user_resize(double width, double height);
    // The window has become the one the user works in, as the front end reports it.
    void user_activate();

protected:
    virtual void Form_Load() {}
    virtual void Form_Unload(bool& /*cancel*/) {}
    virtual void Form_Terminate() {}
    virtual void Form_Activate() {}

private:
    template <class T>
    friend class FormSlot;
    enum class State { Designed, Loading, Loaded, Unloaded };
    void stop_timers(Control& c);
    // Gives every list box on the form the modal drag of the platform: OLEStartDrag on the
    // source, the host's drag, then the target's OLEDragDrop, all before the drag call returns.
    void wire_drags(Control& c);
    void run_ole_drag(class ListBox& source);

    App& app_;
    State state_ = State::Designed;
    bool unloading_ = false;
    bool released_ = false;  // given up by its slot, waiting to be destroyed
    FormSlotBase* slot_ = nullptr;
    std::string caption_;
    BorderStyle border_style_ = BorderStyle::Sizable;
    WindowState window_state_ = WindowState::Normal;
    bool key_preview_ = false;
    StartUpPosition start_up_position_ = StartUpPosition::Manual;
    bool shown_once_ = false;
    Form* owner_ = nullptr;
    std::uint64_t hwnd_;
    Control* focused_ = nullptr;
    std::function<void(int, int)> focused_key_;
    friend class App;
};

class FormSlotBase {
public:
    virtual ~FormSlotBase() = default;

protected:
    friend class Form;
    // Gives up the form, which has just unloaded.
    virtual std::unique_ptr<Form> release() = 0;
};

// The form's auto-instance: touching it loads the form; unloading empties it, and the next
// touch builds a fresh form in its design state.
template <class T>
class FormSlot final : public FormSlotBase {
public:
    using Factory = std::function<std::unique_ptr<T>()>;
    explicit FormSlot(Factory factory) : factory_(std::move(factory)) {}
    ~FormSlot() override = default;
    FormSlot(const FormSlot&) = delete;
    FormSlot& operator=(const FormSlot&) = delete;

    // Loads on first touch. A form that unloads itself during its load is still returned; it
    // stays alive until dispatch unwinds.
    T& get() {
        if (form_) return *form_;
        form_ = factory_();
        T* f = form_.get();
        f->slot_ = this;
        f->load();
        return *f;
    }
    T& operator()() { return get(); }
    T* operator->() { return &get(); }

    bool loaded() const { return form_ != nullptr; }
    // The form if loaded, without loading it.
    T* peek() const { return form_.get(); }
    // Nothing to do when not loaded. False when the form cancelled.
    bool unload() { return form_ ? form_->unload() : true; }

private:
    std::unique_ptr<Form> release() override { return std::unique_ptr<Form>(form_.release()); }
    Factory factory_;
    std::unique_ptr<T> form_;
};

}  // namespace platform
