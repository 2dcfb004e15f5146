#pragma once
// The controls of the headless window model. Code setters fire an event only when the value
// changes; user_* entry points replay what a user's action raises, in the platform's order, and
// do nothing on a control the user could not reach (disabled or not shown).
//
// Every control's events are declared once as a set templated on leading index arguments: the
// control derives from Set<> and a ControlArray of it from Set<int> (see control_array.hpp).
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/control.hpp"
#include "platform/event.hpp"
#include "platform/picture.hpp"

namespace platform {

// Plain-text drag data; defined with the Host, which carries drags.
class DataObject;

// Mouse events: (button, shift, x, y). Button 1 left, 2 right, 4 middle (on MouseMove: the mask
// of buttons held); shift mask 1 Shift, 2 Ctrl, 4 Alt; x and y in twips inside the control.
template <class... I>
using MouseEvent = Event<I..., int, int, double, double>;
// KeyDown(key_code, shift); key codes are virtual-key codes (Enter 13).
template <class... I>
using KeyEvent = Event<I..., int, int>;
// OLEStartDrag(data, allowed_effects)
template <class... I>
using OleStartDragEvent = Event<I..., DataObject&, int&>;
// OLEDragDrop(data, effect, button, shift, x, y)
template <class... I>
using OleDragDropEvent = Event<I..., DataObject&, int&, int, int, double, double>;

// Whether a user could act on the control now: it and every container above it are visible
// and enabled.
bool accepts_input(const Control& c);

// ---------------------------------------------------------------------------------------------
template <class... I>
struct LabelEvents {
    Event<I...> Click, DblClick, Change;
    MouseEvent<I...> MouseDown, MouseMove, MouseUp;
    template <class O, class F> void zip_events(O& o, F f) {
        f(Click, o.Click); f(DblClick, o.DblClick); f(Change, o.Change);
        f(MouseDown, o.MouseDown); f(MouseMove, o.MouseMove); f(MouseUp, o.MouseUp);
    }
};

class Label : public Control, public LabelEvents<> {
public:
    template <class... I> using EventSet = LabelEvents<I...>;
    using Control::Control;
    const char* type_name() const override { return "Label"; }
    void copy_from(const Label& o);

    const std::string& caption() const { return caption_; }
    void set_caption(std::string c);  // Change on change
    bool auto_size() const { return auto_size_; }
    void set_auto_size(bool b);
    bool transparent() const { return transparent_; }  // transparent back style
    void set_transparent(bool b);
    // Where the caption stands in the label's width.
    enum class Alignment { Left = 0, Right = 1, Center = 2 };
    Alignment alignment() const { return alignment_; }
    void set_alignment(Alignment a);

    // MouseDown(1) → Click → MouseUp(1)
    void user_click(double x = 0, double y = 0);
    // the click, then DblClick → MouseUp
    void user_double_click(double x = 0, double y = 0);
    void user_mouse_down(int button, int shift, double x, double y);
    void user_mouse_move(int button, int shift, double x, double y);
    void user_mouse_up(int button, int shift, double x, double y);

private:
    std::string caption_;
    bool auto_size_ = false;
    bool transparent_ = false;
    Alignment alignment_ = Alignment::Left;
};

// ---------------------------------------------------------------------------------------------
template <class... I>
struct TextBoxEvents {
    Event<I...> Click, DblClick, Change, GotFocus, LostFocus;
    KeyEvent<I...> KeyDown;
    Event<I..., int> KeyPress;  // KeyPress(key_ascii)
    template <class O, class F> void zip_events(O& o, F f) {
        f(Click, o.Click); f(DblClick, o.DblClick); f(Change, o.Change);
        f(GotFocus, o.GotFocus); f(LostFocus, o.LostFocus);
        f(KeyDown, o.KeyDown); f(KeyPress, o.KeyPress);
    }
};

class TextBox : public Control, public TextBoxEvents<> {
public:
    template <class... I> using EventSet = TextBoxEvents<I...>;
    using Control::Control;
    const char* type_name() const override { return "TextBox"; }
    void copy_from(const TextBox& o);

