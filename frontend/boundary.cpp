#include "frontend/boundary.hpp"

#include <QCoreApplication>
#include <QMessageBox>
#include <iostream>
#include <optional>

#include "frontend/convert.hpp"
#include "platform/app.hpp"
#include "platform/rt_error.hpp"

namespace frontend {

namespace {

void report(platform::App* app, const std::string& text) {
    std::cerr << "untrapped error: " << text << std::endl;
    QMessageBox box(QMessageBox::Critical, app ? qstr(app->title) : QString(), qlines(text), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace

void Boundary::call(const std::function<void()>& fn, bool user_action) {
    if (ended_) return;
    std::string failure;
    try {
        std::optional<platform::App::Dispatch> scope;
        if (user_action && app) scope.emplace(*app);
        fn();
        return;
    } catch (const platform::ProgramEnd&) {
        finish();
        return;
    } catch (const rt::RuntimeError& e) {
        failure = "Run-time error '" + std::to_string(e.number) + "':\r\n\r\n" + e.description;
    } catch (const std::exception& e) {
        failure = std::string("Run-time error:\r\n\r\n") + e.what();
    } catch (...) {
        failure = "Run-time error";
    }
    // As on the platform: the error is shown, then the program ends rather than running on in a
    // state no handler expected. Nothing else is delivered meanwhile.
    const bool first = !ended_;
    ended_ = true;
    if (first) report(app, failure);
    close_loops();
}

void Boundary::finish() {
    if (ended_) return;
    ended_ = true;
    close_loops();
}

void Boundary::close_loops() {
    auto closers = closers_;
    for (auto it = closers.rbegin(); it != closers.rend(); ++it)
        if (*it) (*it)();
    // Qt's own exit would also make every later nested loop return at once.
    if (main_loop) QCoreApplication::exit(0);
}

Boundary::Modal::Modal(Boundary& b, std::function<void()> close) : b_(b) {
    b_.closers_.push_back(std::move(close));
}

Boundary::Modal::~Modal() { b_.closers_.pop_back(); }

void Boundary::rethrow_if_ended() const {
    if (ended_) throw platform::ProgramEnd{};
}

}  // namespace frontend
