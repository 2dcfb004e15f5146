#include <algorithm>

#include "platform/control_common.hpp"
#include "platform/controls.hpp"

namespace platform {

using detail::assign;

void RichTextBox::copy_from(const RichTextBox& o) {
    copy_common_from(o);
    text_ = o.text_;
    fmts_ = o.fmts_;
    sel_start_ = o.sel_start_;
    sel_length_ = o.sel_length_;
    insert_fmt_ = o.insert_fmt_;
    notify(Prop::Other);
}

RichTextBox::Fmt RichTextBox::default_fmt() const {
    return Fmt{fore_color(), false, false};
}

void RichTextBox::set_text(std::string t) {
    bool changed = t != text_;
    text_ = std::move(t);
    fmts_.assign(text_.size(), default_fmt());
    sel_start_ = 0;
    sel_length_ = 0;
    insert_fmt_ = default_fmt();
    notify(Prop::Text);
    if (changed) Change();
}

void RichTextBox::set_sel_start(int s) {
    if (s < 0) throw detail::invalid_property_value();
    int len = static_cast<int>(text_.size());
    s = std::min(s, len);
    bool moved = s != sel_start_ || sel_length_ != 0;
    sel_start_ = s;
    sel_length_ = 0;
    // A caret move always takes the format from the text, dropping one set for typing.
    if (s > 0) insert_fmt_ = fmts_[static_cast<size_t>(s - 1)];
    else if (len > 0) insert_fmt_ = fmts_[0];
    else insert_fmt_ = default_fmt();
    if (moved) notify(Prop::Selection);
}

void RichTextBox::set_sel_length(int n) {
    if (n < 0) throw detail::invalid_property_value();
    n = std::min(n, static_cast<int>(text_.size()) - sel_start_);
    if (n > 0) insert_fmt_ = fmts_[static_cast<size_t>(sel_start_)];
    if (assign(sel_length_, n)) notify(Prop::Selection);
}

std::string RichTextBox::sel_text() const {
    return text_.substr(static_cast<size_t>(sel_start_), static_cast<size_t>(sel_length_));
}

void RichTextBox::set_sel_text(const std::string& t) {
    auto at = static_cast<size_t>(sel_start_);
    auto n = static_cast<size_t>(sel_length_);
    bool changed = n > 0 || !t.empty();
    text_.replace(at, n, t);
    fmts_.erase(fmts_.begin() + static_cast<std::ptrdiff_t>(at),
                fmts_.begin() + static_cast<std::ptrdiff_t>(at + n));
    fmts_.insert(fmts_.begin() + static_cast<std::ptrdiff_t>(at), t.size(), insert_fmt_);
    sel_start_ = static_cast<int>(at + t.size());
    sel_length_ = 0;
    if (!changed) return;
    notify(Prop::Text);
    Change();
}

template <class Get, class V>
std::optional<V> RichTextBox::sel_property(Get get, V insertion) const {
    if (sel_length_ == 0) return insertion;
    auto first = fmts_.begin() + sel_start_;
    auto last = first + sel_length_;
    V v = get(*first);
    for (auto it = first; it != last; ++it)
        if (!(get(*it) == v)) return std::nullopt;
    return v;
}

std::optional<Color> RichTextBox::sel_color() const {
    return sel_property([](const Fmt& f) { return f.color; }, insert_fmt_.color);
}
std::optional<bool> RichTextBox::sel_underline() const {
    return sel_property([](const Fmt& f) { return f.underline; }, insert_fmt_.underline);
}
std::optional<bool> RichTextBox::sel_bold() const {
    return sel_property([](const Fmt& f) { return f.bold; }, insert_fmt_.bold);
}

template <class Apply>
void RichTextBox::format_selection(Apply apply) {
    apply(insert_fmt_);
    auto first = fmts_.begin() + sel_start_;
    std::for_each(first, first + sel_length_, apply);
    notify(Prop::TextFormat);
}

void RichTextBox::set_sel_color(Color c) {
    format_selection([c](Fmt& f) { f.color = c; });
}
void RichTextBox::set_sel_underline(bool b) {
    format_selection([b](Fmt& f) { f.underline = b; });
}
void RichTextBox::set_sel_bold(bool b) {
    format_selection([b](Fmt& f) { f.bold = b; });
}

std::vector<RichTextBox::Run> RichTextBox::runs() const {
    std::vector<Run> out;
    for (size_t i = 0; i < fmts_.size(); ++i) {
        if (!out.empty() && out.back().fmt == fmts_[i]) ++out.back().length;
        else out.push_back({static_cast<int>(i), 1, fmts_[i]});
    }
    return out;
}

void RichTextBox::user_type(const std::string& t) {
    if (accepts_input(*this)) set_sel_text(t);
}

void RichTextBox::user_click(int pos, double x, double y) {
    if (!accepts_input(*this)) return;
    set_sel_start(std::max(pos, 0));
    MouseDown(1, 0, x, y);
    Click();
    MouseUp(1, 0, x, y);
}

void RichTextBox::user_double_click(int pos, double x, double y) {
    if (!accepts_input(*this)) return;
    user_click(pos, x, y);
    DblClick();
    MouseUp(1, 0, x, y);
}

void RichTextBox::user_key_down(int key, int shift) {
    if (accepts_input(*this)) KeyDown(key, shift);
}
void RichTextBox::user_mouse_down(int b, int s, double x, double y) {
    if (accepts_input(*this)) MouseDown(b, s, x, y);
}
void RichTextBox::user_mouse_move(int b, int s, double x, double y) {
    if (accepts_input(*this)) MouseMove(b, s, x, y);
}
void RichTextBox::user_mouse_up(int b, int s, double x, double y) {
    if (accepts_input(*this)) MouseUp(b, s, x, y);
}
void RichTextBox::user_got_focus() {
    if (accepts_input(*this)) GotFocus();
}
void RichTextBox::user_lost_focus() {
    LostFocus();
}

}  // namespace platform
