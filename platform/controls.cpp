#include "platform/controls.hpp"

#include <algorithm>
#include <cmath>

#include "platform/control_common.hpp"
#include "platform/rt_error.hpp"

namespace platform {

using detail::assign;

bool accepts_input(const Control& c) {
    for (const Control* k = &c; k; k = k->parent())
        if (!k->visible() || !k->enabled()) return false;
    return true;
}

namespace {

// MouseDown → Click → MouseUp, for controls whose click needs nothing else.
template <class C>
void left_click(C& c, double x, double y) {
    c.MouseDown(1, 0, x, y);
    c.Click();
    c.MouseUp(1, 0, x, y);
}

}  // namespace

// --- Label -------------------------------------------------------------------------------------

void Label::copy_from(const Label& o) {
    copy_common_from(o);
    caption_ = o.caption_;
    auto_size_ = o.auto_size_;
    transparent_ = o.transparent_;
    alignment_ = o.alignment_;
    notify(Prop::Other);
}

void Label::set_caption(std::string c) {
    if (!assign(caption_, std::move(c))) return;
    notify(Prop::Caption);
    Change();
}

void Label::set_auto_size(bool b) {
    if (assign(auto_size_, b)) notify(Prop::Other);
}

void Label::set_transparent(bool b) {
    if (assign(transparent_, b)) notify(Prop::BackColor);
}

void Label::set_alignment(Alignment a) {
    if (assign(alignment_, a)) notify(Prop::TextFormat);
}

void Label::user_click(double x, double y) {
    if (accepts_input(*this)) left_click(*this, x, y);
}

void Label::user_double_click(double x, double y) {
    if (!accepts_input(*this)) return;
    left_click(*this, x, y);
    DblClick();
    MouseUp(1, 0, x, y);
}

void Label::user_mouse_down(int b, int s, double x, double y) {
    if (accepts_input(*this)) MouseDown(b, s, x, y);
}
void Label::user_mouse_move(int b, int s, double x, double y) {
    if (accepts_input(*this)) MouseMove(b, s, x, y);
}
void Label::user_mouse_up(int b, int s, double x, double y) {
    if (accepts_input(*this)) MouseUp(b, s, x, y);
}

// --- TextBox -----------------------------------------------------------------------------------

void TextBox::copy_from(const TextBox& o) {
    copy_common_from(o);
    text_ = o.text_;
    multi_line_ = o.multi_line_;
    password_char_ = o.password_char_;
    notify(Prop::Other);
}

void TextBox::set_text(std::string t) {
    if (!assign(text_, std::move(t))) return;
    notify(Prop::Text);
    Change();
}

void TextBox::set_multi_line(bool b) {
    if (assign(multi_line_, b)) notify(Prop::Other);
}

void TextBox::set_password_char(char c) {
    if (assign(password_char_, c)) notify(Prop::Other);
}

void TextBox::user_edit(std::string t) {
    if (accepts_input(*this)) set_text(std::move(t));
}
void TextBox::user_key_down(int key, int shift) {
    if (accepts_input(*this)) KeyDown(key, shift);
}
void TextBox::user_key_press(int ascii) {
    if (accepts_input(*this)) KeyPress(ascii);
}
void TextBox::user_click() {
    if (accepts_input(*this)) Click();
}
void TextBox::user_double_click() {
    if (!accepts_input(*this)) return;
    Click();
    DblClick();
}
void TextBox::user_got_focus() {
    if (accepts_input(*this)) GotFocus();
}
void TextBox::user_lost_focus() {
    LostFocus();
}

// --- ListControl -------------------------------------------------------------------------------

std::string ListControl::list(int i) const {
    if (i < 0 || i >= list_count()) return {};
    return items_[static_cast<size_t>(i)];
}

void ListControl::set_list(int i, std::string text) {
    if (i < 0 || i >= list_count()) throw detail::invalid_array_index();
    if (assign(items_[static_cast<size_t>(i)], std::move(text))) notify(Prop::Items);
}

void ListControl::add_item(std::string text, std::optional<int> at) {
    int pos = at.value_or(list_count());
    if (pos < 0 || pos > list_count()) throw rt::RuntimeError(rt::ErrInvalidCall);
    items_.insert(items_.begin() + pos, std::move(text));
    notify(Prop::Items);
    items_changed();
    if (list_index_ >= pos) {
        ++list_index_;
        notify(Prop::ListIndex);
    }
}

void ListControl::remove_item(int i) {
    if (i < 0 || i >= list_count()) throw rt::RuntimeError(rt::ErrInvalidCall);
    items_.erase(items_.begin() + i);
    notify(Prop::Items);
    items_changed();
    if (list_index_ == i) {
        list_index_ = -1;
        notify(Prop::ListIndex);
    } else if (list_index_ > i) {
        --list_index_;
        notify(Prop::ListIndex);
    }
}

void ListControl::clear() {
    replace_items({});
}

void ListControl::replace_items(std::vector<std::string> items) {
    items_ = std::move(items);
    notify(Prop::Items);
    items_changed();
    if (assign(list_index_, -1)) notify(Prop::ListIndex);
}

void ListControl::set_list_index(int i) {
    if (i < -1 || i >= list_count()) throw detail::invalid_property_value();
    if (!assign(list_index_, i)) return;
    notify(Prop::ListIndex);
    raise_click();
}

std::string ListControl::text() const {
    return list(list_index_);
}

void ListControl::copy_list_from(const ListControl& o) {
    items_ = o.items_;
    list_index_ = o.list_index_;
}

void ListControl::user_select(int row) {
    if (row < 0 || row >= list_count()) return;
    if (assign(list_index_, row)) notify(Prop::ListIndex);
    raise_click();
}

// --- ListBox -----------------------------------------------------------------------------------

void ListBox::copy_from(const ListBox& o) {
    copy_common_from(o);
    copy_list_from(o);
    top_index_ = o.top_index_;
    ole_drag_automatic_ = o.ole_drag_automatic_;
    drag_hook = o.drag_hook;
    notify(Prop::Other);
}

void ListBox::set_top_index(int i) {
    i = std::clamp(i, 0, std::max(0, list_count() - 1));
    if (assign(top_index_, i)) notify(Prop::TopIndex);
}

int ListBox::index_at(double y_twips) const {
    // Rounding to the nearest whole twip, ties to even, as the callers' own rounding does.
    double y = std::nearbyint(y_twips);
    int row = static_cast<int>(std::floor(y / item_height_twips)) + top_index_;
    return row >= 0 && row < list_count() ? row : -1;
}

int ListBox::drop_index_at_px(int y_px) const {
    if (y_px < 0) return -1;
    // Row k spans [k*h, (k+1)*h]; a y on the boundary belongs to the upper row.
    int k = y_px == 0 ? 0 : (y_px + item_height_px - 1) / item_height_px - 1;
    int row = k + top_index_;
    return row < list_count() ? row : -1;
}

void ListBox::begin_ole_drag() {
    if (drag_hook) {
        auto hook = drag_hook;  // the drop may replace the hook
        hook(*this);
    }
}

double ListBox::row_middle_twips(int row) const {
    if (row < 0) row = std::max(list_count(), top_index_);
    return (row - top_index_) * double(item_height_twips) + item_height_twips / 2;
}

void ListBox::user_click(int row) {
    if (!accepts_input(*this)) return;
    double y = row_middle_twips(row);
    MouseDown(1, 0, 0, y);
    user_select(row);
    MouseUp(1, 0, 0, y);
}

void ListBox::user_double_click(int row) {
    if (!accepts_input(*this)) return;
    user_click(row);
    DblClick();
    MouseUp(1, 0, 0, row_middle_twips(row));
}

void ListBox::user_mouse_down(int b, int s, double x, double y) {
    if (accepts_input(*this)) MouseDown(b, s, x, y);
}
void ListBox::user_mouse_move(int b, int s, double x, double y) {
    if (accepts_input(*this)) MouseMove(b, s, x, y);
}
void ListBox::user_mouse_up(int b, int s, double x, double y) {
    if (accepts_input(*this)) MouseUp(b, s, x, y);
}
void ListBox::user_key_down(int key, int shift) {
    if (accepts_input(*this)) KeyDown(key, shift);
}

void ListBox::user_drag() {
    if (accepts_input(*this) && ole_drag_automatic_ && list_index() >= 0) begin_ole_drag();
}

// --- ComboBox ----------------------------------------------------------------------------------

void ComboBox::copy_from(const ComboBox& o) {
    copy_common_from(o);
    copy_list_from(o);
    notify(Prop::Other);
}

void ComboBox::user_select(int i) {
    if (accepts_input(*this)) ListControl::user_select(i);
}

// --- CheckBox, OptionButton, CommandButton, Frame ---------------------------------------------

void CheckBox::copy_from(const CheckBox& o) {
    copy_common_from(o);
    value_ = o.value_;
    caption_ = o.caption_;
    notify(Prop::Other);
}

void CheckBox::set_value(int v) {
    if (v < 0 || v > 2) throw detail::invalid_property_value();
    if (!assign(value_, v)) return;
    notify(Prop::Value);
    Click();
}

void CheckBox::set_caption(std::string c) {
    if (assign(caption_, std::move(c))) notify(Prop::Caption);
}

void CheckBox::user_click() {
    if (accepts_input(*this)) set_value(value_ == 1 ? 0 : 1);
}

void OptionButton::copy_from(const OptionButton& o) {
    copy_common_from(o);
    value_ = o.value_;
    caption_ = o.caption_;
    notify(Prop::Other);
}

void OptionButton::set_value(bool v) {
    if (!assign(value_, v)) return;
    if (v && parent()) {
        for (Control* c : parent()->children()) {
            auto* other = dynamic_cast<OptionButton*>(c);
            if (other && other != this && other->value_) {
                other->value_ = false;
                other->notify(Prop::Value);
            }
        }
    }
    notify(Prop::Value);
    Click();
}

void OptionButton::set_caption(std::string c) {
    if (assign(caption_, std::move(c))) notify(Prop::Caption);
}

void OptionButton::user_click() {
    if (accepts_input(*this)) set_value(true);
}

void CommandButton::copy_from(const CommandButton& o) {
    copy_common_from(o);
    caption_ = o.caption_;
    notify(Prop::Other);
}

void CommandButton::set_caption(std::string c) {
    if (assign(caption_, std::move(c))) notify(Prop::Caption);
}

void CommandButton::user_click() {
    if (accepts_input(*this)) Click();
}

void CommandButton::user_key_press(int ascii) {
    if (accepts_input(*this)) KeyPress(ascii);
}

void Frame::copy_from(const Frame& o) {
    copy_common_from(o);
    caption_ = o.caption_;
    notify(Prop::Other);
}

void Frame::set_caption(std::string c) {
    if (assign(caption_, std::move(c))) notify(Prop::Caption);
}

// --- HScrollBar, ProgressBar -------------------------------------------------------------------

void HScrollBar::copy_from(const HScrollBar& o) {
    copy_common_from(o);
    min_ = o.min_;
    max_ = o.max_;
    value_ = o.value_;
    notify(Prop::Other);
}

int HScrollBar::lo() const { return std::min(min_, max_); }
int HScrollBar::hi() const { return std::max(min_, max_); }

void HScrollBar::set_value(int v) {
    if (v < lo() || v > hi()) throw detail::invalid_property_value();
    if (!assign(value_, v)) return;
    notify(Prop::Value);
    Change();
}

void HScrollBar::set_min(int v) {
    if (!assign(min_, v)) return;
    notify(Prop::Other);
    set_value(std::clamp(value_, lo(), hi()));
}

void HScrollBar::set_max(int v) {
    if (!assign(max_, v)) return;
    notify(Prop::Other);
    set_value(std::clamp(value_, lo(), hi()));
}

void HScrollBar::user_scroll(int v) {
    if (accepts_input(*this)) set_value(std::clamp(v, lo(), hi()));
}

void ProgressBar::copy_from(const ProgressBar& o) {
    copy_common_from(o);
    min_ = o.min_;
    max_ = o.max_;
    value_ = o.value_;
    notify(Prop::Other);
}

void ProgressBar::set_min(double v) {
    if (!assign(min_, v)) return;
    notify(Prop::Other);
    set_value(value_);
}

void ProgressBar::set_max(double v) {
    if (!assign(max_, v)) return;
    notify(Prop::Other);
    set_value(value_);
}

void ProgressBar::set_value(double v) {
    v = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
    if (assign(value_, v)) notify(Prop::Value);
}

// --- PictureBox, Image, Shape ------------------------------------------------------------------

void PictureBox::copy_from(const PictureBox& o) {
    copy_common_from(o);
    picture_ = o.picture_;
    notify(Prop::Picture);
}

void PictureBox::set_picture(PicturePtr p) {
    if (assign(picture_, std::move(p))) notify(Prop::Picture);
}

void PictureBox::load_picture(const std::filesystem::path& file) {
    set_picture(::platform::load_picture(file));
}

void PictureBox::cls() {
    if (display_.empty()) return;
    display_.clear();
    notify(Prop::DisplayList);
}

void PictureBox::paint(PaintOp op) {
    if (!op.picture) throw rt::RuntimeError(rt::ErrObjectVariable);
    display_.push_back(std::move(op));
    notify(Prop::DisplayList);
}

void PictureBox::paint_picture(PicturePtr pic, double x, double y, double w, double h) {
    paint({std::move(pic), x, y, w, h, std::nullopt, false});
}

void PictureBox::paint_picture(PicturePtr pic, double x, double y, double w, double h,
                               double sx, double sy, double sw, double sh) {
    paint({std::move(pic), x, y, w, h, PaintOp::Rect{sx, sy, sw, sh}, false});
}

void PictureBox::paint_picture_turned(PicturePtr pic, double x, double y, double w, double h) {
    paint({std::move(pic), x, y, w, h, std::nullopt, true});
}

void PictureBox::paint_picture_turned(PicturePtr pic, double x, double y, double w, double h,
                                      double sx, double sy, double sw, double sh) {
    paint({std::move(pic), x, y, w, h, PaintOp::Rect{sx, sy, sw, sh}, true});
}

void PictureBox::user_click(double x, double y) {
    if (!accepts_input(*this)) return;
    MouseDown(1, 0, x, y);
    MouseUp(1, 0, x, y);
}
void PictureBox::user_mouse_down(int b, int s, double x, double y) {
    if (accepts_input(*this)) MouseDown(b, s, x, y);
}
void PictureBox::user_mouse_move(int b, int s, double x, double y) {
    if (accepts_input(*this)) MouseMove(b, s, x, y);
}
void PictureBox::user_mouse_up(int b, int s, double x, double y) {
    if (accepts_input(*this)) MouseUp(b, s, x, y);
}

void Image::copy_from(const Image& o) {
    copy_common_from(o);
    picture_ = o.picture_;
    notify(Prop::Picture);
}

void Image::set_picture(PicturePtr p) {
    if (assign(picture_, std::move(p))) notify(Prop::Picture);
}

void Image::load_picture(const std::filesystem::path& file) {
    set_picture(::platform::load_picture(file));
}

void Image::user_click(double x, double y) {
    if (accepts_input(*this)) left_click(*this, x, y);
}
void Image::user_mouse_down(int b, int s, double x, double y) {
    if (accepts_input(*this)) MouseDown(b, s, x, y);
}
void Image::user_mouse_move(int b, int s, double x, double y) {
    if (accepts_input(*this)) MouseMove(b, s, x, y);
}
void Image::user_mouse_up(int b, int s, double x, double y) {
    if (accepts_input(*this)) MouseUp(b, s, x, y);
}

void Shape::copy_from(const Shape& o) {
    copy_common_from(o);
    border_color_ = o.border_color_;
    shape_ = o.shape_;
    notify(Prop::Other);
}

void Shape::set_border_color(Color c) {
    if (assign(border_color_, c)) notify(Prop::ForeColor);
}

void Shape::set_shape(ShapeKind k) {
    if (assign(shape_, k)) notify(Prop::Other);
}

}  // namespace platform
