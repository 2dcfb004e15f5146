#pragma once
// The desktop for the programs under Qt: real boxes, menus, file dialogs and drags (each a
// nested Qt loop during which the reactor keeps running), the shell, input state, the clipboard
// and fonts. It owns the dispatcher that drives the reactor from Qt's loop.
#include <QObject>
#include <memory>
#include <optional>
#include <set>

#include "frontend/boundary.hpp"
#include "frontend/dispatcher.hpp"
#include "frontend/windows.hpp"
#include "platform/host.hpp"
#include "platform/reactor.hpp"

namespace platform {
class App;
}

namespace frontend {

class QtHost : public platform::Host {
public:
    // A QApplication must exist.
    explicit QtHost(platform::Reactor& reactor);
    ~QtHost() override;

    Boundary& boundary() { return boundary_; }
    Dispatcher& dispatcher() { return *dispatcher_; }
    platform::Reactor& reactor() const { return reactor_; }
    WindowMap* mirror() const { return mirror_; }
    void set_mirror(WindowMap* m) { mirror_ = m; }

    // Runs Qt's loop until the program ends: End, or no form of it is loaded any more.
    void run(platform::App& app);

    // Reported by a mirrored widget when a drag of ours is dropped on its control.
    bool dragging() const { return dragging_; }
    void note_drop(platform::Control& target, double x_twips, double y_twips, int shift);

    platform::MsgResult msg_box(const std::string& text, platform::MsgButtons buttons, platform::MsgIcon icon,
                                const std::string& title) override;
    std::optional<std::string> input_box(const std::string& prompt, const std::string& title,
                                         const std::string& default_text) override;
    platform::Menu* popup(platform::Form& form, platform::Menu& menu, std::optional<platform::PointTw> at) override;
    std::optional<std::string> file_dialog(const platform::CommonDialog& dialog, bool save) override;
    std::optional<platform::DropTarget> drag(platform::Control& source, const platform::DataObject& data) override;
    bool open_url(const std::string& url) override;
    bool open_file(const std::filesystem::path& file) override;
    bool start_process(const std::filesystem::path& program, const std::vector<std::string>& args,
                       platform::WindowStyle style) override;
    void alert(platform::Form& form) override;
    bool is_active(const platform::Form& form) override;
    void set_topmost(platform::Form& form, bool topmost) override;
    platform::PointPx cursor_pos_px() override;
    std::optional<platform::PointPx> screen_origin_px(const platform::Control& c) override;
    bool key_down(int vk) override;
    void sleep_ms(int ms) override;
    void do_events() override;
    void set_clipboard_text(std::string text) override;
    std::string clipboard_text() override;
    void repaint(platform::Control& c) override;
    bool register_font(const std::filesystem::path& file) override;
    int twips_per_pixel() const override;

private:
    class KeyWatch;
    platform::Reactor& reactor_;
    Boundary boundary_;
    std::unique_ptr<Dispatcher> dispatcher_;
    std::unique_ptr<KeyWatch> key_watch_;
    WindowMap* mirror_ = nullptr;
    bool dragging_ = false;
    std::optional<platform::DropTarget> drop_;
};

}  // namespace frontend
