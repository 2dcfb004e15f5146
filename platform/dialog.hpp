#pragma once
// The common file dialog and the clipboard, both answered by the host.
#include <string>

#include "platform/control.hpp"
#include "platform/host.hpp"

namespace platform {

class Form;

class CommonDialog : public Control {
public:
    CommonDialog(Container* parent, std::string name, int index = -1);

    const char* type_name() const override { return "CommonDialog"; }

    std::string filter;        // "Description|pattern|..."; a text without "|" is taken as it is
    std::string init_dir;
    std::string file_name;     // preset before showing; the chosen path after
    bool cancel_error = false; // Cancel raises rt::ErrCancel
    std::string dialog_title;

    // On Cancel file_name keeps what it held, and with cancel_error an rt::RuntimeError
    // (ErrCancel) is thrown. True when a file was chosen.
    bool show_open();
    bool show_save();

    void copy_from(const CommonDialog& other);

private:
    bool show(bool save);
};

// The plain-text clipboard.
class Clipboard {
public:
    explicit Clipboard(Host& host) : host_(host) {}
    void clear() { host_.set_clipboard_text(std::string()); }
    void set_text(std::string text) { host_.set_clipboard_text(std::move(text)); }
    std::string get_text() const { return host_.clipboard_text(); }

private:
    Host& host_;
};

}  // namespace platform
