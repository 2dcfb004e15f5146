// Scroll bars and progress bars are Qt's own widgets, set from the model's range and value.
#include "frontend/widgets/bar.hpp"

#include <QProgressBar>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "frontend/widgets/base.hpp"
#include "platform/controls.hpp"

namespace frontend {

using platform::Prop;

void build_scroll_bar(WidgetContext& m, Binding& entry, platform::HScrollBar* x, QWidget* parent) {
    auto* w = new QScrollBar(Qt::Horizontal, parent);
    entry.widget = w;
    QPointer<QWidget> guard(w);
    auto value = [w, x] {
        QSignalBlocker block(w);
        w->setRange(std::min(x->min(), x->max()), std::max(x->min(), x->max()));
        w->setValue(x->value());
    };
    QObject::connect(w, &QScrollBar::valueChanged, [&m, x, value](int v) {
        if (!m.alive(x)) return;
        m.deliver([x, v] { x->user_scroll(v); });
        if (m.alive(x)) value();
    });
    entry.apply = [&m, guard, w, x, value](Prop p) {
        if (!guard) return;
        apply_common(m, *w, *x, p, Roles::None);
        if (p == Prop::Other || p == Prop::Value) value();
    };
}

void build_progress_bar(WidgetContext& m, Binding& entry, platform::ProgressBar* x, QWidget* parent) {
    auto* w = new QProgressBar(parent);
    w->setTextVisible(false);
    w->setRange(0, 10000);
    entry.widget = w;
    QPointer<QWidget> guard(w);
    entry.apply = [&m, guard, w, x](Prop p) {
        if (!guard) return;
        apply_common(m, *w, *x, p, Roles::None);
        const double span = x->max() - x->min();
        w->setValue(span > 0 ? static_cast<int>(std::lround((x->value() - x->min()) / span * 10000)) : 0);
    };
}

}  // namespace frontend
