// The grid's widget: filled while Redraw is off it is rendered once when Redraw comes back on,
// and a change rewrites only the cells that differ.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QTableWidget>
#include <memory>
#include <set>
#include <string>
#include <utility>

#include "frontend/mirror.hpp"
#include "frontend/qt_host.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/form.hpp"
#include "platform/grid.hpp"
#include "platform/reactor.hpp"
#include "tests/frontend/qt_app.hpp"

namespace {

class Window : public platform::Form {
public:
    explicit Window(platform::App& app) : Form(app, "Window") {
        move(0, 0, 6000, 4500);
        Grid.move(120, 120, 5000, 3000);
        Grid.set_cols(3);
    }
    platform::Grid Grid{this, "Grid"};
};

class GridMirror : public frontend::test::Mirrored<Window> {
protected:
    QTableWidget* table = nullptr;
    std::set<std::pair<int, int>> touched;  // cells whose items Qt was told changed

    void SetUp() override {
        window().show();
        table = qobject_cast<QTableWidget*>(mirror.widget(window().Grid));
        ASSERT_NE(table, nullptr);
        QObject::connect(table->model(), &QAbstractItemModel::dataChanged,
                         [this](const QModelIndex& a, const QModelIndex& b) {
                             for (int r = a.row(); r <= b.row(); ++r)
                                 for (int k = a.column(); k <= b.column(); ++k) touched.insert({r, k});
                         });
    }
    QString text(int r, int k) const {
        auto* it = table->item(r, k);
        return it ? it->text() : QString("<none>");
    }
};

TEST_F(GridMirror, FilledWithRedrawOffItIsRenderedOnceRedrawIsBackOn) {
    auto& g = window().Grid;
    g.set_text_matrix(0, 1, "Set");
    g.set_redraw(false);
    g.set_rows(201);
    touched.clear();
    for (int r = 1; r <= 200; ++r) {
        g.set_text_matrix(r, 1, "ZQM");
        g.set_text_matrix(r, 2, "Card " + std::to_string(r));
    }
    g.set_row(5);
    g.set_cell_font_bold(true);
    // Nothing reaches Qt while the program fills the grid, and nothing is painted.
    EXPECT_TRUE(touched.empty());
    EXPECT_EQ(table->rowCount(), 2);
    EXPECT_FALSE(table->updatesEnabled());

    g.set_redraw(true);
    EXPECT_TRUE(table->updatesEnabled());
    ASSERT_EQ(table->rowCount(), 201);
    EXPECT_EQ(text(0, 1), "Set");
    EXPECT_EQ(text(200, 2), "Card 200");
    EXPECT_TRUE(table->item(5, 1)->font().bold());
    EXPECT_FALSE(table->item(6, 1)->font().bold());
    EXPECT_EQ(table->currentRow(), 5);

    // With Redraw on, one cell's change rewrites that cell alone.
    touched.clear();
    g.set_text_matrix(7, 2, "Renamed");
    EXPECT_EQ(touched, (std::set<std::pair<int, int>>{{7, 2}}));
    EXPECT_EQ(text(7, 2), "Renamed");
}

TEST_F(GridMirror, RowsDroppedAndAddedAgainShowNoStaleTextAndSortsShow) {
    auto& g = window().Grid;
    g.set_rows(4);
    g.set_text_matrix(1, 2, "Charlie");
    g.set_text_matrix(2, 2, "Alpha");
    g.set_text_matrix(3, 2, "Bravo");
    g.sort_rows_by(2);
    EXPECT_EQ(text(1, 2), "Alpha");
    EXPECT_EQ(text(2, 2), "Bravo");
    EXPECT_EQ(text(3, 2), "Charlie");

    g.set_rows(2);
    g.set_rows(4);
    EXPECT_EQ(table->rowCount(), 4);
    EXPECT_EQ(text(1, 2), "Alpha");
    EXPECT_EQ(text(3, 2), "");
}

TEST_F(GridMirror, AFontChangeReachesEveryCellAndKeepsBoldCellsBold) {
    auto& g = window().Grid;
    g.set_rows(3);
    g.set_row(2);
    g.set_col(1);
    g.set_cell_font_bold(true);
    g.set_font_size(14);
    EXPECT_EQ(table->item(1, 1)->font().pointSizeF(), 14);
    EXPECT_FALSE(table->item(1, 1)->font().bold());
    EXPECT_EQ(table->item(2, 1)->font().pointSizeF(), 14);
    EXPECT_TRUE(table->item(2, 1)->font().bold());
}

}  // namespace
