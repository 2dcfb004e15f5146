#pragma once
// Everything the programs ask of the desktop that blocks for an answer or reaches outside the
// window model: boxes, pop-up menus, file dialogs, drags, the shell, input state, the clipboard.
// The front end answers with real windows; tests answer from a script (ScriptedHost).
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class Control;
class Form;
class Menu;
class CommonDialog;

enum class MsgButtons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class MsgIcon { None, Information, Critical, Exclamation, Question };
enum class MsgResult { OK, Cancel, Abort, Retry, Ignore, Yes, No };

// How a started program's window should appear.
enum class WindowStyle { Hidden, NormalFocus, MinimizedFocus, MaximizedFocus, NormalNoFocus, MinimizedNoFocus };

struct PointTw {  // twips
    double x = 0;
    double y = 0;
};

struct PointPx {  // screen pixels
    int x = 0;
    int y = 0;
};

// The payload of a drag: only plain text is ever carried.
class DataObject {
public:
    static constexpr int TextFormat = 1;

    void set_data(std::string text, int format = TextFormat) {
        if (format != TextFormat) return;
        text_ = std::move(text);
        has_text_ = true;
    }
    // "" when there is no data in that format.
    std::string get_data(int format = TextFormat) const {
        return format == TextFormat && has_text_ ? text_ : std::string();
    }
    bool get_format(int format) const { return format == TextFormat && has_text_; }
    void clear() {
        text_.clear();
        has_text_ = false;
    }

private:
    std::string text_;
    bool has_text_ = false;
};

// Where a drag ended: the control under the pointer and the position in its twips.
struct DropTarget {
    Control* control = nullptr;
    double x = 0;
    double y = 0;
    int button = 1;
    int shift = 0;
};

class Host {
public:
    virtual ~Host() = default;

    // Modal; other events may run while the box is open.
    virtual MsgResult msg_box(const std::string& text, MsgButtons buttons, MsgIcon icon,
                              const std::string& title) = 0;
    // nullopt when the user cancels.
    virtual std::optional<std::string> input_box(const std::string& prompt, const std::string& title,
                                                 const std::string& default_text) = 0;
    // Shows the menu's items (at the pointer when no point is given, else at that point in the
    // form's twips) and returns the chosen leaf, or null when dismissed. Submenus' Click fires as
    // they open; the leaf's Click is the caller's to run.
    virtual Menu* popup(Form& form, Menu& menu, std::optional<PointTw> at) = 0;
    // The chosen path, or nullopt on cancel.
    virtual std::optional<std::string> file_dialog(const CommonDialog& dialog, bool save) = 0;
    // Runs a drag of data from source; returns where it was dropped, or nullopt.
    virtual std::optional<DropTarget> drag(Control& source, const DataObject& data) = 0;

    // Has the desktop's program for the address open it; false when no program took it.
    virtual bool open_url(const std::string& url) = 0;
    // Opens one of the program's own pages or documents with the desktop's handler; false when
    // no program took it.
    virtual bool open_file(const std::filesystem::path& file) {
        (void)file;
        return false;
    }
    // Starts a program detached, never waiting for it; false when it could not be started.
    virtual bool start_process(const std::filesystem::path& program, const std::vector<std::string>& args,
                               WindowStyle style) = 0;

    virtual void alert(Form& form) = 0;  // draw the user's attention to a background window
    virtual bool is_active(const Form& form) = 0;
    virtual void set_topmost(Form& form, bool topmost) = 0;

    virtual PointPx cursor_pos_px() = 0;
    // Where the desktop shows the control's top-left corner, in screen pixels; nullopt when it
    // does not show it (headless, the model's window and control positions stand for the screen).
    virtual std::optional<PointPx> screen_origin_px(const Control&) { return std::nullopt; }
    virtual bool key_down(int vk) = 0;

    // Blocks without handling events.
    virtual void sleep_ms(int ms) = 0;
    // Handles pending events once.
    virtual void do_events() = 0;

    virtual void set_clipboard_text(std::string text) = 0;
    virtual std::string clipboard_text() = 0;

    // Paints the control at once (before a long blocking step).
    virtual void repaint(Control&) {}
    // Makes a font file available to this program only; false when it is no usable font.
    virtual bool register_font(const std::filesystem::path&) { return true; }
    virtual int twips_per_pixel() const { return 15; }
};

}  // namespace platform
