// Picture boxes, images and shapes are painted from the model and take the drags this program starts.
#include "frontend/widgets/paint.hpp"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <algorithm>
#include <type_traits>

#include "frontend/qt_host.hpp"
#include "frontend/widgets/base.hpp"
#include "frontend/widgets/drop.hpp"
#include "platform/controls.hpp"

namespace frontend {

using platform::Prop;

namespace {

void paint_picture_op(QPainter& g, WidgetContext& m, const platform::PaintOp& op) {
    if (!op.picture) return;
    QImage img = m.image_of(op.picture);
    if (img.isNull()) return;
    const int t = m.tpp();
    if (op.source) {
        // The source rectangle is in the (unturned) picture's twips.
        QRect src(px(op.source->x, t), px(op.source->y, t), px(op.source->width, t), px(op.source->height, t));
        img = img.copy(src.normalized());
    }
    if (op.quarter_turn_cw) img = img.transformed(QTransform().rotate(90));
    QRectF dst(op.x / t, op.y / t, op.width / t, op.height / t);
    g.drawImage(dst.normalized(), img);
}

template <class C>
class PaintW : public QWidget {
public:
    PaintW(WidgetContext& m, C& c, QWidget* parent) : QWidget(parent), l(m, c) {
        if constexpr (requires { c.MouseMove; }) setMouseTracking(bool(c.MouseMove));
        if constexpr (requires { c.OLEDragDrop; }) setAcceptDrops(bool(c.OLEDragDrop));
    }
    Link<C> l;
    Mouse<C> mouse;

protected:
    void paintEvent(QPaintEvent*) override {
        if (!l.c) return;
        QPainter g(this);
        C& c = *l.c;
        if constexpr (std::is_same_v<C, platform::Shape>) {
            g.setRenderHint(QPainter::Antialiasing);
            g.setPen(QPen(qcolor(c.border_color()), 1));
            QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
            using K = platform::ShapeKind;
            if (c.shape() == K::Square || c.shape() == K::Circle || c.shape() == K::RoundedSquare) {
                const double side = std::min(r.width(), r.height());
                r = QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
            }
            switch (c.shape()) {
            case K::Oval: case K::Circle: g.drawEllipse(r); break;
            case K::RoundedRectangle: case K::RoundedSquare: g.drawRoundedRect(r, 6, 6); break;
            default: g.drawRect(r); break;
            }
        } else {
            if constexpr (std::is_same_v<C, platform::PictureBox>) g.fillRect(rect(), qcolor(c.back_color()));
            if (c.picture()) {
                QImage img = l.m.image_of(c.picture());
                // A picture that serves as a button has no look of its own for "out of reach".
                if constexpr (std::is_same_v<C, platform::Image>) {
                    if (!c.enabled()) {
                        img = img.convertToFormat(QImage::Format_Grayscale8);
                        g.setOpacity(0.45);
                    }
                }
                g.drawImage(QPoint(0, 0), img);
                g.setOpacity(1.0);
            }
            if constexpr (requires { c.display_list(); })
                for (const auto& op : c.display_list()) paint_picture_op(g, l.m, op);
        }
    }
    void mousePressEvent(QMouseEvent* e) override {
        if constexpr (!std::is_same_v<C, platform::Shape>) mouse.press(l, e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if constexpr (!std::is_same_v<C, platform::Shape>) mouse.release(l, *this, e);
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        // These controls have no DblClick: the second press is a press.
        if constexpr (!std::is_same_v<C, platform::Shape>) mouse.press(l, e);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if constexpr (!std::is_same_v<C, platform::Shape>) mouse.moved(l, e);
    }
    void dragEnterEvent(QDragEnterEvent* e) override { accept_own_drag(l, e); }
    void dragMoveEvent(QDragMoveEvent* e) override { accept_own_drag(l, e); }
    void dropEvent(QDropEvent* e) override { take_own_drop(l, e); }
};

}  // namespace

void build_picture_box(WidgetContext& m, Binding& entry, platform::PictureBox* x, QWidget* parent) {
    auto* w = new PaintW<platform::PictureBox>(m, *x, parent);
    bind(m, entry, w, *x, Roles::None, [w](Prop) { w->update(); });
}

void build_image(WidgetContext& m, Binding& entry, platform::Image* x, QWidget* parent) {
    auto* w = new PaintW<platform::Image>(m, *x, parent);
    w->setAttribute(Qt::WA_TranslucentBackground);
    bind(m, entry, w, *x, Roles::None, [w](Prop) { w->update(); });
}

void build_shape(WidgetContext& m, Binding& entry, platform::Shape* x, QWidget* parent) {
    auto* w = new PaintW<platform::Shape>(m, *x, parent);
    w->setAttribute(Qt::WA_TransparentForMouseEvents);
    bind(m, entry, w, *x, Roles::None, [w](Prop) { w->update(); });
}

}  // namespace frontend
