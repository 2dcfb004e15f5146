#pragma once
// A program on a fake clock with a scripted host, and small controls and forms to drive it.
#include <functional>
#include <string>
#include <vector>

#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/control.hpp"
#include "platform/event.hpp"
#include "platform/form.hpp"
#include "platform/reactor.hpp"
#include "platform/scripted_host.hpp"

namespace formtest {

using namespace platform;

struct Program {
    FakeClock clock;
    Reactor reactor{clock};
    ScriptedHost host{reactor, clock};
    App app{reactor, host};
    Program() { app.title = "Tablewright"; }
};

// Stands in for any control with a Click and keys.
class Button : public Control {
public:
    using Control::Control;
    const char* type_name() const override { return "Button"; }
    Event<> Click;
    Event<int, int> KeyDown;
    void user_click() { Click(); }
    void user_key_down(int key, int shift) { KeyDown(key, shift); }
};

// Records its life in a shared log; hooks let a test put code into its procedures.
class LogForm : public Form {
    std::vector<std::string>& log_;

public:
    LogForm(App& app, std::vector<std::string>& log, std::string name = "f")
        : Form(app, std::move(name)), log_(log), button(this, "button") {
        set_caption("design");
    }
    ~LogForm() override { log_.push_back(name() + ".destroyed"); }

    std::function<void()> on_load;
    std::function<void(bool&)> on_unload;
    Button button;

protected:
    void Form_Load() override {
        log_.push_back(name() + ".load");
        if (on_load) on_load();
    }
    void Form_Unload(bool& cancel) override {
        log_.push_back(name() + ".unload");
        if (on_unload) on_unload(cancel);
    }
    void Form_Terminate() override { log_.push_back(name() + ".terminate"); }
    void Form_Activate() override { log_.push_back(name() + ".activate"); }

};

}  // namespace formtest
