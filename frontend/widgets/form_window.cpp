// A form's top-level window: the menu bar over the client area, in the frame that the model's sizes include.
#include "frontend/widgets/form_window.hpp"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QWindow>

#include "frontend/convert.hpp"
#include "frontend/widgets/base.hpp"
#include "frontend/widgets/context.hpp"
#include "platform/app.hpp"

namespace frontend {

using platform::Prop;

namespace {

// Qt's decorations differ from the platform's; the model's form sizes include a frame and a
// caption of these sizes, so that the designed client area is what the controls get.
constexpr int kFrameWidthPx = 8;
constexpr int kFrameHeightPx = 27;

// Whether a window of the program is on the screen; a zero-size one is no window to a person.
bool any_window_shown(const platform::App& app) {
    for (const platform::Form* f : app.forms())
        if (f->loaded() && f->visible() && f->width() > 0 && f->height() > 0) return true;
    return false;
}

bool any_form_loaded(const platform::App& app) {
    for (const platform::Form* f : app.forms())
        if (f->loaded()) return true;
    return false;
}

}  // namespace

void ClientArea::mouseMoveEvent(QMouseEvent* e) {
    if (!f_ || !m_.alive(f_)) return;
    platform::Form* f = f_;
    const int b = buttons_mask(e->buttons()), s = shift_of(e->modifiers());
    const double x = twips(e->position().x(), m_.tpp()), y = twips(e->position().y(), m_.tpp());
    m_.deliver([=] { f->user_mouse_move(b, s, x, y); });
}

void FormWindow::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    layout_inside();
    if (!f_ || m_.applying || !e->spontaneous()) return;
    platform::Form* f = f_;
    const int t = m_.tpp();
    const int fw = framed() ? kFrameWidthPx : 0, fh = framed() ? kFrameHeightPx : 0;
    const double w = twips(width() + fw, t), h = twips(height() + fh, t);
    m_.deliver([=] { f->user_resize(w, h); });
}

void FormWindow::moveEvent(QMoveEvent* e) {
    QWidget::moveEvent(e);
    if (!f_ || m_.applying || !e->spontaneous()) return;
    platform::Form* f = f_;
    const QPoint at = frameGeometry().topLeft();
    const int t = m_.tpp();
    m_.deliver([=] { f->move(twips(at.x(), t), twips(at.y(), t)); });
}

void FormWindow::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() != QEvent::ActivationChange || !f_ || !isActiveWindow()) return;
    platform::Form* f = f_;
    m_.deliver([f] { f->user_activate(); });
}

void FormWindow::closeEvent(QCloseEvent* e) {
    // The model decides: an unloaded form takes its window with it.
    e->ignore();
    if (!f_) return;
    platform::Form* f = f_;
    platform::App* app = &m_.app();
    m_.deliver([f, app] {
        f->unload();
        // A program whose last window the person closed must not run on unseen, holding
        // hidden windows (a later start would then meet it as "already running").
        if (!any_window_shown(*app) && any_form_loaded(*app)) app->end();
    });
}

void FormWindow::keyPressEvent(QKeyEvent* e) {
    if (!f_) return;
    platform::Form* f = f_;
    const int vk = vk_of(*e), s = shift_of(e->modifiers());
    if (vk) m_.deliver([=] { f->user_key_down(vk, s); });
    e->accept();
}

void apply_form_window(WidgetContext& m, FormWindow* w, platform::Form& f, Prop p) {
    const int t = m.tpp();
    const bool all = p == Prop::Other;
    if (all) {
        Qt::WindowFlags flags = Qt::Window;
        switch (f.border_style()) {
        case platform::BorderStyle::None: flags |= Qt::FramelessWindowHint; break;
        case platform::BorderStyle::FixedToolWindow:
        case platform::BorderStyle::SizableToolWindow: flags |= Qt::Tool; break;
        case platform::BorderStyle::FixedDialog: flags |= Qt::Dialog; break;
        default: break;
        }
        if (w->windowFlags() & Qt::WindowStaysOnTopHint) flags |= Qt::WindowStaysOnTopHint;
        if ((w->windowFlags() & ~Qt::WindowStaysOnTopHint) != flags) w->setWindowFlags(flags);
    }
    if (all || p == Prop::Caption) w->setWindowTitle(qstr(f.caption()));
    if (all || p == Prop::Left || p == Prop::Top || p == Prop::Width || p == Prop::Height) {
        const int fw = w->framed() ? kFrameWidthPx : 0, fh = w->framed() ? kFrameHeightPx : 0;
        const QSize size(std::max(1, px(f.width(), t) - fw), std::max(1, px(f.height(), t) - fh));
        w->move(px(f.left(), t), px(f.top(), t));
        const bool fixed = f.border_style() != platform::BorderStyle::Sizable &&
                           f.border_style() != platform::BorderStyle::SizableToolWindow;
        if (fixed) w->setFixedSize(size);
        else {
            w->setMinimumSize(0, 0);
            w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            w->resize(size);
        }
        w->layout_inside();
    }
    if (all || p == Prop::ForeColor || p == Prop::BackColor) apply_colors(*w->client, f, Roles::Window);
    if (all || p == Prop::FontName || p == Prop::FontBold || p == Prop::FontSize) w->setFont(font_of(f));
    if (all || p == Prop::Visible) {
        if (f.visible()) {
            // A window shown with an owner stays in front of it.
            if (auto* owner = f.owner() ? m.widget(*f.owner()) : nullptr) {
                w->winId();
                if (QWindow* handle = w->windowHandle()) handle->setTransientParent(owner->window()->windowHandle());
            }
            switch (f.window_state()) {
            case platform::WindowState::Minimized: w->showMinimized(); break;
            case platform::WindowState::Maximized: w->showMaximized(); break;
            default: w->show(); break;
            }
        } else {
            w->hide();
        }
    }
    if (p == Prop::ZOrder && f.visible()) {
        w->raise();
        w->activateWindow();
    }
}

}  // namespace frontend
