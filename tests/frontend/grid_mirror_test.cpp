// The grid's widget: a view over a model of the platform grid. Filled while Redraw is off it hears
// of the change once Redraw comes back on, as one range of rows; a change with Redraw on reaches
// it as that row alone.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QFont>
#include <QTableView>
#include <set>
#include <string>
#include <utility>
#include <vector>

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
    QTableView* table = nullptr;
    QAbstractItemModel* model = nullptr;
    std::vector<std::pair<int, int>> changed;  // rows of each dataChanged Qt was told of

    void SetUp() override {
        window().show();
        table = qobject_cast<QTableView*>(mirror.widget(window().Grid));
        ASSERT_NE(table, nullptr);
        model = table->model();
        QObject::connect(model, &QAbstractItemModel::dataChanged,
                         [this](const QModelIndex& a, const QModelIndex& b) { changed.emplace_back(a.row(), b.row()); });
    }
    QString text(int r, int k) const { return model->data(model->index(r, k)).toString(); }
    QFont font(int r, int k) const {
        const QVariant f = model->data(model->index(r, k), Qt::FontRole);
        return f.isValid() ? f.value<QFont>() : table->font();
    }
};

TEST_F(GridMirror, FilledWithRedrawOffItIsShownOnceRedrawIsBackOn) {
    auto& g = window().Grid;
    g.set_text_matrix(0, 1, "Set");
    g.set_redraw(false);
    g.set_rows(201);
    changed.clear();
    for (int r = 1; r <= 200; ++r) {
        g.set_text_matrix(r, 1, "ZQM");
        g.set_text_matrix(r, 2, "Card " + std::to_string(r));
    }
    g.set_row(5);
    g.set_cell_font_bold(true);
    // Nothing reaches Qt while the program fills the grid, and nothing is painted.
    EXPECT_TRUE(changed.empty());
    EXPECT_EQ(model->rowCount(), 2);
    EXPECT_FALSE(table->updatesEnabled());

    g.set_redraw(true);
    EXPECT_TRUE(table->updatesEnabled());
    ASSERT_EQ(model->rowCount(), 201);
    EXPECT_EQ(changed, (std::vector<std::pair<int, int>>{{1, 200}}));  // one range of rows
    EXPECT_EQ(text(0, 1), "Set");
    EXPECT_EQ(text(200, 2), "Card 200");
    EXPECT_TRUE(font(5, 1).bold());
    EXPECT_FALSE(font(6, 1).bold());
    EXPECT_EQ(table->currentIndex().row(), 5);

    // With Redraw on, one cell's change is its row alone.
    changed.clear();
    g.set_text_matrix(7, 2, "Renamed");
    EXPECT_EQ(changed, (std::vector<std::pair<int, int>>{{7, 7}}));
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
    EXPECT_EQ(model->rowCount(), 2);
    g.set_rows(4);
    EXPECT_EQ(model->rowCount(), 4);
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
    EXPECT_EQ(font(1, 1).pointSizeF(), 14);
    EXPECT_FALSE(font(1, 1).bold());
    EXPECT_EQ(font(2, 1).pointSizeF(), 14);
    EXPECT_TRUE(font(2, 1).bold());
}

}  // namespace
