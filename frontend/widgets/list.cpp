// List boxes' widgets splice only the changed items and take the drags this program starts.
#include "frontend/widgets/list.hpp"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <QScrollBar>
#include <algorithm>
#include <vector>

#include "frontend/qt_host.hpp"
#include "frontend/widgets/base.hpp"
#include "frontend/widgets/drop.hpp"
#include "platform/controls.hpp"

namespace frontend {

using platform::Prop;

namespace {

// Replaces only the items that differ from what is shown.
void splice_items(QListWidget& w, std::vector<std::string>& shown, const std::vector<std::string>& items,
                  int row_px) {
    std::size_t p = 0;
    while (p < shown.size() && p < items.size() && shown[p] == items[p]) ++p;
    std::size_t q = 0;
    while (q < shown.size() - p && q < items.size() - p &&
           shown[shown.size() - 1 - q] == items[items.size() - 1 - q])
        ++q;
    for (std::size_t k = shown.size() - q; k > p; --k) delete w.takeItem(static_cast<int>(k - 1));
    for (std::size_t k = p; k < items.size() - q; ++k) {
        auto* it = new QListWidgetItem(qstr(items[k]));
        it->setSizeHint(QSize(0, row_px));
        w.insertItem(static_cast<int>(k), it);
    }
    // The same splice on the copy: copying the whole list per added item would make filling
    // a long list quadratic.
    const auto from = static_cast<std::ptrdiff_t>(p);
    shown.erase(shown.begin() + from, shown.end() - static_cast<std::ptrdiff_t>(q));
    shown.insert(shown.begin() + from, items.begin() + from, items.end() - static_cast<std::ptrdiff_t>(q));
}

template <class C>
class ListW : public QListWidget {
public:
    ListW(WidgetContext& m, C& c, QWidget* parent) : QListWidget(parent), l(m, c) {
        setUniformItemSizes(true);
        setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
        setSelectionMode(QAbstractItemView::SingleSelection);
        setMouseTracking(bool(c.MouseMove));
        if constexpr (requires { c.OLEDragDrop; }) setAcceptDrops(bool(c.OLEDragDrop));
        connect(verticalScrollBar(), &QScrollBar::valueChanged, [this](int v) {
            if (l.m.applying) return;
            if constexpr (requires { l.c->set_top_index(0); })
                l.act([v](C& c) { c.set_top_index(v); });
        });
    }
    Link<C> l;
    Mouse<C> mouse;
    std::vector<std::string> shown;

    void sync(C& c, Prop p) {
        const int row_px = std::max(1, platform::ListBox::item_height_twips / std::max(1, l.m.tpp()));
        const bool all = p == Prop::Other;
        if (all || p == Prop::Items) splice_items(*this, shown, c.items(), row_px);
        if ((all || p == Prop::Items || p == Prop::ListIndex) && currentRow() != c.list_index()) {
            QSignalBlocker block(this);
            if (c.list_index() < 0) {
                clearSelection();
                setCurrentRow(-1);
            } else {
                setCurrentRow(c.list_index());
            }
        }
        if constexpr (requires { c.top_index(); }) {
            if ((all || p == Prop::Items || p == Prop::TopIndex) && verticalScrollBar()->value() != c.top_index())
                verticalScrollBar()->setValue(c.top_index());
        }
    }

protected:
    int row_at(C& c, double y_twips) {
        if constexpr (requires { c.index_at(0.0); }) return c.index_at(y_twips);
        QListWidgetItem* it = itemAt(QPoint(1, static_cast<int>(y_twips / l.m.tpp())));
        return it ? row(it) : -1;
    }
    static void select(C& c, int r) {
        if (r < 0 || r >= c.list_count() || !platform::accepts_input(c)) return;
        if (c.list_index() != r) c.set_list_index(r);  // Click on change
        else c.Click();                                // a user's choice clicks again
    }

    void mousePressEvent(QMouseEvent* e) override {
        setFocus(Qt::MouseFocusReason);
        press_at_ = e->position().toPoint();
        drag_started_ = false;
        mouse.press(l, e);
        if (e->button() == Qt::LeftButton) {
            const double y = l.tw(e->position().y());
            l.act([this, y](C& c) { select(c, row_at(c, y)); });
        }
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        // The selection's Click came with the press.
        const int b = button_of(e->button());
        if (!b) return;
        const int s = shift_of(e->modifiers());
        const double x = l.tw(e->position().x()), y = l.tw(e->position().y());
        mouse.after_double = false;
        l.act([=](C& c) { Mouse<C>::up(c, b, s, x, y); });
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override { mouse.double_click(l, e); }
    void mouseMoveEvent(QMouseEvent* e) override {
        if constexpr (requires { l.c->user_drag(); }) {
            if ((e->buttons() & Qt::LeftButton) && !drag_started_ && l.c && l.c->ole_drag_automatic() &&
                (e->position().toPoint() - press_at_).manhattanLength() >= QApplication::startDragDistance()) {
                drag_started_ = true;
                l.act([](C& c) { c.user_drag(); });
                return;
            }
        }
        mouse.moved(l, e);
    }
    void keyPressEvent(QKeyEvent* e) override {
        deliver_key(l, e);
        const int key = e->key();
        l.act([key](C& c) {
            int r = c.list_index();
            const int n = c.list_count();
            if (n == 0) return;
            switch (key) {
            case Qt::Key_Up: r = std::max(0, r - 1); break;
            case Qt::Key_Down: r = std::min(n - 1, r + 1); break;
            case Qt::Key_Home: r = 0; break;
            case Qt::Key_End: r = n - 1; break;
            default: return;
            }
            if (r != c.list_index() && platform::accepts_input(c)) c.set_list_index(r);
        });
        e->accept();
    }
    // A list's control is a template parameter, so it keeps its own focus relay rather than
    // reaching every QListWidget member through a dependent base.
    void focusInEvent(QFocusEvent* e) override {
        QListWidget::focusInEvent(e);
        deliver_focus_in(l);
    }
    void dragEnterEvent(QDragEnterEvent* e) override { accept_own_drag(l, e); }
    void dragMoveEvent(QDragMoveEvent* e) override { accept_own_drag(l, e); }
    void dropEvent(QDropEvent* e) override { take_own_drop(l, e); }

private:
    QPoint press_at_;
    bool drag_started_ = false;
};

}  // namespace

void build_list_box(WidgetContext& m, Binding& entry, platform::ListBox* x, QWidget* parent) {
    auto* w = new ListW<platform::ListBox>(m, *x, parent);
    bind(m, entry, w, *x, Roles::Input, [w, x](Prop p) {
        w->sync(*x, p);
        if (p == Prop::Other) w->setAcceptDrops(bool(x->OLEDragDrop));
    });
}

void build_file_list(WidgetContext& m, Binding& entry, platform::FileListBox* x, QWidget* parent) {
    auto* w = new ListW<platform::FileListBox>(m, *x, parent);
    bind(m, entry, w, *x, Roles::Input, [w, x](Prop p) {
        w->sync(*x, p == Prop::Text ? Prop::Items : p);
    });
}

}  // namespace frontend