    const std::string& text() const { return text_; }
    void set_text(std::string t);  // Change on change
    bool multi_line() const { return multi_line_; }
    void set_multi_line(bool b);
    char password_char() const { return password_char_; }  // 0: none
    void set_password_char(char c);

    // A user's edit leaves the box holding `t` (Change when it differs).
    void user_edit(std::string t);
    void user_key_down(int key_code, int shift = 0);
    void user_key_press(int key_ascii);
    void user_click();
    void user_double_click();  // Click → DblClick
    void user_got_focus();
    void user_lost_focus();

private:
    std::string text_;
    bool multi_line_ = false;
    char password_char_ = 0;
};

// ---------------------------------------------------------------------------------------------
template <class... I>
struct RichTextEvents {
    Event<I...> Click, DblClick, Change, GotFocus, LostFocus;
    KeyEvent<I...> KeyDown;
    MouseEvent<I...> MouseDown, MouseMove, MouseUp;
    template <class O, class F> void zip_events(O& o, F f) {
        f(Click, o.Click); f(DblClick, o.DblClick); f(Change, o.Change);
        f(GotFocus, o.GotFocus); f(LostFocus, o.LostFocus); f(KeyDown, o.KeyDown);
        f(MouseDown, o.MouseDown); f(MouseMove, o.MouseMove); f(MouseUp, o.MouseUp);
    }
};

// Text with a format per character (byte; CR LF counts as two) and an insertion format that
// typed or inserted text takes.
class RichTextBox : public Control, public RichTextEvents<> {
public:
    struct Fmt {
        Color color = 0;
        bool underline = false;
        bool bold = false;
        bool operator==(const Fmt&) const = default;
    };
    struct Run {
        int start;
        int length;
        Fmt fmt;
        bool operator==(const Run&) const = default;
    };

    template <class... I> using EventSet = RichTextEvents<I...>;
    using Control::Control;
    const char* type_name() const override { return "RichTextBox"; }
    void copy_from(const RichTextBox& o);

    const std::string& text() const { return text_; }
    // Replaces everything as plain text in the default format (ForeColor, no emphasis); the
    // caret goes to 0. Change on change.
    void set_text(std::string t);

    int sel_start() const { return sel_start_; }
    // Moves the caret (clamped to the text), empties the selection and takes the insertion
    // format from the character before the caret. Negative → RuntimeError 380.
    void set_sel_start(int s);
    int sel_length() const { return sel_length_; }
    void set_sel_length(int n);  // clamped to the text; negative → RuntimeError 380
    std::string sel_text() const;
    // Replaces the selection (or inserts at the caret) with text in the insertion format; the
    // caret ends after it. Change when the text changed.
    void set_sel_text(const std::string& t);

    // The selection's colour; nullopt when it mixes colours; with an empty selection the
    // insertion format's colour.
    std::optional<Color> sel_color() const;
    std::optional<bool> sel_underline() const;
    std::optional<bool> sel_bold() const;
    // Formats the selection and sets the insertion format.
    void set_sel_color(Color c);
    void set_sel_underline(bool b);
    void set_sel_bold(bool b);

    const Fmt& insertion_format() const { return insert_fmt_; }
    const std::vector<Fmt>& formats() const { return fmts_; }
    // Maximal runs of equal format, in order, covering the text.
    std::vector<Run> runs() const;

    // A user typing `t` at the caret (replacing the selection): Change.
    void user_type(const std::string& t);
    // A click that puts the caret at `pos`: MouseDown → Click → MouseUp.
    void user_click(int pos, double x = 0, double y = 0);
    void user_double_click(int pos, double x = 0, double y = 0);
    void user_key_down(int key_code, int shift = 0);
    void user_mouse_down(int button, int shift, double x, double y);
    void user_mouse_move(int button, int shift, double x, double y);
    void user_mouse_up(int button, int shift, double x, double y);
    void user_got_focus();
    void user_lost_focus();

private:
    Fmt default_fmt() const;
    template <class Apply> void format_selection(Apply apply);
    template <class Get, class V> std::optional<V> sel_property(Get get, V insertion) const;

