// Buttons' widgets: a click goes to the model, which decides the checked state rather than Qt.
#include "frontend/widgets/button.hpp"

#include <QAbstractButton>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

#include "frontend/widgets/base.hpp"
#include "platform/controls.hpp"

namespace frontend {

using platform::Prop;

namespace {

template <class Base, class C>
class ButtonW : public ControlW<Base, C> {
public:
    using ControlW<Base, C>::l;
    ButtonW(WidgetContext& m, C& c, QWidget* parent) : ControlW<Base, C>(m, c, parent) {
        QObject::connect(this, &QAbstractButton::clicked, [this] {
            l.act([](C& c) { c.user_click(); });
            // The model decides the state; Qt's own toggle is undone.
            if (l.c && on_click) on_click();
        });
    }
    std::function<void()> on_click;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        deliver_key(l, e);
        Base::keyPressEvent(e);
        e->accept();  // delivered once, not again by the window
    }
};

}  // namespace

void build_check_box(WidgetContext& m, Binding& entry, platform::CheckBox* x, QWidget* parent) {
    auto* w = new ButtonW<QCheckBox, platform::CheckBox>(m, *x, parent);
    w->setTristate(true);
    auto value = [w, x] {
        QSignalBlocker block(w);
        w->setCheckState(x->value() == 1 ? Qt::Checked : x->value() == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
    };
    w->on_click = value;
    bind(m, entry, w, *x, Roles::Window, [w, x, value](Prop p) {
        if (p == Prop::Other || p == Prop::Caption) w->setText(qcaption(x->caption()));
        if (p == Prop::Other || p == Prop::Value) value();
    });
}

void build_option_button(WidgetContext& m, Binding& entry, platform::OptionButton* x, QWidget* parent) {
    auto* w = new ButtonW<QRadioButton, platform::OptionButton>(m, *x, parent);
    w->setAutoExclusive(false);
    auto value = [w, x] {
        QSignalBlocker block(w);
        w->setChecked(x->value());
    };
    w->on_click = value;
    bind(m, entry, w, *x, Roles::Window, [w, x, value](Prop p) {
        if (p == Prop::Other || p == Prop::Caption) w->setText(qcaption(x->caption()));
        if (p == Prop::Other || p == Prop::Value) value();
    });
}

void build_command_button(WidgetContext& m, Binding& entry, platform::CommandButton* x, QWidget* parent) {
    auto* w = new ButtonW<QPushButton, platform::CommandButton>(m, *x, parent);
    w->setAutoDefault(false);
    bind(m, entry, w, *x, Roles::Button, [w, x](Prop p) {
        if (p == Prop::Other || p == Prop::Caption) w->setText(qcaption(x->caption()));
    });
}

}  // namespace frontend
