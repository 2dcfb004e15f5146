// The shared parts of the mirrored widgets: colours, fonts, the graphical layer and the common properties.
#include "frontend/widgets/base.hpp"

#include <QApplication>
#include <QPalette>
#include <algorithm>

namespace frontend {

using platform::Prop;

platform::Form* form_above(const platform::Control& c) {
    for (const platform::Control* k = &c; k; k = k->parent())
        if (auto* f = dynamic_cast<const platform::Form*>(k)) return const_cast<platform::Form*>(f);
    return nullptr;
}

// White is the model's default back colour; on window-like and button-like widgets it stands
// for the desktop's own colour rather than a design choice.
constexpr platform::Color kDefaultBack = 0xFFFFFF;

void apply_colors(QWidget& w, const platform::Control& c, Roles roles) {
    if (roles == Roles::None) return;
    QPalette pal = w.palette();
    const QColor fore = qcolor(c.fore_color());
    const bool own_back = c.back_color() != kDefaultBack;
    switch (roles) {
    case Roles::Window:
        pal.setColor(QPalette::WindowText, fore);
        pal.setColor(QPalette::Text, fore);
        // Check and option boxes fill with their background role, which is not Window.
        for (QPalette::ColorRole role : {QPalette::Window, w.backgroundRole()})
            pal.setColor(role, own_back ? qcolor(c.back_color()) : QApplication::palette().color(role));
        w.setAutoFillBackground(own_back);
        break;
    case Roles::Input:
        pal.setColor(QPalette::Text, fore);
        pal.setColor(QPalette::Base, qcolor(c.back_color()));
        break;
    case Roles::Button:
        pal.setColor(QPalette::ButtonText, fore);
        pal.setColor(QPalette::WindowText, fore);
        pal.setColor(QPalette::Button,
                     own_back ? qcolor(c.back_color()) : QApplication::palette().color(QPalette::Button));
        break;
    case Roles::None: break;
    }
    // The colours above are set for every state; a disabled control keeps the desktop's disabled
    // text, so that a button out of reach looks it.
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(QPalette::Disabled, role, QApplication::palette().color(QPalette::Disabled, role));
    w.setPalette(pal);
}

QFont font_of(const platform::Control& c) {
    QFont f(qstr(c.font_name()));
    if (c.font_size() > 0) f.setPointSizeF(c.font_size());
    f.setBold(c.font_bold());
    return f;
}

bool graphical(const platform::Control& c) {
    return dynamic_cast<const platform::Label*>(&c) || dynamic_cast<const platform::Image*>(&c) ||
           dynamic_cast<const platform::Shape*>(&c);
}

namespace {

// The lowest sibling that is a window of its own, other than `w`.
QWidget* lowest_windowed(QWidget& w) {
    if (!w.parentWidget()) return nullptr;
    for (QObject* o : w.parentWidget()->children()) {
        auto* k = qobject_cast<QWidget*>(o);
        if (k && k != &w && !k->isWindow() && !k->property(kGraphical).toBool()) return k;
    }
    return nullptr;
}

}  // namespace

void raise_in_layer(QWidget& w) {
    w.raise();
    if (w.property(kGraphical).toBool())
        if (QWidget* under = lowest_windowed(w)) w.stackUnder(under);
}

namespace {

// Lowered within its layer: a windowed control to just over the graphical ones.
void lower_in_layer(QWidget& w) {
    if (w.property(kGraphical).toBool()) {
        w.lower();
        return;
    }
    if (QWidget* under = lowest_windowed(w)) w.stackUnder(under);
    else w.raise();
}

}  // namespace

void apply_common(WidgetContext& m, QWidget& w, platform::Control& c, Prop p, Roles roles) {
    const int t = m.tpp();
    const bool all = p == Prop::Other;
    if (all || p == Prop::Left || p == Prop::Top || p == Prop::Width || p == Prop::Height)
        w.setGeometry(px(c.left(), t), px(c.top(), t), std::max(0, px(c.width(), t)), std::max(0, px(c.height(), t)));
    if (all || p == Prop::Visible) w.setVisible(c.visible());
    if (all || p == Prop::Enabled) w.setEnabled(c.enabled());
    if (all || p == Prop::ForeColor || p == Prop::BackColor) apply_colors(w, c, roles);
    if (all || p == Prop::FontName || p == Prop::FontBold || p == Prop::FontSize) w.setFont(font_of(c));
    if (all || p == Prop::ToolTip) w.setToolTip(qstr(c.tool_tip_text()));
    if (p == Prop::ZOrder && c.parent()) {
        const auto& kids = c.parent()->children();
        if (!kids.empty() && kids.back() == &c) raise_in_layer(w);
        else if (!kids.empty() && kids.front() == &c) lower_in_layer(w);
        else {
            for (auto* k : kids)
                if (auto* kw = m.widget(*k)) raise_in_layer(*kw);
        }
    }
}

}  // namespace frontend
