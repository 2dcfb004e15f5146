#pragma once
// The grid: rows of cells under a fixed header row and column, with a current cell.
#include <string>
#include <vector>

#include "platform/control.hpp"
#include "platform/controls.hpp"
#include "platform/event.hpp"

namespace platform {

// Horizontal-vertical placement of a cell's text; General follows the column (text left,
// numbers right).
enum class Align {
    LeftTop = 0, LeftCenter, LeftBottom, CenterTop, CenterCenter, CenterBottom,
    RightTop, RightCenter, RightBottom, General
};

template <class... I>
struct GridEvents {
    Event<I...> Click, DblClick, EnterCell;
    KeyEvent<I...> KeyDown;
    template <class O, class F> void zip_events(O& o, F f) {
        f(Click, o.Click); f(DblClick, o.DblClick); f(EnterCell, o.EnterCell);
        f(KeyDown, o.KeyDown);
    }
};

class Grid : public Control, public GridEvents<> {
public:
    struct Cell {
        std::string text;
        Align align = Align::General;  // General: the column's alignment
        bool bold = false;
        bool operator==(const Cell&) const = default;
    };

    template <class... I> using EventSet = GridEvents<I...>;
    Grid(Container* parent, std::string name, int index = -1);
    const char* type_name() const override { return "Grid"; }
    void copy_from(const Grid& o);

    int rows() const { return static_cast<int>(cells_.size()); }
    int cols() const { return cols_; }
    // Lowering drops the last rows, raising adds empty ones. Fewer than the fixed rows (or
    // columns) → RuntimeError 380. A current cell outside moves to the last row/column
    // without EnterCell.
    void set_rows(int n);
    void set_cols(int n);
    int fixed_rows() const { return fixed_rows_; }
    int fixed_cols() const { return fixed_cols_; }
    // At most rows-1 (cols-1), else RuntimeError 380.
    void set_fixed_rows(int n);
    void set_fixed_cols(int n);

    // Outside the grid → RuntimeError 9.
    const std::string& text_matrix(int r, int c) const;
    void set_text_matrix(int r, int c, std::string t);
    const Cell& cell(int r, int c) const;

    double col_width(int c) const;
    void set_col_width(int c, double twips);
    Align col_alignment(int c) const;
    void set_col_alignment(int c, Align a);

    int row() const { return row_; }
    int col() const { return col_; }
    // Outside the grid → RuntimeError 380. EnterCell on change.
    void set_row(int r);
    void set_col(int c);
    // Of the current cell.
    Align cell_alignment() const { return cell(row_, col_).align; }
    void set_cell_alignment(Align a);
    bool cell_font_bold() const { return cell(row_, col_).bold; }
    void set_cell_font_bold(bool b);

    bool redraw() const { return redraw_; }
    void set_redraw(bool b);

    // Orders the rows below the fixed ones by the text of column c, ascending in byte order
    // (capitals first); rows with equal keys keep their order.
    void sort_rows_by(int c);

    // The cell under the mouse at the last click, fixed rows and columns included; -1 before
    // any click. A click on a fixed cell leaves the current cell where it was, so handlers of
    // Click and DblClick ask this to tell a header click from a click on a row.
    int mouse_row() const { return mouse_row_; }
    int mouse_col() const { return mouse_col_; }

    // A click on a cell: a cell below the fixed rows and right of the fixed columns becomes
    // current (EnterCell on change), then Click.
    void user_click(int r, int c);
    void user_double_click(int r, int c);  // the click, then DblClick
    void user_key_down(int key_code, int shift = 0);

private:
    void check_cell(int r, int c) const;
    std::vector<std::vector<Cell>> cells_;
    int cols_ = 2;
    int fixed_rows_ = 1, fixed_cols_ = 1;
    std::vector<double> col_width_;
    std::vector<Align> col_align_;
    int row_ = 1, col_ = 1;
    int mouse_row_ = -1, mouse_col_ = -1;
    bool redraw_ = true;
};

}  // namespace platform
