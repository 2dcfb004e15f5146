#pragma once
// The parts every mirrored widget shares, so that each widget family's file holds only its own kind.
#include <QFocusEvent>
#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <string>

#include "frontend/convert.hpp"
#include "frontend/widgets/context.hpp"
#include "platform/control.hpp"
#include "platform/controls.hpp"
#include "platform/form.hpp"

namespace frontend {

// The mime type that marks a drag as one of ours.
const char* const kDragMime = "application/x-tablewright-drag";

platform::Form* form_above(const platform::Control& c);

// Which palette roles a widget's ForeColor and BackColor go to.
enum class Roles { Window, Input, Button, None };

void apply_colors(QWidget& w, const platform::Control& c, Roles roles);
QFont font_of(const platform::Control& c);

// Labels, images and shapes are drawn on their container, under every control that is a window
// of its own (the designed windows rely on it: a text box shown over a label hides it). Among
// themselves, and among the others, the model's order holds.
bool graphical(const platform::Control& c);

constexpr const char* kGraphical = "tw_graphical";

// Raised within its layer: a graphical control to just under the windowed ones.
void raise_in_layer(QWidget& w);

void apply_common(WidgetContext& m, QWidget& w, platform::Control& c, platform::Prop p, Roles roles);

template <class C>
struct Link {
    WidgetContext& m;
    C* c;
    Link(WidgetContext& mirror, C& control) : m(mirror), c(&control) {}

    template <class F>
    void act(F f) {
        if (!c || !m.alive(c)) return;
        C* ctl = c;
        m.deliver([ctl, f] { f(*ctl); });
    }
    double tw(double pixels) const { return twips(pixels, m.tpp()); }
};

template <class C>
void deliver_key(Link<C>& l, QKeyEvent* e) {
    const int vk = vk_of(*e);
    const int shift = shift_of(e->modifiers());
    l.act([vk, shift, e](C& c) {
        platform::Form* f = form_above(c);
        if (vk && f) f->user_key_down(vk, shift);
        if constexpr (requires { c.user_key_press(0); }) {
            // Characters cp1252 cannot spell are not typed.
            const QString text = e->text();
            const std::string typed = ansi(text);
            if (text.size() == 1 && typed.size() == 1 && (typed != "?" || text == "?") && typed[0] != 0x7F)
                c.user_key_press(static_cast<unsigned char>(typed[0]));
        }
    });
}

template <class C>
void deliver_focus_in(Link<C>& l) {
    l.act([](C& c) {
        if (platform::Form* f = form_above(c)) f->set_focus(c);
        if constexpr (requires { c.user_got_focus(); }) c.user_got_focus();
    });
}

template <class C>
void deliver_focus_out(Link<C>& l) {
    l.act([](C& c) {
        if constexpr (requires { c.user_lost_focus(); }) c.user_lost_focus();
    });
}

// A widget that shows the control C: the control's focus reaches the model the same way,
// whichever Qt widget shows it.
template <class QtBase, class C>
class ControlW : public QtBase {
public:
    ControlW(WidgetContext& m, C& c, QWidget* parent) : QtBase(parent), l(m, c) {}
    Link<C> l;

protected:
    void focusInEvent(QFocusEvent* e) override {
        QtBase::focusInEvent(e);
        deliver_focus_in(l);
    }
    void focusOutEvent(QFocusEvent* e) override {
        QtBase::focusOutEvent(e);
        deliver_focus_out(l);
    }
};

// Press, release, double click and move as the platform raises them: MouseDown on the press;
// Click (for a left press released over the control) and MouseUp on the release; DblClick in
// place of the second press, whose release gives MouseUp only.
template <class C>
struct Mouse {
    bool after_double = false;
    bool pressed_left = false;

    static void down(C& c, int b, int s, double x, double y) {
        if constexpr (requires { c.user_mouse_down(b, s, x, y); }) c.user_mouse_down(b, s, x, y);
        else if (platform::accepts_input(c)) c.MouseDown(b, s, x, y);
    }
    static void up(C& c, int b, int s, double x, double y) {
        if constexpr (requires { c.user_mouse_up(b, s, x, y); }) c.user_mouse_up(b, s, x, y);
        else if (platform::accepts_input(c)) c.MouseUp(b, s, x, y);
    }
    static void move(C& c, int b, int s, double x, double y) {
        if constexpr (requires { c.user_mouse_move(b, s, x, y); }) c.user_mouse_move(b, s, x, y);
        else if (platform::accepts_input(c)) c.MouseMove(b, s, x, y);
    }

    void press(Link<C>& l, QMouseEvent* e) {
        const int b = button_of(e->button());
        if (!b) return;
        const int s = shift_of(e->modifiers());
        const double x = l.tw(e->position().x()), y = l.tw(e->position().y());
        after_double = false;
        pressed_left = b == 1;
        l.act([=](C& c) { down(c, b, s, x, y); });
    }
    void release(Link<C>& l, QWidget& w, QMouseEvent* e) {
        const int b = button_of(e->button());
        if (!b) return;
        const int s = shift_of(e->modifiers());
        const double x = l.tw(e->position().x()), y = l.tw(e->position().y());
        const bool click = b == 1 && pressed_left && !after_double && w.rect().contains(e->position().toPoint());
        after_double = false;
        pressed_left = false;
        l.act([=](C& c) {
            if constexpr (requires { c.Click(); })
                if (click && platform::accepts_input(c)) c.Click();
            up(c, b, s, x, y);
        });
    }
    void double_click(Link<C>& l, QMouseEvent* e) {
        if (e->button() != Qt::LeftButton) return press(l, e);
        after_double = true;
        pressed_left = true;
        l.act([](C& c) {
            if constexpr (requires { c.DblClick(); })
                if (platform::accepts_input(c)) c.DblClick();
        });
    }
    void moved(Link<C>& l, QMouseEvent* e) {
        const int b = buttons_mask(e->buttons());
        const int s = shift_of(e->modifiers());
        const double x = l.tw(e->position().x()), y = l.tw(e->position().y());
        l.act([=](C& c) { move(c, b, s, x, y); });
    }
};

// Binds widget W of control C with its palette roles and its own property handling.
template <class W, class Own>
void bind(WidgetContext& m, Binding& entry, W* w, platform::Control& c, Roles roles, Own own) {
    entry.widget = w;
    QPointer<QWidget> guard(w);
    entry.detach = [guard, w] {
        if (guard) w->l.c = nullptr;
    };
    entry.apply = [&m, guard, w, &c, roles, own](platform::Prop p) {
        if (!guard) return;
        apply_common(m, *w, c, p, roles);
        own(p);
    };
}

}  // namespace frontend