    std::string text_;
    std::vector<Fmt> fmts_;
    int sel_start_ = 0;
    int sel_length_ = 0;
    Fmt insert_fmt_{};
};

// ---------------------------------------------------------------------------------------------
// The item list and selection shared by list boxes, combo boxes and file lists.
class ListControl : public Control {
public:
    using Control::Control;

    int list_count() const { return static_cast<int>(items_.size()); }
    // "" outside 0..count-1.
    std::string list(int i) const;
    // Replaces an item in place; outside the list → RuntimeError 381.
    void set_list(int i, std::string text);
    // Appends, or inserts before `at` (0..count, else RuntimeError 5). The selected item stays
    // selected.
    void add_item(std::string text, std::optional<int> at = std::nullopt);
    // Removes item i (else RuntimeError 5); removing the selected item leaves none selected.
    void remove_item(int i);
    // Empties the list; ListIndex becomes -1 without Click.
    void clear();
    const std::vector<std::string>& items() const { return items_; }

    int list_index() const { return list_index_; }
    // -1 .. count-1 (else RuntimeError 380); Click on change.
    void set_list_index(int i);
    // The selected item's text, "" with none.
    std::string text() const;

protected:
    virtual void raise_click() = 0;
    // After the items changed, for state that depends on them.
    virtual void items_changed() {}
    void copy_list_from(const ListControl& o);
    void replace_items(std::vector<std::string> items);  // selection to -1, no Click
    // A user's choice of row: it becomes selected and Click fires even when it already was.
    void user_select(int row);

private:
    std::vector<std::string> items_;
    int list_index_ = -1;
};

template <class... I>
struct ListBoxEvents {
    Event<I...> Click, DblClick;
    MouseEvent<I...> MouseDown, MouseMove, MouseUp;
    KeyEvent<I...> KeyDown;
    OleStartDragEvent<I...> OLEStartDrag;
    OleDragDropEvent<I...> OLEDragDrop;
    template <class O, class F> void zip_events(O& o, F f) {
        f(Click, o.Click); f(DblClick, o.DblClick);
        f(MouseDown, o.MouseDown); f(MouseMove, o.MouseMove); f(MouseUp, o.MouseUp);
        f(KeyDown, o.KeyDown); f(OLEStartDrag, o.OLEStartDrag); f(OLEDragDrop, o.OLEDragDrop);
    }
};

class ListBox : public ListControl, public ListBoxEvents<> {
public:
    template <class... I> using EventSet = ListBoxEvents<I...>;
    using ListControl::ListControl;
    const char* type_name() const override { return "ListBox"; }
    void copy_from(const ListBox& o);

    int top_index() const { return top_index_; }
    void set_top_index(int i);  // clamped to the items

    // A row is 13 pixels at 15 twips per pixel.
    static constexpr int item_height_px = 13;
    static constexpr int item_height_twips = 195;
    // The row under a point y twips from the top: floor(round(y) / item height) + TopIndex;
    // -1 when that is no item.
    int index_at(double y_twips) const;
    // The row whose [top, bottom] pixel span holds y; on a shared boundary the upper row; -1
    // when none.
    int drop_index_at_px(int y_px) const;

    // Drag data is filled by the source's OLEStartDrag; in automatic mode a user's drag starts
    // the drag of the selected line by itself.
    bool ole_drag_automatic() const { return ole_drag_automatic_; }
    void set_ole_drag_automatic(bool b) { ole_drag_automatic_ = b; }
    // Set by the form layer: runs the whole modal drag (OLEStartDrag on the source, the host's
    // drag, the target's OLEDragDrop) and returns when it is over.
    std::function<void(ListBox& source)> drag_hook;
    // Starts a drag of this list; the drop runs before this returns. Without a hook, nothing.
    void begin_ole_drag();

