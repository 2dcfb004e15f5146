// A label's own widget: its caption wraps, and its font shrinks where this desktop's fonts would not fit.
#include "frontend/widgets/label.hpp"

#include <QFontMetricsF>
#include <QLabel>
#include <QRegularExpression>
#include <algorithm>

#include "frontend/widgets/base.hpp"
#include "platform/controls.hpp"

namespace frontend {

using platform::Prop;

namespace {

class LabelW : public QLabel {
public:
    LabelW(WidgetContext& m, platform::Label& c, QWidget* parent) : QLabel(parent), l(m, c) {
        setTextFormat(Qt::PlainText);
        setWordWrap(true);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setMouseTracking(bool(c.MouseMove));
    }
    Link<platform::Label> l;
    Mouse<platform::Label> mouse;

    // This desktop's fonts are not the designed ones and are often wider: a word that would
    // not fit the label's width, or lines that would not fit its height, get a smaller font
    // rather than being cut off. A label one line high has no second line to wrap into: there
    // the whole caption, and the line's height, must fit.
    void fit(const QFont& designed) {
        QFont f = designed;
        const QRect room = contentsRect();
        if (room.width() > 0 && f.pointSizeF() > 0) {
            const bool one_line = room.height() < 2 * QFontMetricsF(designed).lineSpacing();
            const double size = f.pointSizeF();
            for (double scale = 1.0; scale > 0.55; scale -= 0.05) {
                f.setPointSizeF(size * scale);
                const QFontMetricsF fm(f);
                if (!one_line && widest_word(f) <= room.width() &&
                    fm.boundingRect(QRectF(0, 0, room.width(), 1e6), Qt::TextWordWrap, text()).height() <=
                        room.height() + 1)
                    break;
                if (one_line && fm.horizontalAdvance(text()) <= room.width() && fm.height() <= room.height() + 1) break;
            }
        }
        if (font() != f) setFont(f);
    }

private:
    double widest_word(const QFont& f) const {
        const QFontMetricsF fm(f);
        double widest = 0;
        for (const QString& word : text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
            widest = std::max(widest, fm.horizontalAdvance(word));
        return widest;
    }

protected:
    void mousePressEvent(QMouseEvent* e) override { mouse.press(l, e); }
    void mouseReleaseEvent(QMouseEvent* e) override { mouse.release(l, *this, e); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { mouse.double_click(l, e); }
    void mouseMoveEvent(QMouseEvent* e) override { mouse.moved(l, e); }
};

}  // namespace

void build_label(WidgetContext& m, Binding& entry, platform::Label* x, QWidget* parent) {
    auto* w = new LabelW(m, *x, parent);
    bind(m, entry, w, *x, Roles::Window, [w, x](Prop p) {
        if (p == Prop::Other || p == Prop::Caption) w->setText(qcaption(x->caption()));
        if (p == Prop::Other || p == Prop::TextFormat) {
            const auto a = x->alignment();
            const Qt::Alignment h = a == platform::Label::Alignment::Right    ? Qt::AlignRight
                                    : a == platform::Label::Alignment::Center ? Qt::AlignHCenter
                                                                              : Qt::AlignLeft;
            w->setAlignment(h | Qt::AlignTop);
        }
        if (p == Prop::Other || p == Prop::BackColor) {
            if (x->transparent()) w->setAutoFillBackground(false);
        }
        if (p == Prop::Other || p == Prop::Caption || p == Prop::Width || p == Prop::Height ||
            p == Prop::FontName || p == Prop::FontBold || p == Prop::FontSize)
            w->fit(font_of(*x));
    });
}

}  // namespace frontend
