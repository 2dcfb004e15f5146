#pragma once
// One running program: its loop, its host, its folder and command line, the End that stops it,
// and the forms it has unloaded but not yet destroyed. Nothing here is static, so that several
// programs can share one process and one reactor.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.hpp"
#include "platform/host.hpp"
#include "platform/reactor.hpp"
#include "platform/rt_error.hpp"

namespace platform {

class ControlObserver;
class Form;

// Forms keep a reference to their App: an App must outlive every form and slot of its program
// (declare it before them).
class App {
public:
    App(Reactor& reactor, Host& host);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    Reactor& reactor() const { return reactor_; }
    Host& host() const { return host_; }
    Clock& clock() const { return reactor_.clock(); }

    std::string path;     // the program folder
    std::string title;    // the default title of message boxes
    std::string command;  // the arguments after the program name, joined by single blanks

    // Sets command from main()'s arguments (argv[0] is the program, not part of it).
    void set_command_line(int argc, const char* const* argv);

    // Whether another instance of the program runs on this desktop; the check is supplied by
    // the desktop layer (none: false).
    std::function<bool()> prev_instance_check;
    bool prev_instance() const { return prev_instance_check ? prev_instance_check() : false; }

    // Ends the program at once: no unload procedures, no questions.
    [[noreturn]] void end();
    bool ended() const { return ended_; }

    struct Screen {
        int twips_per_pixel_x;
        int twips_per_pixel_y;
    };
    Screen screen() const;

    // Runs the loop until End (or the reactor is stopped).
    void run();

    // Boxes with the program's defaults: the title falls back to `title`, and a cancelled input
    // box gives "".
    MsgResult msg_box(const std::string& text, MsgButtons buttons = MsgButtons::OK,
                      MsgIcon icon = MsgIcon::None, const std::string& box_title = {});
    std::string input_box(const std::string& prompt, const std::string& box_title = {},
                          const std::string& default_text = {});
    void do_events() { host_.do_events(); }

    // Given to every form this App loads (the front end's mirror); null headless.
    ControlObserver* observer = nullptr;

    // The forms that exist now, in order of creation.
    const std::vector<Form*>& forms() const { return forms_; }

    // Marks a stretch of program code that forms may be unloaded from: a form unloaded inside
    // it is destroyed only after the outermost one has ended and control is back in the loop.
    // The front end delivers each user action inside one.
    class Dispatch {
    public:
        explicit Dispatch(App& app);
        ~Dispatch();
        Dispatch(const Dispatch&) = delete;
        Dispatch& operator=(const Dispatch&) = delete;

    private:
        App& app_;
    };

    // Takes an unloaded form and destroys it once no program code can be running on it.
    void destroy_later(std::unique_ptr<Form> form);
    std::size_t pending_destruction() const { return doomed_.size(); }

private:
    friend class Form;
    void add_form(Form* f);
    void remove_form(Form* f);
    std::uint64_t next_window_id() { return ++last_window_id_; }
    void schedule_collect();
    void collect();

    Reactor& reactor_;
    Host& host_;
    bool ended_ = false;
    std::vector<Form*> forms_;
    std::vector<std::unique_ptr<Form>> doomed_;
    int dispatch_depth_ = 0;
    bool collect_posted_ = false;
    std::optional<Reactor::TimerId> retry_timer_;
    std::uint64_t last_window_id_ = 0;
    // Outlives posted tasks that may run after this App is gone.
    std::shared_ptr<App*> self_ = std::make_shared<App*>(this);
};

}  // namespace platform