    // A left click on a row (-1: below the items): MouseDown → (selection) Click → MouseUp.
    void user_click(int row);
    // The click, then DblClick → MouseUp.
    void user_double_click(int row);
    void user_mouse_down(int button, int shift, double x, double y);
    void user_mouse_move(int button, int shift, double x, double y);
    void user_mouse_up(int button, int shift, double x, double y);
    void user_key_down(int key_code, int shift = 0);
    // A user dragging from the list: starts the drag in automatic mode with a row selected.
    void user_drag();

protected:
    void raise_click() override { Click(); }
    void items_changed() override { set_top_index(top_index_); }

private:
    double row_middle_twips(int row) const;
    int top_index_ = 0;
    bool ole_drag_automatic_ = false;
};

// ---------------------------------------------------------------------------------------------
template <class... I>
struct ClickEvents {
    Event<I...> Click;
    template <class O, class F> void zip_events(O& o, F f) { f(Click, o.Click); }
};

// Drop-down list style: the text is always the selected entry's.
class ComboBox : public ListControl, public ClickEvents<> {
public:
    template <class... I> using EventSet = ClickEvents<I...>;
    using ListControl::ListControl;
    const char* type_name() const override { return "ComboBox"; }
    void copy_from(const ComboBox& o);

    // The user picks entry i from the drop-down: Click.
    void user_select(int i);

protected:
    void raise_click() override { Click(); }
};

// ---------------------------------------------------------------------------------------------
// Value 0 unchecked, 1 checked, 2 grayed (neither).
class CheckBox : public Control, public ClickEvents<> {
public:
    template <class... I> using EventSet = ClickEvents<I...>;
    using Control::Control;
    const char* type_name() const override { return "CheckBox"; }
    void copy_from(const CheckBox& o);

    int value() const { return value_; }
    void set_value(int v);  // 0..2, else RuntimeError 380; Click on change
    const std::string& caption() const { return caption_; }
    void set_caption(std::string c);

    // Toggles: checked → unchecked, otherwise → checked (Click).
    void user_click();

private:
    int value_ = 0;
    std::string caption_;
};

// Setting one option on clears the others in the same container (their Click does not fire).
class OptionButton : public Control, public ClickEvents<> {
public:
    template <class... I> using EventSet = ClickEvents<I...>;
    using Control::Control;
    const char* type_name() const override { return "OptionButton"; }
    void copy_from(const OptionButton& o);

    bool value() const { return value_; }
    void set_value(bool v);  // Click on change
    const std::string& caption() const { return caption_; }
    void set_caption(std::string c);

    void user_click();  // turns it on

private:
    bool value_ = false;
    std::string caption_;
};

template <class... I>
struct ButtonEvents {
    Event<I...> Click;
    Event<I..., int> KeyPress;  // KeyPress(key_ascii)
    template <class O, class F> void zip_events(O& o, F f) {
        f(Click, o.Click); f(KeyPress, o.KeyPress);
    }
};

class CommandButton : public Control, public ButtonEvents<> {
public:
    template <class... I> using EventSet = ButtonEvents<I...>;
    using Control::Control;
    const char* type_name() const override { return "CommandButton"; }
    void copy_from(const CommandButton& o);

    const std::string& caption() const { return caption_; }
    void set_caption(std::string c);

    void user_click();
    void user_key_press(int key_ascii);

private:
    std::string caption_;
};

// Hiding a frame hides what it holds (Control::shown()).
class Frame : public Container {
public:
    using Container::Container;
    const char* type_name() const override { return "Frame"; }
    void copy_from(const Frame& o);

    const std::string& caption() const { return caption_; }
    void set_caption(std::string c);

private:
    std::string caption_;
};

template <class... I>
struct ChangeEvents {
    Event<I...> Change;
    template <class O, class F> void zip_events(O& o, F f) { f(Change, o.Change); }
};

class HScrollBar : public Control, public ChangeEvents<> {
public:
    template <class... I> using EventSet = ChangeEvents<I...>;
    using Control::Control;
    const char* type_name() const override { return "HScrollBar"; }
    void copy_from(const HScrollBar& o);

