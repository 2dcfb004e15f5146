#include "frontend/program.hpp"

#include <QApplication>
#include <QMessageBox>
#include <filesystem>
#include <optional>

#include "frontend/convert.hpp"
#include "frontend/mirror.hpp"
#include "frontend/qt_host.hpp"
#include "platform/app.hpp"
#include "platform/clock.hpp"
#include "platform/desktop.hpp"
#include "platform/reactor.hpp"

namespace frontend {

int run_program(int argc, char** argv, const std::string& name,
                const std::function<std::shared_ptr<void>(platform::App&)>& start,
                const std::string& already_running) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QString::fromStdString(name));
    // The program decides when it ends (its last form unloaded, or End), not Qt.
    QApplication::setQuitOnLastWindowClosed(false);

    platform::SystemClock clock;
    platform::Reactor reactor(clock);
    QtHost host(reactor);
    platform::App app(reactor, host);
    if (auto exe = platform::own_executable()) app.path = exe->parent_path().string();
    else app.path = std::filesystem::current_path().string();
    app.set_command_line(argc, argv);

    platform::SingleInstanceLock lock;
    std::optional<bool> another;
    app.prev_instance_check = [&] {
        if (!another) another = !lock.acquire(name);
        return *another;
    };

    Mirror mirror(app, host);
    std::shared_ptr<void> program;
    host.boundary().call([&] { program = start(app); });
    if (!host.boundary().ended() && !app.ended()) host.run(app);
    program.reset();
    if (another.value_or(false) && !already_running.empty()) {
        QMessageBox box(QMessageBox::Information, QString::fromStdString(name), qstr(already_running),
                        QMessageBox::Ok);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
    return 0;
}

}  // namespace frontend
