#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/grid.hpp"
#include "platform/rt_error.hpp"
#include "surface.hpp"

namespace platform {
namespace {

using test::Surface;

std::vector<std::string> column(const Grid& g, int c) {
    std::vector<std::string> out;
    for (int r = 0; r < g.rows(); ++r) out.push_back(g.text_matrix(r, c));
    return out;
}

TEST(Grid, SortIsStableCaseSensitiveAndLeavesTheFixedRow) {
    Surface s;
    Grid g(&s, "Grid");
    g.set_cols(3);
    const char* rows[][2] = {
        {"Code", "Name"}, {"1", "beta"}, {"2", "Alpha"}, {"3", "alpha"},
        {"4", "Beta"}, {"5", "Alpha"}, {"6", "\xE9t\xE9"}, {"7", "Zeta"},
    };
    g.set_rows(8);
    for (int r = 0; r < 8; ++r) {
        g.set_text_matrix(r, 1, rows[r][0]);
        g.set_text_matrix(r, 2, rows[r][1]);
    }
    g.sort_rows_by(2);
    // Byte order: capitals first, bytes above 127 last; equal names keep their order.
    EXPECT_EQ(column(g, 2), (std::vector<std::string>{"Name", "Alpha", "Alpha", "Beta", "Zeta",
                                                      "alpha", "beta", "\xE9t\xE9"}));
    EXPECT_EQ(column(g, 1), (std::vector<std::string>{"Code", "2", "5", "4", "7", "3", "1", "6"}));
}

TEST(Grid, LoweringRowsDropsTheLastRows) {
    Surface s;
    Grid g(&s, "Grid");
    g.set_rows(4);
    for (int r = 1; r < 4; ++r) g.set_text_matrix(r, 1, "row" + std::to_string(r));
    g.set_row(3);
    g.set_rows(3);
    EXPECT_EQ(g.rows(), 3);
    EXPECT_EQ(column(g, 1), (std::vector<std::string>{"", "row1", "row2"}));
    EXPECT_EQ(g.row(), 2);
    g.set_rows(4);  // raised again: the new row is empty
    EXPECT_EQ(g.text_matrix(3, 1), "");
    EXPECT_THROW(g.set_rows(0), rt::RuntimeError);
    try {
        (void)g.text_matrix(4, 0);
        ADD_FAILURE();
    } catch (const rt::RuntimeError& e) {
        EXPECT_EQ(e.number, rt::ErrSubscript);
    }
}

// The texts lie in one buffer of the grid's: replaced ones are given back, a cell can take another
// cell's text (or a part of its own), and more columns keep what the rows hold.
TEST(Grid, ReplacedTextsTakeBoundedRoomAndCellsCopyEachOther) {
    Surface s;
    Grid g(&s, "Grid");
    g.set_rows(1001);
    for (int round = 0; round < 50; ++round)
        for (int r = 1; r <= 1000; ++r)
            g.set_text_matrix(r, 1, "round " + std::to_string(round) + " row " + std::to_string(r));
    EXPECT_EQ(g.text_matrix(1000, 1), "round 49 row 1000");
    EXPECT_EQ(g.text_matrix(1, 1), "round 49 row 1");
    EXPECT_LT(g.text_bytes(), 200'000u);  // not the 50 rounds' 900,000

    g.set_text_matrix(2, 0, g.text_view(1000, 1));  // longer than the cell held: a new place
    g.set_text_matrix(1, 1, g.text_view(1, 1).substr(9));  // shorter: in place, overlapping
    EXPECT_EQ(g.text_matrix(2, 0), "round 49 row 1000");
    EXPECT_EQ(g.text_matrix(1, 1), "row 1");

    g.set_cols(4);
    EXPECT_EQ(g.text_matrix(2, 0), "round 49 row 1000");
    EXPECT_EQ(g.text_matrix(3, 1), "round 49 row 3");
    EXPECT_EQ(g.text_matrix(3, 3), "");
}

TEST(Grid, EnterCellOnlyWhenTheCurrentCellChanges) {
    Surface s;
    Grid g(&s, "Grid");
    g.set_rows(5);
    g.set_cols(3);
    std::vector<std::string> log;
    g.EnterCell = [&] { log.push_back("enter " + std::to_string(g.row()) + "," + std::to_string(g.col())); };
    // The cell clicked, fixed or not, as the Click handler sees it.
    g.Click = [&] { log.push_back("click " + std::to_string(g.mouse_row()) + "," + std::to_string(g.mouse_col())); };
    EXPECT_EQ(g.mouse_row(), -1);
    g.set_row(1);  // already current
    g.set_col(1);
    g.set_row(3);
    g.set_col(2);
    g.user_click(3, 2);  // the current cell: Click only
    g.user_click(4, 1);
    g.user_click(0, 0);  // a fixed cell does not become current
    EXPECT_EQ(log, (std::vector<std::string>{"enter 3,1", "enter 3,2", "click 3,2", "enter 4,1",
                                             "click 4,1", "click 0,0"}));
    EXPECT_EQ(g.row(), 4);
    EXPECT_THROW(g.set_row(5), rt::RuntimeError);
}

TEST(Grid, CellFormatAppliesToTheCurrentCell) {
    Surface s;
    Grid g(&s, "Stats");
    g.set_rows(6);
    g.set_cols(3);
    g.set_col_alignment(1, Align::CenterCenter);
    g.set_col_width(0, 950);
    g.set_row(2);
    g.set_col(1);
    g.set_cell_font_bold(true);
    g.set_cell_alignment(Align::LeftTop);
    EXPECT_TRUE(g.cell(2, 1).bold);
    EXPECT_FALSE(g.cell(3, 1).bold);
    EXPECT_EQ(g.cell_alignment(), Align::LeftTop);
    EXPECT_EQ(g.cell(3, 1).align, Align::General);
    EXPECT_EQ(g.col_alignment(1), Align::CenterCenter);
    EXPECT_EQ(g.col_width(0), 950);
    EXPECT_EQ(g.fixed_rows(), 1);
    EXPECT_EQ(g.fixed_cols(), 1);
}

TEST(Grid, UserDoubleClickAndKeys) {
    Surface s;
    Grid g(&s, "Grid");
    g.set_rows(3);
    std::vector<std::string> log;
    g.Click = [&] { log.push_back("click"); };
    g.DblClick = [&] { log.push_back("dbl" + std::to_string(g.row())); };
    g.KeyDown = [&](int k, int) { log.push_back("key" + std::to_string(k)); };
    g.user_double_click(2, 1);
    g.user_key_down(13);
    g.set_enabled(false);
    g.user_key_down(13);
    EXPECT_EQ(log, (std::vector<std::string>{"click", "dbl2", "key13"}));
}

}  // namespace
}  // namespace platform
