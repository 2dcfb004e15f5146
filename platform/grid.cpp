#include "platform/grid.hpp"

#include <algorithm>

#include "platform/control_common.hpp"
#include "platform/rt_error.hpp"

namespace platform {

using detail::assign;

namespace {
constexpr double kDefaultColWidth = 960;
}

Grid::Grid(Container* parent, std::string name, int index)
    : Control(parent, std::move(name), index),
      cells_(2, std::vector<Cell>(2)),
      col_width_(2, kDefaultColWidth),
      col_align_(2, Align::General) {}

void Grid::copy_from(const Grid& o) {
    copy_common_from(o);
    cells_ = o.cells_;
    cols_ = o.cols_;
    fixed_rows_ = o.fixed_rows_;
    fixed_cols_ = o.fixed_cols_;
    col_width_ = o.col_width_;
    col_align_ = o.col_align_;
    row_ = o.row_;
    col_ = o.col_;
    redraw_ = o.redraw_;
    notify(Prop::Other);
}

void Grid::set_rows(int n) {
    if (n < fixed_rows_ || n < 1) throw detail::invalid_property_value();
    if (n == rows()) return;
    cells_.resize(static_cast<size_t>(n), std::vector<Cell>(static_cast<size_t>(cols_)));
    notify(Prop::Cells);
    if (assign(row_, std::min(row_, n - 1))) notify(Prop::Current);
}

void Grid::set_cols(int n) {
    if (n < fixed_cols_ || n < 1) throw detail::invalid_property_value();
    if (n == cols_) return;
    cols_ = n;
    for (auto& r : cells_) r.resize(static_cast<size_t>(n));
    col_width_.resize(static_cast<size_t>(n), kDefaultColWidth);
    col_align_.resize(static_cast<size_t>(n), Align::General);
    notify(Prop::Cells);
    if (assign(col_, std::min(col_, n - 1))) notify(Prop::Current);
}

void Grid::set_fixed_rows(int n) {
    if (n < 0 || n >= rows()) throw detail::invalid_property_value();
    if (assign(fixed_rows_, n)) notify(Prop::Cells);
}

void Grid::set_fixed_cols(int n) {
    if (n < 0 || n >= cols_) throw detail::invalid_property_value();
    if (assign(fixed_cols_, n)) notify(Prop::Cells);
}

void Grid::check_cell(int r, int c) const {
    if (r < 0 || r >= rows() || c < 0 || c >= cols_) throw rt::RuntimeError(rt::ErrSubscript);
}

const Grid::Cell& Grid::cell(int r, int c) const {
    check_cell(r, c);
    return cells_[static_cast<size_t>(r)][static_cast<size_t>(c)];
}

const std::string& Grid::text_matrix(int r, int c) const {
    return cell(r, c).text;
}

void Grid::set_text_matrix(int r, int c, std::string t) {
    check_cell(r, c);
    if (assign(cells_[static_cast<size_t>(r)][static_cast<size_t>(c)].text, std::move(t)))
        notify(Prop::Cells);
}

double Grid::col_width(int c) const {
    check_cell(0, c);
    return col_width_[static_cast<size_t>(c)];
}

void Grid::set_col_width(int c, double twips) {
    check_cell(0, c);
    if (assign(col_width_[static_cast<size_t>(c)], twips)) notify(Prop::Cells);
}

Align Grid::col_alignment(int c) const {
    check_cell(0, c);
    return col_align_[static_cast<size_t>(c)];
}

void Grid::set_col_alignment(int c, Align a) {
    check_cell(0, c);
    if (assign(col_align_[static_cast<size_t>(c)], a)) notify(Prop::Cells);
}

void Grid::set_row(int r) {
    if (r < 0 || r >= rows()) throw detail::invalid_property_value();
    if (!assign(row_, r)) return;
    notify(Prop::Current);
    EnterCell();
}

void Grid::set_col(int c) {
    if (c < 0 || c >= cols_) throw detail::invalid_property_value();
    if (!assign(col_, c)) return;
    notify(Prop::Current);
    EnterCell();
}

void Grid::set_cell_alignment(Align a) {
    if (assign(cells_[static_cast<size_t>(row_)][static_cast<size_t>(col_)].align, a))
        notify(Prop::Cells);
}

void Grid::set_cell_font_bold(bool b) {
    if (assign(cells_[static_cast<size_t>(row_)][static_cast<size_t>(col_)].bold, b))
        notify(Prop::Cells);
}

void Grid::set_redraw(bool b) {
    if (assign(redraw_, b)) notify(Prop::Other);
}

void Grid::sort_rows_by(int c) {
    check_cell(0, c);
    if (fixed_rows_ >= rows()) return;
    auto col = static_cast<size_t>(c);
    // std::string compares as unsigned bytes, which is the order wanted.
    std::stable_sort(cells_.begin() + fixed_rows_, cells_.end(),
                     [col](const std::vector<Cell>& a, const std::vector<Cell>& b) {
                         return a[col].text < b[col].text;
                     });
    notify(Prop::Cells);
}

void Grid::user_click(int r, int c) {
    if (!accepts_input(*this)) return;
    mouse_row_ = r;
    mouse_col_ = c;
    if (r >= fixed_rows_ && r < rows() && c >= fixed_cols_ && c < cols_) {
        bool changed = r != row_ || c != col_;
        row_ = r;
        col_ = c;
        if (changed) {
            notify(Prop::Current);
            EnterCell();
        }
    }
    Click();
}

void Grid::user_double_click(int r, int c) {
    if (!accepts_input(*this)) return;
    user_click(r, c);
    DblClick();
}

void Grid::user_key_down(int key, int shift) {
    if (accepts_input(*this)) KeyDown(key, shift);
}

}  // namespace platform
