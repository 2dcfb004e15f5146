#pragma once
// The base of every control and window: position and size in twips, the common properties, the
// parent that holds it in z-order, and the observer hook through which a front end mirrors it.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

using Color = std::uint32_t;  // 0x00BBGGRR: red in the lowest byte

// What changed, for the front end's mirror. Each control's own properties use the closest name;
// Other means "re-read everything".
enum class Prop {
    Left, Top, Width, Height, Visible, Enabled, ForeColor, BackColor, FontName, FontBold, FontSize,
    ToolTip, ZOrder, Caption, Text, Items, ListIndex, TopIndex, Value, Picture, DisplayList,
    TextFormat, Selection, Cells, Current, Redraw, Other
};

class Control;
class Container;

// Receives every change of a mirrored control. created/destroyed bracket a control's life while
// an observer is attached (controls loaded into arrays at run time, forms loaded and unloaded).
class ControlObserver {
public:
    virtual ~ControlObserver() = default;
    virtual void created(Control&) {}
    virtual void destroyed(Control&) {}
    virtual void changed(Control&, Prop) = 0;
    // Rows first to last of a grid changed their cells; the grid's row count may have changed
    // too (then the range may be empty: first > last).
    virtual void rows_changed(Control& c, int /*first*/, int /*last*/) { changed(c, Prop::Cells); }
};

class Control {
public:
    // A control registers itself with its parent (a form or a frame), at the top of the z-order.
    // index is its index in a control array, -1 outside one.
    Control(Container* parent, std::string name, int index = -1);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    virtual const char* type_name() const = 0;

    const std::string& name() const { return name_; }
    int index() const { return index_; }
    Container* parent() const { return parent_; }

    double left() const { return left_; }
    double top() const { return top_; }
    double width() const { return width_; }
    double height() const { return height_; }
    void set_left(double v);
    void set_top(double v);
    void set_width(double v);
    void set_height(double v);
    void move(double left, double top);
    void move(double left, double top, double width, double height);

    bool visible() const { return visible_; }
    virtual void set_visible(bool v);
    bool enabled() const { return enabled_; }
    virtual void set_enabled(bool v);
    Color fore_color() const { return fore_color_; }
    virtual void set_fore_color(Color c);
    Color back_color() const { return back_color_; }
    virtual void set_back_color(Color c);
    const std::string& font_name() const { return font_name_; }
    void set_font_name(std::string f);
    bool font_bold() const { return font_bold_; }
    void set_font_bold(bool b);
    double font_size() const { return font_size_; }
    void set_font_size(double s);
    const std::string& tool_tip_text() const { return tool_tip_; }
    void set_tool_tip_text(std::string t);

    // ZOrder 0 / 1: to the front or to the back of its parent's children.
    void bring_to_front();
    void send_to_back();

    // Whether the control and every container above it are visible.
    bool shown() const;

    // The observer of the form this control lives on (null headless).
    ControlObserver* observer() const;

protected:
    void notify(Prop p);
    void notify_rows(int first, int last);
    // Copies the common properties of a template (run-time loaded array elements start as hidden
    // copies of element 0).
    void copy_common_from(const Control& other);

private:
    friend class Container;
    Container* parent_;
    std::string name_;
    int index_;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    Color fore_color_ = 0x000000;
    Color back_color_ = 0xFFFFFF;
    std::string font_name_ = "MS Sans Serif";
    bool font_bold_ = false;
    double font_size_ = 8.25;
    std::string tool_tip_;
    ControlObserver* observer_ = nullptr;  // set on containers only (Container::set_observer)
};

// A control that holds others, front-most last.
class Container : public Control {
public:
    using Control::Control;
    ~Container() override;

    const std::vector<Control*>& children() const { return children_; }
    // The child with this name and array index, or null.
    Control* find(const std::string& name, int index = -1) const;

    // The observer of this container's tree (set on forms by the App or the front end).
    ControlObserver* own_observer() const { return observer_; }
    void set_observer(ControlObserver* o) { observer_ = o; }

private:
    friend class Control;
    void add_child(Control* c);
    void remove_child(Control* c);
    void raise_child(Control* c, bool to_front);
    std::vector<Control*> children_;
};

}  // namespace platform
