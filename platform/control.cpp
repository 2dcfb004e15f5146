#include "platform/control.hpp"

#include <algorithm>

namespace platform {

Control::Control(Container* parent, std::string name, int index)
    : parent_(parent), name_(std::move(name)), index_(index) {
    if (parent_) parent_->add_child(this);
}

Control::~Control() {
    if (parent_) parent_->remove_child(this);
}

void Control::notify(Prop p) {
    if (auto* o = observer()) o->changed(*this, p);
}

void Control::notify_rows(int first, int last) {
    if (auto* o = observer()) o->rows_changed(*this, first, last);
}

// Only containers hold an observer, so no control needs to be asked what it is on the way up.
ControlObserver* Control::observer() const {
    for (const Control* c = this; c; c = c->parent_)
        if (c->observer_) return c->observer_;
    return nullptr;
}

bool Control::shown() const {
    for (const Control* c = this; c; c = c->parent_)
        if (!c->visible_) return false;
    return true;
}

#define TW_SETTER(fn, member, prop, type)          \
    void Control::fn(type v) {                     \
        if (member == v) return;                   \
        member = v;                                \
        notify(Prop::prop);                        \
    }
TW_SETTER(set_left, left_, Left, double)
TW_SETTER(set_top, top_, Top, double)
TW_SETTER(set_width, width_, Width, double)
TW_SETTER(set_height, height_, Height, double)
TW_SETTER(set_visible, visible_, Visible, bool)
TW_SETTER(set_enabled, enabled_, Enabled, bool)
TW_SETTER(set_fore_color, fore_color_, ForeColor, Color)
TW_SETTER(set_back_color, back_color_, BackColor, Color)
TW_SETTER(set_font_bold, font_bold_, FontBold, bool)
TW_SETTER(set_font_size, font_size_, FontSize, double)
#undef TW_SETTER

void Control::set_font_name(std::string f) {
    if (font_name_ == f) return;
    font_name_ = std::move(f);
    notify(Prop::FontName);
}

void Control::set_tool_tip_text(std::string t) {
    if (tool_tip_ == t) return;
    tool_tip_ = std::move(t);
    notify(Prop::ToolTip);
}

void Control::move(double left, double top) {
    set_left(left);
    set_top(top);
}

void Control::move(double left, double top, double width, double height) {
    set_left(left);
    set_top(top);
    set_width(width);
    set_height(height);
}

void Control::bring_to_front() {
    if (parent_) parent_->raise_child(this, true);
}

void Control::send_to_back() {
    if (parent_) parent_->raise_child(this, false);
}

void Control::copy_common_from(const Control& o) {
    move(o.left_, o.top_, o.width_, o.height_);
    set_visible(false);
    set_enabled(o.enabled_);
    set_fore_color(o.fore_color_);
    set_back_color(o.back_color_);
    set_font_name(o.font_name_);
    set_font_bold(o.font_bold_);
    set_font_size(o.font_size_);
    set_tool_tip_text(o.tool_tip_);
}

Container::~Container() {
    // Children that outlive us (members declared before the container part is destroyed are
    // already gone) must not call back into a dead parent.
    for (auto* c : children_) c->parent_ = nullptr;
}

Control* Container::find(const std::string& name, int index) const {
    for (auto* c : children_)
        if (c->name_ == name && c->index_ == index) return c;
    return nullptr;
}

void Container::add_child(Control* c) {
    children_.push_back(c);
    if (auto* o = observer()) o->created(*c);
}

void Container::remove_child(Control* c) {
    auto it = std::find(children_.begin(), children_.end(), c);
    if (it == children_.end()) return;
    if (auto* o = observer()) o->destroyed(*c);
    children_.erase(it);
}

void Container::raise_child(Control* c, bool to_front) {
    auto it = std::find(children_.begin(), children_.end(), c);
    if (it == children_.end()) return;
    children_.erase(it);
    if (to_front) children_.push_back(c);
    else children_.insert(children_.begin(), c);
    c->notify(Prop::ZOrder);
}

}  // namespace platform
