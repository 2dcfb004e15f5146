// The combo box's widget: the person's choice goes to the model, which decides what is shown.
#include "frontend/widgets/combo.hpp"

#include <QComboBox>
#include <vector>

#include "frontend/widgets/base.hpp"
#include "platform/controls.hpp"

namespace frontend {

using platform::Prop;

namespace {

class ComboW : public ControlW<QComboBox, platform::ComboBox> {
public:
    ComboW(WidgetContext& m, platform::ComboBox& c, QWidget* parent) : ControlW(m, c, parent) {
        connect(this, &QComboBox::activated, [this](int i) {
            l.act([i](platform::ComboBox& c) { c.user_select(i); });
            if (l.c) sync(*l.c, Prop::ListIndex);
        });
    }
    std::vector<std::string> shown;

    void sync(platform::ComboBox& c, Prop p) {
        QSignalBlocker block(this);
        if (p == Prop::Other || p == Prop::Items) {
            if (shown != c.items()) {
                clear();
                for (const auto& s : c.items()) addItem(qstr(s));
                shown = c.items();
            }
        }
        setCurrentIndex(c.list_index());
    }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        deliver_key(l, e);
        QComboBox::keyPressEvent(e);
        e->accept();  // delivered once, not again by the window
    }
};

}  // namespace

void build_combo_box(WidgetContext& m, Binding& entry, platform::ComboBox* x, QWidget* parent) {
    auto* w = new ComboW(m, *x, parent);
    bind(m, entry, w, *x, Roles::Input, [w, x](Prop p) { w->sync(*x, p); });
}

}  // namespace frontend
