// A frame's widget hides what lies under it, as the designed windows expect.
#include "frontend/widgets/frame.hpp"

#include <QGroupBox>

#include "frontend/widgets/base.hpp"
#include "platform/controls.hpp"

namespace frontend {

using platform::Prop;

void build_frame(WidgetContext& m, Binding& entry, platform::Frame* x, QWidget* parent) {
    auto* w = new QGroupBox(parent);
    entry.widget = w;
    QPointer<QWidget> guard(w);
    entry.apply = [&m, guard, w, x](Prop p) {
        if (!guard) return;
        apply_common(m, *w, *x, p, Roles::Window);
        // A frame hides what lies under it, in the desktop's colour unless it has its own.
        w->setAutoFillBackground(true);
        if (p == Prop::Other || p == Prop::Caption) w->setTitle(qcaption(x->caption()));
    };
}

}  // namespace frontend
