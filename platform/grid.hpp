#pragma once
// The grid: rows of cells under a fixed header row and column, with a current cell. The cells'
// texts lie in one buffer of the grid's own, so that a grid of 100,000 rows is filled without an
// allocation per cell; a front end hears of changed cells as ranges of rows.
#include <cstdint>
#include <string>
#include <string_view>
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

    int rows() const { return rows_; }
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
    std::string text_matrix(int r, int c) const;
    // The same text without a copy; valid until the grid next changes.
    std::string_view text_view(int r, int c) const;
    void set_text_matrix(int r, int c, std::string_view t);
    Cell cell(int r, int c) const;
    Align cell_alignment_at(int r, int c) const;
    bool cell_bold_at(int r, int c) const;

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

    // Bytes the cells' texts take, and bytes of texts since replaced that the grid still holds
    // (it gives them back once they outweigh the texts in use).
    std::size_t text_bytes() const { return text_.size(); }

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
    // A cell: its text as a piece of text_, its alignment and boldness.
    struct Slot {
        std::uint32_t at = 0, size = 0;
        Align align = Align::General;
        bool bold = false;
    };
    void check_cell(int r, int c) const;
    Slot& slot(int r, int c) { return slots_[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c)]; }
    const Slot& slot(int r, int c) const { return slots_[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols_) + static_cast<std::size_t>(c)]; }
    std::string_view text_of(const Slot& s) const { return {text_.data() + s.at, s.size}; }
    void drop(const Slot& s) { garbage_ += s.size; }
    void compact();
    // Rows first..last changed: told at once while Redraw is on, gathered while it is off.
    void rows_changed(int first, int last);

    std::vector<Slot> slots_;  // rows_ x cols_, row by row
    std::string text_;
    std::size_t garbage_ = 0;
    int rows_ = 2;
    int dirty_first_ = -1, dirty_last_ = -1;
    int cols_ = 2;
    int fixed_rows_ = 1, fixed_cols_ = 1;
    std::vector<double> col_width_;
    std::vector<Align> col_align_;
    int row_ = 1, col_ = 1;
    int mouse_row_ = -1, mouse_col_ = -1;
    bool redraw_ = true;
};

}  // namespace platform