    int min() const { return min_; }
    int max() const { return max_; }
    int value() const { return value_; }
    // Outside [Min, Max] → RuntimeError 380. Change on change.
    void set_value(int v);
    // A value left outside the new range moves to its nearest end (Change).
    void set_min(int v);
    void set_max(int v);

    // The user moves the thumb (clamped to the range): Change.
    void user_scroll(int v);

private:
    int lo() const;
    int hi() const;
    int min_ = 0, max_ = 32767, value_ = 0;
};

class ProgressBar : public Control {
public:
    using Control::Control;
    const char* type_name() const override { return "ProgressBar"; }
    void copy_from(const ProgressBar& o);

    double min() const { return min_; }
    double max() const { return max_; }
    double value() const { return value_; }
    void set_min(double v);
    void set_max(double v);
    void set_value(double v);  // clamped to [Min, Max]

private:
    double min_ = 0, max_ = 100, value_ = 0;
};

// ---------------------------------------------------------------------------------------------
// One PaintPicture call, in the box's twips.
struct PaintOp {
    PicturePtr picture;
    double x = 0, y = 0, width = 0, height = 0;
    // The source rectangle in the picture's twips; none means the whole picture.
    struct Rect { double x, y, width, height; bool operator==(const Rect&) const = default; };
    std::optional<Rect> source;
    bool quarter_turn_cw = false;  // the (source) picture turned a quarter turn clockwise
};

template <class... I>
struct PictureBoxEvents {
    MouseEvent<I...> MouseDown, MouseMove, MouseUp;
    OleDragDropEvent<I...> OLEDragDrop;
    template <class O, class F> void zip_events(O& o, F f) {
        f(MouseDown, o.MouseDown); f(MouseMove, o.MouseMove); f(MouseUp, o.MouseUp);
        f(OLEDragDrop, o.OLEDragDrop);
    }
};

// A picture plus a display list of what was painted over it. It holds other controls (cards
// lie on the play surface).
class PictureBox : public Container, public PictureBoxEvents<> {
public:
    template <class... I> using EventSet = PictureBoxEvents<I...>;
    using Container::Container;
    const char* type_name() const override { return "PictureBox"; }
    void copy_from(const PictureBox& o);

    const PicturePtr& picture() const { return picture_; }
    void set_picture(PicturePtr p);  // null removes it
    // Throws what load_picture throws (53 missing, 481 not a picture) and keeps the old one.
    void load_picture(const std::filesystem::path& file);

    // Clears what was painted; the picture stays.
    void cls();
    // A null picture → RuntimeError 91.
    void paint_picture(PicturePtr pic, double x, double y, double w, double h);
    void paint_picture(PicturePtr pic, double x, double y, double w, double h,
                       double sx, double sy, double sw, double sh);
    void paint_picture_turned(PicturePtr pic, double x, double y, double w, double h);
    void paint_picture_turned(PicturePtr pic, double x, double y, double w, double h,
                              double sx, double sy, double sw, double sh);
    const std::vector<PaintOp>& display_list() const { return display_; }

    // MouseDown(1) → MouseUp(1)
    void user_click(double x, double y);
    void user_mouse_down(int button, int shift, double x, double y);
    void user_mouse_move(int button, int shift, double x, double y);
    void user_mouse_up(int button, int shift, double x, double y);

private:
    void paint(PaintOp op);
    PicturePtr picture_;
    std::vector<PaintOp> display_;
};

template <class... I>
struct ImageEvents {
    Event<I...> Click;
    MouseEvent<I...> MouseDown, MouseMove, MouseUp;
    template <class O, class F> void zip_events(O& o, F f) {
        f(Click, o.Click);
        f(MouseDown, o.MouseDown); f(MouseMove, o.MouseMove); f(MouseUp, o.MouseUp);
    }
};

class Image : public Control, public ImageEvents<> {
public:
    template <class... I> using EventSet = ImageEvents<I...>;
    using Control::Control;
    const char* type_name() const override { return "Image"; }
    void copy_from(const Image& o);

