#pragma once
// A host for tests: questions are answered from a script, in order, each matched by a part of
// its text; notices are answered OK and recorded; everything sent outside is recorded. A
// question the script does not expect throws UnscriptedQuestion, which fails the test.
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.hpp"
#include "platform/host.hpp"
#include "platform/reactor.hpp"

namespace platform {

// Not a std::exception, so that no "skip the failing step" catch can hide it.
class UnscriptedQuestion {
public:
    explicit UnscriptedQuestion(std::string text) : text_(std::move(text)) {}
    const std::string& text() const { return text_; }
    const char* what() const noexcept { return text_.c_str(); }

private:
    std::string text_;
};

class ScriptedHost : public Host {
public:
    ScriptedHost(Reactor& reactor, FakeClock& clock);

    // --- the script, consumed first in, first out -------------------------------------------
    // Any box other than a plain OK box whose text contains text_part. `meanwhile` runs while
    // the box is open, before the answer: what the loop would handle meanwhile (data arriving).
    void expect_yes_no(std::string text_part, MsgResult answer, std::function<void()> meanwhile = {});
    // An input box whose prompt contains prompt_part; nullopt answers Cancel.
    void expect_input(std::string prompt_part, std::optional<std::string> answer,
                      std::function<void()> meanwhile = {});
    // A pop-up menu: choose the reachable item with this name, or else the first whose caption
    // contains the text; nullopt dismisses the menu.
    void expect_popup(std::optional<std::string> item);
    // A file dialog: answer this path, or Cancel.
    void expect_file(std::optional<std::string> path);
    // A drag: dropped on control at (x, y) in its twips.
    void expect_drop(Control& control, double x, double y, int button = 1, int shift = 0);
    // A drag that is dropped nowhere.
    void expect_no_drop();
    std::size_t expectations_left() const { return script_.size(); }

    // --- what was recorded ------------------------------------------------------------------
    struct Message {
        std::string text;
        std::string title;
        MsgIcon icon;
    };
    // Plain OK boxes, answered automatically.
    const std::vector<Message>& messages() const { return messages_; }
    // Scripted boxes, with the answer given.
    struct Question {
        std::string text;
        std::string title;
        MsgButtons buttons;
        MsgResult answer;
    };
    const std::vector<Question>& questions() const { return questions_; }
    struct Input {
        std::string prompt;
        std::string title;
        std::string default_text;
    };
    const std::vector<Input>& inputs() const { return inputs_; }
    // Pop-up menus opened, with the point asked for (none: at the pointer).
    struct Popup {
        std::string menu;
        std::optional<PointTw> at;
    };
    const std::vector<Popup>& popups() const { return popups_; }
    struct Process {
        std::filesystem::path program;
        std::vector<std::string> args;
        WindowStyle style;
    };
    const std::vector<Process>& processes() const { return processes_; }
    const std::vector<std::string>& urls() const { return urls_; }
    const std::vector<std::filesystem::path>& opened_files() const { return opened_files_; }
    // Names of the forms alerted, and the topmost calls, in order.
    const std::vector<std::string>& alerts() const { return alerts_; }
    const std::vector<std::pair<std::string, bool>>& topmost_calls() const { return topmost_; }
    const std::vector<std::filesystem::path>& fonts() const { return fonts_; }
    int repaints() const { return repaints_; }
    std::int64_t slept_ms() const { return slept_ms_; }

    // --- state the test sets ----------------------------------------------------------------
    void set_cursor_pos(PointPx p) { cursor_ = p; }
    void set_key_down(int vk, bool down) { keys_[vk] = down; }
    // The window the user works in (by identity), or none.
    void set_active(const Form* f);
    void set_start_process_result(bool ok) { start_ok_ = ok; }
    // Whether the desktop has a program for the addresses and pages it is asked to open.
    void set_open_result(bool ok) { open_ok_ = ok; }
    void set_register_font_result(bool ok) { font_ok_ = ok; }
    void set_twips_per_pixel(int t) { twips_per_pixel_ = t; }

    // --- Host -------------------------------------------------------------------------------
    MsgResult msg_box(const std::string& text, MsgButtons buttons, MsgIcon icon,
                      const std::string& title) override;
    std::optional<std::string> input_box(const std::string& prompt, const std::string& title,
                                         const std::string& default_text) override;
    Menu* popup(Form& form, Menu& menu, std::optional<PointTw> at) override;
    std::optional<std::string> file_dialog(const CommonDialog& dialog, bool save) override;
    std::optional<DropTarget> drag(Control& source, const DataObject& data) override;
    bool open_url(const std::string& url) override {
        urls_.push_back(url);
        return open_ok_;
    }
    bool open_file(const std::filesystem::path& file) override {
        opened_files_.push_back(file);
        return open_ok_;
    }
    bool start_process(const std::filesystem::path& program, const std::vector<std::string>& args,
                       WindowStyle style) override;
    void alert(Form& form) override;
    bool is_active(const Form& form) override;
    void set_topmost(Form& form, bool topmost) override;
    PointPx cursor_pos_px() override { return cursor_; }
    bool key_down(int vk) override;
    void sleep_ms(int ms) override;
    void do_events() override { reactor_.pump(0); }
    void set_clipboard_text(std::string text) override { clipboard_ = std::move(text); }
    std::string clipboard_text() override { return clipboard_; }
    void repaint(Control&) override { ++repaints_; }
    bool register_font(const std::filesystem::path& file) override;
    int twips_per_pixel() const override { return twips_per_pixel_; }

private:
    enum class Kind { Box, Input, Popup, File, Drop };
    struct Expectation {
        explicit Expectation(Kind k) : kind(k) {}
        Kind kind;
        std::optional<std::string> text;  // text part, item, path; nullopt: cancel/dismiss
        MsgResult answer = MsgResult::OK;
        DropTarget drop;
        bool dropped = false;
        std::optional<std::string> answer_text;  // input boxes; nullopt: Cancel
        std::function<void()> meanwhile;
    };
    // The next expectation if it is of this kind and matches; throws otherwise.
    Expectation take(Kind kind, const std::string& what, const std::string& text);

    Reactor& reactor_;
    FakeClock& clock_;
    std::deque<Expectation> script_;
    std::vector<Message> messages_;
    std::vector<Question> questions_;
    std::vector<Input> inputs_;
    std::vector<Popup> popups_;
    std::vector<Process> processes_;
    std::vector<std::string> urls_;
    std::vector<std::filesystem::path> opened_files_;
    std::vector<std::string> alerts_;
    std::vector<std::pair<std::string, bool>> topmost_;
    std::vector<std::filesystem::path> fonts_;
    std::map<int, bool> keys_;
    PointPx cursor_;
    std::optional<std::uint64_t> active_;
    std::string clipboard_;
    bool start_ok_ = true;
    bool open_ok_ = true;
    bool font_ok_ = true;
    int twips_per_pixel_ = 15;
    int repaints_ = 0;
    std::int64_t slept_ms_ = 0;
};

}  // namespace platform
