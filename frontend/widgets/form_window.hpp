#pragma once
// A form's top-level window: the menu bar over the client area, in the frame that the model's sizes include.
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <map>

#include "platform/control.hpp"
#include "platform/form.hpp"

class QCloseEvent;
class QKeyEvent;
class QMouseEvent;
class QMoveEvent;
class QResizeEvent;

namespace platform {
class Menu;
}

namespace frontend {

class WidgetContext;

class ClientArea : public QWidget {
public:
    ClientArea(WidgetContext& m, platform::Form& f, QWidget* parent) : QWidget(parent), m_(m), f_(&f) {}
    WidgetContext& m_;
    platform::Form* f_;

protected:
    void mouseMoveEvent(QMouseEvent* e) override;
};

class FormWindow : public QWidget {
public:
    FormWindow(WidgetContext& m, platform::Form& f) : QWidget(nullptr), m_(m), f_(&f) {
        setAttribute(Qt::WA_DeleteOnClose, false);
        setFocusPolicy(Qt::StrongFocus);
        client = new ClientArea(m, f, this);
        client->setMouseTracking(bool(f.MouseMove));
    }
    WidgetContext& m_;
    platform::Form* f_;
    QMenuBar* bar = nullptr;
    ClientArea* client = nullptr;
    std::map<platform::Menu*, QPointer<QMenu>> menus;

    int bar_height() const { return bar && !bar->isHidden() ? bar->sizeHint().height() : 0; }
    void layout_inside() {
        const int h = bar_height();
        if (bar) bar->setGeometry(0, 0, width(), h);
        client->setGeometry(0, h, width(), std::max(0, height() - h));
    }
    bool framed() const { return f_ && f_->border_style() != platform::BorderStyle::None; }
    void detach() {
        f_ = nullptr;
        client->f_ = nullptr;
    }

protected:
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
};

// Applies a property of the form to its window.
void apply_form_window(WidgetContext& m, FormWindow* w, platform::Form& f, platform::Prop p);

}  // namespace frontend