    const PicturePtr& picture() const { return picture_; }
    void set_picture(PicturePtr p);
    void load_picture(const std::filesystem::path& file);

    // MouseDown(1) → Click → MouseUp(1)
    void user_click(double x = 0, double y = 0);
    void user_mouse_down(int button, int shift, double x, double y);
    void user_mouse_move(int button, int shift, double x, double y);
    void user_mouse_up(int button, int shift, double x, double y);

private:
    PicturePtr picture_;
};

enum class ShapeKind { Rectangle, Square, Oval, Circle, RoundedRectangle, RoundedSquare };

class Shape : public Control {
public:
    using Control::Control;
    const char* type_name() const override { return "Shape"; }
    void copy_from(const Shape& o);

    Color border_color() const { return border_color_; }
    void set_border_color(Color c);
    ShapeKind shape() const { return shape_; }
    void set_shape(ShapeKind k);

private:
    Color border_color_ = 0;
    ShapeKind shape_ = ShapeKind::Rectangle;
};

// ---------------------------------------------------------------------------------------------
template <class... I>
struct FileListEvents {
    Event<I...> Click, DblClick;
    MouseEvent<I...> MouseDown, MouseMove, MouseUp;
    template <class O, class F> void zip_events(O& o, F f) {
        f(Click, o.Click); f(DblClick, o.DblClick);
        f(MouseDown, o.MouseDown); f(MouseMove, o.MouseMove); f(MouseUp, o.MouseUp);
    }
};

// The ordinary, non-hidden files of a folder whose names match the pattern (letter case
// ignored; several patterns separated by ';'), sorted by name.
class FileListBox : public ListControl, public FileListEvents<> {
public:
    template <class... I> using EventSet = FileListEvents<I...>;
    FileListBox(Container* parent, std::string name, int index = -1);
    const char* type_name() const override { return "FileListBox"; }
    void copy_from(const FileListBox& o);

    const std::filesystem::path& path() const { return path_; }
    // A missing folder → RuntimeError 76, and the list stays as it was.
    void set_path(const std::filesystem::path& p);
    const std::string& pattern() const { return pattern_; }
    void set_pattern(std::string p);
    // The selected file's name, "" with none.
    std::string file_name() const { return text(); }
    // Re-reads the folder; a folder that has gone leaves the list empty.
    void refresh();

    // MouseDown(1) → (selection) Click → MouseUp(1)
    void user_click(int row);
    void user_double_click(int row);
    void user_mouse_down(int button, int shift, double x, double y);

protected:
    void raise_click() override { Click(); }

private:
    std::filesystem::path path_;
    std::string pattern_ = "*.*";
};

// The subfolders of the current folder.
class DirListBox : public Control, public ChangeEvents<> {
public:
    template <class... I> using EventSet = ChangeEvents<I...>;
    DirListBox(Container* parent, std::string name, int index = -1);
    const char* type_name() const override { return "DirListBox"; }
    void copy_from(const DirListBox& o);

    const std::filesystem::path& path() const { return path_; }
    // A missing folder → RuntimeError 76. Change on change. Kept in normal form, without a
    // final separator.
    void set_path(const std::filesystem::path& p);
    // Names of the non-hidden subfolders, sorted.
    std::vector<std::string> folders() const;

    // The user opens a folder: Change.
    void user_open(const std::filesystem::path& p);

private:
    std::filesystem::path path_;
};

// One drive here: the root.
class DriveListBox : public Control, public ChangeEvents<> {
public:
    template <class... I> using EventSet = ChangeEvents<I...>;
    using Control::Control;
    const char* type_name() const override { return "DriveListBox"; }
    void copy_from(const DriveListBox& o);

    const std::string& drive() const { return drive_; }
    // Only "/" exists; anything else → RuntimeError 68.
    void set_drive(const std::string& d);
    std::vector<std::string> drives() const { return {"/"}; }

private:
    std::string drive_ = "/";
};

}  // namespace platform
