#include "platform/scripted_host.hpp"

#include <functional>
#include <iostream>

#include "platform/dialog.hpp"
#include "platform/form.hpp"
#include "platform/menu.hpp"

namespace platform {

namespace {

const char* kind_name(int k) {
    switch (k) {
    case 0: return "question box";
    case 1: return "input box";
    case 2: return "pop-up menu";
    case 3: return "file dialog";
    default: return "drag";
    }
}

}  // namespace

ScriptedHost::ScriptedHost(Reactor& reactor, FakeClock& clock) : reactor_(reactor), clock_(clock) {}

void ScriptedHost::expect_yes_no(std::string text_part, MsgResult answer, std::function<void()> meanwhile) {
    Expectation e{Kind::Box};
    e.text = std::move(text_part);
    e.answer = answer;
    e.meanwhile = std::move(meanwhile);
    script_.push_back(std::move(e));
}

void ScriptedHost::expect_input(std::string prompt_part, std::optional<std::string> answer,
                                std::function<void()> meanwhile) {
    Expectation e{Kind::Input};
    e.text = std::move(prompt_part);
    e.answer_text = std::move(answer);
    e.meanwhile = std::move(meanwhile);
    script_.push_back(std::move(e));
}

void ScriptedHost::expect_popup(std::optional<std::string> item) {
    Expectation e{Kind::Popup};
    e.text = std::move(item);
    script_.push_back(std::move(e));
}

void ScriptedHost::expect_file(std::optional<std::string> path) {
    Expectation e{Kind::File};
    e.text = std::move(path);
    script_.push_back(std::move(e));
}

void ScriptedHost::expect_drop(Control& control, double x, double y, int button, int shift) {
    Expectation e{Kind::Drop};
    e.drop = DropTarget{&control, x, y, button, shift};
    e.dropped = true;
    script_.push_back(std::move(e));
}

void ScriptedHost::expect_no_drop() { script_.push_back(Expectation{Kind::Drop}); }

ScriptedHost::Expectation ScriptedHost::take(Kind kind, const std::string& what, const std::string& text) {
    auto fail = [&](const std::string& why) -> UnscriptedQuestion {
        std::string msg = "unscripted " + what + ": \"" + text + "\"" + why;
        // The test framework does not print exceptions of unknown types; say it here.
        std::cerr << "ScriptedHost: " << msg << std::endl;
        return UnscriptedQuestion(msg);
    };
    if (script_.empty()) throw fail(" (the script is empty)");
    Expectation& next = script_.front();
    if (next.kind != kind) {
        throw fail(std::string(" (next expected: ") + kind_name(static_cast<int>(next.kind)) +
                   (next.text ? " \"" + *next.text + "\"" : std::string()) + ")");
    }
    const bool by_text = kind == Kind::Box || kind == Kind::Input;
    if (by_text && next.text && text.find(*next.text) == std::string::npos)
        throw fail(" (next expected one containing \"" + *next.text + "\")");
    Expectation e = std::move(next);
    script_.pop_front();
    return e;
}

MsgResult ScriptedHost::msg_box(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                const std::string& title) {
    if (buttons == MsgButtons::OK) {
        messages_.push_back({text, title, icon});
        return MsgResult::OK;
    }
    auto e = take(Kind::Box, "question box", text);
    questions_.push_back({text, title, buttons, e.answer});
    if (e.meanwhile) e.meanwhile();
    return e.answer;
}

std::optional<std::string> ScriptedHost::input_box(const std::string& prompt, const std::string& title,
                                                   const std::string& default_text) {
    auto e = take(Kind::Input, "input box", prompt);
    inputs_.push_back({prompt, title, default_text});
    if (e.meanwhile) e.meanwhile();
    return e.answer_text;
}

Menu* ScriptedHost::popup(Form& form, Menu& menu, std::optional<PointTw> at) {
    popups_.push_back({menu.name(), at});
    std::string listing = menu.name();
    auto e = take(Kind::Popup, "pop-up menu", listing);
    if (!e.text) return nullptr;

    // Depth-first over what the user could reach: a name beats a caption.
    Menu* by_name = nullptr;
    Menu* by_caption = nullptr;
    std::function<void(Menu&)> walk = [&](Menu& m) {
        for (Menu* item : m.items()) {
            if (!reachable(*item, menu)) continue;
            if (!by_name && item->name() == *e.text) by_name = item;
            if (!by_caption && item->caption().find(*e.text) != std::string::npos) by_caption = item;
            walk(*item);
        }
    };
    walk(menu);
    Menu* chosen = by_name ? by_name : by_caption;
    if (!chosen) {
        std::string msg = "pop-up menu \"" + menu.name() + "\" of form \"" + form.name() +
                          "\" has no item \"" + *e.text + "\" a user could choose";
        std::cerr << "ScriptedHost: " << msg << std::endl;
        throw UnscriptedQuestion(msg);
    }
    // Submenus on the way open, as a user's pointer opens them.
    std::vector<Menu*> path;
    for (Container* p = chosen->parent(); p && p != &menu; p = p->parent()) path.push_back(static_cast<Menu*>(p));
    for (auto it = path.rbegin(); it != path.rend(); ++it) (*it)->Click();
    if (!chosen->is_leaf()) {
        chosen->Click();  // opened, then the menu was dismissed
        return nullptr;
    }
    return chosen;
}

std::optional<std::string> ScriptedHost::file_dialog(const CommonDialog& dialog, bool save) {
    std::string text = (save ? "save" : "open") + std::string(" ") + dialog.dialog_title + " [" + dialog.filter + "]";
    auto e = take(Kind::File, "file dialog", text);
    return e.text;
}

std::optional<DropTarget> ScriptedHost::drag(Control& source, const DataObject& data) {
    auto e = take(Kind::Drop, "drag", source.name() + ": " + data.get_data());
    if (!e.dropped) return std::nullopt;
    return e.drop;
}

bool ScriptedHost::start_process(const std::filesystem::path& program, const std::vector<std::string>& args,
                                 WindowStyle style) {
    processes_.push_back({program, args, style});
    return start_ok_;
}

void ScriptedHost::alert(Form& form) { alerts_.push_back(form.name()); }

void ScriptedHost::set_active(const Form* f) {
    if (f) active_ = f->hwnd();
    else active_.reset();
}

bool ScriptedHost::is_active(const Form& form) { return active_ && *active_ == form.hwnd(); }

void ScriptedHost::set_topmost(Form& form, bool topmost) { topmost_.emplace_back(form.name(), topmost); }

bool ScriptedHost::key_down(int vk) {
    auto it = keys_.find(vk);
    return it != keys_.end() && it->second;
}

void ScriptedHost::sleep_ms(int ms) {
    if (ms <= 0) return;
    clock_.advance(ms);
    slept_ms_ += ms;
}

bool ScriptedHost::register_font(const std::filesystem::path& file) {
    fonts_.push_back(file);
    return font_ok_;
}

}  // namespace platform
