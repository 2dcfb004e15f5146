// The grid's widget is a Qt table model that asks only for the cells it shows, so a large grid stays cheap.
#include "frontend/widgets/grid.hpp"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <algorithm>

#include "frontend/widgets/base.hpp"
#include "platform/grid.hpp"

namespace frontend {

using platform::Prop;

namespace {

Qt::Alignment qt_align(platform::Align a, bool number) {
    using A = platform::Align;
    switch (a) {
    case A::LeftTop: return Qt::AlignLeft | Qt::AlignTop;
    case A::LeftCenter: return Qt::AlignLeft | Qt::AlignVCenter;
    case A::LeftBottom: return Qt::AlignLeft | Qt::AlignBottom;
    case A::CenterTop: return Qt::AlignHCenter | Qt::AlignTop;
    case A::CenterCenter: return Qt::AlignCenter;
    case A::CenterBottom: return Qt::AlignHCenter | Qt::AlignBottom;
    case A::RightTop: return Qt::AlignRight | Qt::AlignTop;
    case A::RightCenter: return Qt::AlignRight | Qt::AlignVCenter;
    case A::RightBottom: return Qt::AlignRight | Qt::AlignBottom;
    case A::General: break;
    }
    return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

// The grid's cells as Qt's table model over the platform grid: the view asks only for the cells
// it shows, when it paints them, and the grid's changes arrive as ranges of rows.
class GridModel : public QAbstractTableModel {
public:
    GridModel(Link<platform::Grid>& l, QObject* parent) : QAbstractTableModel(parent), l_(l) {}

    int rowCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& p = {}) const override { return p.isValid() ? 0 : cols_; }

    QVariant data(const QModelIndex& at, int role) const override {
        const platform::Grid* g = grid(at);
        if (!g) return {};
        const int r = at.row(), k = at.column();
        switch (role) {
        case Qt::DisplayRole: return qstr(std::string(g->text_view(r, k)));
        case Qt::TextAlignmentRole: {
            const platform::Align a = g->cell_alignment_at(r, k);
            bool number = false;
            if (a == platform::Align::General) qstr(std::string(g->text_view(r, k))).toDouble(&number);
            return QVariant::fromValue(qt_align(a == platform::Align::General ? g->col_alignment(k) : a, number));
        }
        case Qt::FontRole: return g->cell_bold_at(r, k) ? QVariant(bold_) : QVariant();
        case Qt::BackgroundRole:
            return fixed(*g, r, k) ? QVariant(QBrush(QApplication::palette().color(QPalette::Button))) : QVariant();
        default: return {};
        }
    }

    // A caption cell is never shown selected, even while it is the current cell.
    Qt::ItemFlags flags(const QModelIndex& at) const override {
        const platform::Grid* g = grid(at);
        if (!g) return Qt::NoItemFlags;
        return fixed(*g, at.row(), at.column()) ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }

    // The grid's row and column counts as they are now.
    void follow_counts(const platform::Grid& g) {
        if (g.cols() != cols_) {
            beginResetModel();
            rows_ = g.rows();
            cols_ = g.cols();
            endResetModel();
        } else if (g.rows() > rows_) {
            beginInsertRows({}, rows_, g.rows() - 1);
            rows_ = g.rows();
            endInsertRows();
        } else if (g.rows() < rows_) {
            beginRemoveRows({}, g.rows(), rows_ - 1);
            rows_ = g.rows();
            endRemoveRows();
        }
    }

    void rows_changed(int first, int last) {
        first = std::max(first, 0);
        last = std::min(last, rows_ - 1);
        if (first <= last && cols_ > 0) emit dataChanged(index(first, 0), index(last, cols_ - 1));
    }

    void set_font(const QFont& plain) {
        bold_ = plain;
        bold_.setBold(true);
    }

private:
    const platform::Grid* grid(const QModelIndex& at) const {
        const platform::Grid* g = l_.c;
        if (!g || !at.isValid() || at.row() >= g->rows() || at.column() >= g->cols()) return nullptr;
        return g;
    }
    static bool fixed(const platform::Grid& g, int r, int k) { return r < g.fixed_rows() || k < g.fixed_cols(); }

    Link<platform::Grid>& l_;
    int rows_ = 0, cols_ = 0;
    QFont bold_;
};

class GridW : public ControlW<QTableView, platform::Grid> {
public:
    GridW(WidgetContext& m, platform::Grid& c, QWidget* parent) : ControlW(m, c, parent), model_(l, this) {
        setModel(&model_);
        horizontalHeader()->hide();
        verticalHeader()->hide();
        verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        verticalHeader()->setDefaultSectionSize(16);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setSelectionMode(QAbstractItemView::SingleSelection);
    }

    void sync(platform::Grid& c, Prop p) {
        const bool all = p == Prop::Other || p == Prop::Cells;
        const bool font = p == Prop::FontName || p == Prop::FontBold || p == Prop::FontSize;
        // With Redraw off the program fills the grid cell by cell; the grid keeps the rows it
        // changed and tells them once Redraw is back on, when this is shown.
        if (!c.redraw()) {
            if (all || font) stale_ = true;
            if (updatesEnabled()) setUpdatesEnabled(false);
            return;
        }
        if (all || font || stale_) {
            model_.set_font(font_of(c));
            model_.follow_counts(c);
            model_.rows_changed(0, c.rows() - 1);
            for (int k = 0; k < c.cols(); ++k) {
                const int w = std::max(0, px(c.col_width(k), l.m.tpp()));
                if (columnWidth(k) != w) setColumnWidth(k, w);
            }
        }
        show_current(c);
        stale_ = false;
        if (!updatesEnabled()) setUpdatesEnabled(true);
    }

    // The grid's rows first to last changed (and perhaps its row count).
    void rows(platform::Grid& c, int first, int last) {
        model_.follow_counts(c);
        model_.rows_changed(first, last);
        show_current(c);
    }

private:
    void show_current(platform::Grid& c) {
        QSignalBlocker block(this);
        if (c.row() < model_.rowCount() && c.col() < model_.columnCount()) {
            const QModelIndex at = model_.index(c.row(), c.col());
            if (currentIndex() != at) setCurrentIndex(at);
        }
    }

    GridModel model_;
    bool stale_ = false;

protected:
    void mousePressEvent(QMouseEvent* e) override {
        setFocus(Qt::MouseFocusReason);
        if (e->button() != Qt::LeftButton) return;
        QModelIndex at = indexAt(e->position().toPoint());
        if (!at.isValid()) return;
        const int r = at.row(), k = at.column();
        l.act([r, k](platform::Grid& c) { c.user_click(r, k); });
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return;
        l.act([](platform::Grid& c) {
            if (platform::accepts_input(c)) c.DblClick();
        });
    }
    void mouseReleaseEvent(QMouseEvent*) override {}
    void mouseMoveEvent(QMouseEvent*) override {}
    void keyPressEvent(QKeyEvent* e) override {
        deliver_key(l, e);
        e->accept();
    }
};

}  // namespace

void build_grid(WidgetContext& m, Binding& entry, platform::Grid* x, QWidget* parent) {
    auto* w = new GridW(m, *x, parent);
    bind(m, entry, w, *x, Roles::Input, [w, x](Prop p) { w->sync(*x, p); });
    QPointer<QWidget> guard(w);
    entry.rows = [guard, w, x](int first, int last) {
        if (guard) w->rows(*x, first, last);
    };
}

}  // namespace frontend
