#include "platform/grid.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>

#include "platform/control_common.hpp"
#include "platform/rt_error.hpp"

namespace platform {

using detail::assign;

namespace {
constexpr double kDefaultColWidth = 960;
// Replaced texts are given back once they are this many bytes and outweigh the texts in use.
constexpr std::size_t kGarbageFloor = 64 * 1024;
}  // namespace

Grid::Grid(Container* parent, std::string name, int index)
    : Control(parent, std::move(name), index),
      slots_(4),
      col_width_(2, kDefaultColWidth),
      col_align_(2, Align::General) {}

void Grid::copy_from(const Grid& o) {
    copy_common_from(o);
    slots_ = o.slots_;
    text_ = o.text_;
    garbage_ = o.garbage_;
    rows_ = o.rows_;
    cols_ = o.cols_;
    fixed_rows_ = o.fixed_rows_;
    fixed_cols_ = o.fixed_cols_;
    col_width_ = o.col_width_;
    col_align_ = o.col_align_;
    row_ = o.row_;
    col_ = o.col_;
    redraw_ = o.redraw_;
    dirty_first_ = dirty_last_ = -1;
    notify(Prop::Other);
}

void Grid::rows_changed(int first, int last) {
    if (first > last) return;
    if (!redraw_) {
        dirty_first_ = dirty_first_ < 0 ? first : std::min(dirty_first_, first);
        dirty_last_ = std::max(dirty_last_, last);
        return;
    }
    // Rows dropped since leave nothing to show but the new count.
    notify_rows(std::min(first, rows_), std::min(last, rows_ - 1));
}

void Grid::set_rows(int n) {
    if (n < fixed_rows_ || n < 1) throw detail::invalid_property_value();
    if (n == rows_) return;
    const int old = rows_;
    const auto cols = static_cast<std::size_t>(cols_);
    for (std::size_t i = static_cast<std::size_t>(n) * cols; i < slots_.size(); ++i) drop(slots_[i]);
    slots_.resize(static_cast<std::size_t>(n) * cols);
    rows_ = n;
    compact();
    rows_changed(std::min(old, n), std::max(old, n) - 1);
    if (assign(row_, std::min(row_, n - 1))) notify(Prop::Current);
}

void Grid::set_cols(int n) {
    if (n < fixed_cols_ || n < 1) throw detail::invalid_property_value();
    if (n == cols_) return;
    std::vector<Slot> wider(static_cast<std::size_t>(rows_) * static_cast<std::size_t>(n));
    for (int r = 0; r < rows_; ++r)
        for (int c = 0; c < cols_; ++c) {
            if (c < n) wider[static_cast<std::size_t>(r) * static_cast<std::size_t>(n) + static_cast<std::size_t>(c)] = slot(r, c);
            else drop(slot(r, c));
        }
    slots_ = std::move(wider);
    cols_ = n;
    col_width_.resize(static_cast<size_t>(n), kDefaultColWidth);
    col_align_.resize(static_cast<size_t>(n), Align::General);
    compact();
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
    if (r < 0 || r >= rows_ || c < 0 || c >= cols_) throw rt::RuntimeError(rt::ErrSubscript);
}

Grid::Cell Grid::cell(int r, int c) const {
    check_cell(r, c);
    const Slot& s = slot(r, c);
    return Cell{std::string(text_of(s)), s.align, s.bold};
}

std::string Grid::text_matrix(int r, int c) const { return std::string(text_view(r, c)); }

std::string_view Grid::text_view(int r, int c) const {
    check_cell(r, c);
    return text_of(slot(r, c));
}

Align Grid::cell_alignment_at(int r, int c) const {
    check_cell(r, c);
    return slot(r, c).align;
}

bool Grid::cell_bold_at(int r, int c) const {
    check_cell(r, c);
    return slot(r, c).bold;
}

void Grid::set_text_matrix(int r, int c, std::string_view t) {
    check_cell(r, c);
    Slot& s = slot(r, c);
    if (text_of(s) == t) return;
    if (t.size() <= s.size) {
        // In its own place; the text may be another cell's (memmove).
        if (!t.empty()) std::memmove(text_.data() + s.at, t.data(), t.size());
        garbage_ += s.size - t.size();
        s.size = static_cast<std::uint32_t>(t.size());
    } else {
        if (t.size() > std::numeric_limits<std::uint32_t>::max() - text_.size()) compact();
        if (t.size() > std::numeric_limits<std::uint32_t>::max() - text_.size()) throw rt::RuntimeError(rt::ErrOutOfMemory);
        // A text taken from this grid itself is copied before the buffer may move.
        const bool own = !text_.empty() && t.data() >= text_.data() && t.data() < text_.data() + text_.size();
        const std::string copy = own ? std::string(t) : std::string();
        drop(s);
        s.at = static_cast<std::uint32_t>(text_.size());
        s.size = static_cast<std::uint32_t>(t.size());
        text_.append(own ? std::string_view(copy) : t);
        compact();
    }
    rows_changed(r, r);
}

void Grid::compact() {
    if (garbage_ < kGarbageFloor || garbage_ < text_.size() / 2) return;
    std::string kept;
    kept.reserve(text_.size() - garbage_);
    for (Slot& s : slots_) {
        const std::string_view t = text_of(s);
        s.at = static_cast<std::uint32_t>(kept.size());
        kept.append(t);
    }
    text_ = std::move(kept);
    garbage_ = 0;
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
    if (assign(slot(row_, col_).align, a)) rows_changed(row_, row_);
}

void Grid::set_cell_font_bold(bool b) {
    if (assign(slot(row_, col_).bold, b)) rows_changed(row_, row_);
}

void Grid::set_redraw(bool b) {
    if (!assign(redraw_, b)) return;
    if (b && dirty_first_ >= 0) {
        const int first = dirty_first_, last = dirty_last_;
        dirty_first_ = dirty_last_ = -1;
        rows_changed(first, last);
    }
    notify(Prop::Redraw);
}

void Grid::sort_rows_by(int c) {
    check_cell(0, c);
    if (fixed_rows_ >= rows()) return;
    std::vector<int> order(static_cast<std::size_t>(rows_ - fixed_rows_));
    std::iota(order.begin(), order.end(), fixed_rows_);
    // std::string_view compares as unsigned bytes, which is the order wanted.
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return text_of(slot(a, c)) < text_of(slot(b, c)); });
    std::vector<Slot> sorted(slots_.begin(), slots_.begin() + static_cast<std::ptrdiff_t>(fixed_rows_) * cols_);
    sorted.reserve(slots_.size());
    for (int r : order)
        for (int k = 0; k < cols_; ++k) sorted.push_back(slot(r, k));
    slots_ = std::move(sorted);
    rows_changed(fixed_rows_, rows_ - 1);
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
